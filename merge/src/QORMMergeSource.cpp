// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeSource.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include <xercesc/util/XMLString.hpp>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

// Bytes and DOM disagree: the source cannot be spliced.
struct Mismatch {};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// windows-1252's letters in 0x80 to 0x9F; 0 where it has none.
constexpr char16_t kWindows1252Letters[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                              0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                              0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                              0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Calls visit with each code point of a DOM string.
template <typename Visit>
void EachCodePoint(const XMLCh* text, Visit visit) {
    const std::u16string_view units(reinterpret_cast<const char16_t*>(text ? text : u""));
    for (std::size_t i = 0; i < units.size();) visit(ZULNextCodePoint(units, i));
}

std::string Upper(const XMLCh* text) {
    std::string upper;
    EachCodePoint(text,
                  [&](char32_t c) { upper += c < 0x80 ? static_cast<char>(std::toupper(static_cast<int>(c))) : '?'; });
    return upper;
}

}  // namespace

bool cMergeSource::Build(const DOMDocument* document) {
    built_ = false;
    spans_.clear();
    aligned_.clear();
    const std::string encoding = Upper(document->getInputEncoding());
    if (encoding == "UTF-8" || encoding == "UTF8") {
        encoding_ = kUtf8;
    } else if (encoding == "US-ASCII" || encoding == "ASCII") {
        encoding_ = kAscii;
    } else if (encoding == "ISO-8859-1" || encoding == "ISO8859-1" || encoding == "LATIN1") {
        encoding_ = kLatin1;
    } else if (encoding == "WINDOWS-1252" || encoding == "CP1252") {
        encoding_ = kWindows1252;
    } else {
        return false;
    }
    if (bytes_.size() >= std::numeric_limits<Offset>::max()) return false;
    Offset pos = At(0, "\xEF\xBB\xBF") ? 3 : 0;
    if (At(pos, "<?xml") && pos + 5 < bytes_.size() && IsBlank(bytes_[pos + 5])) pos = After("?>", pos);
    prologEnd_ = pos;
    try {
        AlignChildren(document, pos, trailing_);
        if (pos != bytes_.size()) throw Mismatch{};
    } catch (const Mismatch&) {
        spans_.clear();
        return false;
    }
    aligned_.insert(document);
    built_ = true;
    return true;
}

bool cMergeSource::AlignLevel(const DOMNode* parent) const {
    if (aligned_.count(parent)) return true;
    auto found = spans_.find(parent);
    if (found == spans_.end()) {
        const DOMNode* above = parent->getParentNode();
        if (!above || !AlignLevel(above)) return false;
        found = spans_.find(parent);
    }
    if (found == spans_.end() || parent->getNodeType() != DOMNode::ELEMENT_NODE) return false;
    Span& span = found->second;
    bool empty = false;
    Offset pos = StartTagEnd(span.begin, empty);
    try {
        if (!empty) AlignChildren(parent, pos, span.closing);
        if (pos != span.endTag) throw Mismatch{};
    } catch (const Mismatch&) {
        return false;
    }
    aligned_.insert(parent);
    return true;
}

cMergeSource::Offset cMergeSource::ContentEnd(Offset pos) const {
    // Start and end tags counted; comments, CDATA and processing
    // instructions passed over whole.
    for (int depth = 1;;) {
        const std::size_t at = bytes_.find('<', pos);
        if (at == std::string::npos) throw Mismatch{};
        const Offset open = static_cast<Offset>(at);
        if (At(open, "</")) {
            if (--depth == 0) return open;
            pos = After(">", open);
        } else if (At(open, "<!--")) {
            pos = After("-->", open + 4);
        } else if (At(open, "<![CDATA[")) {
            pos = After("]]>", open + 9);
        } else if (At(open, "<?")) {
            pos = After("?>", open + 2);
        } else {
            bool empty = false;
            pos = StartTagEnd(open, empty);
            if (!empty) ++depth;
        }
    }
}

bool cMergeSource::SameText(const DOMNode* node, const cMergeSource& other, const DOMNode* otherNode) const {
    if (!built_ || !other.built_ || encoding_ != other.encoding_) return false;
    const Span* mine = Find(node);
    const Span* theirs = mine ? other.Find(otherNode) : nullptr;
    return theirs && Text(mine->begin, mine->end) == other.Text(theirs->begin, theirs->end);
}

bool cMergeSource::Accepts(const cMergeSource& other) const {
    return built_ && other.built_ && (other.encoding_ == encoding_ || other.encoding_ == kAscii);
}

