// SPDX-License-Identifier: Apache-2.0
// cMergeSplicer: the merged file as ours' bytes with theirs' changes spliced
// in. It walks the result document; a node the merge did not touch is its
// source's bytes, copied whole (ours' for ours' nodes, theirs' for copies of
// theirs'); a touched element is rebuilt piece by piece from its source:
// - a field theirs changed: only its value, in place, with theirs' text for
//   it (escaped anew only where ours' quote character needs it);
// - a field theirs added: at the end of the start tag, as theirs writes it;
// - a field theirs deleted: gone with the blank before it;
// - a child: its own text, preceded by the blank run that preceded it in its
//   source, so that a child that goes takes its line with it and one that
//   comes brings its indentation; a copy of theirs that took the place of
//   ours' node keeps ours' blank run;
// - everything else (the XML declaration, comments, references, quoting,
//   layout): its source's.
// Theirs' bytes get ours' line ends (XML reads every line end alike). It
// also tells where each of the sources' bytes landed in the output (Landed),
// for the conflict markers.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <xercesc/dom/DOM.hpp>

#include "QORMMergeEdits.h"
#include "QORMMergeSource.h"

class cMergeSplicer {
public:
    // ours: built from ours' bytes before the merge changed its document;
    // theirs: built, and accepted by ours (cMergeSource::Accepts).
    cMergeSplicer(const cMergeSource& ours, const cMergeSource& theirs, const cMergeEdits& edits);

    // The bytes of result (ours' document, merged); false when a node cannot
    // be placed in the sources (then out is unusable).
    bool Render(const xercesc::DOMDocument* result, std::string& out);
    // Where offset at of source landed in the output: as the beginning of
    // what follows it, or as the end of what precedes it (end true); false
    // when those bytes were not copied there.
    bool Landed(const cMergeSource& source, cMergeSource::Offset at, std::size_t& position, bool end) const;
    // The output range of a node that Render placed (the result's nodes and
    // the sources' nodes copied whole); false when unknown.
    bool Placed(const xercesc::DOMNode* node, std::size_t& begin, std::size_t& end) const;

private:
    struct Origin {
        const cMergeSource* source = nullptr;
        const cMergeSource::Span* span = nullptr;
        const xercesc::DOMNode* node = nullptr;  // the source's node
    };
    // A run of a source's bytes copied to the output at position.
    struct Copied {
        const cMergeSource* source;
        cMergeSource::Offset begin, end;
        std::size_t position;
    };
    struct Unplaced {};  // a node that no source holds

    Origin OriginOf(const xercesc::DOMNode* node) const;
    // Where the blank run before node comes from: ours' node whose place it
    // took, else its origin.
    Origin LayoutOf(const xercesc::DOMNode* node, const Origin& origin) const;
    // Appends [begin, end) of source, theirs' line ends made ours'.
    void Emit(const cMergeSource& source, cMergeSource::Offset begin, cMergeSource::Offset end);
    // Appends [begin, end) of source as it is.
    void Copy(const cMergeSource& source, cMergeSource::Offset begin, cMergeSource::Offset end);
    void Node(const xercesc::DOMNode* node);
    void Children(const xercesc::DOMNode* node);
    void Element(const xercesc::DOMElement* element, const Origin& origin);
    // The start tag of element from its source's, with the merge's field
    // changes; open: ends in ">" even when the source's ends in "/>".
    void StartTag(const xercesc::DOMElement* element, const Origin& origin, const cMergeSource::StartTag& tag,
                  bool open);
    // The element's tag name: its source's, or theirs' when it took theirs' tag.
    void TagName(const cMergeEdits::Element* noted, const cMergeSource& source, const cMergeSource::StartTag& tag);
    // Theirs' text for field name of theirs' element from, for a value in quote.
    void TheirsValue(const xercesc::DOMElement* from, const std::u16string& name, char quote);

    const cMergeSource& ours_;
    const cMergeSource& theirs_;
    const cMergeEdits& edits_;
    std::string_view lineEnd_;  // ours', when theirs' differs; else empty: theirs' bytes as they are
    std::unordered_set<const xercesc::DOMNode*> dirty_;  // touched, or holding a touched node
    std::string* out_ = nullptr;
    std::vector<Copied> copied_;
    std::unordered_map<const xercesc::DOMNode*, std::pair<std::size_t, std::size_t>> placed_;
};
