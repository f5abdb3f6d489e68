// SPDX-License-Identifier: Apache-2.0
// cMergeEdits: what the merge did to ours' document, said in terms of the
// sources, so that cMergeSplicer renders the result from their bytes.
// The engine notes each change as it makes it in the DOM:
// - a copy of theirs' node (with its subtree), which stands for theirs' text,
//   and the node of ours whose place it took, if any (its layout stays);
// - a node whose start tag or children it changed (touched): rendered piece
//   by piece, everything else is copied whole from its source;
// - a field of an element set from theirs' element (its text is taken from
//   there), given a literal value, or deleted;
// - an element given theirs' tag.
// Nodes are held by address and never owned: the DOM documents own them.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include <xercesc/dom/DOM.hpp>

class cMergeEdits {
public:
    // A field of a result element as the merge set it.
    struct Field {
        std::u16string name;
        const xercesc::DOMElement* from;  // theirs' element whose text for it is taken; null with literal or deleted
        bool deleted;
        std::u16string literal;  // the value when from is null and the field is not deleted
    };
    struct Element {
        std::vector<Field> fields;  // the merge's last word on each, in the order first set
        void Set(Field field);
        const xercesc::DOMElement* counterpart = nullptr;  // theirs' version, when the merge knows it
        const xercesc::DOMElement* renamedFrom = nullptr;  // the element whose place it took (a new tag)
        const xercesc::DOMElement* tagFrom = nullptr;      // theirs' element whose tag it took
    };

    // copy (a plain copy of theirs' source, with its subtree, nothing added
    // yet) stands for source; in the place of ours' node replaced, if given.
    void Copied(xercesc::DOMNode* copy, const xercesc::DOMNode* source, const xercesc::DOMNode* replaced = nullptr);
    // node's start tag or children changed; counterpart: theirs' version of it.
    void Touched(const xercesc::DOMNode* node, const xercesc::DOMElement* counterpart = nullptr);
    // element's field name took theirs' text from theirs' element from (null: deleted).
    void FieldTaken(const xercesc::DOMElement* element, const XMLCh* name, const xercesc::DOMElement* from);
    // element's field name was given value, which no source writes.
    void FieldSet(const xercesc::DOMElement* element, const XMLCh* name, const XMLCh* value);
    // renamed took the place of element with theirs' tag (from theirs' element).
    void Retagged(const xercesc::DOMElement* element, const xercesc::DOMElement* renamed,
                  const xercesc::DOMElement* theirs);

    // Theirs' node that a copy stands for; null for any other node.
    const xercesc::DOMNode* SourceOf(const xercesc::DOMNode* copy) const;
    // Ours' node whose place copy took; null when none.
    const xercesc::DOMNode* Replaced(const xercesc::DOMNode* copy) const;
    // The copy made of theirs' node; null when none was.
    xercesc::DOMNode* CopyOf(const xercesc::DOMNode* source) const;
    // What the merge noted of element; null when nothing.
    const Element* Of(const xercesc::DOMNode* element) const;
    const std::vector<const xercesc::DOMNode*>& TouchedNodes() const { return touched_; }
    // The copies made of theirs' nodes as a whole, in the order made.
    const std::vector<xercesc::DOMNode*>& Copies() const { return copies_; }

private:
    Element& At(const xercesc::DOMElement* element);

    std::unordered_map<const xercesc::DOMNode*, const xercesc::DOMNode*> sourceOf_;
    std::unordered_map<const xercesc::DOMNode*, xercesc::DOMNode*> copyOf_;
    std::unordered_map<const xercesc::DOMNode*, const xercesc::DOMNode*> replaced_;  // copy -> ours' node
    std::unordered_map<const xercesc::DOMNode*, Element> elements_;
    std::vector<const xercesc::DOMNode*> touched_;
    std::vector<xercesc::DOMNode*> copies_;
};
