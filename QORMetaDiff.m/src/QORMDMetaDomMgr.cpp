// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDomMgr.h"

#include "QORMDContainment.h"
#include "QORMDLoadFailure.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDStatus.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {

const char kModule[] = "QORMetaDiff.m\\src\\QORMDMetaDomMgr";

// The texts of one version's failures.
struct VersionTexts {
    const char* nullDocument;
    const char* noRoot;
    const char* notCreated;
};

// Parses fileName (when given) and builds the version's package from its
// document element. available tells whether a document was read.
std::int32_t LoadVersion(const ZULUnicodeString& fileName, cMetaDiffDoc& diffDoc,
                         cQORMDMetaPackage* (cMetaDiffDoc::*create)(const DOM_Element&), const VersionTexts& texts,
                         bool& available);

// LoadVersion, with whatever it throws (memory running out while parsing or
// building the model) turned into a failure that names the file.
std::int32_t LoadVersionContained(const ZULUnicodeString& fileName, cMetaDiffDoc& diffDoc,
                                  cQORMDMetaPackage* (cMetaDiffDoc::*create)(const DOM_Element&),
                                  const VersionTexts& texts, bool& available) {
    try {
        return LoadVersion(fileName, diffDoc, create, texts, available);
    } catch (...) {
        return QORMDFailureFromException("loading", fileName, kModule, __LINE__);
    }
}

std::int32_t LoadVersion(const ZULUnicodeString& fileName, cMetaDiffDoc& diffDoc,
                         cQORMDMetaPackage* (cMetaDiffDoc::*create)(const DOM_Element&), const VersionTexts& texts,
                         bool& available) {
    DOM_Element root;
    if (!fileName.IsEmpty()) {
        DOM_Document document;
        const std::int32_t parsed = cDDLXMLParser::parseXMLFile(fileName, document);
        if (parsed < 0) {
            Trace("failed in parsing meta file", fileName, QORMUTrace_W3);
            return QORMDRaiseWith("MDFileError_1", QORMDParserFailure(parsed, fileName), kModule, __LINE__);
        }
        if (document.isNull()) return QORMDRaise(texts.nullDocument, "MDInternalError_1", kModule, __LINE__);
        root = document.share(document->getDocumentElement());
        if (root.isNull()) return QORMDRaise(texts.noRoot, "MDInternalError_1", kModule, __LINE__);
        available = true;
    }  // the document handle goes: the root keeps the document alive
    if (!(diffDoc.*create)(root)) {
        // The element where loading stopped, for the message: found again only now.
        Trace(texts.notCreated, QORMUTrace_W3);
        const ZULUnicodeString where = QORMDDescribeLoadFailure(root, fileName);
        if (!where.IsEmpty()) Trace(where.ConvertToChar(), QORMUTrace_W3);
        return QORMDRaiseWith("MDInternalError_1", QORMDWithPlace(texts.notCreated, where), kModule, __LINE__);
    }
    return QORMDSucceed(kModule, __LINE__);
}

}  // namespace

std::int32_t cMetaDomMgr::processDom(cMetaDiffDoc& diffDoc) {
    const std::int32_t initStatus = cDDLXMLParser::init();
    if (initStatus < 0)
        return QORMDPropagate("failed cDDLXMLParser::init in cMetaDomMgr::processDom", initStatus, kModule, __LINE__);

    static const VersionTexts kOld = {" NULL oldDomDoc", "cMetaDomMgr::processDom - No Root Elem in oldDomDoc",
                                      "failed processDom_Doc for oldPackage 2"};
    static const VersionTexts kNew = {" NULL newDomDoc", "cMetaDomMgr::processDom - No Root Elem in newDomDoc",
                                      "failed processDom_Doc for newPackage"};
    bool oldAvailable = false;
    bool newAvailable = false;
    std::int32_t status = LoadVersionContained(cMetaDiffInput::GetOldMetaName(), diffDoc,
                                               &cMetaDiffDoc::CreateOldPackage, kOld, oldAvailable);
    if (status < 0) return status;
    status = LoadVersionContained(cMetaDiffInput::GetNewMetaName(), diffDoc, &cMetaDiffDoc::CreateNewPackage, kNew,
                                  newAvailable);
    if (status < 0) return status;

    if (cDDLXMLParser::terminate() < 0)
        return QORMDRaise("failed cDDLXMLParser::terminate in cMetaDomMgr::processDom", "MDInternalError_1", kModule,
                          __LINE__);
    if (!oldAvailable && !newAvailable)
        return QORMDRaise("Both old and New Metadata not available", "MDInternalError_1", kModule, __LINE__);
    return QORMDSucceed(kModule, __LINE__);
}
