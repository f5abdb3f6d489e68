// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeChildList.h"

#include "QORMMergeNodeCompare.h"
#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {
const ZULHashDico& NoChildren() {
    static const ZULHashDico none;
    return none;
}
}  // namespace

cMergeChildList::cMergeChildList(const DOMNode* element, ZULHashDico* modelled) : modelled_(modelled) {
    if (!element) return;
    // The dictionary holds the modelled children in document order: walk it
    // beside the DOM children, so that no key is computed again.
    ZULHashCodeIter next(modelled ? *modelled : NoChildren());
    cQORMDMetaElem* model = nullptr;
    const ZULUnicodeString* key = nullptr;
    auto advance = [&] {
        model = nullptr;
        if (modelled && next++) {
            model = static_cast<cQORMDMetaElem*>((*modelled)[next]);
            key = &next.ItemName();
        }
    };
    advance();
    for (DOMNode* node = element->getFirstChild(); node; node = node->getNextSibling()) {
        if (model && node == model->GetDomElement().get()) {
            children_.push_back({node, kModelled, model, key, nullptr});
            advance();
            continue;
        }
        if (QORMMIsLayout(node)) continue;  // goes with the node after it
        if (node->getNodeType() == DOMNode::ELEMENT_NODE) {
            const XMLCh* uuid = static_cast<const DOMElement*>(node)->getAttribute(u"Uuid");
            if (!QORMUIsNullDOMString(uuid)) {
                ZULUnicodeString upper = DOMToZULUnicodeString(uuid);
                upper.ToUpper();
                std::u16string opaqueKey(reinterpret_cast<const char16_t*>(node->getNodeName()));
                opaqueKey.push_back(u'\0');
                opaqueKey.append(upper.str());
                const auto inserted = opaque_.emplace(std::move(opaqueKey), node);
                if (inserted.second) {
                    children_.push_back({node, kOpaque, nullptr, nullptr, &inserted.first->first});
                    continue;
                }
            }
        }
        children_.push_back({node, kLoose, nullptr, nullptr, nullptr});
        loose_.push_back(node);
    }
}

cQORMDMetaElem* cMergeChildList::FindModelled(const ZULUnicodeString& key) const {
    return modelled_ ? static_cast<cQORMDMetaElem*>(modelled_->Locate(key)) : nullptr;
}

const DOMNode* cMergeChildList::FindOpaque(const std::u16string& key) const {
    const auto found = opaque_.find(key);
    return found == opaque_.end() ? nullptr : found->second;
}
