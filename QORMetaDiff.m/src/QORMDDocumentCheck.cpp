// SPDX-License-Identifier: Apache-2.0
#include "QORMDDocumentCheck.h"

#include <optional>
#include <string_view>

#include <xercesc/dom/DOMDocument.hpp>

#include "QORMDContainerCheck.h"
#include "QORMDDocumentPlaces.h"
#include "QORMDMetaChildLoader.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

std::u16string_view TagOf(const DOMNode* node) { return reinterpret_cast<const char16_t*>(node->getNodeName()); }

}  // namespace

void cDocumentCheck::Package(const DOMElement* package, cDDLXMLPosition at, std::vector<cCheckProblem>& problems) {
    const XMLCh* uuid = nullptr;
    const XMLCh* name = nullptr;
    QORMDReadUuidAndName(package, uuid, name);
    if (!QORMUIsNullDOMString(name)) return;
    const std::string tag = DOMToZULUnicodeString(package->getTagName()).ConvertToChar();
    problems.push_back({cCheckProblem::kUnnamedPackage, cCheckProblem::kError, at,
                        "the package <" + tag +
                            "> has no Name (or an empty one): the diff takes the package's name from the versions "
                            "it compares and refuses them when neither has one, also when this one is compared with "
                            "nothing (added or deleted)"});
}

std::vector<cCheckProblem> cDocumentCheck::OfFile(const std::string& fileName, bool byteColumns) {
    DOM_Document document;
    cDDLXMLParseDetails details;
    details.recordDepth = cDocumentPlaces::kLevels;
    details.byteColumns = byteColumns;
    const int status = cDDLXMLParser::parseXMLFile(ZULUnicodeString(fileName.c_str()), document, &details);
    return Of(status, document, details);
}

std::vector<cCheckProblem> cDocumentCheck::OfBytes(const std::string& bytes, const std::string& name) {
    DOM_Document document;
    cDDLXMLParseDetails details;
    details.recordDepth = cDocumentPlaces::kLevels;
    const int status = cDDLXMLParser::parseXMLBytes(bytes, ZULUnicodeString(name.c_str()), document, &details);
    return Of(status, document, details);
}

std::vector<cCheckProblem> cDocumentCheck::Of(int status, const DOM_Document& document,
                                              const cDDLXMLParseDetails& details) {
    std::vector<cCheckProblem> problems;
    if (status < 0) {
        problems.push_back({cCheckProblem::kUnreadable, cCheckProblem::kError, details.failureAt, details.failure});
        return problems;
    }
    const DOMElement* package = document.isNull() ? nullptr : document->getDocumentElement();
    cContainerCheck classes(true, problems);
    std::optional<cContainerCheck> attributes;
    bool inClass = false;
    cDocumentPlaces::Walk(package, details.startTags, [&](const DOMElement* element, cDDLXMLPosition at, int level) {
        if (level == 0) {
            Package(element, at, problems);
        } else if (level == 1) {
            inClass = QORMDReadsAsChild(TagOf(element), kQORMDClassRules);
            if (inClass) classes.Child(element, at);
            attributes.emplace(false, problems);
        } else if (inClass && QORMDReadsAsChild(TagOf(element), kQORMDAttribRules)) {
            attributes->Child(element, at);
        }
    });
    return problems;
}
