// SPDX-License-Identifier: Apache-2.0
// cMergeChildren: the children of one merged element.
// - A class or attribute, or an opaque element, held by both sides is
//   merged; added by one side it is added; deleted by one side and left as
//   in the base by the other it is deleted; deleted by one side and changed
//   by the other it is a conflict (ours' side kept).
// - An attribute that theirs moved out of this class stays, with a
//   conflict, when ours changed it here or deleted the class theirs moved it
//   to (cMergeEngine settles the copy theirs added elsewhere); moved here by
//   both sides from one class, it merges against the base's copy there.
// - The loose content (text, comments, elements without identity) is taken
//   as one sequence from the side that changed it; both changing it
//   differently is a conflict. Layout goes with the node after it.
// - Order: ours'. What only theirs has goes after the nearest node before it
//   in theirs that the result holds, and after what ours added right there;
//   first when no node before it in theirs is in the result.
// The children of ours' element are changed in place, and only when they
// change.
#pragma once

#include <xercesc/dom/DOM.hpp>

#include "QORMMergeChildList.h"
#include "QORMMergePlace.h"

class cMergeEngine;

class cMergeChildren {
public:
    // holder: the element whose children these are; classKey: its key when
    // it is a class (its children are attributes), else null.
    cMergeChildren(cMergeEngine& engine, const cMergePlace& holder, const ZULUnicodeString* classKey)
        : engine_(engine), holder_(holder), classKey_(classKey) {}

    // Gives ours' element (the parent of ours' children) the merged children.
    void Merge(const cMergeChildList& base, const cMergeChildList& ours, const cMergeChildList& theirs,
               xercesc::DOMNode* element);

private:
    enum LooseFrom { kLooseFromOurs, kLooseFromTheirs };
    LooseFrom PickLoose(const cMergeChildList& base, const cMergeChildList& ours, const cMergeChildList& theirs,
                        bool& aligned);
    // Ours' child, which the base holds and theirs does not: whether it stays
    // (a conflict), or goes.
    bool KeepDeletedByTheirs(const cMergeChildList::Child& child, const xercesc::DOMNode* inBase);

    cMergeEngine& engine_;
    const cMergePlace& holder_;
    const ZULUnicodeString* classKey_;
};
