// SPDX-License-Identifier: Apache-2.0
// cReportWording: the words every form of the report uses for kinds of
// change, so that text, markdown and HTML say the same thing.
#pragma once

#include <string>

#include "QORMRReport.h"

class cReportWording {
public:
    // "added", "deleted", "changed", "attributes changed", "moved from", "moved to".
    static const char* Of(cReportElement::Kind kind);
    // "same", "changed", "added", "deleted".
    static const char* Of(cReportField::Kind kind);
    // "", "renamed", "letter case only".
    static const char* Of(cReportField::Note note);
    // The marker of a field line: ' ', '~', '+', '-'.
    static char Marker(cReportField::Kind kind);
    // "error" or "warning".
    static const char* Severity(const cReportMark& mark);
    // A mark's severity and rule: "error QM102".
    static std::string Of(const cReportMark& mark);

    // "Tag Name (Uuid)", each in its shown form; name and Uuid left out when empty.
    static std::string Label(const std::string& tag, const std::string& name, const std::string& uuid);
    // What happened to an element: its kind, the other class of a move, a rename.
    static std::string Status(const cReportElement& element, const cReport& report);
    // The one sentence of a report in which nothing differs, with each file
    // name as shown gives it: there were no differences, or, when neither
    // package holds a class, that nothing was compared (the comparison then
    // does not look at the package's own fields either).
    static std::string NothingDiffers(const cReport& report, std::string (*shown)(const std::string& file));
};
