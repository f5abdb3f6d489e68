// SPDX-License-Identifier: Apache-2.0
// cReportSummary: the counts a report opens with. Classes and attributes
// count the elements the comparison reported on their own (the attributes
// of an added or deleted class travel with it); a move is counted as a move,
// not as a deleted and an added attribute. Fields count the field changes of
// the package, the classes and the attributes.
#pragma once

#include "QORMRReport.h"

class cReportSummary {
public:
    struct Counts {
        int added = 0;
        int deleted = 0;
        int changed = 0;
        int moved = 0;
    };

    explicit cReportSummary(const cReport& report);

    const Counts& Classes() const { return classes_; }
    const Counts& Attributes() const { return attributes_; }
    const Counts& Fields() const { return fields_; }

private:
    void CountFields(const cReportElement& element);

    Counts classes_;
    Counts attributes_;
    Counts fields_;
};
