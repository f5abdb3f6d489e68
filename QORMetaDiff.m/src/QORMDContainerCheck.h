// SPDX-License-Identifier: Apache-2.0
// cContainerCheck: the children of one container, the classes of a package or
// the attributes of a class, looked over together as the loader reads them.
// Errors, which fail the load: a child without a non-empty Uuid or Name.
// Warnings, which load but are likely mistakes: a Uuid that repeats in the
// container, or repeats in another letter case (the comparison keys children
// by upper-cased Uuid, keeps the first and ignores the others), and a Name
// that repeats (a person cannot tell the two apart). An attribute Uuid that
// two classes share is legal: each class is a container of its own.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <xercesc/dom/DOMElement.hpp>

#include "QORMDCheckProblem.h"
#include "ZULBase/ZULUnicodeString.h"

class cContainerCheck {
public:
    // isClasses: the children are classes (else attributes). Problems are appended to problems.
    cContainerCheck(bool isClasses, std::vector<cCheckProblem>& problems);

    // Checks the next child in document order, whose start tag begins at.
    void Child(const xercesc::DOMElement* child, cDDLXMLPosition at);

private:
    // The first child of a Uuid (upper-cased) or of a Name.
    struct First {
        std::u16string_view uuid;  // as written
        unsigned long line;
    };

    // A child's Uuid and Name, neither empty, against those of the children before it.
    void Uuid(const xercesc::DOMElement* child, cDDLXMLPosition at, std::u16string_view uuid);
    void Name(const xercesc::DOMElement* child, cDDLXMLPosition at, std::u16string_view name);
    // A problem of child: its description, then what.
    void Report(cCheckProblem::Rule rule, cCheckProblem::Severity severity, cDDLXMLPosition at,
                const xercesc::DOMElement* child, const std::string& what);
    std::string Kind() const { return isClasses_ ? "class" : "attribute"; }

    bool isClasses_;
    std::vector<cCheckProblem>& problems_;
    std::unordered_map<ZULUnicodeString, First, ZULUnicodeStringHash> byUuid_;
    std::unordered_map<std::u16string_view, unsigned long> byName_;  // views into the document's strings
};
