// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaModified.h"

#include "QORMDMetaDiffElem.h"
#include "QORMDMetaDiffField.h"
#include "QORMDMetaElem.h"
#include "QORMDMetaField.h"
#include "QORMDOwnedItems.h"
#include "QORMetaUtil/QORMUTrace.h"

cMetaModified::cMetaModified() : entries(10) {}

cMetaModified::~cMetaModified() {
    if (Terminate() != 0) Trace("! failed cMetaModified::Terminate", QORMUTrace_W3);
}

ZULUnicodeString cMetaModified::getTagName() { return ZULUnicodeString("Modified"); }

int cMetaModified::getListMetaDiffElem(ZULRawCollPV& list) {
    ZULHashCodeIter it(entries);
    while (it++) list.Append(entries[it]);
    return 0;
}

cMetaDiffElem* cMetaModified::GetMetaDiffElem(cQORMDMetaField* field) {
    if (!field) {
        Trace("NULL input in cMetaModified::GetMetaDiffElem", QORMUTrace_W3);
        return nullptr;
    }
    cQORMDMetaElem* owner = field->GetOwner();
    if (!owner) {
        Trace("NULL pParent  in cMetaModified::GetMetaDiffElem", QORMUTrace_W3);
        return nullptr;
    }
    const ZULUnicodeString key = owner->GetUuid();
    if (auto* entry = static_cast<cMetaDiffElem*>(entries.Locate(key))) return entry;
    auto* entry = new cMetaDiffElem(owner);
    entries.Insert(key, entry);
    return entry;
}

int cMetaModified::AppendField(cQORMDMetaField* field, void (cMetaDiffElem::*append)(cMetaDiffField*),
                               const char* nullInput) {
    cMetaDiffElem* entry = field ? GetMetaDiffElem(field) : nullptr;
    if (!entry) {
        Trace(nullInput, QORMUTrace_W3);
        return -1;
    }
    (entry->*append)(new cMetaDiffField(field));
    return 0;
}

int cMetaModified::AppendModDeleted(cQORMDMetaField* field) {
    return AppendField(field, &cMetaDiffElem::AppendModDeleted, "NULL input in cMetaModified::AppendModDeleted");
}

int cMetaModified::AppendModAdded(cQORMDMetaField* field) {
    return AppendField(field, &cMetaDiffElem::AppendModAdded, "NULL input in cMetaModified::AppendModAdded");
}

int cMetaModified::AppendModModified(cQORMDMetaField* oldField, cQORMDMetaField* newField) {
    cMetaDiffElem* entry = (oldField && newField) ? GetMetaDiffElem(oldField) : nullptr;
    if (!entry) {
        Trace("NULL input in cMetaModified::AppendModModified", QORMUTrace_W3);
        return -1;
    }
    entry->AppendModModified(new cMetaDiffField(oldField, newField));
    return 0;
}

int cMetaModified::Terminate() {
    QORMDDeleteValues<cMetaDiffElem>(entries);
    return 0;
}
