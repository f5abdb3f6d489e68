// SPDX-License-Identifier: Apache-2.0
// cMetaDeleted: the "Deleted" category; its entries, in the order of recording,
// are written as copies of their source elements.
#pragma once

#include "QORMDMetaDiffBase.h"

class cQORMDMetaPackage;
class cQORMDMetaClass;
class cQORMDMetaAttrib;

class cMetaDeleted : public cMetaDiffBase {
public:
    cMetaDeleted();
    ~cMetaDeleted() override;

    ZULUnicodeString getTagName() override;
    int getDomNodeForMetaDiffElem(cMetaDiffElem* elem, DOM_Document& doc, DOM_Node& node) override;
    // Replaces list's contents with the entries.
    int getListMetaDiffElem(ZULRawCollPV& list) override;

    void AppendPackage(cQORMDMetaPackage* elem);
    void AppendClass(cQORMDMetaClass* elem);
    void AppendAttrib(cQORMDMetaAttrib* elem);
    int Terminate();

private:
    ZULRawCollPV entries;  // cMetaDiffElem*, owned
};
