// SPDX-License-Identifier: Apache-2.0
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

namespace {

// What get gives for field, or the empty string after the missing trace.
ZULUnicodeString Read(const cQORMDMetaField* field, ZULUnicodeString (cQORMDMetaField::*get)() const,
                      const char* missing) {
    if (field) return (field->*get)();
    Trace(missing, QORMUTrace_W3);
    return ZULUnicodeString();
}

}  // namespace

ZULUnicodeString cMetaDiffField::getName() const {
    return Read(metaField, &cQORMDMetaField::GetName, "NULL metaField in cMetaDiffField::getName");
}

ZULUnicodeString cMetaDiffField::getValue() const {
    return Read(metaField, &cQORMDMetaField::GetValue, "NULL metaField in cMetaDiffField::getValue");
}

ZULUnicodeString cMetaDiffField::getNewName() const {
    return Read(metaField1, &cQORMDMetaField::GetName, "NULL metaField1 in cMetaDiffField::getName");
}

ZULUnicodeString cMetaDiffField::getNewValue() const {
    return Read(metaField1, &cQORMDMetaField::GetValue, "NULL metaField1 in cMetaDiffField::getNewValue");
}
