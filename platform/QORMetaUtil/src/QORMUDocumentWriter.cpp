// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUDocumentWriter.h"

#include <new>
#include <string>
#include <string_view>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

// Characters as UTF-8 into the target, escaped for where they stand.
class Utf8Out {
public:
    enum Context { kText, kAttribute, kVerbatim };

    explicit Utf8Out(XMLFormatTarget& target) : target_(target) { buffer_.reserve(kFlushAt + 64); }
    ~Utf8Out() { Flush(); }

    void Ascii(const char* text) {
        buffer_ += text;
        FlushIfFull();
    }
    void Indent(int depth) {
        buffer_ += '\n';
        buffer_.append(static_cast<std::size_t>(depth) * 2, ' ');
    }
    void Write(const XMLCh* text, Context context) {
        if (!text) return;
        const std::u16string_view units(reinterpret_cast<const char16_t*>(text));
        for (std::size_t i = 0; i < units.size();) {
            Character(ZULNextCodePoint(units, i), context);
            FlushIfFull();
        }
    }
    void Flush() {
        if (buffer_.empty()) return;
        target_.writeChars(reinterpret_cast<const XMLByte*>(buffer_.data()), buffer_.size(), nullptr);
        buffer_.clear();
    }

private:
    static constexpr std::size_t kFlushAt = 1 << 16;

    void FlushIfFull() {
        if (buffer_.size() >= kFlushAt) Flush();
    }
    void Character(char32_t c, Context context) {
        if (context != kVerbatim) {
            switch (c) {
                case '&': buffer_ += "&amp;"; return;
                case '<': buffer_ += "&lt;"; return;
                case '>': buffer_ += context == kText ? "&gt;" : ">"; return;
                case '"': buffer_ += context == kAttribute ? "&quot;" : "\""; return;
                case '\r': buffer_ += "&#13;"; return;  // a parser would turn it into a line feed
                case '\t': buffer_ += context == kAttribute ? "&#9;" : "\t"; return;  // into a blank
                case '\n': buffer_ += context == kAttribute ? "&#10;" : "\n"; return;
                default: break;
            }
        }
        ZULAppendUtf8(buffer_, Carried(c));
    }
    // What XML 1.0 can carry of c. A lone surrogate from U+DC80 to U+DCFF is
    // how ZULUnicodeString keeps a byte that was not UTF-8 (a Latin-1 file
    // name): it is shown as the Latin-1 character of that byte. Anything else
    // XML cannot hold becomes U+FFFD.
    static char32_t Carried(char32_t c) {
        if (c >= 0xDC80 && c <= 0xDCFF) return c - 0xDC00;
        const bool allowed = c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
                             (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        return allowed ? c : 0xFFFD;
    }

    XMLFormatTarget& target_;
    std::string buffer_;
};

// Whether element's children are laid out: it holds elements and no text,
// and does not ask for its white space to be kept (xml:space="preserve").
bool LaysOutChildren(const DOMElement* element) {
    bool elements = false;
    for (const DOMNode* child = element->getFirstChild(); child; child = child->getNextSibling()) {
        const DOMNode::NodeType type = child->getNodeType();
        if (type == DOMNode::TEXT_NODE || type == DOMNode::CDATA_SECTION_NODE) return false;
        elements = elements || type == DOMNode::ELEMENT_NODE;
    }
    static const XMLCh kSpace[] = u"xml:space";
    return elements &&
           std::u16string_view(reinterpret_cast<const char16_t*>(element->getAttribute(kSpace))) != u"preserve";
}

// Writes node. Laid out (one child a line, indented) while layout is true;
// the content of an element that holds text, keeps its white space or
// holds no element (a lone comment) is written as it is, and so is
// everything below it.
void WriteNode(Utf8Out& out, const DOMNode* node, int depth, bool layout) {
    switch (node->getNodeType()) {
        case DOMNode::ELEMENT_NODE: {
            out.Ascii("<");
            out.Write(node->getNodeName(), Utf8Out::kVerbatim);
            const DOMNamedNodeMap* attributes = node->getAttributes();
            for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i) {
                const auto* attribute = static_cast<const DOMAttr*>(attributes->item(i));
                out.Ascii(" ");
                out.Write(attribute->getName(), Utf8Out::kVerbatim);
                out.Ascii("=\"");
                out.Write(QORMUAttrValue(attribute), Utf8Out::kAttribute);
                out.Ascii("\"");
            }
            if (!node->getFirstChild()) {
                out.Ascii("/>");
                return;
            }
            out.Ascii(">");
            const bool childLayout = layout && LaysOutChildren(static_cast<const DOMElement*>(node));
            for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
                if (childLayout) out.Indent(depth + 1);
                WriteNode(out, child, depth + 1, childLayout);
            }
            if (childLayout) out.Indent(depth);
            out.Ascii("</");
            out.Write(node->getNodeName(), Utf8Out::kVerbatim);
            out.Ascii(">");
            return;
        }
        case DOMNode::TEXT_NODE: out.Write(node->getNodeValue(), Utf8Out::kText); return;
        case DOMNode::CDATA_SECTION_NODE: {
            // "]]>" cannot stand inside a section: it is split over two.
            std::u16string text(reinterpret_cast<const char16_t*>(node->getNodeValue()));
            for (std::size_t at = text.find(u"]]>"); at != std::u16string::npos; at = text.find(u"]]>", at + 15))
                text.replace(at, 3, u"]]]]><![CDATA[>");
            out.Ascii("<![CDATA[");
            out.Write(reinterpret_cast<const XMLCh*>(text.c_str()), Utf8Out::kVerbatim);
            out.Ascii("]]>");
            return;
        }
        case DOMNode::COMMENT_NODE:
            out.Ascii("<!--");
            out.Write(node->getNodeValue(), Utf8Out::kVerbatim);
            out.Ascii("-->");
            return;
        case DOMNode::PROCESSING_INSTRUCTION_NODE:
            out.Ascii("<?");
            out.Write(node->getNodeName(), Utf8Out::kVerbatim);
            if (!QORMUIsNullDOMString(node->getNodeValue())) {
                out.Ascii(" ");
                out.Write(node->getNodeValue(), Utf8Out::kVerbatim);
            }
            out.Ascii("?>");
            return;
        default:  // no other kind is ever built or parsed
            return;
    }
}

}  // namespace

bool QORMUWriteDocument(const DOMDocument* document, XMLFormatTarget& target, std::string& reason) {
    if (!document) return true;  // nothing to write: an empty file
    try {
        Utf8Out out(target);
        out.Ascii("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\" ?>");
        for (const DOMNode* child = document->getFirstChild(); child; child = child->getNextSibling()) {
            out.Indent(0);
            WriteNode(out, child, 0, true);
        }
        out.Ascii("\n");
        return true;
    } catch (const std::bad_alloc&) {
        reason = "the run ran out of memory while writing it";
    } catch (const DOMException& e) {
        reason = DOMToZULUnicodeString(e.getMessage()).ConvertToChar();
    }
    return false;
}
