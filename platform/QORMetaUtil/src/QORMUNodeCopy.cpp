#include "QORMetaUtil/QORMUNodeCopy.h"

#include <map>
#include <string>
#include <vector>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

using Name = std::u16string;

Name NameOf(const XMLCh* text) { return text ? Name(reinterpret_cast<const char16_t*>(text)) : Name(); }

bool IsDeclaration(const Name& name) { return name == u"xmlns" || name.compare(0, 6, u"xmlns:") == 0; }

// "xmlns:p" for a name "p:local" (p neither xml nor xmlns); "xmlns" for an
// unprefixed element name when asked; empty when no declaration is needed.
Name DeclarationFor(const Name& name, bool element, bool withDefault) {
    const std::size_t colon = name.find(u':');
    if (colon == Name::npos) return element && withDefault ? Name(u"xmlns") : Name();
    const Name prefix = name.substr(0, colon);
    if (prefix == u"xml" || prefix == u"xmlns") return Name();
    return u"xmlns:" + prefix;
}

class Declarer {
public:
    Declarer(const DOMNode* context, bool withDefault) : context_(context), withDefault_(withDefault) {}

    void Visit(DOMElement* element) {
        const std::size_t scope = inScope_.size();
        DOMNamedNodeMap* attributes = element->getAttributes();
        std::vector<Name> needed{DeclarationFor(NameOf(element->getTagName()), true, withDefault_)};
        for (XMLSize_t i = 0; i < attributes->getLength(); ++i) {
            Name name = NameOf(attributes->item(i)->getNodeName());
            if (IsDeclaration(name))
                inScope_.push_back(std::move(name));
            else
                needed.push_back(DeclarationFor(name, false, withDefault_));
        }
        for (const Name& declaration : needed) {
            if (declaration.empty() || InScope(declaration)) continue;
            const XMLCh* value = Lookup(declaration);
            if (!value || (declaration == u"xmlns" && !*value)) continue;
            element->setAttribute(reinterpret_cast<const XMLCh*>(declaration.c_str()), value);
            inScope_.push_back(declaration);
        }
        for (DOMElement* child = element->getFirstElementChild(); child; child = child->getNextElementSibling())
            Visit(child);
        inScope_.resize(scope);
    }

private:
    bool InScope(const Name& declaration) const {
        for (const Name& name : inScope_)
            if (name == declaration) return true;
        return false;
    }
    // The value of the declaration where context stands; null when none.
    const XMLCh* Lookup(const Name& declaration) {
        const auto known = found_.find(declaration);
        if (known != found_.end()) return known->second;
        const XMLCh* value = nullptr;
        for (const DOMNode* node = context_; node && node->getNodeType() == DOMNode::ELEMENT_NODE && !value;
             node = node->getParentNode()) {
            const DOMAttr* attribute =
                static_cast<const DOMElement*>(node)->getAttributeNode(reinterpret_cast<const XMLCh*>(declaration.c_str()));
            if (attribute) value = QORMUAttrValue(attribute);
        }
        found_.emplace(declaration, value);
        return value;
    }

    const DOMNode* context_;
    bool withDefault_;
    std::vector<Name> inScope_;  // declarations made by the element being visited and its ancestors
    std::map<Name, const XMLCh*> found_;
};

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
        case DOMNode::TEXT_NODE:
            return document->createTextNode(source->getNodeValue());
        case DOMNode::CDATA_SECTION_NODE:
            return document->createCDATASection(source->getNodeValue());
        case DOMNode::COMMENT_NODE:
            return document->createComment(source->getNodeValue());
        case DOMNode::PROCESSING_INSTRUCTION_NODE:
            return document->createProcessingInstruction(source->getNodeName(), source->getNodeValue());
        default:
            return document->importNode(source, deep);
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

DOMNode* QORMUCopyNode(DOMDocument* document, const DOMNode* source, bool deep) {
    DOMNode* copy = Copy(document, source, deep);
    if (copy->getNodeType() == DOMNode::ELEMENT_NODE)
        QORMUDeclareNamespaces(static_cast<DOMElement*>(copy), source->getParentNode(), true);
    return copy;
}

void QORMUDeclareNamespaces(DOMElement* element, const DOMNode* context, bool withDefault) {
    Declarer(context, withDefault).Visit(element);
}

std::u16string QORMUPrefixDeclaration(const XMLCh* name) { return DeclarationFor(NameOf(name), false, false); }
