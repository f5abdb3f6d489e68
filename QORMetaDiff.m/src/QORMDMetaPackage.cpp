// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaPackage.h"

#include "QORMDMetaChildLoader.h"
#include "QORMDMetaClass.h"
#include "QORMDOwnedItems.h"
#include "QORMetaUtil/QORMUTrace.h"

const QORMDChildRules kQORMDClassRules = {
    u"Interface",
    u"Enum",
    " <Interface> or <Enum> is discarded",
    "Level2 Elem (Class level) has no Uuid attribute",
    "Level2 Elem (Class level) has no Name attribute",
    "Level2 Elem (Class level) repeats the Uuid of an earlier class and is discarded; Uuid :",
};

cQORMDMetaPackage::cQORMDMetaPackage(const DOM_Element& element_)
    : cQORMDMetaElem(element_, kPackage), classes(10, fields.Memory()) {}

cQORMDMetaPackage::~cQORMDMetaPackage() {
    if (terminate() != 0) Trace("! failed cQORMDMetaPackage::terminate", QORMUTrace_W3);
}

int cQORMDMetaPackage::init() {
    const int status = cQORMDMetaElem::init();
    if (status < 0) return status;
    if (element.isNull()) return 0;
    return QORMDLoadChildren(
        this, element, classes, kQORMDClassRules,
        [](QORMUArena& arena, cQORMDMetaElem* package, const DOM_Element& child) -> cQORMDMetaElem* {
            return new (arena) cQORMDMetaClass(package, child);
        });
}

int cQORMDMetaPackage::terminate() {
    QORMDDeleteValues<cQORMDMetaClass>(classes);
    return 0;
}
