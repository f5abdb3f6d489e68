#include "QORMDMetaChildLoader.h"

#include <memory>
#include <string_view>

#include "QORMDMetaField.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"

using namespace xercesc;

namespace {


bool TagIs(const XMLCh* tag, const char16_t* expected) {
    return std::u16string_view(reinterpret_cast<const char16_t*>(tag)) == std::u16string_view(expected);
}


}  // namespace

int QORMDLoadChildren(const DOM_Element& container, ZULHashDico& children, const QORMDChildRules& rules,
                      const std::function<cQORMDMetaElem*(QORMUArena&, const DOM_Element&)>& makeChild) {
    QORMUArena& arena = QORMUArenaOf(container.get());
    for (DOMNode* node = container->getFirstChild(); node; node = node->getNextSibling()) {
        if (node->getNodeType() != DOMNode::ELEMENT_NODE) continue;
        const XMLCh* tag = node->getNodeName();
        if (TagIs(tag, u"Comment") || TagIs(tag, u"KIBComment")) continue;
        if (TagIs(tag, rules.discardedTag1) || TagIs(tag, rules.discardedTag2)) {
            Trace(rules.discardedTrace, QORMUTrace_W3);
            continue;
        }
        const DOM_Element element = container.borrow(static_cast<DOMElement*>(node));
        std::unique_ptr<cQORMDMetaElem> child(makeChild(arena, element));
        const int status = child->init();
        if (status < 0) return status;

        const XMLCh* uuid = element->getAttribute(u"Uuid");
        if (QORMUIsNullDOMString(uuid)) {
            Trace(rules.noUuidTrace, QORMUTrace_W3);
            return -1;
        }
        ZULUnicodeString key = DOMToZULUnicodeString(uuid);
        key.ToUpper();
        if (children.Insert(std::move(key), child.get()) == ZULHashDico::kInserted) {
            child.release();  // from here on the child belongs to the container
        } else {
            Trace(rules.duplicateUuidTrace, key, QORMUTrace_W3);  // the first one stays; key was not taken
        }
        if (QORMUIsNullDOMString(element->getAttribute(u"Name"))) {
            Trace(rules.noNameTrace, QORMUTrace_W3);
            return -1;
        }
    }
    return 0;
}
