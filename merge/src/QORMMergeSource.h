// SPDX-License-Identifier: Apache-2.0
// cMergeSource: the bytes of one version of a merge and where each node of
// its DOM stands in them, so that the merged file can be ours' bytes with
// theirs' changes spliced in (cMergeSplicer) and a conflict can be shown in
// the lines that hold it (cMergeMarkers).
// The bytes are scanned in step with the DOM that Xerces built from them,
// level by level, as far as a node asked for lies (a class's bytes found,
// its attributes' only when one is asked for): the text is well-formed by
// then and has no DOCTYPE, so a small scanner is enough. Ours' document,
// which the merge changes in place, has the children of an element mapped
// before the merge changes them (Content). Build says no, and the merge
// writes its document anew,
// where bytes and DOM disagree (the file changed since it was parsed) or
// where markup is not plain ASCII bytes: only UTF-8 (US-ASCII), ISO-8859-1
// and windows-1252 documents are spliced. Offsets are 32-bit: larger files
// are written anew too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include <xercesc/dom/DOM.hpp>

class cMergeSource {
public:
    using Offset = std::uint32_t;
    // A node's bytes [begin, end), and the blank run before it that goes
    // with it [layout, begin): the line break and indentation that precede
    // an element, which leave and come with it. For an element with an end
    // tag, its end tag begins at endTag, after the blank run [closing, endTag).
    struct Span {
        Offset layout, begin, end;
        Offset closing, endTag;  // both end for an empty-element tag
    };
    // One field of a start tag: [layout, name) the blank before it,
    // [name, nameEnd) its name, [value, valueEnd) its value between the
    // quotes, end just after the closing quote.
    struct Field {
        Offset layout, name, nameEnd, value, valueEnd, end;
        char Quote(const std::string& bytes) const { return bytes[end - 1]; }
    };
    // A start tag: '<' at begin, its name [name, nameEnd), its fields, the
    // blank run [fieldsEnd, close) before "/>" or ">" at close, end after it.
    struct StartTag {
        Offset name, nameEnd;
        std::vector<Field> fields;
        Offset fieldsEnd, close, end;
        bool empty;  // "/>"
    };

    // Takes the bytes a document was parsed from.
    void Take(std::string bytes) { bytes_ = std::move(bytes); }
    // Maps the document's children to the bytes taken; false when they
    // cannot be spliced (see above).
    bool Build(const xercesc::DOMDocument* document);
    bool Built() const { return built_; }
    // Whether bytes of other can stand in this source's file: the same
    // encoding, or other in US-ASCII.
    bool Accepts(const cMergeSource& other) const;
    // Whether node here and otherNode in other are the same bytes in the
    // same encoding (then they are the same content); false when unknown.
    bool SameText(const xercesc::DOMNode* node, const cMergeSource& other, const xercesc::DOMNode* otherNode) const;

    const std::string& Bytes() const { return bytes_; }
    std::string_view Text(Offset begin, Offset end) const {
        return std::string_view(bytes_).substr(begin, end - begin);
    }
    // The node's span; null for a node of another document or a new one.
    // An element's closing run is known once its children are (Content).
    const Span* Find(const xercesc::DOMNode* node) const;
    // The span of element with its children mapped; null as Find. Call it
    // before changing the element's children, while they are the file's.
    const Span* Content(const xercesc::DOMNode* element) const;
    // End of the byte order mark and the XML declaration.
    Offset PrologEnd() const { return prologEnd_; }
    // Start of the blank run that ends the file.
    Offset Trailing() const { return trailing_; }
    // The file's line end (LineEndOf).
    std::string_view LineEnd() const { return LineEndOf(bytes_); }
    // A text's line end: its first one, "\r\n" or "\n"; empty when it has none.
    static std::string_view LineEndOf(std::string_view text);
    // text with each line end made lineEnd ("\r\n" or "\n"; empty: as it is).
    static std::string WithLineEnds(std::string_view text, std::string_view lineEnd);

    // The start tag of the element whose span begins at begin.
    StartTag ReadStartTag(Offset begin) const;
    // The field of that name in tag, or null.
    const Field* FindField(const StartTag& tag, const XMLCh* name) const;
    // The name in this source's encoding; false when it has no such bytes.
    bool EncodeName(const XMLCh* name, std::string& bytes) const;
    // A value for a field in quote (or text when quote is 0) in this
    // source's encoding: markup characters and line ends as references, and
    // so is whatever the encoding cannot hold.
    std::string EncodeValue(const XMLCh* value, char quote) const;

private:
    enum Encoding { kUtf8, kAscii, kLatin1, kWindows1252 };

    // Aligns the children of parent with the bytes at pos; throws Mismatch.
    void AlignChildren(const xercesc::DOMNode* parent, Offset& pos, Offset& closing) const;
    // Maps the children of parent unless they are (and parent first, when
    // its span is not known); false when that fails.
    bool AlignLevel(const xercesc::DOMNode* parent) const;
    // Where the end tag of the element whose content begins at pos begins.
    Offset ContentEnd(Offset pos) const;
    // Just after the start tag at begin; empty: it ends in "/>".
    Offset StartTagEnd(Offset begin, bool& empty) const;
    // End of the character data at pos (the next '<', or the end).
    Offset TextEnd(Offset pos) const;
    // Whether [begin, end) reads as white space only (character references included).
    bool ReadsBlank(Offset begin, Offset end) const;
    // c in this source's encoding, appended to bytes; false when it has none.
    bool EncodeChar(char32_t c, std::string& bytes) const;
    // Position just after the first occurrence of what at or after from.
    Offset After(std::string_view what, Offset from) const;
    bool At(Offset pos, std::string_view what) const { return bytes_.compare(pos, what.size(), what) == 0; }

    std::string bytes_;
    // Filled as far as asked: a cache of what the bytes say.
    mutable std::unordered_map<const xercesc::DOMNode*, Span> spans_;
    mutable std::unordered_set<const xercesc::DOMNode*> aligned_;  // whose children are in spans_
    Encoding encoding_ = kUtf8;
    Offset prologEnd_ = 0;
    Offset trailing_ = 0;
    bool built_ = false;
};
