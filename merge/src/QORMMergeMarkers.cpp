// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeMarkers.h"

#include <algorithm>

#include "QORMMergeNodeCompare.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

bool Blank(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

std::size_t LineStart(const std::string& text, std::size_t at) {
    const std::size_t newline = at == 0 ? std::string::npos : text.rfind('\n', at - 1);
    return newline == std::string::npos ? 0 : newline + 1;
}

// Just after the line end at or after at (the end of the text without one).
std::size_t LineEnd(const std::string& text, std::size_t at) {
    const std::size_t newline = text.find('\n', at);
    return newline == std::string::npos ? text.size() : newline + 1;
}

// Whether [begin, end) of text stands alone on its lines: only blanks before
// it on its first line and after it on its last.
bool AloneOnLines(const std::string& text, std::size_t begin, std::size_t end) {
    const std::size_t lineEnd = LineEnd(text, end);
    const std::size_t stop = lineEnd > end && text[lineEnd - 1] == '\n' ? lineEnd - 1 : lineEnd;
    return Blank(std::string_view(text).substr(LineStart(text, begin), begin - LineStart(text, begin))) &&
           Blank(std::string_view(text).substr(end, stop - end));
}

const XMLCh* AsXML(const ZULUnicodeString& text) { return ZULToDOMString(text); }

// The whole lines a hunk stands in: [begin, end) of text; empty between
// two lines for an insertion at a line's start.
std::pair<std::size_t, std::size_t> HunkLines(const std::string& text, const cMergeMarkers::Hunk& hunk) {
    if (hunk.begin == hunk.end && LineStart(text, hunk.begin) == hunk.begin) return {hunk.begin, hunk.begin};
    return {LineStart(text, hunk.begin), LineEnd(text, hunk.end > hunk.begin ? hunk.end - 1 : hunk.begin)};
}

// The base's and theirs' sections of the block [begin, end) of merged that
// holds hunks: the merged lines with each hunk's text in place of its range
// (the lines of a baseless one left out of the base's).
void Sections(const std::string& merged, std::size_t begin, std::size_t end,
              const std::vector<cMergeMarkers::Hunk>& hunks, std::string& base, std::string& theirs) {
    std::size_t at = begin, baseAt = begin;
    for (const cMergeMarkers::Hunk& hunk : hunks) {
        if (hunk.begin < at) continue;  // within one already shown
        theirs += merged.substr(at, hunk.begin - at) + hunk.theirs;
        if (hunk.baseless) {
            const auto [lineBegin, lineEnd] = HunkLines(merged, hunk);
            if (lineBegin > baseAt) base += merged.substr(baseAt, lineBegin - baseAt);
            baseAt = std::max(baseAt, lineEnd);
        } else if (hunk.begin >= baseAt) {
            base += merged.substr(baseAt, hunk.begin - baseAt) + hunk.base;
            baseAt = hunk.end;
        }
        at = hunk.end;
    }
    if (baseAt < end) base += merged.substr(baseAt, end - baseAt);
    theirs += merged.substr(at, end - at);
}

}  // namespace

void cMergeMarkers::Add(const cMergeConflict& conflict) {
    Hunk hunk{};
    hunk.baseless = conflict.added;
    if (!whole_ && Located(conflict, hunk))
        hunks_.push_back(std::move(hunk));
    else
        whole_ = true;
}

bool cMergeMarkers::Located(const cMergeConflict& conflict, Hunk& hunk) const {
    if (!splicer_) return false;
    switch (conflict.kind) {
        case cMergeConflict::kField: return FieldHunk(conflict, hunk);
        case cMergeConflict::kTag: return TagHunk(conflict, hunk);
        default: return NodesHunk(conflict, hunk);
    }
}

std::string cMergeMarkers::FieldText(const std::string& layout, const ZULUnicodeString& name,
                                     const std::optional<ZULUnicodeString>& value, char quote) const {
    if (!value) return "";
    std::string encoded;
    if (!ours_.EncodeName(AsXML(name), encoded)) encoded = name.ConvertToChar();
    return layout + encoded + "=" + quote + ours_.EncodeValue(AsXML(*value), quote) + quote;
}

bool cMergeMarkers::FieldHunk(const cMergeConflict& conflict, Hunk& hunk) const {
    const cMergeSource::Span* span = conflict.inOurs.first ? ours_.Find(conflict.inOurs.first) : nullptr;
    if (!span) return false;
    const cMergeSource::StartTag tag = ours_.ReadStartTag(span->begin);
    if (const cMergeSource::Field* field = ours_.FindField(tag, AsXML(conflict.field))) {
        // Ours' field, with the blank before it, against the others' fields.
        const std::string layout(ours_.Text(field->layout, field->name));
        const char quote = field->Quote(ours_.Bytes());
        hunk.base = FieldText(layout, conflict.field, conflict.base, quote);
        hunk.theirs = FieldText(layout, conflict.field, conflict.theirs, quote);
        return splicer_->Landed(ours_, field->layout, hunk.begin, false) &&
               splicer_->Landed(ours_, field->end, hunk.end, true);
    }
    // Ours has none: the others' field where an added one goes.
    hunk.base = FieldText(" ", conflict.field, conflict.base, '"');
    hunk.theirs = FieldText(" ", conflict.field, conflict.theirs, '"');
    if (!splicer_->Landed(ours_, tag.fieldsEnd, hunk.begin, true)) return false;
    hunk.end = hunk.begin;
    return true;
}

