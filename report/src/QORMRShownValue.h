// SPDX-License-Identifier: Apache-2.0
// cShownValue: a value (or a name, a tag) as the report shows it, exactly
// and in one line. A plain value (not empty, no blank at either end, nothing
// invisible, no leading quote or combining mark, no arrow, no ending that
// looks like one of the report's notes) is shown as it is. Any other value
// is shown in double quotes, escaped as every program escapes what it
// prints (QORMUPrintableLine, QORMUQuoting::kInQuotes): \" and \\ for quote
// and backslash, \n, \r and \t for line breaks and tabs, \x{1B} for other
// C0 controls, \u{XXXX} for other invisible characters (QORMUIsInvisible)
// and for a leading combining mark, and \x{XX} for a byte that is not UTF-8
// (a file name can hold one).
#pragma once

#include <string>
#include <string_view>

class cShownValue {
public:
    // The plain value or its quoted form.
    static std::string Of(std::string_view value);
    // Always the quoted form (for a value split over several lines).
    static std::string Quoted(std::string_view value);
    static bool IsPlain(std::string_view value);
};