std::string_view cMergeSource::LineEndOf(std::string_view text) {
    const std::size_t newline = text.find('\n');
    if (newline == std::string::npos) return {};
    return newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

std::string cMergeSource::WithLineEnds(std::string_view text, std::string_view lineEnd) {
    if (lineEnd.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t newline = std::min(text.find('\n', at), text.size());
        const bool crlf = newline < text.size() && newline > at && text[newline - 1] == '\r';
        const std::size_t lineStop = crlf ? newline - 1 : newline;
        out.append(text, at, lineStop - at);
        if (newline < text.size()) out += lineEnd;
        at = newline + 1;
    }
    return out;
}

const cMergeSource::Span* cMergeSource::Find(const DOMNode* node) const {
    auto found = spans_.find(node);
    if (found == spans_.end() && node->getParentNode() && AlignLevel(node->getParentNode())) found = spans_.find(node);
    return found == spans_.end() ? nullptr : &found->second;
}

const cMergeSource::Span* cMergeSource::Content(const DOMNode* element) const {
    const Span* span = Find(element);
    return span && AlignLevel(element) ? span : nullptr;
}

cMergeSource::Offset cMergeSource::TextEnd(Offset pos) const {
    const std::size_t next = bytes_.find('<', pos);
    return next == std::string::npos ? static_cast<Offset>(bytes_.size()) : static_cast<Offset>(next);
}

bool cMergeSource::ReadsBlank(Offset begin, Offset end) const {
    for (Offset p = begin; p < end; ++p) {
        if (IsBlank(bytes_[p])) continue;
        // A character reference to a blank ("&#32;", "&#x9;") is one too.
        if (bytes_[p] != '&' || p + 2 >= end || bytes_[p + 1] != '#') return false;
        const Offset semicolon = static_cast<Offset>(bytes_.find(';', p));
        const bool hex = bytes_[p + 2] == 'x';
        const unsigned long code =
            std::strtoul(bytes_.substr(p + 2 + hex, semicolon - p - 2 - hex).c_str(), nullptr, hex ? 16 : 10);
        if (code != 0x20 && code != 0x9 && code != 0xA && code != 0xD) return false;
        p = semicolon;
    }
    return true;
}

cMergeSource::Offset cMergeSource::After(std::string_view what, Offset from) const {
    const std::size_t at = bytes_.find(what, from);
    if (at == std::string::npos) throw Mismatch{};
    return static_cast<Offset>(at + what.size());
}

void cMergeSource::AlignChildren(const DOMNode* parent, Offset& pos, Offset& closing) const {
    // Where the blank run before the next node begins: a gap the DOM does not
    // keep, or blank text nodes (mixed content), which go with that node.
    Offset layout = pos;
    for (const DOMNode* child = parent->getFirstChild(); child; child = child->getNextSibling()) {
        const short type = child->getNodeType();
        if (type == DOMNode::TEXT_NODE) {
            const Offset end = TextEnd(pos);
            if (end == pos) throw Mismatch{};
            spans_.emplace(child, Span{pos, pos, end, end, end});
            if (!ReadsBlank(pos, end)) layout = end;
            pos = end;
            continue;
        }
        const Offset gapEnd = TextEnd(pos);  // blank text the DOM left out
        if (!ReadsBlank(pos, gapEnd) || gapEnd == bytes_.size()) throw Mismatch{};
        const Offset begin = gapEnd;
        Span span{layout, begin, 0, 0, 0};
        switch (type) {
            case DOMNode::ELEMENT_NODE: {
                if (At(begin, "</") || At(begin, "<!") || At(begin, "<?")) throw Mismatch{};
                bool empty = false;
                const Offset tagEnd = StartTagEnd(begin, empty);
                span.end = span.closing = span.endTag = tagEnd;
                if (!empty) {
                    pos = ContentEnd(tagEnd);  // its children when asked for
                    if (!At(pos, "</")) throw Mismatch{};
                    span.endTag = pos;
                    span.end = After(">", pos);
                }
                break;
            }
            case DOMNode::COMMENT_NODE:
                if (!At(begin, "<!--")) throw Mismatch{};
                span.end = After("-->", begin + 4);
                break;
            case DOMNode::PROCESSING_INSTRUCTION_NODE:
                if (!At(begin, "<?")) throw Mismatch{};
                span.end = After("?>", begin + 2);
                break;
            case DOMNode::CDATA_SECTION_NODE:
                if (!At(begin, "<![CDATA[")) throw Mismatch{};
                span.end = After("]]>", begin + 9);
                break;
            default: throw Mismatch{};
        }
        if (type != DOMNode::ELEMENT_NODE) span.closing = span.endTag = span.end;
        spans_.emplace(child, span);
        pos = layout = span.end;
    }
    const Offset gapEnd = TextEnd(pos);
    if (!ReadsBlank(pos, gapEnd)) throw Mismatch{};
    closing = layout;
    pos = gapEnd;
}

cMergeSource::Offset cMergeSource::StartTagEnd(Offset begin, bool& empty) const {
    // The first '>' outside a quoted value (the bytes end in a NUL, and XML
    // holds none before it).
    const char* const text = bytes_.c_str();
    for (const char* p = text + begin + 1; (p = std::strpbrk(p, "\"'>"));) {
        if (*p == '>') {
            empty = p[-1] == '/';
            return static_cast<Offset>(p + 1 - text);
        }
        p = static_cast<const char*>(std::memchr(p + 1, *p, bytes_.size() - static_cast<std::size_t>(p + 1 - text)));
        if (!p++) break;
    }
    throw Mismatch{};
}

cMergeSource::StartTag cMergeSource::ReadStartTag(Offset begin) const {
    // The text is well-formed: names end at a blank, '=', '/' or '>', and
    // values at their closing quote.
    const std::size_t size = bytes_.size();
    auto name = [&](Offset p) {
        while (p < size && !IsBlank(bytes_[p]) && bytes_[p] != '=' && bytes_[p] != '/' && bytes_[p] != '>') ++p;
        return p;
    };
    auto blank = [&](Offset p) {
        while (p < size && IsBlank(bytes_[p])) ++p;
        return p;
    };
    if (!At(begin, "<")) throw Mismatch{};
    StartTag tag{};
    tag.name = begin + 1;
    tag.nameEnd = tag.fieldsEnd = name(tag.name);
    for (Offset p = tag.nameEnd;;) {
        const Offset next = blank(p);
        if (next >= size) throw Mismatch{};
        if (bytes_[next] == '>' || bytes_[next] == '/') {
            tag.close = next;
            tag.empty = bytes_[next] == '/';
            tag.end = next + (tag.empty ? 2 : 1);
            return tag;
        }
        Field field{};
        field.layout = p;
        field.name = next;
        field.nameEnd = name(next);
        Offset q = blank(field.nameEnd);
        if (q >= size || bytes_[q] != '=') throw Mismatch{};
        q = blank(q + 1);
        if (q >= size || (bytes_[q] != '"' && bytes_[q] != '\'')) throw Mismatch{};
        field.value = q + 1;
        const std::size_t close = bytes_.find(bytes_[q], field.value);
        if (close == std::string::npos) throw Mismatch{};
        field.valueEnd = static_cast<Offset>(close);
        field.end = field.valueEnd + 1;
        tag.fields.push_back(field);
        p = tag.fieldsEnd = field.end;
    }
}

const cMergeSource::Field* cMergeSource::FindField(const StartTag& tag, const XMLCh* name) const {
    std::string bytes;
    if (!EncodeName(name, bytes)) return nullptr;
    for (const Field& field : tag.fields)
        if (Text(field.name, field.nameEnd) == bytes) return &field;
    return nullptr;
}

bool cMergeSource::EncodeChar(char32_t c, std::string& bytes) const {
    if (encoding_ == kUtf8 || c < 0x80) {
        ZULAppendUtf8(bytes, c);
        return true;
    }
    if (encoding_ == kLatin1 ? c <= 0xFF : encoding_ == kWindows1252 && c >= 0xA0 && c <= 0xFF) {
        bytes += static_cast<char>(c);
        return true;
    }
    if (encoding_ != kWindows1252) return false;
    const char16_t* found = std::find(kWindows1252Letters, kWindows1252Letters + 32, c);
    if (found == kWindows1252Letters + 32) return false;
    bytes += static_cast<char>(0x80 + (found - kWindows1252Letters));
    return true;
}

bool cMergeSource::EncodeName(const XMLCh* name, std::string& bytes) const {
    bytes.clear();
    bool ok = true;
    EachCodePoint(name, [&](char32_t c) { ok = EncodeChar(c, bytes) && ok; });
    return ok;
}

std::string cMergeSource::EncodeValue(const XMLCh* value, char quote) const {
    std::string bytes;
    EachCodePoint(value, [&](char32_t c) {
        switch (c) {
            case '&': bytes += "&amp;"; return;
            case '<': bytes += "&lt;"; return;
            case '>': bytes += "&gt;"; return;
            case '\t': bytes += "&#9;"; return;
            case '\n': bytes += "&#10;"; return;
            case '\r': bytes += "&#13;"; return;
            default: break;
        }
        if (quote && c == static_cast<char32_t>(quote)) {
            bytes += quote == '"' ? "&quot;" : "&apos;";
        } else if (!EncodeChar(c, bytes)) {
            char reference[16];
            std::snprintf(reference, sizeof reference, "&#x%X;", static_cast<unsigned>(c));
            bytes += reference;
        }
    });
    return bytes;
}
