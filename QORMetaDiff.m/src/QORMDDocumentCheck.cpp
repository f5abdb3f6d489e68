// SPDX-License-Identifier: Apache-2.0
#include "QORMDDocumentCheck.h"

#include <string_view>

#include <xercesc/dom/DOMDocument.hpp>

#include "QORMDContainerCheck.h"
#include "QORMDMetaChildLoader.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

std::u16string_view TagOf(const DOMNode* node) { return reinterpret_cast<const char16_t*>(node->getNodeName()); }

const DOMElement* FirstChildElement(const DOMNode* node) {
    for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        if (child->getNodeType() == DOMNode::ELEMENT_NODE) return static_cast<const DOMElement*>(child);
    return nullptr;
}

const DOMElement* NextSiblingElement(const DOMNode* node) {
    for (const DOMNode* sibling = node->getNextSibling(); sibling; sibling = sibling->getNextSibling())
        if (sibling->getNodeType() == DOMNode::ELEMENT_NODE) return static_cast<const DOMElement*>(sibling);
    return nullptr;
}

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
    details.recordDepth = kLevels;
    details.byteColumns = byteColumns;
    const int status = cDDLXMLParser::parseXMLFile(ZULUnicodeString(fileName.c_str()), document, &details);
    return Of(status, document, details);
}

std::vector<cCheckProblem> cDocumentCheck::OfBytes(const std::string& bytes, const std::string& name) {
    DOM_Document document;
    cDDLXMLParseDetails details;
    details.recordDepth = kLevels;
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
    if (!package) return problems;
    // The recorded start tags are those of every element of the first three
    // levels in document order, read or skipped: the walk visits them all in
    // that order, so the next one is always the current element's.
    std::size_t next = 0;
    const auto startOf = [&]() {
        return next < details.startTags.size() ? details.startTags[next++] : cDDLXMLPosition{};
    };
    Package(package, startOf(), problems);
    cContainerCheck classes(true, problems);
    for (const DOMElement* cls = FirstChildElement(package); cls; cls = NextSiblingElement(cls)) {
        const cDDLXMLPosition classAt = startOf();
        const bool isClass = QORMDReadsAsChild(TagOf(cls), kQORMDClassRules);
        if (isClass) classes.Child(cls, classAt);
        cContainerCheck attributes(false, problems);
        for (const DOMElement* attribute = FirstChildElement(cls); attribute;
             attribute = NextSiblingElement(attribute)) {
            const cDDLXMLPosition attributeAt = startOf();
            if (isClass && QORMDReadsAsChild(TagOf(attribute), kQORMDAttribRules))
                attributes.Child(attribute, attributeAt);
        }
    }
    return problems;
}
