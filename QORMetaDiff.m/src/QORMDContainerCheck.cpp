// SPDX-License-Identifier: Apache-2.0
#include "QORMDContainerCheck.h"

#include "QORMDLoadFailure.h"
#include "QORMDMetaChildLoader.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

std::string Utf8(std::u16string_view text) { return ZULUnicodeString(text.data(), text.size()).ConvertToChar(); }

// A DOM string in UTF-8; empty for none.
std::string Utf8(const XMLCh* text) { return QORMUIsNullDOMString(text) ? "" : Utf8(std::u16string_view(text)); }

}  // namespace

cContainerCheck::cContainerCheck(bool isClasses, std::vector<cCheckProblem>& problems)
    : isClasses_(isClasses), problems_(problems) {}

void cContainerCheck::Report(cCheckProblem::Rule rule, cCheckProblem::Severity severity, cDDLXMLPosition at,
                             const DOMElement* child, const std::string& what) {
    cCheckProblem problem(rule, severity, at,
                          std::string(QORMDDescribeElement(child, isClasses_).ConvertToChar()) + " " + what);
    // Its key across runs: the element's Uuid, or Name, within its class.
    const XMLCh* uuid = nullptr;
    const XMLCh* name = nullptr;
    QORMDReadUuidAndName(child, uuid, name);
    const DOMNode* parent = child->getParentNode();
    if (!isClasses_ && parent && parent->getNodeType() == DOMNode::ELEMENT_NODE)
        problem.subject = Utf8(static_cast<const DOMElement*>(parent)->getAttribute(u"Uuid")) + " ";
    problem.subject += Utf8(QORMUIsNullDOMString(uuid) ? name : uuid);
    problems_.push_back(std::move(problem));
}

void cContainerCheck::Child(const DOMElement* child, cDDLXMLPosition at) {
    const XMLCh* uuid = nullptr;
    const XMLCh* name = nullptr;
    QORMDReadUuidAndName(child, uuid, name);
    if (QORMUIsNullDOMString(uuid))
        Report(cCheckProblem::kNoUuid, cCheckProblem::kError, at, child, "has no Uuid (or an empty one)");
    else
        Uuid(child, at, reinterpret_cast<const char16_t*>(uuid));
    if (QORMUIsNullDOMString(name))
        Report(cCheckProblem::kNoName, cCheckProblem::kError, at, child, "has no Name (or an empty one)");
    else
        Name(child, at, reinterpret_cast<const char16_t*>(name));
}

void cContainerCheck::Uuid(const DOMElement* child, cDDLXMLPosition at, std::u16string_view uuid) {
    ZULUnicodeString key(uuid.data(), uuid.size());
    key.ToUpper();
    const auto [first, isFirst] = byUuid_.try_emplace(std::move(key), First{uuid, at.line});
    if (isFirst) return;
    const std::string where = " of the " + Kind() + " on line " + std::to_string(first->second.line);
    if (first->second.uuid == uuid)
        Report(
            cCheckProblem::kRepeatedUuid, cCheckProblem::kWarning, at, child,
            "repeats the Uuid \"" + Utf8(uuid) + "\"" + where + "; the comparison keeps that one and ignores this one");
    else
        Report(cCheckProblem::kUuidCase, cCheckProblem::kWarning, at, child,
               "has the Uuid \"" + Utf8(uuid) + "\", which differs only in letter case from \"" +
                   Utf8(first->second.uuid) + "\"" + where + "; the comparison takes them for one " + Kind() +
                   ", keeps that one and ignores this one");
}

void cContainerCheck::Name(const DOMElement* child, cDDLXMLPosition at, std::u16string_view name) {
    const auto [first, isFirst] = byName_.try_emplace(name, at.line);
    if (!isFirst)
        Report(cCheckProblem::kRepeatedName, cCheckProblem::kWarning, at, child,
               "has the same Name as the " + Kind() + " on line " + std::to_string(first->second));
}
