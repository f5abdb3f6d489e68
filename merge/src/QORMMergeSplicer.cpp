// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeSplicer.h"

#include <algorithm>

#include <xercesc/util/XMLString.hpp>

#include "QORMMergeNodeCompare.h"

using namespace xercesc;

cMergeSplicer::cMergeSplicer(const cMergeSource& ours, const cMergeSource& theirs, const cMergeEdits& edits)
    : ours_(ours), theirs_(theirs), edits_(edits) {
    if (!ours.LineEnd().empty() && !theirs.LineEnd().empty() && ours.LineEnd() != theirs.LineEnd())
        lineEnd_ = ours.LineEnd();
}

bool cMergeSplicer::Render(const DOMDocument* result, std::string& out) {
    dirty_.clear();
    copied_.clear();
    placed_.clear();
    // A touched node and its ancestors are rebuilt; one no longer in the
    // result is not.
    std::vector<const DOMNode*> path;
    for (const DOMNode* touched : edits_.TouchedNodes()) {
        path.clear();
        const DOMNode* node = touched;
        for (; node && node != result && !dirty_.count(node); node = node->getParentNode()) path.push_back(node);
        if (node == result) path.push_back(result);
        if (node) dirty_.insert(path.begin(), path.end());
    }
    out.clear();
    out.reserve(ours_.Bytes().size() + ours_.Bytes().size() / 8);
    out_ = &out;
    try {
        if (!dirty_.count(result)) {
            Emit(ours_, 0, static_cast<cMergeSource::Offset>(ours_.Bytes().size()));
        } else {
            Emit(ours_, 0, ours_.PrologEnd());
            Children(result);
            Emit(ours_, ours_.Trailing(), static_cast<cMergeSource::Offset>(ours_.Bytes().size()));
        }
    } catch (const Unplaced&) {
        out_ = nullptr;
        return false;
    }
    out_ = nullptr;
    std::sort(copied_.begin(), copied_.end(), [](const Copied& a, const Copied& b) {
        return a.source != b.source ? a.source < b.source : a.begin < b.begin;
    });
    return true;
}

cMergeSplicer::Origin cMergeSplicer::OriginOf(const DOMNode* node) const {
    Origin origin;
    if (const DOMNode* source = edits_.SourceOf(node)) {
        origin = {&theirs_, theirs_.Find(source), source};
    } else {
        const cMergeEdits::Element* noted = edits_.Of(node);
        const DOMNode* original = noted && noted->renamedFrom ? noted->renamedFrom : node;
        origin = {&ours_, ours_.Find(original), original};
        // A renamed copy of theirs' node stands where that copy stood.
        if (!origin.span && original != node) {
            if (const DOMNode* source = edits_.SourceOf(original)) origin = {&theirs_, theirs_.Find(source), source};
        }
    }
    if (!origin.span) throw Unplaced{};
    return origin;
}

cMergeSplicer::Origin cMergeSplicer::LayoutOf(const DOMNode* node, const Origin& origin) const {
    const DOMNode* replaced = edits_.Replaced(node);
    const cMergeSource::Span* span = replaced ? ours_.Find(replaced) : nullptr;
    return span ? Origin{&ours_, span, replaced} : origin;
}

void cMergeSplicer::Emit(const cMergeSource& source, cMergeSource::Offset begin, cMergeSource::Offset end) {
    if (&source == &theirs_ && !lineEnd_.empty()) {
        // Each '\n' is copied (so that it lands), a '\r' before it added or left out.
        const std::string& bytes = source.Bytes();
        for (std::size_t at = bytes.find('\n', begin); at < end; at = bytes.find('\n', at + 1)) {
            const auto newline = static_cast<cMergeSource::Offset>(at);
            const bool cr = newline > begin && bytes[newline - 1] == '\r';
            if (lineEnd_.size() == 2 && !cr) {
                Copy(source, begin, newline);
                if (out_->empty() || out_->back() != '\r') *out_ += '\r';
                begin = newline;
            } else if (lineEnd_.size() == 1 && cr) {
                Copy(source, begin, newline - 1);
                begin = newline;
            }
        }
    }
    Copy(source, begin, end);
}

