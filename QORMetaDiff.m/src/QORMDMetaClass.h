// SPDX-License-Identifier: Apache-2.0
// cQORMDMetaClass: a class-level element; owns its attribute elements,
// keyed by upper-cased Uuid. Lives in the arena of its document.
#pragma once

#include "QORMDArenaAllocated.h"
#include "QORMDMetaElem.h"

class cQORMDMetaClass : public cQORMDMetaElem {
public:
    cQORMDMetaClass(cQORMDMetaElem* parent, const DOM_Element& element);
    ~cQORMDMetaClass() override;

    // Reads the class's fields, then its attribute elements: 0, or the
    // negative status of the first failure.
    int init() override;
    int terminate();
    ZULHashDico* GetAttribs() { return &attributes; }

    QORMD_ARENA_ALLOCATED

private:
    ZULHashDico attributes;  // upper-cased Uuid -> cQORMDMetaAttrib*, owned
};
