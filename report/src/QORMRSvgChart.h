// SPDX-License-Identifier: Apache-2.0
// cSvgChart: the summary's counts as a small inline SVG bar chart, one bar
// per kind of change that occurred (classes, attributes, fields).
#pragma once

#include <string>

#include "QORMRSummary.h"

class cSvgChart {
public:
    static std::string Of(const cReportSummary& summary);
};
