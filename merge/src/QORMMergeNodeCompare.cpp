#include "QORMMergeNodeCompare.h"

#include <algorithm>
#include <utility>

#include <xercesc/util/XMLString.hpp>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

using NameValue = std::pair<std::u16string_view, std::u16string_view>;

std::u16string_view View(const XMLCh* text) {
    return text ? std::u16string_view(reinterpret_cast<const char16_t*>(text)) : std::u16string_view();
}

// The attributes of map sorted by name: for elements that hold the same ones
// in another order.
std::vector<NameValue> Sorted(const DOMNamedNodeMap* map) {
    std::vector<NameValue> result;
    result.reserve(map->getLength());
    for (XMLSize_t i = 0; i < map->getLength(); ++i) {
        const auto* attribute = static_cast<const DOMAttr*>(map->item(i));
        result.emplace_back(View(attribute->getName()), View(QORMUAttrValue(attribute)));
    }
    std::sort(result.begin(), result.end());
    return result;
}

bool IsBlank(XMLCh c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; }

// Whether text has an element for a sibling (mixed content).
bool BesideElements(const DOMNode* text) {
    const DOMNode* parent = text->getParentNode();
    for (const DOMNode* node = parent ? parent->getFirstChild() : nullptr; node; node = node->getNextSibling())
        if (node->getNodeType() == DOMNode::ELEMENT_NODE) return true;
    return false;
}

std::u16string_view Trimmed(const DOMNode* text) {
    std::u16string_view value = View(text->getNodeValue());
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
    return value;
}

// The first child of node from child on that is not layout.
const DOMNode* Content(const DOMNode* child) {
    while (child && QORMMIsLayout(child)) child = child->getNextSibling();
    return child;
}

bool SameChildren(const DOMNode* a, const DOMNode* b) {
    const DOMNode* x = Content(a->getFirstChild());
    const DOMNode* y = Content(b->getFirstChild());
    for (; x && y; x = Content(x->getNextSibling()), y = Content(y->getNextSibling()))
        if (!QORMMSameNode(x, y)) return false;
    return !x && !y;
}

}  // namespace

bool QORMMIsLayout(const DOMNode* node) {
    if (node->getNodeType() != DOMNode::TEXT_NODE) return false;
    for (const XMLCh* c = node->getNodeValue(); c && *c; ++c)
        if (!IsBlank(*c)) return false;
    return true;
}

bool QORMMSameAttributes(const DOMElement* a, const DOMElement* b) {
    const DOMNamedNodeMap* mine = a->getAttributes();
    const DOMNamedNodeMap* theirs = b->getAttributes();
    const XMLSize_t count = mine ? mine->getLength() : 0;
    if (count != (theirs ? theirs->getLength() : 0)) return false;
    bool sameOrder = true;
    for (XMLSize_t i = 0; i < count && sameOrder; ++i) {
        const auto* x = static_cast<const DOMAttr*>(mine->item(i));
        const auto* y = static_cast<const DOMAttr*>(theirs->item(i));
        if (!XMLString::equals(x->getName(), y->getName())) {
            sameOrder = false;
        } else if (!XMLString::equals(QORMUAttrValue(x), QORMUAttrValue(y))) {
            return false;
        }
    }
    return sameOrder || Sorted(mine) == Sorted(theirs);
}

bool QORMMSameNode(const DOMNode* a, const DOMNode* b) {
    if (!a || !b) return a == b;
    if (a->getNodeType() != b->getNodeType()) return false;
    if (!XMLString::equals(a->getNodeName(), b->getNodeName())) return false;
    switch (a->getNodeType()) {
        case DOMNode::ELEMENT_NODE:
            if (!QORMMSameAttributes(static_cast<const DOMElement*>(a), static_cast<const DOMElement*>(b)))
                return false;
            return SameChildren(a, b);
        case DOMNode::DOCUMENT_NODE:
            return SameChildren(a, b);
        case DOMNode::TEXT_NODE:  // beside elements, its blank ends are layout
            if (BesideElements(a) || BesideElements(b)) return Trimmed(a) == Trimmed(b);
            return XMLString::equals(a->getNodeValue(), b->getNodeValue());
        default:  // CDATA, comment, processing instruction: name and value
            return XMLString::equals(a->getNodeValue(), b->getNodeValue());
    }
}

bool QORMMSameNodes(const std::vector<const DOMNode*>& a, const std::vector<const DOMNode*>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (!QORMMSameNode(a[i], b[i])) return false;
    return true;
}
