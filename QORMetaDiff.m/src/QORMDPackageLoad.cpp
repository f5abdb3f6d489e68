#include "QORMDPackageLoad.h"

#include "QORMDContainment.h"
#include "QORMDLoadFailure.h"
#include "QORMDStatus.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {
const char kModule[] = "QORMetaDiff.m\\src\\QORMDPackageLoad";
}  // namespace

namespace {

std::int32_t Load(const ZULUnicodeString& fileName, std::unique_ptr<cQORMDMetaPackage>& package) {
    DOM_Document document;
    const std::int32_t parsed = cDDLXMLParser::parseXMLFile(fileName, document);
    if (parsed < 0) return QORMDRaiseWith("MDFileError_1", fileName, kModule, __LINE__, QORMDParserReason(parsed));
    const DOM_Element root = document.share(document->getDocumentElement());
    auto loaded = std::make_unique<cQORMDMetaPackage>(root);
    if (loaded->init() < 0) {
        const ZULUnicodeString where = QORMDDescribeLoadFailure(root, fileName);
        return QORMDRaise("the metadata document did not load", "MDInternalError_1", kModule, __LINE__,
                          where.IsEmpty() ? where : ZULUnicodeString(": ").Append(where));
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
