// SPDX-License-Identifier: Apache-2.0
// Layout white space: blank text (spaces, tabs, line ends) that only
// indents, one element a line; the writer indents by itself. Blank text is
// content instead, and kept, where it means something: under
// xml:space="preserve", without a line end (a blank between two elements on
// one line), from a character reference (&#32;), and in an element that
// holds text or anywhere below it (mixed content).
//
// QORMULayoutText follows the elements being parsed and keeps the layout
// blanks dropped so far, so that an element found to hold text later (its
// text may come after its child elements) gets back every blank dropped
// below it. Each dropped blank costs a record until the document ends.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <xercesc/dom/DOMDocument.hpp>
#include <xercesc/dom/DOMNode.hpp>
#include <xercesc/dom/DOMText.hpp>

// Whether the length units of text are all blank (an empty text is).
bool QORMUIsBlank(const XMLCh* text, XMLSize_t length);

class QORMULayoutText {
public:
    void Reset();
    // An element begins; space is its xml:space value (null when it has none).
    void Open(const XMLCh* space);
    // The element being parsed ends.
    void Close();

    // Whether blank text standing alone in the element being parsed is layout.
    bool IsLayout(std::u16string_view blank) const;
    // A layout blank left out of parent after its child after (null: before the first).
    void Drop(xercesc::DOMNode* parent, xercesc::DOMNode* after, std::u16string_view blank);
    // The element being parsed holds text: blanks in it and below it are
    // content from now on, and those dropped so far go back in their places.
    void HoldsText(xercesc::DOMDocument* document);
    // At the end of element, which has element children: its blank text
    // children (kept because a comment or processing instruction stood
    // between) are dropped when all are layout; else it holds text.
    void SettleBlankChildren(xercesc::DOMNode* element, xercesc::DOMDocument* document);

private:
    struct Element {
        bool preserve;             // xml:space="preserve" in effect
        bool mixed;                // it or an element above it holds text
        std::size_t firstDropped;  // dropped_ records from here on lie below it
    };
    struct Dropped {
        xercesc::DOMNode* parent;
        xercesc::DOMNode* after;
        std::uint32_t text;  // index in texts_
    };

    std::vector<Element> open_;  // innermost last
    std::vector<Dropped> dropped_;
    // The dropped blanks' texts, each once: layout repeats a few indents.
    std::deque<std::u16string> texts_;
    std::unordered_map<std::u16string_view, std::uint32_t> textIds_;
};
