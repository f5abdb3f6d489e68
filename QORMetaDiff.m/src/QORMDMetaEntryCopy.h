// SPDX-License-Identifier: Apache-2.0
// What cMetaAdded and cMetaDeleted share: the entry node, a copy of the
// entry's source element imported into the diff document (shallow for a
// package, deep otherwise; an attribute gets "ParentUuid", its class's
// upper-cased Uuid).
#pragma once

#include "QORMDMetaDiffElem.h"
#include "QORMetaUtil/QORMUDomHandle.h"
#include "ZULBase/ZULRawCollPV.h"

// The texts that name the calling category's operation.
struct QORMDEntryCopyTexts {
    const char* nullInput;
    const char* improperLevel;
    const char* parentUuidGuard;
};

int QORMDCopyEntryNode(cMetaDiffElem* elem, DOM_Document& doc, DOM_Node& node, const QORMDEntryCopyTexts& texts);
