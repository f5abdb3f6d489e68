// SPDX-License-Identifier: Apache-2.0
#include "QORMRNodeReader.h"

#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include "QORMetaUtil/QORMUDomString.h"

using xercesc::DOMNode;

std::string cReportNodeReader::Utf8(const ZULUnicodeString& text) { return text.ConvertToChar(); }

std::string cReportNodeReader::Utf8(const XMLCh* text) {
    if (!text) return {};
    // Straight from UTF-16 to UTF-8, without the framework string between (a
    // large report reads hundreds of thousands of values): the length first,
    // so that each string gets the room it needs and no more.
    const auto* source = reinterpret_cast<const UChar*>(text);
    const int32_t length = u_strlen(source);
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
        case DOMNode::TEXT_NODE:
        case DOMNode::CDATA_SECTION_NODE:
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
