// SPDX-License-Identifier: Apache-2.0
// cQORMDMetaField: one field of a loaded element, standing for one XML
// attribute. Name and value are read from the attribute node on demand.
// Lives in the arena of its document (QORMDArenaAllocated.h).
#pragma once

#include "QORMDArenaAllocated.h"
#include "QORMDMetaObject.h"
#include "QORMetaUtil/QORMUDomHandle.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "ZULBase/ZULUnicodeString.h"

class cQORMDMetaElem;

class cQORMDMetaField : public cMetaObject {
public:
    cQORMDMetaField(DOM_Attr attribute, cQORMDMetaElem* owner);
    ~cQORMDMetaField() override;

    ZULUnicodeString GetName() const;
    // The value; empty (with a trace) when the attribute has none.
    ZULUnicodeString GetValue() const;
    // Whether other has the same value, compared in the DOM without copying
    // either; an empty value goes through GetValue on both, with its trace.
    bool HasSameValue(const cQORMDMetaField& other) const;
    // The value as the DOM holds it, without a copy or a trace; null or
    // empty when there is none.
    const XMLCh* GetDOMValue() const { return QORMUAttrValue(attribute.get()); }
    cQORMDMetaElem* GetOwner() const { return owner; }

    QORMD_ARENA_ALLOCATED

private:
    DOM_Attr attribute;     // borrowed: the package keeps the document alive
    cQORMDMetaElem* owner;  // not owned
};
