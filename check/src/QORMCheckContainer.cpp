// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckContainer.h"

#include "QORMDLoadFailure.h"
#include "QORMDMetaChildLoader.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

std::string Utf8(std::u16string_view text) {
    return ZULUnicodeString(text.data(), text.size()).ConvertToChar();
}

}  // namespace

cContainerCheck::cContainerCheck(bool isClasses, std::vector<cCheckProblem>& problems)
    : isClasses_(isClasses), problems_(problems) {}

void cContainerCheck::Report(cCheckProblem::Severity severity, cDDLXMLPosition at, const DOMElement* child,
                             const std::string& what) {
    problems_.push_back({severity, at, std::string(QORMDDescribeElement(child, isClasses_).ConvertToChar()) + " " + what});
}

void cContainerCheck::Child(const DOMElement* child, cDDLXMLPosition at) {
    const XMLCh* uuidValue = nullptr;
    const XMLCh* nameValue = nullptr;
    QORMDReadUuidAndName(child, uuidValue, nameValue);
    const std::string kind = isClasses_ ? "class" : "attribute";
    const std::string onLine = " on line ";

    if (QORMUIsNullDOMString(uuidValue)) {
        Report(cCheckProblem::kError, at, child, "has no Uuid (or an empty one)");
    } else {
        const std::u16string_view uuid(reinterpret_cast<const char16_t*>(uuidValue));
        ZULUnicodeString key(uuid.data(), uuid.size());
        key.ToUpper();
        const auto [first, isFirst] = byUuid_.try_emplace(std::move(key), First{uuid, at.line});
        if (!isFirst && first->second.uuid == uuid) {
            Report(cCheckProblem::kWarning, at, child,
                   "repeats the Uuid \"" + Utf8(uuid) + "\" of the " + kind + onLine +
                       std::to_string(first->second.line) + "; the comparison keeps that one and ignores this one");
        } else if (!isFirst) {
            Report(cCheckProblem::kWarning, at, child,
                   "has the Uuid \"" + Utf8(uuid) + "\", which differs only in letter case from \"" +
                       Utf8(first->second.uuid) + "\" of the " + kind + onLine + std::to_string(first->second.line) +
                       "; the comparison takes them for one " + kind + ", keeps that one and ignores this one");
        }
    }

    if (QORMUIsNullDOMString(nameValue)) {
        Report(cCheckProblem::kError, at, child, "has no Name (or an empty one)");
    } else {
        const std::u16string_view name(reinterpret_cast<const char16_t*>(nameValue));
        const auto [first, isFirst] = byName_.try_emplace(name, at.line);
        if (!isFirst)
            Report(cCheckProblem::kWarning, at, child,
                   "has the same Name as the " + kind + onLine + std::to_string(first->second));
    }
}
