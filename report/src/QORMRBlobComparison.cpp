// SPDX-License-Identifier: Apache-2.0
#include "QORMRBlobComparison.h"

#include <xercesc/dom/DOMDocument.hpp>

#include "QORMDMetaDiffMgr.h"
#include "QORMRComparison.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {

// Parses bytes (when there are any) and has the diff result create the
// version's package from it: false when it does not load.
bool LoadVersion(const std::string* bytes, cMetaDiffDoc& document,
                 cQORMDMetaPackage* (cMetaDiffDoc::*create)(const DOM_Element&)) {
    DOM_Element root;
    if (bytes) {
        DOM_Document parsed;
        if (cDDLXMLParser::parseXMLBytes(*bytes, ZULUnicodeString("version"), parsed) < 0 || parsed.isNull())
            return false;
        root = parsed.share(parsed->getDocumentElement());
        if (root.isNull()) return false;
    }
    return (document.*create)(root) != nullptr;
}

}  // namespace

cBlobComparison::cBlobComparison(const std::string* oldBytes, const std::string* newBytes)
    : oldBytes_(oldBytes), newBytes_(newBytes), document_(std::make_unique<cMetaDiffDoc>()) {}

cBlobComparison::Outcome cBlobComparison::Run() {
    if (cDDLXMLParser::init() < 0) return kFailed;
    Outcome outcome = kCompared;
    try {
        if (!LoadVersion(oldBytes_, *document_, &cMetaDiffDoc::CreateOldPackage) ||
            !LoadVersion(newBytes_, *document_, &cMetaDiffDoc::CreateNewPackage))
            outcome = kDoesNotLoad;
    } catch (...) {  // memory ran out while parsing or building the model
        outcome = kFailed;
    }
    cDDLXMLParser::terminate();
    if (outcome != kCompared) return outcome;
    if (cMetaDiffMgr().processDiff(*document_) >= 0) return kCompared;
    return cReportComparison::NeitherNamed(*document_) ? kUnnamed : kFailed;
}
