// SPDX-License-Identifier: Apache-2.0
// cCheckProblem: one problem of a metadata document, as data: the rule it
// breaks, how severe it is, where it is and what it is, in words. The
// programs decide how to show it; Line gives the one line compilers print
// and editors read:
//   file:line:column: error: message      (file: error: message when it has no place)
#pragma once

#include <string>

#include "QORMetaUtil/cDDLXMLParser.h"

struct cCheckProblem {
    // The document rules, numbered as their ids (QM001 to QM007).
    enum Rule {
        kUnreadable = 1,      // not read: cannot be opened, empty, not well-formed, bad encoding, DOCTYPE, limits
        kNoUuid = 2,          // a class or attribute without a Uuid, or with an empty one
        kNoName = 3,          // a class or attribute without a Name, or with an empty one
        kRepeatedUuid = 4,    // a Uuid repeated in one container
        kUuidCase = 5,        // a Uuid that differs only in letter case from another of its container
        kRepeatedName = 6,    // a Name repeated in one container
        kUnnamedPackage = 7,  // a package without a Name, or with an empty one
    };
    // An error stops the document from being compared; a warning loads but
    // is likely a mistake.
    enum Severity { kError, kWarning };
    // How Line shows a problem.
    struct Form {
        bool warningsAsErrors = false;  // a warning printed as an error, marked [-Werror]
        bool byteColumns = false;       // the column in bytes (cDDLXMLPosition::byteColumn)
    };

    Rule rule = kUnreadable;
    Severity severity = kError;
    cDDLXMLPosition at;   // where the element's start tag, or the refused input, begins
    std::string message;  // UTF-8

    // "QM001" and so on.
    std::string RuleId() const;
    // The line for file, without its end of line. Control characters (from a
    // file name or a value) are escaped (QORMUPrintableLine), so that a
    // problem stays one line and cannot drive a terminal.
    std::string Line(const std::string& file, const Form& form) const;
};
