// SPDX-License-Identifier: Apache-2.0
// cMetaDiffField: one differing field. metaField is the deleted field, the
// added field, or for a change the old one; metaField1 the new one of a
// change. Neither is owned.
#pragma once

#include "QORMDMetaObject.h"
#include "ZULBase/ZULUnicodeString.h"

class cQORMDMetaField;

class cMetaDiffField : public cMetaObject {
public:
    explicit cMetaDiffField(cQORMDMetaField* field);
    cMetaDiffField(cQORMDMetaField* field, cQORMDMetaField* field1);
    ~cMetaDiffField() override;

    ZULUnicodeString getName() const;
    ZULUnicodeString getValue() const;
    ZULUnicodeString getNewName() const;
    ZULUnicodeString getNewValue() const;
    // The fields themselves, and through their owners the very elements
    // (of either version) the record came from.
    cQORMDMetaField* getMetaField() const { return metaField; }
    cQORMDMetaField* getNewMetaField() const { return metaField1; }

private:
    cQORMDMetaField* metaField;
    cQORMDMetaField* metaField1;
};
