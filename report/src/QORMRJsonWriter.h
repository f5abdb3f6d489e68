// SPDX-License-Identifier: Apache-2.0
// cJsonWriter: the sections of a report (package first, then the classes)
// as JSON for the HTML page's script, which renders them, written with
// nlohmann-json. Values are in their shown form (cShownValue); the text is
// safe inside a <script> element: <, > and & are written as \u escapes, so
// no value can close the element, and so are U+2028 and U+2029.
#pragma once

#include <string>

#include "QORMRReport.h"

class cJsonWriter {
public:
    std::string Write(const cReport& report);

    // JSON text made safe inside a script element; the characters escaped
    // occur in JSON text only within strings, where an escape means the same.
    static std::string ForScript(const std::string& json);
};
