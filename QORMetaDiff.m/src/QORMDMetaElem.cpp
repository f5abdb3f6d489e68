#include "QORMDMetaElem.h"

#include <algorithm>

#include "QORMDMetaField.h"
#include "QORMDOwnedItems.h"
#include "QORMDStatus.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"

using namespace xercesc;

namespace {
const char kModule[] = "QORMetaDiff.m\\src\\QORMDMetaElem";
const XMLCh kUuid[] = {u'U', u'u', u'i', u'd', 0};
}  // namespace

cQORMDMetaElem::cQORMDMetaElem(const DOM_Element& element_, int level_)
    : cQORMDMetaElem(element_, level_, nullptr) {}

cQORMDMetaElem::cQORMDMetaElem(const DOM_Element& element_, int level_, cQORMDMetaElem* parent_)
    : parent(parent_), element(element_), fields(10), level(level_) {}

cQORMDMetaElem::~cQORMDMetaElem() {
    if (terminate() != 0) Trace("! failed cQORMDMetaElem::terminate", QORMUTrace_W3);
}

int cQORMDMetaElem::init() {
    if (element.isNull()) return 0;
    DOMNamedNodeMap* attributes = element->getAttributes();
    const XMLSize_t count = attributes ? attributes->getLength() : 0;
    fields.Reserve(static_cast<int>(std::min<XMLSize_t>(count, 1u << 20)));  // the field list's exact size
    for (XMLSize_t i = 0; i < count; ++i) {
        DOMNode* item = attributes->item(i);
        if (!item || item->getNodeType() != DOMNode::ATTRIBUTE_NODE) {
            Trace("cQORMDMetaElem::init not ATTRIBUTE_NODE", QORMUTrace_W3);
            continue;
        }
        const XMLCh* name = item->getNodeName();
        if (QORMUIsNullDOMString(name)) {
            Trace("Field has no Name", QORMUTrace_W3);
            return -1;
        }
        auto* field = new cQORMDMetaField(element.share(static_cast<DOMAttr*>(item)), this);
        // Well-formed XML never repeats an attribute; should it happen, the
        // first one stays and the field is not lost track of.
        if (fields.Insert(DOMToZULUnicodeString(name), field) != ZULHashDico::kInserted) delete field;
    }
    return 0;
}

int cQORMDMetaElem::terminate() {
    QORMDDeleteValues<cQORMDMetaField>(fields);
    parent = nullptr;
    return 0;
}

ZULUnicodeString cQORMDMetaElem::GetUuid() const {
    const XMLCh* uuid = element.isNull() ? nullptr : element->getAttribute(kUuid);
    if (QORMUIsNullDOMString(uuid)) {
        Trace("Class has no Uuid attribute", QORMUTrace_W3);
        return ZULUnicodeString();
    }
    ZULUnicodeString result = DOMToZULUnicodeString(uuid);
    result.ToUpper();
    return result;
}

ZULUnicodeString cQORMDMetaElem::GetTagName() const {
    const XMLCh* tag = element.isNull() ? nullptr : element->getTagName();
    if (QORMUIsNullDOMString(tag)) {
        Trace("Class has no Tag Name", QORMUTrace_W3);
        return ZULUnicodeString();
    }
    return DOMToZULUnicodeString(tag);
}

std::int32_t cQORMDMetaElem::GetFieldValue(const ZULUnicodeString& name, ZULUnicodeString& value) const {
    auto* field = static_cast<const cQORMDMetaField*>(fields.Locate(name));
    if (!field) {
        Trace("NULL pMetaField in cQORMDMetaElem::GetFieldValue", QORMUTrace_W3);
        return QORMDSucceed(kModule, __LINE__);
    }
    value = field->GetValue();
    return QORMDSucceed(kModule, __LINE__);
}
