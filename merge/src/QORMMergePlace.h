// SPDX-License-Identifier: Apache-2.0
// cMergePlace: an element being merged, as its three versions hold it (any
// of them may be absent), and the place of its parent. Conflicts name
// elements through it.
#pragma once

#include <xercesc/dom/DOM.hpp>

#include "QORMMergeConflict.h"
#include "ZULBase/ZULUnicodeString.h"

class cMergePlace {
public:
    cMergePlace(const xercesc::DOMNode* base, const xercesc::DOMNode* ours, const xercesc::DOMNode* theirs,
                const cMergePlace* parent)
        : base_(base), ours_(ours), theirs_(theirs), parent_(parent) {}

    const cMergePlace* Parent() const { return parent_; }
    const xercesc::DOMNode* Ours() const { return ours_; }
    const xercesc::DOMNode* Theirs() const { return theirs_; }
    // The element for a conflict: tag, Name and Uuid as written in ours,
    // else theirs, else base.
    cMergeConflict::Who Who() const;
    ZULUnicodeString Tag() const;
    // A conflict of that kind about this element (and its parent), standing
    // where its versions stand.
    cMergeConflict Conflict(cMergeConflict::Kind kind) const;
    // The field's value as written; empty when absent.
    ZULUnicodeString Field(const char16_t* name) const;

private:
    const xercesc::DOMElement* First() const;

    const xercesc::DOMNode* base_;
    const xercesc::DOMNode* ours_;
    const xercesc::DOMNode* theirs_;
    const cMergePlace* parent_;  // not owned; null for the package
};
