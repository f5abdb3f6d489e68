// SPDX-License-Identifier: Apache-2.0
// cMergeFields: the fields (XML attributes) of one modelled element, merged
// three ways by exact name. A field is taken from the side that changed it
// relative to base; both changing it to the same value is no conflict; to
// different values (deleting counts as a change) is a conflict, where ours'
// side is kept. The merged fields are set on ours' element itself, each
// change noted in edits, each conflict in the log.
#pragma once

#include <xercesc/dom/DOM.hpp>

#include "QORMDMetaElem.h"
#include "QORMMergeConflictLog.h"
#include "QORMMergeEdits.h"
#include "QORMMergePlace.h"

class cMergeFields {
public:
    // Changes the fields of ours' element to the merged ones; true when it
    // changed any. base is null for an element both sides added: every
    // field is then new on both.
    static bool Merge(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs, const cMergePlace& place,
                      cMergeConflictLog& log, cMergeEdits& edits);
};
