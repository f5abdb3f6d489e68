// SPDX-License-Identifier: Apache-2.0
#include "QORMMergePlace.h"

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

const DOMElement* cMergePlace::First() const {
    for (const DOMNode* node : {ours_, theirs_, base_})
        if (node && node->getNodeType() == DOMNode::ELEMENT_NODE) return static_cast<const DOMElement*>(node);
    return nullptr;
}

ZULUnicodeString cMergePlace::Tag() const {
    const DOMElement* element = First();
    return element ? DOMToZULUnicodeString(element->getTagName()) : ZULUnicodeString();
}

ZULUnicodeString cMergePlace::Field(const char16_t* name) const {
    const DOMElement* element = First();
    const DOMAttr* attribute = element ? element->getAttributeNode(name) : nullptr;
    return attribute ? DOMToZULUnicodeString(QORMUAttrValue(attribute)) : ZULUnicodeString();
}

cMergeConflict::Who cMergePlace::Who() const { return {Tag(), Field(u"Name"), Field(u"Uuid")}; }

cMergeConflict cMergePlace::Conflict(cMergeConflict::Kind kind) const {
    cMergeConflict conflict;
    conflict.kind = kind;
    conflict.element = Who();
    if (parent_) conflict.parent = parent_->Who();
    conflict.inBase = {base_, base_};
    conflict.inOurs = {ours_, ours_};
    conflict.inTheirs = {theirs_, theirs_};
    conflict.added = !base_ && ours_ && theirs_;
    return conflict;
}
