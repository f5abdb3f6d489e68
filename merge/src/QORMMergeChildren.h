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
// change. One object merges the children of one element.
#pragma once

#include <unordered_map>
#include <vector>

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

    // Gives ours' element (the parent of ours' children) the merged children,
    // in three steps: ours' children merged in ours' order (MergeOurs), what
    // only theirs has placed among them (PlaceTheirs), the element's children
    // replaced when any came or went (Rebuild).
    void Merge(const cMergeChildList& base, const cMergeChildList& ours, const cMergeChildList& theirs,
               xercesc::DOMNode* element);

private:
    enum LooseFrom { kLooseFromOurs, kLooseFromTheirs };
    // Where the last child of theirs met in PlaceTheirs went in the result:
    // nowhere yet (first), ours' child in slot, or the end of list.
    struct Placement {
        enum Where { kStart, kAfterOurs, kInList } where = kStart;
        std::size_t slot = 0;
        std::vector<xercesc::DOMNode*>* list = nullptr;
    };

    // Which side's loose content the result takes, and whether theirs' loose
    // nodes stand one for one for ours' (aligned_); a conflict when both changed it.
    LooseFrom PickLoose();

    // Step 1: what stands in each of ours' slots (merged_, null: it goes).
    void MergeOurs();
    xercesc::DOMNode* MergeOne(const cMergeChildList::Child& child, std::size_t slot);
    // A class or attribute both hold: merged, against the base's copy in the
    // class both sides moved it from when neither found it in the base here.
    xercesc::DOMNode* MergeBothHold(const cMergeChildList::Child& child, cQORMDMetaElem* inBase,
                                    cQORMDMetaElem& inTheirs);
    // Ours' child, which the base holds and theirs does not: whether it stays
    // (a conflict), or goes.
    bool KeepDeletedByTheirs(const cMergeChildList::Child& child, const xercesc::DOMNode* inBase);

    // Step 2: theirs' children that ours does not hold, placed in after_.
    void PlaceTheirs(xercesc::DOMNode* element);
    // The list where a node that follows the previous one goes: after ours'
    // child and what ours added right after it, or after the node placed last.
    std::vector<xercesc::DOMNode*>& Next();
    void Place(xercesc::DOMNode* node);
    // The result's node that a node following the previous one comes after;
    // null: it comes first.
    const xercesc::DOMNode* Anchor();

    // Step 3: the element's children as merged, unless they are ours' as they were.
    void Rebuild(xercesc::DOMNode* element);

    // The base's version of a child of one side: by its key; null when none.
    const xercesc::DOMNode* InBase(const cMergeChildList::Child& child) const;

    cMergeEngine& engine_;
    const cMergePlace& holder_;
    const ZULUnicodeString* classKey_;

    // The state of the merge: the three versions' children, then what each step decides.
    const cMergeChildList* base_ = nullptr;
    const cMergeChildList* ours_ = nullptr;
    const cMergeChildList* theirs_ = nullptr;
    LooseFrom looseFrom_ = kLooseFromOurs;
    bool aligned_ = false;
    std::vector<xercesc::DOMNode*> merged_;                            // per slot of ours' children
    std::vector<bool> addedByOurs_;                                    // per slot
    std::unordered_map<const xercesc::DOMNode*, std::size_t> inSlot_;  // theirs' child -> ours' slot
    std::vector<std::size_t> oursLoose_;                               // slots of ours' loose nodes, when aligned
    std::vector<std::vector<xercesc::DOMNode*>> after_;  // [0] before ours' first child, [i + 1] after slot i
    Placement previous_;
};
