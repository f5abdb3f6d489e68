// cMergeFields: the fields (XML attributes) of one modelled element, merged
// three ways by exact name. A field is taken from the side that changed it
// relative to base; both changing it to the same value is no conflict; to
// different values (deleting counts as a change) is a conflict, where ours'
// side is kept. The result follows ours' field order, theirs' new fields after.
#pragma once

#include <xercesc/dom/DOM.hpp>

#include "QORMDMetaElem.h"
#include "QORMMergeConflictLog.h"
#include "QORMMergePlace.h"

class cMergeFields {
public:
    // Sets the merged fields on result. base is null for an element both
    // sides added: every field is then new on both.
    static void Merge(cQORMDMetaElem* base, cQORMDMetaElem& ours, cQORMDMetaElem& theirs, xercesc::DOMElement* result,
                      const cMergePlace& place, cMergeConflictLog& log);
};
