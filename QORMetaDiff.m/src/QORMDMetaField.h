// cQORMDMetaField: one field of a loaded element, standing for one XML
// attribute. Name and value are read from the attribute node on demand.
#pragma once

#include "QORMDMetaObject.h"
#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULUnicodeString.h"

class cQORMDMetaElem;

class cQORMDMetaField : public cMetaObject {
public:
    cQORMDMetaField(DOM_Attr attribute, cQORMDMetaElem* owner);
    ~cQORMDMetaField() override;

    ZULUnicodeString GetName() const;
    // The value; empty (with a trace) when the attribute has none.
    ZULUnicodeString GetValue() const;
    cQORMDMetaElem* GetOwner() const { return owner; }

private:
    DOM_Attr attribute;
    cQORMDMetaElem* owner;  // not owned
};