bool cMergeMarkers::TagHunk(const cMergeConflict& conflict, Hunk& hunk) const {
    const cMergeSource::Span* span = conflict.inOurs.first ? ours_.Find(conflict.inOurs.first) : nullptr;
    if (!span) return false;
    const cMergeSource::StartTag tag = ours_.ReadStartTag(span->begin);
    auto name = [&](const std::optional<ZULUnicodeString>& value) {
        std::string encoded;
        if (value && !ours_.EncodeName(AsXML(*value), encoded)) encoded = value->ConvertToChar();
        return encoded;
    };
    hunk.base = name(conflict.base);
    hunk.theirs = name(conflict.theirs);
    return splicer_->Landed(ours_, tag.name, hunk.begin, false) && splicer_->Landed(ours_, tag.nameEnd, hunk.end, true);
}

bool cMergeMarkers::NodesHunk(const cMergeConflict& conflict, Hunk& hunk) const {
    bool wholeLines = true;
    if (conflict.inOurs.first) {
        std::size_t ignored = 0;
        if (!splicer_->Placed(conflict.inOurs.first, hunk.begin, ignored) ||
            !splicer_->Placed(conflict.inOurs.last, ignored, hunk.end))
            return false;
        wholeLines = AloneOnLines(merged_, hunk.begin, hunk.end);
        if (wholeLines) {
            hunk.begin = LineStart(merged_, hunk.begin);
            hunk.end = LineEnd(merged_, hunk.end);
        }
    } else {
        if (!InsertionPoint(conflict, hunk.begin)) return false;
        hunk.end = hunk.begin;
        wholeLines = LineStart(merged_, hunk.begin) == hunk.begin;
    }
    hunk.base = Lines(base_, conflict.inBase, wholeLines);
    hunk.theirs = Lines(&theirs_, conflict.inTheirs, wholeLines);
    return true;
}

bool cMergeMarkers::InsertionPoint(const cMergeConflict& conflict, std::size_t& at) const {
    std::size_t begin = 0, end = 0;
    const DOMNode* first = nullptr;
    if (!conflict.after && conflict.holder) {
        first = conflict.holder->getFirstChild();
        while (first && QORMMIsLayout(first)) first = first->getNextSibling();
    }
    if (first) {  // before the holder's first child, on a line of its own where it has one
        if (!splicer_->Placed(first, begin, end)) return false;
        at = LineStart(merged_, begin);
        if (!Blank(std::string_view(merged_).substr(at, begin - at))) at = begin;
        return true;
    }
    // After the node before it (or the holder, when it has no children), on
    // the next line where the rest of the line is blank.
    const DOMNode* before = conflict.after ? conflict.after : conflict.holder;
    if (!before || !splicer_->Placed(before, begin, end)) return false;
    const std::size_t lineEnd = LineEnd(merged_, end);
    at = Blank(std::string_view(merged_).substr(end, lineEnd - end)) ? lineEnd : end;
    return true;
}

const cMergeSource::Span* cMergeMarkers::SpanOf(const cMergeSource* source, const DOMNode* node) const {
    return source && node ? source->Find(node) : nullptr;
}

std::string cMergeMarkers::Lines(const cMergeSource* source, const cMergeConflict::Nodes& nodes,
                                 bool wholeLines) const {
    const cMergeSource::Span* first = SpanOf(source, nodes.first);
    const cMergeSource::Span* last = SpanOf(source, nodes.last);
    if (!first || !last) return "";
    const std::string& text = source->Bytes();
    std::size_t begin = first->begin, end = last->end;
    if (!wholeLines) return text.substr(begin, end - begin);
    if (!AloneOnLines(text, begin, end)) return text.substr(begin, end - begin) + "\n";
    begin = LineStart(text, begin);
    end = LineEnd(text, end);
    std::string lines = text.substr(begin, end - begin);
    if (lines.empty() || lines.back() != '\n') lines += '\n';
    return lines;
}

std::string cMergeMarkers::Write(const Labels& labels) const {
    if (!whole_) return Mark(merged_, hunks_, labels);
    const std::string base = base_ ? base_->Bytes() : std::string();
    return Mark(merged_, {{0, merged_.size(), base, theirs_.Bytes(), !base_}}, labels);
}

std::string cMergeMarkers::Mark(const std::string& merged, std::vector<Hunk> hunks, const Labels& labels) {
    std::string_view lineEnd = cMergeSource::LineEndOf(merged);
    if (lineEnd.empty()) lineEnd = "\n";
    std::string out;
    auto line = [&](const std::string& text) { (out += text) += lineEnd; };
    // Ours' section as merged; the others' with the merged text's line ends.
    auto section = [&](const std::string& text, bool ours) {
        out += ours ? text : cMergeSource::WithLineEnds(text, lineEnd);
        if (!text.empty() && text.back() != '\n') out += lineEnd;
    };
    std::stable_sort(hunks.begin(), hunks.end(), [](const Hunk& a, const Hunk& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.end < b.end;
    });
    std::size_t written = 0;
    for (std::size_t i = 0; i < hunks.size();) {
        // The lines of this hunk and of those on the same lines.
        auto [begin, end] = HunkLines(merged, hunks[i]);
        std::size_t j = i + 1;
        for (; j < hunks.size(); ++j) {
            const auto [nextBegin, nextEnd] = HunkLines(merged, hunks[j]);
            if (nextBegin > end || (nextBegin == end && !(begin == end && nextEnd == end))) break;
            end = std::max(end, nextEnd);
        }
        std::string base, theirs;
        Sections(merged, begin, end, std::vector<Hunk>(hunks.begin() + i, hunks.begin() + j), base, theirs);
        out += merged.substr(written, begin - written);
        line("<<<<<<< " + labels.ours);
        section(merged.substr(begin, end - begin), true);
        line("||||||| " + labels.base);
        section(base, false);
        line("=======");
        section(theirs, false);
        line(">>>>>>> " + labels.theirs);
        written = end;
        i = j;
    }
    return out + merged.substr(written);
}
