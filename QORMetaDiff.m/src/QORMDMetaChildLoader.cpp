// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaChildLoader.h"

#include <memory>
#include <string_view>

#include <xercesc/util/XMLString.hpp>

#include "QORMDLoadFailure.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"

using namespace xercesc;

namespace {

bool IsCommentTag(std::u16string_view tag) { return tag == u"Comment" || tag == u"KIBComment"; }

}  // namespace

void QORMDReadUuidAndName(const DOMElement* element, const XMLCh*& uuid, const XMLCh*& name) {
    uuid = name = nullptr;
    const DOMNamedNodeMap* attributes = element->getAttributes();
    const XMLSize_t count = attributes ? attributes->getLength() : 0;
    for (XMLSize_t i = 0; i < count && !(uuid && name); ++i) {
        const auto* attribute = static_cast<const DOMAttr*>(attributes->item(i));
        const XMLCh* attributeName = attribute->getName();
        if (!uuid && XMLString::equals(attributeName, u"Uuid")) uuid = QORMUAttrValue(attribute);
        if (!name && XMLString::equals(attributeName, u"Name")) name = QORMUAttrValue(attribute);
    }
}

bool QORMDReadsAsChild(std::u16string_view tag, const QORMDChildRules& rules) {
    return !IsCommentTag(tag) && tag != rules.discardedTag1 && tag != rules.discardedTag2;
}

int QORMDLoadChildren(cQORMDMetaElem* parent, const DOM_Element& container, ZULHashDico& children,
                      const QORMDChildRules& rules, QORMDMakeChild makeChild) {
    QORMUArena& arena = QORMUArenaOf(container.get());
    for (DOMNode* node = container->getFirstChild(); node; node = node->getNextSibling()) {
        if (node->getNodeType() != DOMNode::ELEMENT_NODE) continue;
        const std::u16string_view tag(reinterpret_cast<const char16_t*>(node->getNodeName()));
        if (!QORMDReadsAsChild(tag, rules)) {
            if (!IsCommentTag(tag)) Trace(rules.discardedTrace, QORMUTrace_W3);
            continue;
        }
        const DOM_Element element = container.borrow(static_cast<DOMElement*>(node));
        std::unique_ptr<cQORMDMetaElem> child(makeChild(arena, parent, element));
        const int status = child->init();
        if (status < 0) return status;

        const XMLCh* uuid = nullptr;
        const XMLCh* name = nullptr;
        QORMDReadUuidAndName(element.get(), uuid, name);
        if (QORMUIsNullDOMString(uuid)) {
            Trace(rules.noUuidTrace, QORMUTrace_W3);
            QORMDMarkLoadFailure(element.get(), "Uuid");
            return -1;
        }
        // Built where the dictionary keeps its keys, so that it takes them over.
        ZULUnicodeString key(std::u16string_view(reinterpret_cast<const char16_t*>(uuid)), children.Memory());
        key.ToUpper();
        if (children.Insert(std::move(key), child.get()) == ZULHashDico::kInserted) {
            child.release();  // from here on the child belongs to the container
        } else {
            Trace(rules.duplicateUuidTrace, key, QORMUTrace_W3);  // the first one stays
        }
        if (QORMUIsNullDOMString(name)) {
            Trace(rules.noNameTrace, QORMUTrace_W3);
            QORMDMarkLoadFailure(element.get(), "Name");
            return -1;
        }
    }
    return 0;
}
