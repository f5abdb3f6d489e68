// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeNamespaces.h"

#include <string>
#include <vector>

#include <xercesc/util/XMLString.hpp>

#include "QORMMergeEdits.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUNodeCopy.h"

using namespace xercesc;

namespace {

const XMLCh* AsXML(const std::u16string& text) { return reinterpret_cast<const XMLCh*>(text.c_str()); }

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

bool IsDeclaration(const std::u16string& name) { return name == u"xmlns" || name.rfind(u"xmlns:", 0) == 0; }

// The declarations that names in element's subtree use and that the subtree
// does not make where they are used, in the order met; "xmlns" for a tag
// without a prefix.
void Needed(const DOMElement* element, std::vector<std::u16string>& inScope, std::vector<std::u16string>& needed) {
    const std::size_t scope = inScope.size();
    const std::u16string tag(reinterpret_cast<const char16_t*>(element->getTagName()));
    std::vector<std::u16string> uses{
        tag.find(u':') == std::u16string::npos ? u"xmlns" : QORMUPrefixDeclaration(element->getTagName())};
    const DOMNamedNodeMap* attributes = element->getAttributes();
    for (XMLSize_t i = 0; attributes && i < attributes->getLength(); ++i) {
        std::u16string name(reinterpret_cast<const char16_t*>(attributes->item(i)->getNodeName()));
        if (IsDeclaration(name))
            inScope.push_back(std::move(name));
        else
            uses.push_back(QORMUPrefixDeclaration(attributes->item(i)->getNodeName()));
    }
    for (const std::u16string& use : uses) {
        if (use.empty()) continue;
        bool known = false;
        for (const std::u16string& name : inScope) known = known || name == use;
        for (const std::u16string& name : needed) known = known || name == use;
        if (!known) needed.push_back(use);
    }
    for (const DOMElement* child = element->getFirstElementChild(); child; child = child->getNextElementSibling())
        Needed(child, inScope, needed);
    inScope.resize(scope);
}

}  // namespace

const DOMElement* QORMMDeclarePrefixOf(const XMLCh* name, DOMElement* element, const DOMElement* theirs) {
    const std::u16string declaration = QORMUPrefixDeclaration(name);
    if (declaration.empty()) return nullptr;
    if (InScope(element, AsXML(declaration))) return nullptr;
    const DOMAttr* value = InScope(theirs, AsXML(declaration));
    if (!value) return nullptr;
    element->setAttribute(AsXML(declaration), QORMUAttrValue(value));
    return value->getOwnerElement();
}

bool QORMMPrefixInUse(const XMLCh* declaration, const DOMElement* element) {
    const std::u16string name(reinterpret_cast<const char16_t*>(declaration));
    return name.size() > 6 && name.compare(0, 6, u"xmlns:") == 0 && Uses(element, name);
}

void QORMMDeclareForPlace(DOMElement* copy, const DOMElement* source, cMergeEdits& edits) {
    std::vector<std::u16string> inScope, needed;
    Needed(copy, inScope, needed);
    for (const std::u16string& declaration : needed) {
        const DOMAttr* theirs = InScope(source->getParentNode(), AsXML(declaration));
        const DOMAttr* here = InScope(copy->getParentNode(), AsXML(declaration));
        const XMLCh* theirsValue = theirs ? QORMUAttrValue(theirs) : u"";
        if (XMLString::equals(theirsValue, here ? QORMUAttrValue(here) : u"")) continue;
        if (theirs) {
            copy->setAttribute(AsXML(declaration), theirsValue);
            edits.FieldTaken(copy, AsXML(declaration), theirs->getOwnerElement());
        } else if (declaration == u"xmlns") {  // theirs has no default namespace there
            copy->setAttribute(u"xmlns", u"");
            edits.FieldSet(copy, u"xmlns", u"");
        }  // a prefix cannot be undeclared in XML 1.0
    }
}
