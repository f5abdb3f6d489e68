#include "QORMMergeNamespaces.h"

#include <string>
#include <string_view>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

std::u16string_view View(const XMLCh* text) {
    return text ? std::u16string_view(reinterpret_cast<const char16_t*>(text)) : std::u16string_view();
}

// The prefix of a qualified name; empty when it has none or when it is one
// that needs no declaration (xml, xmlns).
std::u16string_view PrefixOf(std::u16string_view name) {
    const std::size_t colon = name.find(u':');
    if (colon == std::u16string_view::npos) return {};
    const std::u16string_view prefix = name.substr(0, colon);
    return prefix == u"xml" || prefix == u"xmlns" ? std::u16string_view() : prefix;
}

// The declaration in scope at node, or null.
const DOMAttr* InScope(const DOMNode* node, const XMLCh* declaration) {
    for (; node && node->getNodeType() == DOMNode::ELEMENT_NODE; node = node->getParentNode())
        if (const DOMAttr* found = static_cast<const DOMElement*>(node)->getAttributeNode(declaration)) return found;
    return nullptr;
}

bool Uses(const DOMElement* element, std::u16string_view prefix) {
    if (PrefixOf(View(element->getTagName())) == prefix) return true;
    const DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i)
        if (PrefixOf(View(attributes->item(i)->getNodeName())) == prefix) return true;
    for (const DOMElement* child = element->getFirstElementChild(); child; child = child->getNextElementSibling())
        if (Uses(child, prefix)) return true;
    return false;
}

}  // namespace

void QORMMDeclarePrefixOf(const XMLCh* name, DOMElement* element, const DOMElement* theirs) {
    const std::u16string_view prefix = PrefixOf(View(name));
    if (prefix.empty()) return;
    const std::u16string declaration = u"xmlns:" + std::u16string(prefix);
    const XMLCh* const qualified = reinterpret_cast<const XMLCh*>(declaration.c_str());
    if (InScope(element, qualified)) return;
    if (const DOMAttr* value = InScope(theirs, qualified)) element->setAttribute(qualified, QORMUAttrValue(value));
}

bool QORMMPrefixInUse(const XMLCh* declaration, const DOMElement* element) {
    const std::u16string_view name = View(declaration);
    if (name.size() <= 6 || name.substr(0, 6) != u"xmlns:") return false;
    return Uses(element, name.substr(6));
}
