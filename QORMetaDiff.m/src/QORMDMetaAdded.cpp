// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaAdded.h"

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
    "NULL input cMetaDiffElem in cMetaAdded::getDomNodeForMetaDiffElem",
    "improper entity level in cMetaAdded::getDomNodeForMetaDiffElem",
    "! Failed DOM_Element::setAttribute(\"ParentUuid\") in cMetaAdded::getDomNodeForMetaDiffElem :",
};
}  // namespace

cMetaAdded::cMetaAdded() : entries(0) {}

cMetaAdded::~cMetaAdded() {
    if (Terminate() != 0) Trace("! failed cMetaAdded::Terminate", QORMUTrace_W3);
}

ZULUnicodeString cMetaAdded::getTagName() { return ZULUnicodeString("Added"); }

int cMetaAdded::getDomNodeForMetaDiffElem(cMetaDiffElem* elem, DOM_Document& doc, DOM_Node& node) {
    return QORMDCopyEntryNode(elem, doc, node, kTexts);
}

int cMetaAdded::getListMetaDiffElem(ZULRawCollPV& list) {
    list = entries;
    return 0;
}

void cMetaAdded::AppendPackage(cQORMDMetaPackage* elem) { entries.Append(new cMetaDiffPackage(elem)); }

void cMetaAdded::AppendClass(cQORMDMetaClass* elem) { entries.Append(new cMetaDiffClass(elem)); }

void cMetaAdded::AppendAttrib(cQORMDMetaAttrib* elem) { entries.Append(new cMetaDiffAttrib(elem)); }

int cMetaAdded::Terminate() {
    QORMDDeleteItems<cMetaDiffElem>(entries);
    return 0;
}
