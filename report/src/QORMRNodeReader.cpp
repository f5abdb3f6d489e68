#include "QORMRNodeReader.h"

#include "QORMetaUtil/QORMUDomString.h"

using xercesc::DOMNode;

std::string cReportNodeReader::Utf8(const ZULUnicodeString& text) { return text.ConvertToChar(); }

std::string cReportNodeReader::Utf8(const XMLCh* text) { return Utf8(DOMToZULUnicodeString(text)); }

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
        default:
            return false;
    }
}
