// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaClass.h"

#include "QORMDMetaAttrib.h"
#include "QORMDMetaChildLoader.h"
#include "QORMDOwnedItems.h"
#include "QORMetaUtil/QORMUTrace.h"

const QORMDChildRules kQORMDAttribRules = {
    u"InterfaceImplementation",
    u"Enumerator",
    " <InterfaceImplementation> or <Enumerator> is discarded",
    "Level3 Elem (Attrib level) has no Uuid attribute",
    "Level3 Elem (Attrib level) has no Name attribute",
    "Level3 Elem (Attrib level) repeats the Uuid of an earlier attribute and is discarded; Uuid :",
};

cQORMDMetaClass::cQORMDMetaClass(cQORMDMetaElem* parent_, const DOM_Element& element_)
    : cQORMDMetaElem(element_, kClass, parent_), attributes(10, fields.Memory()) {}

cQORMDMetaClass::~cQORMDMetaClass() {
    if (terminate() != 0) Trace("! failed cQORMDMetaClass::terminate", QORMUTrace_W3);
}

int cQORMDMetaClass::init() {
    const int status = cQORMDMetaElem::init();
    if (status < 0) return status;
    return QORMDLoadChildren(this, element, attributes, kQORMDAttribRules,
                             [](QORMUArena& arena, cQORMDMetaElem* cls, const DOM_Element& child) -> cQORMDMetaElem* {
                                 return new (arena) cQORMDMetaAttrib(cls, child);
                             });
}

int cQORMDMetaClass::terminate() {
    QORMDDeleteValues<cQORMDMetaAttrib>(attributes);
    return 0;
}
