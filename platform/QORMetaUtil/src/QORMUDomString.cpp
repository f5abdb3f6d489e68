#include "QORMetaUtil/QORMUDomString.h"

ZULUnicodeString DOMToZULUnicodeString(const XMLCh* text) {
    return ZULUnicodeString(reinterpret_cast<const char16_t*>(text));
}

void DOMToZULUnicodeString(const XMLCh* text, ZULUnicodeString& result) {
    result = DOMToZULUnicodeString(text);
}

ZULUnicodeString getQorvMetaGenValue(DOM_Attr attribute) {
    if (attribute.isNull()) return ZULUnicodeString();
    return DOMToZULUnicodeString(attribute->getValue());
}
