// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeConflict.h"

#include <cctype>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUPrintableLine.h"

using namespace xercesc;

namespace {

// A value between double quotes, escaped so that it reads back exactly
// (QORMUPrintableLine, as every program shows values).
std::string Quoted(const ZULUnicodeString& value) {
    return "\"" + QORMUPrintableLine(value.ConvertToChar(), QORMUQuoting::kInQuotes) + "\"";
}

// A value in double quotes, exactly as written but for what would break the
// line; "(none)" when absent.
std::string Quoted(const std::optional<ZULUnicodeString>& value) { return value ? Quoted(*value) : "(none)"; }

void Append(std::u16string& out, const XMLCh* text) {
    if (text) out += reinterpret_cast<const char16_t*>(text);
}

// node written out as markup, compactly.
void Write(const DOMNode* node, std::u16string& out) {
    switch (node->getNodeType()) {
        case DOMNode::ELEMENT_NODE: {
            out += u"<";
            Append(out, node->getNodeName());
            const DOMNamedNodeMap* attributes = node->getAttributes();
            for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i) {
                out += u" ";
                Append(out, attributes->item(i)->getNodeName());
                out += u"=\"";
                Append(out, QORMUAttrValue(static_cast<const DOMAttr*>(attributes->item(i))));
                out += u"\"";
            }
            if (!node->getFirstChild()) {
                out += u"/>";
                return;
            }
            out += u">";
            for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling())
                Write(child, out);
            out += u"</";
            Append(out, node->getNodeName());
            out += u">";
            return;
        }
        case DOMNode::COMMENT_NODE:
            out += u"<!--";
            Append(out, node->getNodeValue());
            out += u"-->";
            return;
        case DOMNode::PROCESSING_INSTRUCTION_NODE:
            out += u"<?";
            Append(out, node->getNodeName());
            out += u" ";
            Append(out, node->getNodeValue());
            out += u"?>";
            return;
        case DOMNode::CDATA_SECTION_NODE:
            out += u"<![CDATA[";
            Append(out, node->getNodeValue());
            out += u"]]>";
            return;
        default: Append(out, node->getNodeValue());
    }
}

}  // namespace

std::string cMergeConflict::Who::Describe() const {
    std::string text = "<" + std::string(tag.ConvertToChar());
    if (!name.IsEmpty()) text += " Name=" + Quoted(name);
    if (!uuid.IsEmpty()) text += " Uuid=" + Quoted(uuid);
    return text + ">";
}

std::optional<ZULUnicodeString> cMergeConflict::ContentText(const std::vector<const DOMNode*>& nodes) {
    if (nodes.empty()) return std::nullopt;
    std::u16string text;
    for (const DOMNode* node : nodes) {
        if (!text.empty()) text += u" ";
        Write(node, text);
    }
    constexpr std::size_t kLong = 80, kKept = 38;
    if (text.size() > kLong) {
        std::size_t head = kKept, tail = text.size() - kKept;  // not inside a surrogate pair
        if (text[head - 1] >= 0xD800 && text[head - 1] < 0xDC00) --head;
        if (text[tail] >= 0xDC00 && text[tail] < 0xE000) ++tail;
        text = text.substr(0, head) + u" \u2026 " + text.substr(tail);
    }
    return ZULUnicodeString(text.c_str());
}

const char* cMergeConflict::KindName() const {
    switch (kind) {
        case kField: return "Field";
        case kTag: return "Tag";
        case kContent: return "Content";
        case kDeletedByOurs: return "DeletedByOurs";
        case kDeletedByTheirs: return "DeletedByTheirs";
        case kMovedByTheirs: return "MovedByTheirs";
        case kMovedIntoDeletedClass: return "MovedIntoDeletedClass";
        case kMovedToTwoClasses: return "MovedToTwoClasses";
    }
    return "Field";
}

std::string cMergeConflict::KindTag() const {
    // The kind's name in words: "MovedToTwoClasses" -> "moved to two classes".
    std::string tag;
    for (const char* c = KindName(); *c; ++c) {
        if (std::isupper(static_cast<unsigned char>(*c)) && !tag.empty()) tag += ' ';
        tag += static_cast<char>(std::tolower(static_cast<unsigned char>(*c)));
    }
    if (kind == kField) tag += " " + std::string(field.ConvertToChar());
    return tag;
}

std::string cMergeConflict::Line() const { return QORMUPrintableLine(Words()); }

std::string cMergeConflict::Words() const {
    std::string where = element.Describe();
    if (!parent.tag.IsEmpty()) where += " in " + parent.Describe();
    const std::string head = "CONFLICT (" + KindTag() + "): " + where + ": ";
    const std::string values = "base " + Quoted(base) + ", ours " + Quoted(ours) + ", theirs " + Quoted(theirs);
    switch (kind) {
        case kField:
        case kTag: return head + values;
        case kContent:
            return head +
                   "what the model does not compare (text, comments, skipped elements) changed differently: " + values;
        case kDeletedByOurs: return head + "deleted by ours, changed by theirs";
        case kDeletedByTheirs: return head + "deleted by theirs, changed by ours";
        case kMovedByTheirs:
            return head + "moved by theirs to the class of Uuid " + Quoted(theirs) + ", kept by ours where it was";
        case kMovedIntoDeletedClass:
            return head + "moved by theirs to the class of Uuid " + Quoted(theirs) + ", which ours deleted";
        case kMovedToTwoClasses:
            return head + "moved by ours to the class of Uuid " + Quoted(ours) + ", by theirs to the class of Uuid " +
                   Quoted(theirs);
    }
    return head;
}
