// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDeleted.h"

#include "QORMDMetaAttrib.h"
#include "QORMDMetaClass.h"
#include "QORMDMetaDiffAttrib.h"
#include "QORMDMetaDiffClass.h"
#include "QORMDMetaDiffPackage.h"
#include "QORMDMetaEntryCopy.h"
#include "QORMDMetaPackage.h"
#include "QORMDOwnedItems.h"
#include "QORMetaUtil/QORMUTrace.h"

namespace {
const QORMDEntryCopyTexts kTexts = {
    "NULL input cMetaDiffElem in cMetaDeleted::getDomNodeForMetaDiffElem",
    "improper entity level in cMetaDeleted::getDomNodeForMetaDiffElem",
    "! Failed DOM_Element::setAttribute(\"ParentUuid\") in cMetaDeleted::getDomNodeForMetaDiffElem :",
};
}  // namespace

cMetaDeleted::cMetaDeleted() : entries(0) {}

cMetaDeleted::~cMetaDeleted() {
    if (Terminate() != 0) Trace("! failed cMetaDeleted::Terminate", QORMUTrace_W3);
}

ZULUnicodeString cMetaDeleted::getTagName() { return ZULUnicodeString("Deleted"); }

int cMetaDeleted::getDomNodeForMetaDiffElem(cMetaDiffElem* elem, DOM_Document& doc, DOM_Node& node) {
    return QORMDCopyEntryNode(elem, doc, node, kTexts);
}

int cMetaDeleted::getListMetaDiffElem(ZULRawCollPV& list) {
    list = entries;
    return 0;
}

void cMetaDeleted::AppendPackage(cQORMDMetaPackage* elem) { entries.Append(new cMetaDiffPackage(elem)); }

void cMetaDeleted::AppendClass(cQORMDMetaClass* elem) { entries.Append(new cMetaDiffClass(elem)); }

void cMetaDeleted::AppendAttrib(cQORMDMetaAttrib* elem) { entries.Append(new cMetaDiffAttrib(elem)); }

int cMetaDeleted::Terminate() {
    QORMDDeleteItems<cMetaDiffElem>(entries);
    return 0;
}
