#include "QORMULayoutText.h"

#include <xercesc/util/XMLString.hpp>

using namespace xercesc;

namespace {

bool HasElementChild(const DOMNode* node) {
    for (const DOMNode* child = node->getFirstChild(); child; child = child->getNextSibling())
        if (child->getNodeType() == DOMNode::ELEMENT_NODE) return true;
    return false;
}

}  // namespace

bool QORMUIsBlank(const XMLCh* text, XMLSize_t length) {
    for (XMLSize_t i = 0; i < length; ++i)
        if (text[i] != u' ' && text[i] != u'\t' && text[i] != u'\n' && text[i] != u'\r') return false;
    return true;
}

void QORMUDropLayoutText(DOMNode* node) {
    if (!node || node->getNodeType() != DOMNode::ELEMENT_NODE || !HasElementChild(node)) return;
    for (DOMNode* child = node->getFirstChild(); child;) {
        DOMNode* next = child->getNextSibling();
        const XMLCh* text = child->getNodeType() == DOMNode::TEXT_NODE ? child->getNodeValue() : nullptr;
        if (text && QORMUIsBlank(text, XMLString::stringLen(text))) node->removeChild(child)->release();
        child = next;
    }
}
