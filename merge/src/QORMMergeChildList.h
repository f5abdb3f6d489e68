// SPDX-License-Identifier: Apache-2.0
// cMergeChildList: the child nodes of one version of an element, sorted out
// for the merge, in document order:
// - modelled: a class or attribute of the diff's model, keyed by its
//   upper-cased Uuid (the model's own key);
// - opaque: another element child with a Uuid (Interface, Enum, a child
//   below an attribute...), keyed by its tag and upper-cased Uuid, merged as
//   a whole; the first of a key only;
// - loose: everything else (text, comments, Comment elements, elements
//   without Uuid, repeated keys), merged as one sequence per element.
// Layout (blank text in mixed content) is none of these: it goes with the
// node after it.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <xercesc/dom/DOM.hpp>

#include "QORMDMetaElem.h"
#include "ZULBase/ZULHashDico.h"

class cMergeChildList {
public:
    enum Kind { kModelled, kOpaque, kLoose };
    struct Child {
        xercesc::DOMNode* node;
        Kind kind;
        cQORMDMetaElem* model;            // kModelled only
        const ZULUnicodeString* key;      // kModelled: the model's key
        const std::u16string* opaqueKey;  // kOpaque: its key in this list
    };

    // The children of element; modelled are those of the dictionary (the
    // model's classes or attributes of element), or none when it is null.
    // A null element has no children.
    cMergeChildList(const xercesc::DOMNode* element, ZULHashDico* modelled);
    cMergeChildList(const cMergeChildList&) = delete;
    cMergeChildList& operator=(const cMergeChildList&) = delete;

    const std::vector<Child>& Children() const { return children_; }
    const std::vector<const xercesc::DOMNode*>& Loose() const { return loose_; }

    // The modelled child of that key, or null: one dictionary lookup.
    cQORMDMetaElem* FindModelled(const ZULUnicodeString& key) const;
    // The opaque child of that key, or null.
    const xercesc::DOMNode* FindOpaque(const std::u16string& key) const;

private:
    ZULHashDico* modelled_;
    std::vector<Child> children_;
    std::vector<const xercesc::DOMNode*> loose_;
    std::unordered_map<std::u16string, const xercesc::DOMNode*> opaque_;
};
