// SPDX-License-Identifier: Apache-2.0
// cMetaModified: building the "Modified" entry of one element in the diff document.
#include "QORMDDomGuard.h"
#include "QORMDMetaDiffElem.h"
#include "QORMDMetaDiffField.h"
#include "QORMDMetaModified.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"

using namespace xercesc;

namespace {

const XMLCh kUuid[] = {u'U', u'u', u'i', u'd', 0};
const XMLCh kOld[] = {u'O', u'l', u'd', 0};
const XMLCh kNew[] = {u'N', u'e', u'w', 0};

// name='value', joined without any change.
ZULUnicodeString Quoted(const ZULUnicodeString& name, const ZULUnicodeString& value) {
    ZULUnicodeString text(name);
    text.Append("='").Append(value).Append("'");
    return text;
}

// The texts of CreateDomNode_ModDeleted and CreateDomNode_ModAdded.
struct FieldChildTexts {
    const XMLCh* tag;
    const char* nullRecord;
    const char* createGuard;
};

// One child carrying each field of list as an attribute name="value",
// attached only once all its attributes are set.
int CreateFieldChild(ZULRawCollPV& list, DOM_Document& doc, DOM_Element& entry, const FieldChildTexts& texts) {
    const int count = list.Size();
    if (count == 0) return 0;
    DOMElement* child = nullptr;
    if (QORMDDomGuard(texts.createGuard, [&] { child = doc->createElement(texts.tag); }) != 0) return -1;
    for (int i = 1; i <= count; ++i) {
        auto* record = static_cast<cMetaDiffField*>(list[i]);
        if (!record) {
            Trace(texts.nullRecord, QORMUTrace_W3);
            continue;
        }
        const ZULUnicodeString name = record->getName();
        const ZULUnicodeString value = record->getValue();
        if (QORMDDomGuard("! Failed DOM_Element::setAttribute() in cMetaModified::getDomNodeForMetaDiffElem :",
                          [&] { child->setAttribute(ZULToDOMString(name), ZULToDOMString(value)); }) != 0) {
            child->release();
            return -1;
        }
    }
    if (QORMDDomGuard("! Failed DOM_Node::AppendChild in cMetaModified::getDomNodeForMetaDiffElem",
                      [&] { entry->appendChild(child); }) != 0) {
        child->release();
        return -1;
    }
    return 0;
}

}  // namespace

int cMetaModified::getDomNodeForMetaDiffElem(cMetaDiffElem* elem, DOM_Document& doc, DOM_Node& node) {
    if (!elem) {
        Trace("NULL input in cMetaModified::getDomNodeForMetaDiffElem", QORMUTrace_W3);
        return -1;
    }
    const ZULUnicodeString tag = elem->getTagName();
    DOMElement* created = nullptr;
    if (QORMDDomGuard("! failed DOM_Document::createElement in cMetaModified::getDomNodeForMetaDiffElem :",
                      [&] { created = doc->createElement(ZULToDOMString(tag)); }) != 0)
        return -1;
    DOM_Element entry = doc.share(created);
    ZULUnicodeString uuid = elem->getUuid();
    uuid.ToUpper();
    if (QORMDDomGuard("! failed DOM_Element::setAttribute(\"Uuid\") in cMetaModified::getDomNodeForMetaDiffElem :",
                      [&] { entry->setAttribute(kUuid, ZULToDOMString(uuid)); }) != 0) {
        created->release();
        return -1;
    }
    CreateDomNode_ModModified(elem, doc, entry);
    CreateDomNode_ModDeleted(elem, doc, entry);
    CreateDomNode_ModAdded(elem, doc, entry);
    node = entry;
    return 0;
}

int cMetaModified::CreateDomNode_ModModified(cMetaDiffElem* elem, DOM_Document& doc, DOM_Element& entry) {
    if (!elem) {
        Trace("NULL input in cMetaModified::CreateDomNode_ModModified", QORMUTrace_W3);
        return -1;
    }
    ZULRawCollPV& list = elem->getModModifiedList();
    const int count = list.Size();
    for (int i = 1; i <= count; ++i) {
        DOMElement* child = nullptr;
        if (QORMDDomGuard("! failed DOM_Document::createElement in cMetaModified::getDomNodeForMetaDiffElem :",
                          [&] { child = doc->createElement(u"Modified"); }) != 0)
            return -1;
        auto* record = static_cast<cMetaDiffField*>(list[i]);
        if (!record) {
            Trace("NULL diffField in cMetaModified::CreateDomNode_ModModified", QORMUTrace_W3);
            child->release();
            continue;
        }
        const ZULUnicodeString oldText = Quoted(record->getName(), record->getValue());
        const ZULUnicodeString newText = Quoted(record->getNewName(), record->getNewValue());
        const bool built =
            QORMDDomGuard("! Failed DOM_Element::setAttribute(\"Old\") in cMetaModified::getDomNodeForMetaDiffElem :",
                          [&] { child->setAttribute(kOld, ZULToDOMString(oldText)); }) == 0 &&
            QORMDDomGuard("! Failed DOM_Element::setAttribute(\"New\") in cMetaModified::getDomNodeForMetaDiffElem :",
                          [&] { child->setAttribute(kNew, ZULToDOMString(newText)); }) == 0 &&
            QORMDDomGuard("! Failed DOM_Node::AppendChild in cMetaModified::getDomNodeForMetaDiffElem",
                          [&] { entry->appendChild(child); }) == 0;
        if (!built) {
            child->release();
            return -1;
        }
    }
    return 0;
}

int cMetaModified::CreateDomNode_ModDeleted(cMetaDiffElem* elem, DOM_Document& doc, DOM_Element& entry) {
    if (!elem) {
        Trace("NULL input in cMetaModified::CreateDomNode_ModDeleted", QORMUTrace_W3);
        return -1;
    }
    static const FieldChildTexts kTexts = {
        u"Deleted",
        "NULL diffField in cMetaModified::CreateDomNode_ModDeleted",
        "! failed DOM_Document::createElement in cMetaModified::CreateDomNode_ModDeleted :",
    };
    return CreateFieldChild(elem->getModDeletedList(), doc, entry, kTexts);
}

int cMetaModified::CreateDomNode_ModAdded(cMetaDiffElem* elem, DOM_Document& doc, DOM_Element& entry) {
    if (!elem) {
        Trace("NULL input in cMetaModified::CreateDomNode_ModAdded", QORMUTrace_W3);
        return -1;
    }
    static const FieldChildTexts kTexts = {
        u"Added",
        "NULL diffField in cMetaModified::CreateDomNode_ModAdded",
        "! failed DOM_Document::createElement in cMetaModified::CreateDomNode_ModAdded :",
    };
    return CreateFieldChild(elem->getModAddedList(), doc, entry, kTexts);
}
