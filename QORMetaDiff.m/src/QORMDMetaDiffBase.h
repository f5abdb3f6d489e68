// SPDX-License-Identifier: Apache-2.0
// cMetaDiffBase: a category of the diff (added, deleted, modified) and the
// diff root. The default bodies trace that they should not be reached.
#pragma once

#include "QORMDMetaObject.h"
#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULRawCollPV.h"
#include "ZULBase/ZULUnicodeString.h"

class cMetaDiffElem;

class cMetaDiffBase : public cMetaObject {
public:
    ~cMetaDiffBase() override = 0;
    // The tag of the section this category fills.
    virtual ZULUnicodeString getTagName();
    // Builds the node of one entry in doc: 0 and node set, or -1 and node untouched.
    virtual int getDomNodeForMetaDiffElem(cMetaDiffElem* elem, DOM_Document& doc, DOM_Node& node);
    // Delivers the entries (still owned by the category); always 0.
    virtual int getListMetaDiffElem(ZULRawCollPV& list);
};
