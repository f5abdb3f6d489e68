// SPDX-License-Identifier: Apache-2.0
// cMetaModified: the "Modified" category. One cMetaDiffElem per element
// whose fields differ, keyed by the element's upper-cased Uuid; each entry
// is written as an element with the element's tag and "Uuid", holding one
// "Modified" child per changed field, then at most one "Deleted" and one
// "Added" child carrying the deleted and added fields.
#pragma once

#include "QORMDMetaDiffBase.h"
#include "ZULBase/ZULHashDico.h"

class cQORMDMetaField;
class cMetaDiffField;

class cMetaModified : public cMetaDiffBase {
public:
    cMetaModified();
    ~cMetaModified() override;

    ZULUnicodeString getTagName() override;
    int getDomNodeForMetaDiffElem(cMetaDiffElem* elem, DOM_Document& doc, DOM_Node& node) override;
    // Appends the entries to list, in the dictionary's order.
    int getListMetaDiffElem(ZULRawCollPV& list) override;

    // The entry of the element that owns field, created when missing; null on null input.
    cMetaDiffElem* GetMetaDiffElem(cQORMDMetaField* field);
    int AppendModDeleted(cQORMDMetaField* field);
    int AppendModAdded(cQORMDMetaField* field);
    int AppendModModified(cQORMDMetaField* oldField, cQORMDMetaField* newField);
    int Terminate();

    int CreateDomNode_ModModified(cMetaDiffElem* elem, DOM_Document& doc, DOM_Element& entry);
    int CreateDomNode_ModDeleted(cMetaDiffElem* elem, DOM_Document& doc, DOM_Element& entry);
    int CreateDomNode_ModAdded(cMetaDiffElem* elem, DOM_Document& doc, DOM_Element& entry);

private:
    // Records a deleted or added field in its element's entry.
    int AppendField(cQORMDMetaField* field, void (cMetaDiffElem::*append)(cMetaDiffField*), const char* nullInput);

    ZULHashDico entries;  // upper-cased Uuid -> cMetaDiffElem*, owned
};