void cMergeSplicer::Copy(const cMergeSource& source, cMergeSource::Offset begin, cMergeSource::Offset end) {
    if (begin >= end) return;
    copied_.push_back({&source, begin, end, out_->size()});
    out_->append(source.Bytes(), begin, end - begin);
}

void cMergeSplicer::Node(const DOMNode* node) {
    const Origin origin = OriginOf(node);
    const std::size_t begin = out_->size();
    if (!dirty_.count(node))
        Emit(*origin.source, origin.span->begin, origin.span->end);
    else
        Element(static_cast<const DOMElement*>(node), origin);
    placed_[node] = {begin, out_->size()};
}

void cMergeSplicer::Children(const DOMNode* node) {
    for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
        if (QORMMIsLayout(child)) continue;  // within the layout of the node after it
        const Origin layout = LayoutOf(child, OriginOf(child));
        Emit(*layout.source, layout.span->layout, layout.span->begin);
        Node(child);
    }
}

void cMergeSplicer::Element(const DOMElement* element, const Origin& origin) {
    const cMergeSource& source = *origin.source;
    if (!source.Content(origin.node)) throw Unplaced{};  // its closing run, mapped with its children
    const cMergeSource::StartTag tag = source.ReadStartTag(origin.span->begin);
    bool hasChildren = false;
    for (const DOMNode* child = element->getFirstChild(); child && !hasChildren; child = child->getNextSibling())
        hasChildren = !QORMMIsLayout(child);
    StartTag(element, origin, tag, hasChildren);
    if (tag.empty && !hasChildren) return;
    Children(element);
    // The blank before the end tag: the source's, or theirs' when the source
    // had no content to close.
    const cMergeEdits::Element* noted = edits_.Of(element);
    const cMergeSource::Span* counterpart = noted && noted->counterpart ? theirs_.Content(noted->counterpart) : nullptr;
    if (!tag.empty)
        Emit(source, origin.span->closing, origin.span->endTag);
    else if (counterpart)
        Emit(theirs_, counterpart->closing, counterpart->endTag);
    const bool renamed = noted && noted->tagFrom;
    if (!tag.empty && !renamed) {
        Emit(source, origin.span->endTag, origin.span->end);
        return;
    }
    // A new end tag: "</" and the name the start tag got.
    *out_ += "</";
    TagName(noted, source, tag);
    *out_ += ">";
}

void cMergeSplicer::TagName(const cMergeEdits::Element* noted, const cMergeSource& source,
                            const cMergeSource::StartTag& tag) {
    if (!noted || !noted->tagFrom) {
        Emit(source, tag.name, tag.nameEnd);
        return;
    }
    const cMergeSource::Span* span = theirs_.Find(noted->tagFrom);
    if (!span) throw Unplaced{};
    const cMergeSource::StartTag from = theirs_.ReadStartTag(span->begin);
    Emit(theirs_, from.name, from.nameEnd);
}

