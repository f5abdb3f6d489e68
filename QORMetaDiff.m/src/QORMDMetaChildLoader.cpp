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

// The value of the XML attribute name of a child whose fields are loaded:
// its field holds the attribute, so the DOM need not be searched again.
const XMLCh* FieldValue(cQORMDMetaElem& child, const ZULUnicodeString& name) {
    const auto* field = static_cast<const cQORMDMetaField*>(child.GetFields()->Locate(name));
    return field ? field->GetDOMValue() : nullptr;
}

}  // namespace

int QORMDLoadChildren(const DOM_Element& container, ZULHashDico& children, const QORMDChildRules& rules,
                      const std::function<cQORMDMetaElem*(const DOM_Element&)>& makeChild) {
    for (DOMNode* node = container->getFirstChild(); node; node = node->getNextSibling()) {
        if (node->getNodeType() != DOMNode::ELEMENT_NODE) continue;
        const XMLCh* tag = node->getNodeName();
        if (TagIs(tag, u"Comment") || TagIs(tag, u"KIBComment")) continue;
        if (TagIs(tag, rules.discardedTag1) || TagIs(tag, rules.discardedTag2)) {
            Trace(rules.discardedTrace, QORMUTrace_W3);
            continue;
        }
        const DOM_Element element = container.share(static_cast<DOMElement*>(node));
        std::unique_ptr<cQORMDMetaElem> child(makeChild(element));
        const int status = child->init();
        if (status < 0) return status;

        static const ZULUnicodeString kUuid("Uuid");
        static const ZULUnicodeString kName("Name");
        const XMLCh* uuid = FieldValue(*child, kUuid);
        const XMLCh* name = FieldValue(*child, kName);
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
        if (QORMUIsNullDOMString(name)) {
            Trace(rules.noNameTrace, QORMUTrace_W3);
            return -1;
        }
    }
    return 0;
}
