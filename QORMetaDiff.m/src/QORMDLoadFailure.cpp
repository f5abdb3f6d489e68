// SPDX-License-Identifier: Apache-2.0
#include "QORMDLoadFailure.h"

#include <cstdio>

#include <xercesc/dom/DOMDocument.hpp>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "ZULBase/ZULError.h"

using namespace xercesc;

namespace {

const XMLCh kFailedElement[] = u"QORMDLoadFailedElement";
const XMLCh kMissing[] = u"QORMDLoadFailureMissing";

}  // namespace

ZULUnicodeString QORMDSketchElement(const DOMElement* element) {
    ZULUnicodeString text("<");
    text.Append(DOMToZULUnicodeString(element->getTagName()));
    for (const XMLCh* attribute : {u"Name", u"Uuid"}) {
        const XMLCh* value = element->getAttribute(attribute);
        if (QORMUIsNullDOMString(value)) continue;
        text.Append(" ").Append(DOMToZULUnicodeString(attribute)).Append("=\"");
        text.Append(DOMToZULUnicodeString(value)).Append("\"");
        break;
    }
    return text.Append(">");
}

ZULUnicodeString QORMDDescribeElement(const DOMElement* element, bool isClass) {
    ZULUnicodeString text(isClass ? "the class " : "the attribute ");
    text.Append(QORMDSketchElement(element));
    const DOMNode* parent = element->getParentNode();
    if (!isClass && parent && parent->getNodeType() == DOMNode::ELEMENT_NODE)
        text.Append(" of the class ").Append(QORMDSketchElement(static_cast<const DOMElement*>(parent)));
    return text;
}

ZULUnicodeString QORMDParserFailure(std::int32_t parseStatus, const ZULUnicodeString& fileName) {
    const ZULError* error = ZULError::ZULGetLastError(parseStatus, nullptr);
    if (error && error->GetParameters().size() == 1) return error->GetParameters()[0];
    ZULUnicodeString text("\"");
    return text.Append(fileName).Append("\" could not be read");
}

ZULUnicodeString QORMDWithPlace(const char* text, const ZULUnicodeString& where) {
    ZULUnicodeString parameter(text);
    if (!where.IsEmpty()) parameter.Append(": ").Append(where);
    return parameter;
}

void QORMDMarkLoadFailure(const DOMElement* element, const char* missing) {
    DOMDocument* document = element->getOwnerDocument();
    document->setUserData(kFailedElement, const_cast<DOMElement*>(element), nullptr);
    document->setUserData(kMissing, const_cast<char*>(missing), nullptr);
}

ZULUnicodeString QORMDDescribeLoadFailure(const DOM_Element& root, const ZULUnicodeString& fileName) {
    DOMDocument* document = root.isNull() ? nullptr : root->getOwnerDocument();
    const auto* element = document ? static_cast<const DOMElement*>(document->getUserData(kFailedElement)) : nullptr;
    if (!element) return ZULUnicodeString();
    const auto* missing = static_cast<const char*>(document->getUserData(kMissing));
    ZULUnicodeString text = QORMDDescribeElement(element, element->getParentNode() == root.get());
    const unsigned long line = cDDLXMLParser::lineOfElement(fileName, element);
    if (line > 0) {
        char number[24];
        std::snprintf(number, sizeof number, "%lu", line);
        text.Append(" on line ").Append(number);
    }
    text.Append(" of \"").Append(fileName).Append("\" has no ").Append(missing).Append(" (or an empty one)");
    return text;
}
