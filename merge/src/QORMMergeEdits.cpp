// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeEdits.h"

using namespace xercesc;

namespace {

std::u16string NameOf(const XMLCh* name) { return std::u16string(reinterpret_cast<const char16_t*>(name)); }

}  // namespace

void cMergeEdits::Copied(DOMNode* copy, const DOMNode* source, const DOMNode* replaced) {
    copies_.push_back(copy);
    if (replaced) replaced_[copy] = replaced;
    // The copy has the source's shape: walk both together.
    std::vector<std::pair<DOMNode*, const DOMNode*>> pending{{copy, source}};
    while (!pending.empty()) {
        const auto [to, from] = pending.back();
        pending.pop_back();
        sourceOf_[to] = from;
        copyOf_[from] = to;
        DOMNode* child = to->getFirstChild();
        for (const DOMNode* original = from->getFirstChild(); original && child;
             original = original->getNextSibling(), child = child->getNextSibling())
            pending.emplace_back(child, original);
    }
}

void cMergeEdits::Touched(const DOMNode* node, const DOMElement* counterpart) {
    touched_.push_back(node);
    if (counterpart) At(static_cast<const DOMElement*>(node)).counterpart = counterpart;
}

cMergeEdits::Element& cMergeEdits::At(const DOMElement* element) { return elements_[element]; }

void cMergeEdits::Element::Set(Field field) {
    for (Field& earlier : fields) {
        if (earlier.name == field.name) {
            earlier = std::move(field);
            return;
        }
    }
    fields.push_back(std::move(field));
}

void cMergeEdits::FieldTaken(const DOMElement* element, const XMLCh* name, const DOMElement* from) {
    touched_.push_back(element);
    At(element).Set({NameOf(name), from, from == nullptr, {}});
}

void cMergeEdits::FieldSet(const DOMElement* element, const XMLCh* name, const XMLCh* value) {
    touched_.push_back(element);
    At(element).Set({NameOf(name), nullptr, false, NameOf(value)});
}

void cMergeEdits::Retagged(const DOMElement* element, const DOMElement* renamed, const DOMElement* theirs) {
    touched_.push_back(renamed);
    Element moved;
    const auto found = elements_.find(element);
    if (found != elements_.end()) moved = std::move(found->second);
    moved.renamedFrom = element;
    moved.tagFrom = theirs;
    elements_[renamed] = std::move(moved);
}

const DOMNode* cMergeEdits::SourceOf(const DOMNode* copy) const {
    const auto found = sourceOf_.find(copy);
    return found == sourceOf_.end() ? nullptr : found->second;
}

const DOMNode* cMergeEdits::Replaced(const DOMNode* copy) const {
    const auto found = replaced_.find(copy);
    return found == replaced_.end() ? nullptr : found->second;
}

DOMNode* cMergeEdits::CopyOf(const DOMNode* source) const {
    const auto found = copyOf_.find(source);
    return found == copyOf_.end() ? nullptr : found->second;
}

const cMergeEdits::Element* cMergeEdits::Of(const DOMNode* element) const {
    const auto found = elements_.find(element);
    return found == elements_.end() ? nullptr : &found->second;
}
