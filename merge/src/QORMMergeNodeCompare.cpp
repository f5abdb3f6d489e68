// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeNodeCompare.h"

#include <algorithm>
#include <utility>

#include <xercesc/util/XMLString.hpp>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTextLayout.h"

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

std::u16string_view Trim(std::u16string_view value) {
    while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
    while (!value.empty() && IsBlank(value.back())) value.remove_suffix(1);
    return value;
}

bool HasElementChild(const DOMNode* node) {
    for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        if (child->getNodeType() == DOMNode::ELEMENT_NODE) return true;
    return false;
}

// Whether text has an element for a sibling (mixed content).
bool BesideElements(const DOMNode* text) { return text->getParentNode() && HasElementChild(text->getParentNode()); }

// An element's content as the merge compares it, one item at a time: a node
// that is not text, or the text of adjacent text nodes joined (a merged
// document may hold two where a parser reads one); blank text is layout and
// left out.
class ContentItems {
public:
    explicit ContentItems(const DOMNode* parent) : next_(parent->getFirstChild()) { Advance(); }
    bool Done() const { return !node_ && !isText_; }
    const DOMNode* Node() const { return node_; }
    bool IsText() const { return isText_; }
    std::u16string_view Text() const { return text_; }
    void Advance() {
        node_ = nullptr;
        isText_ = false;
        while (next_) {
            if (next_->getNodeType() != DOMNode::TEXT_NODE) {
                node_ = next_;
                next_ = next_->getNextSibling();
                return;
            }
            text_.clear();
            for (; next_ && next_->getNodeType() == DOMNode::TEXT_NODE; next_ = next_->getNextSibling())
                text_ += View(next_->getNodeValue());
            if (!Trim(text_).empty()) {
                isText_ = true;
                return;
            }
        }
    }

private:
    const DOMNode* next_;
    const DOMNode* node_ = nullptr;
    bool isText_ = false;
    std::u16string text_;
};

bool SameChildren(const DOMNode* a, const DOMNode* b) {
    const bool mixed = HasElementChild(a) || HasElementChild(b);
    ContentItems x(a), y(b);
    for (; !x.Done() && !y.Done(); x.Advance(), y.Advance()) {
        if (x.IsText() != y.IsText()) return false;
        if (x.IsText() ? QORMUWithoutLayout(x.Text(), mixed) != QORMUWithoutLayout(y.Text(), mixed)
                       : !QORMMSameNode(x.Node(), y.Node()))
            return false;
    }
    return x.Done() && y.Done();
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
        case DOMNode::DOCUMENT_NODE: return SameChildren(a, b);
        case DOMNode::TEXT_NODE: {  // beside elements, its blank ends are layout
            const bool mixed = BesideElements(a) || BesideElements(b);
            return QORMUWithoutLayout(View(a->getNodeValue()), mixed) ==
                   QORMUWithoutLayout(View(b->getNodeValue()), mixed);
        }
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
