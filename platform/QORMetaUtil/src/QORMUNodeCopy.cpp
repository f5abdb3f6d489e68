// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUNodeCopy.h"

#include <string>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

using Name = std::u16string;

Name NameOf(const XMLCh* text) { return text ? Name(reinterpret_cast<const char16_t*>(text)) : Name(); }

// "xmlns:p" for a name "p:local" (p neither xml nor xmlns); empty for a
// name without a prefix.
Name DeclarationFor(const Name& name) {
    const std::size_t colon = name.find(u':');
    if (colon == Name::npos) return Name();
    const Name prefix = name.substr(0, colon);
    if (prefix == u"xml" || prefix == u"xmlns") return Name();
    return u"xmlns:" + prefix;
}

DOMNode* Copy(DOMDocument* document, const DOMNode* source, bool deep) {
    DOMNode* copy = nullptr;
    switch (source->getNodeType()) {
        case DOMNode::ELEMENT_NODE: {
            DOMElement* element = document->createElement(source->getNodeName());
            const DOMNamedNodeMap* attributes = source->getAttributes();
            for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
                const auto* attribute = static_cast<const DOMAttr*>(attributes->item(i));
                element->setAttribute(attribute->getName(), QORMUAttrValue(attribute));
            }
            copy = element;
            break;
        }
        case DOMNode::TEXT_NODE: return document->createTextNode(source->getNodeValue());
        case DOMNode::CDATA_SECTION_NODE: return document->createCDATASection(source->getNodeValue());
        case DOMNode::COMMENT_NODE: return document->createComment(source->getNodeValue());
        case DOMNode::PROCESSING_INSTRUCTION_NODE:
            return document->createProcessingInstruction(source->getNodeName(), source->getNodeValue());
        default: return document->importNode(source, deep);
    }
    if (deep) {
        for (const DOMNode* child = source->getFirstChild(); child; child = child->getNextSibling())
            copy->appendChild(Copy(document, child, true));
    }
    return copy;
}

}  // namespace

DOMNode* QORMUCopyNodeAsIs(DOMDocument* document, const DOMNode* source, bool deep) {
    return Copy(document, source, deep);
}

std::u16string QORMUPrefixDeclaration(const XMLCh* name) { return DeclarationFor(NameOf(name)); }
