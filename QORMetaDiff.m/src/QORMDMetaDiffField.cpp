#include "QORMDMetaDiffField.h"

#include "QORMDMetaField.h"
#include "QORMetaUtil/QORMUTrace.h"

cMetaDiffField::cMetaDiffField(cQORMDMetaField* field) : metaField(field), metaField1(nullptr) {}

cMetaDiffField::cMetaDiffField(cQORMDMetaField* field, cQORMDMetaField* field1)
    : metaField(field), metaField1(field1) {}

cMetaDiffField::~cMetaDiffField() {
    metaField = nullptr;
    metaField1 = nullptr;
}

ZULUnicodeString cMetaDiffField::getName() const {
    if (metaField) return metaField->GetName();
    Trace("NULL metaField in cMetaDiffField::getName", QORMUTrace_W3);
    return ZULUnicodeString();
}

ZULUnicodeString cMetaDiffField::getValue() const {
    if (metaField) return metaField->GetValue();
    Trace("NULL metaField in cMetaDiffField::getValue", QORMUTrace_W3);
    return ZULUnicodeString();
}

ZULUnicodeString cMetaDiffField::getNewName() const {
    if (metaField1) return metaField1->GetName();
    Trace("NULL metaField1 in cMetaDiffField::getName", QORMUTrace_W3);
    return ZULUnicodeString();
}

ZULUnicodeString cMetaDiffField::getNewValue() const {
    if (metaField1) return metaField1->GetValue();
    Trace("NULL metaField1 in cMetaDiffField::getNewValue", QORMUTrace_W3);
    return ZULUnicodeString();
}
