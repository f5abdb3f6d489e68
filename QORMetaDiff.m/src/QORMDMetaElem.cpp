// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaElem.h"

#include <algorithm>

#include <xercesc/util/XMLString.hpp>

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

cQORMDMetaElem::cQORMDMetaElem(const DOM_Element& element_, int level_) : cQORMDMetaElem(element_, level_, nullptr) {}

cQORMDMetaElem::cQORMDMetaElem(const DOM_Element& element_, int level_, cQORMDMetaElem* parent_)
    : parent(parent_),
      element(element_),
      fields(10, parent_ ? parent_->fields.Memory() : MemoryFor(element)),  // one document, one arena
      level(level_) {}

cQORMDMetaElem::~cQORMDMetaElem() {
    if (terminate() != 0) Trace("! failed cQORMDMetaElem::terminate", QORMUTrace_W3);
}

std::pmr::memory_resource* cQORMDMetaElem::MemoryFor(const DOM_Element& element) {
    if (element.isNull()) return std::pmr::new_delete_resource();
    return &QORMUArenaOf(element.get());
}

int cQORMDMetaElem::init() { return 0; }

ZULHashDico& cQORMDMetaElem::Fields() const {
    if (fields.Size() > 0 || element.isNull()) return fields;
    DOMNamedNodeMap* attributes = element->getAttributes();
    const XMLSize_t count = attributes ? attributes->getLength() : 0;
    if (count == 0) return fields;
    QORMUArena& arena = QORMUArenaOf(element.get());
    fields.Reserve(static_cast<int>(std::min<XMLSize_t>(count, 1u << 20)));  // the field list's exact size
    for (XMLSize_t i = 0; i < count; ++i) {
        DOMNode* item = attributes->item(i);
        if (!item || item->getNodeType() != DOMNode::ATTRIBUTE_NODE) {
            Trace("cQORMDMetaElem::init not ATTRIBUTE_NODE", QORMUTrace_W3);
            continue;
        }
        if (QORMUIsNullDOMString(item->getNodeName())) {
            Trace("Field has no Name", QORMUTrace_W3);
            continue;
        }
        auto* field =
            new (arena) cQORMDMetaField(element.borrow(static_cast<DOMAttr*>(item)), const_cast<cQORMDMetaElem*>(this));
        // Well-formed XML never repeats an attribute; should it happen, the
        // first one stays and the field is not lost track of.
        if (fields.Insert(DOMToZULUnicodeString(item->getNodeName()), field) != ZULHashDico::kInserted) delete field;
    }
    return fields;
}

bool cQORMDMetaElem::HasSameFieldsAs(const cQORMDMetaElem& other) const {
    if (element.isNull() || other.element.isNull()) return false;
    const DOMNamedNodeMap* mine = element->getAttributes();
    const DOMNamedNodeMap* theirs = other.element->getAttributes();
    if (!mine || !theirs || mine->getLength() != theirs->getLength()) return false;
    for (XMLSize_t i = 0; i < mine->getLength(); ++i) {
        const DOMNode* a = mine->item(i);
        const DOMNode* b = theirs->item(i);
        if (a->getNodeType() != DOMNode::ATTRIBUTE_NODE || b->getNodeType() != DOMNode::ATTRIBUTE_NODE) return false;
        if (!XMLString::equals(a->getNodeName(), b->getNodeName())) return false;
        // An empty value is compared through the fields, which trace it.
        const XMLCh* value = QORMUAttrValue(static_cast<const DOMAttr*>(a));
        if (QORMUIsNullDOMString(value) || !XMLString::equals(value, QORMUAttrValue(static_cast<const DOMAttr*>(b))))
            return false;
    }
    return true;
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
    auto* field = static_cast<const cQORMDMetaField*>(Fields().Locate(name));
    if (!field) {
        Trace("NULL pMetaField in cQORMDMetaElem::GetFieldValue", QORMUTrace_W3);
        return QORMDSucceed(kModule, __LINE__);
    }
    value = field->GetValue();
    return QORMDSucceed(kModule, __LINE__);
}
