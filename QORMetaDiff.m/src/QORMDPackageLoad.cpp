// SPDX-License-Identifier: Apache-2.0
#include "QORMDPackageLoad.h"

#include "QORMDContainment.h"
#include "QORMDLoadFailure.h"
#include "QORMDStatus.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {
const char kModule[] = "QORMetaDiff.m\\src\\QORMDPackageLoad";
}  // namespace

namespace {

std::int32_t Load(const ZULUnicodeString& fileName, std::unique_ptr<cQORMDMetaPackage>& package) {
    DOM_Document document;
    const std::int32_t parsed = cDDLXMLParser::parseXMLFile(fileName, document);
    if (parsed < 0) return QORMDRaiseWith("MDFileError_1", QORMDParserFailure(parsed, fileName), kModule, __LINE__);
    const DOM_Element root = document.share(document->getDocumentElement());
    auto loaded = std::make_unique<cQORMDMetaPackage>(root);
    if (loaded->init() < 0) {
        static const char kText[] = "the metadata document did not load";
        Trace(kText, QORMUTrace_W3);
        return QORMDRaiseWith("MDInternalError_1", QORMDWithPlace(kText, QORMDDescribeLoadFailure(root, fileName)),
                              kModule, __LINE__);
    }
    package = std::move(loaded);
    return QORMDSucceed(kModule, __LINE__);
}

}  // namespace

std::int32_t QORMDLoadPackage(const ZULUnicodeString& fileName, std::unique_ptr<cQORMDMetaPackage>& package) {
    try {
        return Load(fileName, package);
    } catch (...) {
        return QORMDFailureFromException("loading", fileName, kModule, __LINE__);
    }
}
