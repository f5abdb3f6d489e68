// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

ZULUnicodeString DOMToZULUnicodeString(const XMLCh* text) {
    return ZULUnicodeString(reinterpret_cast<const char16_t*>(text));
}

void DOMToZULUnicodeString(const XMLCh* text, ZULUnicodeString& result) { result = DOMToZULUnicodeString(text); }

ZULUnicodeString getQorvMetaGenValue(DOM_Attr attribute) {
    if (attribute.isNull()) return ZULUnicodeString();
    return DOMToZULUnicodeString(QORMUAttrValue(attribute.get()));
}

const XMLCh* QORMUAttrValue(const DOMAttr* attribute) {
    if (!attribute) return nullptr;
    const DOMNode* first = attribute->getFirstChild();
    if (first && !first->getNextSibling() && first->getNodeType() == DOMNode::TEXT_NODE) return first->getNodeValue();
    return attribute->getValue();
}
