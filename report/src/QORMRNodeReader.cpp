// SPDX-License-Identifier: Apache-2.0
#include "QORMRNodeReader.h"

#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTextLayout.h"

using xercesc::DOMNode;

namespace {

std::u16string_view View(const XMLCh* text) {
    return text ? std::u16string_view(reinterpret_cast<const char16_t*>(text)) : std::u16string_view();
}

bool HoldsElements(const DOMNode* node) {
    for (const DOMNode* child = node ? node->getFirstChild() : nullptr; child; child = child->getNextSibling())
        if (child->getNodeType() == DOMNode::ELEMENT_NODE) return true;
    return false;
}

// Whether node lies under xml:space="preserve" (the nearest xml:space says).
bool Preserved(const DOMNode* node) {
    for (; node; node = node->getParentNode()) {
        if (node->getNodeType() != DOMNode::ELEMENT_NODE) continue;
        const auto* element = static_cast<const xercesc::DOMElement*>(node);
        const xercesc::DOMAttr* space = element->getAttributeNode(reinterpret_cast<const XMLCh*>(u"xml:space"));
        if (space) return View(QORMUAttrValue(space)) == u"preserve";
    }
    return false;
}

// The text of a text node as content: without its layout (QORMUTextLayout.h),
// and none when it is all blanks, unless its blanks are kept as written.
bool ContentOf(const DOMNode* text, std::u16string_view& content) {
    content = View(text->getNodeValue());
    if (Preserved(text)) return true;
    content = QORMUWithoutLayout(content, HoldsElements(text->getParentNode()));
    return content.find_first_not_of(u" \t\r\n") != std::u16string_view::npos;
}

}  // namespace

std::string cReportNodeReader::Utf8(const ZULUnicodeString& text) { return text.ConvertToChar(); }

std::string cReportNodeReader::Utf8(const XMLCh* text) { return Utf8(View(text)); }

std::string cReportNodeReader::Utf8(std::u16string_view text) {
    // Straight from UTF-16 to UTF-8, without the framework string between (a
    // large report reads hundreds of thousands of values): the length first,
    // so that each string gets the room it needs and no more.
    const auto* source = reinterpret_cast<const UChar*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    std::size_t bytes = 0;
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(source, i, length, c);
        bytes += static_cast<std::size_t>(U8_LENGTH(U_IS_SURROGATE(c) ? 0xFFFD : c));
    }
    std::string utf8(bytes, '\0');
    auto* out = reinterpret_cast<uint8_t*>(utf8.data());
    int32_t at = 0;
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U16_NEXT(source, i, length, c);
        U8_APPEND_UNSAFE(out, at, U_IS_SURROGATE(c) ? 0xFFFD : c);
    }
    return utf8;
}

std::vector<std::pair<std::string, std::string>> cReportNodeReader::Fields(const xercesc::DOMElement* element) {
    std::vector<std::pair<std::string, std::string>> fields;
    const xercesc::DOMNamedNodeMap* attributes = element->getAttributes();
    const XMLSize_t count = attributes ? attributes->getLength() : 0;
    fields.reserve(count);
    for (XMLSize_t i = 0; i < count; ++i) {
        const auto* attribute = static_cast<const xercesc::DOMAttr*>(attributes->item(i));
        fields.emplace_back(Utf8(attribute->getName()), Utf8(QORMUAttrValue(attribute)));
    }
    return fields;
}

std::string cReportNodeReader::Attribute(const xercesc::DOMElement* element, const char16_t* name) {
    const xercesc::DOMAttr* attribute = element->getAttributeNode(reinterpret_cast<const XMLCh*>(name));
    return attribute ? Utf8(QORMUAttrValue(attribute)) : std::string();
}

bool cReportNodeReader::Read(const DOMNode* node, cReportNode& result) {
    switch (node->getNodeType()) {
        case DOMNode::ELEMENT_NODE: {
            const auto* element = static_cast<const xercesc::DOMElement*>(node);
            result.kind = cReportNode::kElement;
            result.tag = Utf8(element->getTagName());
            result.fields = Fields(element);
            for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling()) {
                cReportNode below;
                if (Read(child, below)) result.children.push_back(std::move(below));
            }
            return true;
        }
        case DOMNode::TEXT_NODE: {
            std::u16string_view content;
            if (!ContentOf(node, content)) return false;
            result.kind = cReportNode::kText;
            result.text = Utf8(content);
            return true;
        }
        case DOMNode::CDATA_SECTION_NODE:  // written as it is meant: no layout in it
            result.kind = cReportNode::kText;
            result.text = Utf8(node->getNodeValue());
            return true;
        case DOMNode::COMMENT_NODE:
            result.kind = cReportNode::kComment;
            result.text = Utf8(node->getNodeValue());
            return true;
        case DOMNode::PROCESSING_INSTRUCTION_NODE:
            result.kind = cReportNode::kInstruction;
            result.tag = Utf8(node->getNodeName());
            result.text = Utf8(node->getNodeValue());
            return true;
        default: return false;
    }
}
