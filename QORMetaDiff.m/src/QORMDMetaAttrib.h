// SPDX-License-Identifier: Apache-2.0
// cQORMDMetaAttrib: an attribute-level element; its init reads its fields
// only. Lives in the arena of its document.
#pragma once

#include "QORMDArenaAllocated.h"
#include "QORMDMetaElem.h"

class cQORMDMetaAttrib : public cQORMDMetaElem {
public:
    cQORMDMetaAttrib(cQORMDMetaElem* parent, const DOM_Element& element);
    ~cQORMDMetaAttrib() override;

    QORMD_ARENA_ALLOCATED
};
