// SPDX-License-Identifier: Apache-2.0
// cCheckProblem: one problem of a metadata document, or of a change between
// two versions of it, as data: the rule it breaks, how severe it is, where
// it is and what it is, in words. The programs decide how to show it; Line
// gives the one line compilers print and editors read:
//   file:line:column: error: message [QM102]      (file: error: ... when it has no place)
#pragma once

#include <string>

#include "QORMetaUtil/cDDLXMLParser.h"

class cQORMDMetaElem;

struct cCheckProblem {
    // The rules, numbered as their ids: the document rules QM001 to QM007,
    // the change rules QM101 to QM107 (cCheckRule describes each).
    enum Rule {
        kUnreadable = 1,          // not read: cannot be opened, empty, not well-formed, bad encoding, DOCTYPE, limits
        kNoUuid = 2,              // a class or attribute without a Uuid, or with an empty one
        kNoName = 3,              // a class or attribute without a Name, or with an empty one
        kRepeatedUuid = 4,        // a Uuid repeated in one container
        kUuidCase = 5,            // a Uuid that differs only in letter case from another of its container
        kRepeatedName = 6,        // a Name repeated in one container
        kUnnamedPackage = 7,      // a package without a Name, or with an empty one
        kClassDeleted = 101,      // its table is dropped
        kAttributeDeleted = 102,  // its column is dropped
        kRecreated = 103,         // deleted and added again under a new Uuid
        kAttributeMoved = 104,    // deleted from one class, added to another
        kRenamed = 105,           // its Name changed
        kNarrowed = 106,          // a numeric field that must not shrink got smaller
        kFieldChanged = 107,      // a field changed in a way its rule does not allow
    };
    // An error stops the document from being compared, or loses data when
    // migrated; a warning is likely a mistake.
    enum Severity { kError, kWarning };
    // How Line shows a problem.
    struct Form {
        bool warningsAsErrors = false;  // a warning printed as an error, marked [-Werror]
        bool byteColumns = false;       // the column in bytes (cDDLXMLPosition::byteColumn)
    };

    cCheckProblem() = default;
    cCheckProblem(Rule rule, Severity severity, cDDLXMLPosition at, std::string message)
        : rule(rule), severity(severity), at(at), message(std::move(message)) {}

    Rule rule = kUnreadable;
    Severity severity = kError;
    cDDLXMLPosition at;   // where the element's start tag, or the refused input, begins
    std::string message;  // UTF-8
    // What a change problem is about, for a caller that holds the comparison
    // (valid while it lives): the element in each version, null where a
    // version has none (a deletion has no new element, the place of its
    // problem is the element that lost it).
    const cQORMDMetaElem* oldElement = nullptr;
    const cQORMDMetaElem* newElement = nullptr;
    // The problem's key, the same from one run to the next whatever lines
    // moved: for a change, the Uuids (upper-cased) of its element's class and
    // of the element, and the field it is about ("C-ORDER A-TOTAL Type"); for
    // a class or attribute of a document, its class's Uuid and its own, as
    // written (or its Name); else empty.
    std::string subject;

    // "QM001" and so on.
    std::string RuleId() const;
    // The line for file, without its end of line. Control characters (from a
    // file name or a value) are escaped (QORMUPrintableLine), so that a
    // problem stays one line and cannot drive a terminal.
    std::string Line(const std::string& file, const Form& form) const;
    // Whether a problem is shown as an error.
    bool IsError(const Form& form) const { return severity == kError || form.warningsAsErrors; }
    // The column the form counts.
    unsigned long Column(const Form& form) const {
        return form.byteColumns && at.byteColumn > 0 ? at.byteColumn : at.column;
    }
};
