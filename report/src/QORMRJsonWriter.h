// SPDX-License-Identifier: Apache-2.0
// cJsonWriter: the sections of a report (package first, then the classes)
// as JSON for the HTML page's script, which renders them. Values are in
// their shown form (cShownValue); the text is safe inside a <script> element:
// <, > and & are written as \u escapes, so no value can close the element.
#pragma once

#include <string>
#include <string_view>

#include "QORMRReport.h"

class cJsonWriter {
public:
    std::string Write(const cReport& report);
    // A JSON string holding text (UTF-8), safe inside a script element.
    static void String(std::string& out, std::string_view text);

private:
    void Element(const cReportElement& element, const cReport& report);
    void Node(const cReportNode& node);

    std::string out_;
};
