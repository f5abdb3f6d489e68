// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffElem.h"

#include "QORMDMetaDiffField.h"
#include "QORMDMetaElem.h"
#include "QORMDOwnedItems.h"
#include "QORMetaUtil/QORMUTrace.h"

cMetaDiffElem::cMetaDiffElem(cQORMDMetaElem* elem)
    : metaElem(elem), deletedFields(0), addedFields(0), changedFields(0) {}

cMetaDiffElem::~cMetaDiffElem() {
    if (Terminate() != 0) Trace("! failed cMetaDiffElem::Terminate", QORMUTrace_W3);
}

int cMetaDiffElem::Terminate() {
    metaElem = nullptr;
    QORMDDeleteItems<cMetaDiffField>(deletedFields);
    QORMDDeleteItems<cMetaDiffField>(addedFields);
    QORMDDeleteItems<cMetaDiffField>(changedFields);
    return 0;
}

ZULUnicodeString cMetaDiffElem::getUuid() const { return metaElem ? metaElem->GetUuid() : ZULUnicodeString(); }

DOM_Element& cMetaDiffElem::getDomElement() {
    static DOM_Element none;
    return metaElem ? metaElem->GetDomElement() : none;
}

ZULUnicodeString cMetaDiffElem::getTagName() const { return metaElem ? metaElem->GetTagName() : ZULUnicodeString(); }

int cMetaDiffElem::getLevel() const { return metaElem ? metaElem->GetLevel() : -1; }

ZULUnicodeString cMetaDiffElem::getParentUuid() const {
    if (!metaElem) {
        Trace("NULL metaElem in cMetaDiffElem::getParentUuid", QORMUTrace_W3);
        return ZULUnicodeString();
    }
    if (!metaElem->GetParent()) {
        Trace("NULL getParent for metaElem in cMetaDiffElem::getParentUuid", QORMUTrace_W3);
        return ZULUnicodeString();
    }
    return metaElem->GetParent()->GetUuid();
}