void cMergeSplicer::StartTag(const DOMElement* element, const Origin& origin, const cMergeSource::StartTag& tag,
                             bool open) {
    const cMergeSource& source = *origin.source;
    const cMergeEdits::Element* noted = edits_.Of(element);
    std::vector<const cMergeEdits::Field*> fields;
    if (noted)
        for (const cMergeEdits::Field& field : noted->fields) fields.push_back(&field);
    Emit(source, origin.span->begin, tag.name);  // "<"
    TagName(noted, source, tag);
    std::vector<bool> done(fields.size(), false);
    std::vector<std::string> names(fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (!source.EncodeName(reinterpret_cast<const XMLCh*>(fields[i]->name.c_str()), names[i])) throw Unplaced{};
    for (const cMergeSource::Field& field : tag.fields) {
        const cMergeEdits::Field* edit = nullptr;
        for (std::size_t i = 0; i < fields.size() && !edit; ++i) {
            if (done[i] || source.Text(field.name, field.nameEnd) != names[i]) continue;
            edit = fields[i];
            done[i] = true;
        }
        if (!edit) {
            Emit(source, field.layout, field.end);
        } else if (!edit->deleted) {  // a new value, in place
            Emit(source, field.layout, field.value);
            const char quote = field.Quote(source.Bytes());
            if (edit->from)
                TheirsValue(edit->from, edit->name, quote);
            else
                *out_ += source.EncodeValue(reinterpret_cast<const XMLCh*>(edit->literal.c_str()), quote);
            *out_ += quote;
        }  // deleted: gone with the blank before it
    }
    // Fields the source does not have: at the end, as theirs writes them.
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (done[i] || fields[i]->deleted) continue;
        const XMLCh* added = reinterpret_cast<const XMLCh*>(fields[i]->name.c_str());
        *out_ += ' ';
        if (fields[i]->from) {
            const cMergeSource::Span* span = theirs_.Find(fields[i]->from);
            const cMergeSource::StartTag from = span ? theirs_.ReadStartTag(span->begin) : cMergeSource::StartTag{};
            const cMergeSource::Field* field = span ? theirs_.FindField(from, added) : nullptr;
            if (!field) throw Unplaced{};
            Emit(theirs_, field->name, field->end);
        } else {
            *out_ += names[i] + "=\"" +
                     source.EncodeValue(reinterpret_cast<const XMLCh*>(fields[i]->literal.c_str()), '"') + "\"";
        }
    }
    if (open && tag.empty) {  // children came: the tag closes with ">" only
        Emit(source, tag.fieldsEnd, tag.close);
        *out_ += '>';
    } else {
        Emit(source, tag.fieldsEnd, tag.end);
    }
}

void cMergeSplicer::TheirsValue(const DOMElement* from, const std::u16string& name, char quote) {
    const cMergeSource::Span* span = theirs_.Find(from);
    if (!span) throw Unplaced{};
    const cMergeSource::StartTag tag = theirs_.ReadStartTag(span->begin);
    const cMergeSource::Field* field = theirs_.FindField(tag, reinterpret_cast<const XMLCh*>(name.c_str()));
    if (!field) throw Unplaced{};
    if (field->Quote(theirs_.Bytes()) == quote) {
        Emit(theirs_, field->value, field->valueEnd);
        return;
    }
    // Theirs quotes otherwise: ours' quote character, where theirs' text
    // holds it, becomes a reference.
    const std::string& bytes = theirs_.Bytes();
    cMergeSource::Offset begin = field->value;
    for (std::size_t at = bytes.find(quote, begin); at < field->valueEnd; at = bytes.find(quote, begin)) {
        Emit(theirs_, begin, static_cast<cMergeSource::Offset>(at));
        *out_ += quote == '"' ? "&quot;" : "&apos;";
        begin = static_cast<cMergeSource::Offset>(at + 1);
    }
    Emit(theirs_, begin, field->valueEnd);
}

bool cMergeSplicer::Landed(const cMergeSource& source, cMergeSource::Offset at, std::size_t& position, bool end) const {
    // The last run of source that begins before at (at or before, for a
    // beginning): at must lie within it.
    const auto after =
        std::upper_bound(copied_.begin(), copied_.end(), std::make_pair(&source, at),
                         [end](const std::pair<const cMergeSource*, cMergeSource::Offset>& key, const Copied& run) {
                             if (key.first != run.source) return key.first < run.source;
                             return end ? key.second <= run.begin : key.second < run.begin;
                         });
    if (after == copied_.begin()) return false;
    const Copied& run = *std::prev(after);
    if (run.source != &source || (end ? at > run.end : at >= run.end)) return false;
    position = run.position + (at - run.begin);
    return true;
}

bool cMergeSplicer::Placed(const DOMNode* node, std::size_t& begin, std::size_t& end) const {
    const auto found = placed_.find(node);
    if (found != placed_.end()) {
        begin = found->second.first;
        end = found->second.second;
        return true;
    }
    const DOMNode* copied = edits_.SourceOf(node);
    const cMergeSource& source = copied || !ours_.Find(node) ? theirs_ : ours_;
    const cMergeSource::Span* span = source.Find(copied ? copied : node);
    return span && Landed(source, span->begin, begin, false) && Landed(source, span->end, end, true) && begin <= end;
}
