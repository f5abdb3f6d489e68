// cMergeChildren: the children of one merged element.
// - A class or attribute, or an opaque element, held by both sides is
//   merged; added by one side it is added; deleted by one side and left as
//   in the base by the other it is deleted; deleted by one side and changed
//   by the other it is a conflict (ours' side kept).
// - The loose content (text, comments, elements without identity) is taken
//   as one sequence from the side that changed it; both changing it
//   differently is a conflict.
// - Order: ours'. What only theirs brings goes after the node that precedes
//   it in theirs when that one is in the result, at the start when nothing
//   precedes it, else at the end.
// The children of ours' element are changed in place, and only when they
// change.
#pragma once

#include <xercesc/dom/DOM.hpp>

#include "QORMMergeChildList.h"
#include "QORMMergePlace.h"

class cMergeEngine;

class cMergeChildren {
public:
    // holder: the element whose children these are.
    cMergeChildren(cMergeEngine& engine, const cMergePlace& holder) : engine_(engine), holder_(holder) {}

    // Gives ours' element (the parent of ours' children) the merged children.
    void Merge(const cMergeChildList& base, const cMergeChildList& ours, const cMergeChildList& theirs,
               xercesc::DOMNode* element);

private:
    enum LooseFrom { kLooseFromOurs, kLooseFromTheirs };
    LooseFrom PickLoose(const cMergeChildList& base, const cMergeChildList& ours, const cMergeChildList& theirs,
                        bool& aligned);

    cMergeEngine& engine_;
    const cMergePlace& holder_;
};
