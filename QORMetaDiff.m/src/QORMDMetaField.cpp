// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaField.h"

#include <xercesc/util/XMLString.hpp>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"

cQORMDMetaField::cQORMDMetaField(DOM_Attr attribute_, cQORMDMetaElem* owner_)
    : attribute(std::move(attribute_)), owner(owner_) {}

cQORMDMetaField::~cQORMDMetaField() { owner = nullptr; }

ZULUnicodeString cQORMDMetaField::GetName() const {
    const XMLCh* name = attribute.isNull() ? nullptr : attribute->getName();
    if (QORMUIsNullDOMString(name)) {
        Trace("Field has no Name", QORMUTrace_W3);
        return ZULUnicodeString();
    }
    return DOMToZULUnicodeString(name);
}

ZULUnicodeString cQORMDMetaField::GetValue() const {
    ZULUnicodeString value = getQorvMetaGenValue(attribute);
    if (value.IsEmpty()) Trace("Field has no Value :", GetName(), QORMUTrace_W3);
    return value;
}

bool cQORMDMetaField::HasSameValue(const cQORMDMetaField& other) const {
    const XMLCh* mine = GetDOMValue();
    const XMLCh* theirs = other.GetDOMValue();
    if (QORMUIsNullDOMString(mine) || QORMUIsNullDOMString(theirs)) return GetValue() == other.GetValue();
    return xercesc::XMLString::equals(mine, theirs);
}
