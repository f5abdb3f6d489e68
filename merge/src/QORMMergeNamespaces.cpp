#include "QORMMergeNamespaces.h"

#include <string>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUNodeCopy.h"

using namespace xercesc;

namespace {

// The declaration in scope at node, or null.
const DOMAttr* InScope(const DOMNode* node, const XMLCh* declaration) {
    for (; node && node->getNodeType() == DOMNode::ELEMENT_NODE; node = node->getParentNode())
        if (const DOMAttr* found = static_cast<const DOMElement*>(node)->getAttributeNode(declaration)) return found;
    return nullptr;
}

bool Uses(const DOMElement* element, const std::u16string& declaration) {
    if (QORMUPrefixDeclaration(element->getTagName()) == declaration) return true;
    const DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i)
        if (QORMUPrefixDeclaration(attributes->item(i)->getNodeName()) == declaration) return true;
    for (const DOMElement* child = element->getFirstElementChild(); child; child = child->getNextElementSibling())
        if (Uses(child, declaration)) return true;
    return false;
}

}  // namespace

void QORMMDeclarePrefixOf(const XMLCh* name, DOMElement* element, const DOMElement* theirs) {
    const std::u16string declaration = QORMUPrefixDeclaration(name);
    if (declaration.empty()) return;
    const XMLCh* const qualified = reinterpret_cast<const XMLCh*>(declaration.c_str());
    if (InScope(element, qualified)) return;
    if (const DOMAttr* value = InScope(theirs, qualified)) element->setAttribute(qualified, QORMUAttrValue(value));
}

bool QORMMPrefixInUse(const XMLCh* declaration, const DOMElement* element) {
    const std::u16string name(reinterpret_cast<const char16_t*>(declaration));
    return name.size() > 6 && name.compare(0, 6, u"xmlns:") == 0 && Uses(element, name);
}
