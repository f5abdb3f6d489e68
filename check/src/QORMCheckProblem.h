// SPDX-License-Identifier: Apache-2.0
// cCheckProblem: one problem a check found in a metadata document, printed as
// the one line compilers print and editors read:
//   file:line:column: error: text      (file: error: text when it has no place)
#pragma once

#include <string>

#include "QORMetaUtil/cDDLXMLParser.h"

struct cCheckProblem {
    // An error stops the document from loading; a warning loads but is
    // likely a mistake.
    enum Severity { kError, kWarning };

    Severity severity = kError;
    cDDLXMLPosition at;  // where the element's start tag, or the refused markup, begins
    std::string text;    // UTF-8

    // The line for file, without its end of line. warningsAsErrors prints a
    // warning as an error marked [-Werror]. Control characters (from a file
    // name or a value) are escaped (QORMUPrintableLine), so that a problem
    // stays one line and cannot drive a terminal.
    std::string Line(const std::string& file, bool warningsAsErrors) const;
};
