// SPDX-License-Identifier: Apache-2.0
// cMetaDiffElem: one differing element. Points at the element (not owned)
// and owns the field records of its deleted, added and changed fields.
#pragma once

#include "QORMDMetaObject.h"
#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULRawCollPV.h"
#include "ZULBase/ZULUnicodeString.h"

class cQORMDMetaElem;
class cMetaDiffField;

class cMetaDiffElem : public cMetaObject {
public:
    explicit cMetaDiffElem(cQORMDMetaElem* elem);
    ~cMetaDiffElem() override;

    ZULRawCollPV& getModDeletedList() { return deletedFields; }
    ZULRawCollPV& getModAddedList() { return addedFields; }
    ZULRawCollPV& getModModifiedList() { return changedFields; }
    void AppendModDeleted(cMetaDiffField* field) { deletedFields.Append(field); }
    void AppendModAdded(cMetaDiffField* field) { addedFields.Append(field); }
    void AppendModModified(cMetaDiffField* field) { changedFields.Append(field); }

    ZULUnicodeString getUuid() const;
    DOM_Element& getDomElement();
    ZULUnicodeString getTagName() const;
    int getLevel() const;
    ZULUnicodeString getParentUuid() const;
    // The element the entry was made for (for a changed entry, the first of
    // the elements its key stands for: the records' fields tell each one).
    cQORMDMetaElem* getMetaElem() const { return metaElem; }
    int Terminate();

private:
    cQORMDMetaElem* metaElem;
    ZULRawCollPV deletedFields;  // cMetaDiffField*, owned
    ZULRawCollPV addedFields;    // cMetaDiffField*, owned
    ZULRawCollPV changedFields;  // cMetaDiffField*, owned
};
