// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeDocument.h"

#include <cstdio>
#include <string>
#include <unordered_map>

#include "QORMDLoadFailure.h"
#include "QORMDMetaChildLoader.h"
#include "QORMDPackageLoad.h"
#include "QORMDStatus.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "ZULBase/ZULFileSystem.h"

using namespace xercesc;

namespace {

const char kModule[] = "merge\\src\\QORMMergeDocument";

// element, on its line of fileName when it can be told.
ZULUnicodeString Placed(const DOMElement* element, const ZULUnicodeString& fileName) {
    ZULUnicodeString text = QORMDDescribeElement(element, true);
    if (const unsigned long line = cDDLXMLParser::lineOfElement(fileName, element)) {
        char number[24];
        std::snprintf(number, sizeof number, "%lu", line);
        text.Append(" on line ").Append(number);
    }
    return text;
}

}  // namespace

std::int32_t cMergeDocument::Load(const ZULUnicodeString& fileName) {
    fileName_ = fileName;
    const std::int32_t status = QORMDLoadPackage(fileName, package_);
    return status < 0 ? status : RefuseRepeatedClass();
}

std::int32_t cMergeDocument::RefuseRepeatedClass() const {
    // The classes as the loader reads them, keyed as it keys them.
    std::unordered_map<std::u16string, const DOMElement*> classes;
    for (const DOMElement* child = Root()->getFirstElementChild(); child; child = child->getNextElementSibling()) {
        if (!QORMDReadsAsChild(reinterpret_cast<const char16_t*>(child->getTagName()), kQORMDClassRules)) continue;
        const ZULUnicodeString uuid = DOMToZULUnicodeString(child->getAttribute(u"Uuid"));
        ZULUnicodeString key = uuid;
        key.ToUpper();
        const auto [first, isFirst] = classes.try_emplace(std::u16string(key.str()), child);
        if (isFirst) continue;
        const ZULUnicodeString firstUuid = DOMToZULUnicodeString(first->second->getAttribute(u"Uuid"));
        ZULUnicodeString text("the document cannot be merged: ");
        text.Append(Placed(child, fileName_)).Append(" of \"").Append(fileName_).Append("\" repeats the Uuid \"");
        text.Append(uuid).Append("\" of ").Append(Placed(first->second, fileName_));
        if (!(uuid == firstUuid)) text.Append(", letter case aside");
        text.Append("; the merge matches classes by Uuid and needs each to have its own");
        return QORMDRaiseWith("MDInternalError_1", text, kModule, __LINE__);
    }
    return QORMDSucceed(kModule, __LINE__);
}

bool cMergeDocument::ReadBytes(std::string& bytes) const {
    // A FIFO (which the parser read as it was) must not hang the run.
    ZULInputFile file(fileName_.ConvertToChar());
    bytes.clear();
    if (!file.Error().empty() || !file.IsRegular()) return false;
    bytes.reserve(static_cast<std::size_t>(file.Size()));
    char buffer[1 << 16];
    for (;;) {
        const std::int64_t got = file.Read(buffer, sizeof buffer);
        if (got <= 0) return got == 0;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}
