// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffBase.h"

#include "QORMetaUtil/QORMUTrace.h"

cMetaDiffBase::~cMetaDiffBase() = default;

ZULUnicodeString cMetaDiffBase::getTagName() {
    Trace("Should Not have reached here cMetaDiffBase::getTagName", QORMUTrace_W3);
    return ZULUnicodeString();
}

int cMetaDiffBase::getDomNodeForMetaDiffElem(cMetaDiffElem*, DOM_Document&, DOM_Node&) {
    Trace("Should Not have reached here cMetaDiffBase::getDomNodeForMetaDiffElem", QORMUTrace_W3);
    return 0;
}

int cMetaDiffBase::getListMetaDiffElem(ZULRawCollPV&) {
    Trace("Should Not have reached here cMetaDiffBase::getListMetaDiffElem", QORMUTrace_W3);
    return 0;
}
