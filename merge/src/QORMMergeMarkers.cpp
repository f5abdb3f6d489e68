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

}  // namespace

void cMergeMarkers::Add(const cMergeConflict& conflict) {
    Hunk hunk{};
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
    auto block = [&](std::string& out, const std::string& ours, const std::string& base, const std::string& theirs) {
        auto section = [&](const std::string& text) {
            out += text;
            if (!text.empty() && text.back() != '\n') out += '\n';
        };
        out += "<<<<<<< " + labels.ours + "\n";
        section(ours);
        out += "||||||| " + labels.base + "\n";
        section(base);
        out += "=======\n";
        section(theirs);
        out += ">>>>>>> " + labels.theirs + "\n";
    };
    std::string out;
    if (whole_) {
        block(out, merged_, base_ ? base_->Bytes() : std::string(), theirs_.Bytes());
        return out;
    }
    std::vector<Hunk> hunks = hunks_;
    std::stable_sort(hunks.begin(), hunks.end(), [](const Hunk& a, const Hunk& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.end < b.end;
    });
    std::size_t written = 0;
    for (std::size_t i = 0; i < hunks.size();) {
        // The lines of this hunk and of those whose lines meet them.
        const auto lines = [&](const Hunk& hunk) {
            if (hunk.begin == hunk.end && LineStart(merged_, hunk.begin) == hunk.begin)
                return std::make_pair(hunk.begin, hunk.begin);  // between two lines
            return std::make_pair(LineStart(merged_, hunk.begin),
                                  LineEnd(merged_, hunk.end > hunk.begin ? hunk.end - 1 : hunk.begin));
        };
        auto [begin, end] = lines(hunks[i]);
        std::size_t j = i + 1;
        for (; j < hunks.size(); ++j) {
            const auto [nextBegin, nextEnd] = lines(hunks[j]);
            if (nextBegin > end || (nextBegin == end && !(begin == end && nextEnd == end))) break;
            end = std::max(end, nextEnd);
        }
        std::string base, theirs;
        std::size_t at = begin;
        for (std::size_t k = i; k < j; ++k) {
            if (hunks[k].begin < at) continue;  // within one already shown
            base += merged_.substr(at, hunks[k].begin - at) + hunks[k].base;
            theirs += merged_.substr(at, hunks[k].begin - at) + hunks[k].theirs;
            at = hunks[k].end;
        }
        base += merged_.substr(at, end - at);
        theirs += merged_.substr(at, end - at);
        out += merged_.substr(written, begin - written);
        block(out, merged_.substr(begin, end - begin), base, theirs);
        written = end;
        i = j;
    }
    out += merged_.substr(written);
    return out;
}
