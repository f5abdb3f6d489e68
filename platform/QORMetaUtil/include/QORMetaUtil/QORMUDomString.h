// SPDX-License-Identifier: Apache-2.0
// Conversions between DOM strings (XMLCh, UTF-16) and ZULUnicodeString.
#pragma once

#include <xercesc/util/XercesDefs.hpp>

#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULUnicodeString.h"

static_assert(sizeof(XMLCh) == sizeof(char16_t), "XMLCh must be a UTF-16 code unit");

// A null DOM string gives the empty string.
ZULUnicodeString DOMToZULUnicodeString(const XMLCh* text);
void DOMToZULUnicodeString(const XMLCh* text, ZULUnicodeString& result);
// The string as a zero-terminated DOM string, valid while the string lives unchanged.
inline const XMLCh* ZULToDOMString(const ZULUnicodeString& text) {
    return reinterpret_cast<const XMLCh*>(text.GetUTF16());
}
// True for a null DOM string and for an empty one: both mean "no value".
inline bool QORMUIsNullDOMString(const XMLCh* text) { return text == nullptr || *text == 0; }

// The value of an attribute node; empty means no value.
ZULUnicodeString getQorvMetaGenValue(DOM_Attr attribute);
// The value of an attribute node as the DOM holds it, without a copy; null
// for a null node. A value held in one text node is read from it directly:
// DOMAttr::getValue makes dynamic casts on every call, which cost more than
// the rest of a comparison.
const XMLCh* QORMUAttrValue(const xercesc::DOMAttr* attribute);
