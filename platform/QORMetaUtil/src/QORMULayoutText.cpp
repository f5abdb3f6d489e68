// SPDX-License-Identifier: Apache-2.0
#include "QORMULayoutText.h"

#include <xercesc/util/XMLString.hpp>

using namespace xercesc;

bool QORMUIsBlank(const XMLCh* text, XMLSize_t length) {
    for (XMLSize_t i = 0; i < length; ++i)
        if (text[i] != u' ' && text[i] != u'\t' && text[i] != u'\n' && text[i] != u'\r') return false;
    return true;
}

void QORMULayoutText::Reset() {
    open_.clear();
    std::vector<Dropped>().swap(dropped_);  // a large document's records are not kept
    textIds_.clear();
    texts_.clear();
}

void QORMULayoutText::Open(const XMLCh* space) {
    const Element parent = open_.empty() ? Element{false, false, 0} : open_.back();
    bool preserve = parent.preserve;
    if (space) preserve = std::u16string_view(reinterpret_cast<const char16_t*>(space)) == u"preserve";
    open_.push_back({preserve, parent.mixed, dropped_.size()});
}

void QORMULayoutText::Close() {
    if (!open_.empty()) open_.pop_back();
    if (open_.empty()) Reset();  // the document element ended: nothing can hold text any more
}

bool QORMULayoutText::IsLayout(std::u16string_view blank) const {
    if (open_.empty()) return true;
    const Element& element = open_.back();
    return !element.preserve && !element.mixed && blank.find_first_of(u"\n\r") != std::u16string_view::npos;
}

void QORMULayoutText::Drop(DOMNode* parent, DOMNode* after, std::u16string_view blank) {
    auto id = textIds_.find(blank);
    if (id == textIds_.end()) {
        texts_.emplace_back(blank);
        id = textIds_.emplace(texts_.back(), static_cast<std::uint32_t>(texts_.size() - 1)).first;
    }
    dropped_.push_back({parent, after, id->second});
}

void QORMULayoutText::HoldsText(DOMDocument* document) {
    if (open_.empty() || open_.back().mixed) return;
    Element& element = open_.back();
    element.mixed = true;
    for (std::size_t i = element.firstDropped; i < dropped_.size(); ++i) {
        const Dropped& blank = dropped_[i];
        DOMNode* text = document->createTextNode(reinterpret_cast<const XMLCh*>(texts_[blank.text].c_str()));
        blank.parent->insertBefore(text, blank.after ? blank.after->getNextSibling() : blank.parent->getFirstChild());
    }
    dropped_.resize(element.firstDropped);
}

void QORMULayoutText::SettleBlankChildren(DOMNode* element, DOMDocument* document) {
    if (open_.empty() || open_.back().mixed) return;
    for (DOMNode* child = element->getFirstChild(); child; child = child->getNextSibling()) {
        if (child->getNodeType() != DOMNode::TEXT_NODE) continue;
        if (!IsLayout(reinterpret_cast<const char16_t*>(child->getNodeValue()))) {
            HoldsText(document);
            return;
        }
    }
    for (DOMNode* child = element->getFirstChild(); child;) {
        DOMNode* next = child->getNextSibling();
        if (child->getNodeType() == DOMNode::TEXT_NODE) {
            Drop(element, child->getPreviousSibling(), reinterpret_cast<const char16_t*>(child->getNodeValue()));
            element->removeChild(child)->release();
        }
        child = next;
    }
}
