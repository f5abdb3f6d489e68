// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeConflictLog.h"

#include <string>

#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"

using namespace xercesc;

namespace {

void SetIf(DOMElement* element, const char16_t* name, const ZULUnicodeString& value) {
    if (!value.IsEmpty()) element->setAttribute(name, ZULToDOMString(value));
}

void SetIf(DOMElement* element, const char16_t* name, const std::optional<ZULUnicodeString>& value) {
    if (value) element->setAttribute(name, ZULToDOMString(*value));
}

}  // namespace

DOM_Document cMergeConflictLog::BuildDocument(const ZULUnicodeString& base, const ZULUnicodeString& ours,
                                              const ZULUnicodeString& theirs) const {
    DOM_Document document = cDDLXMLParser::createDocument();
    DOMElement* root = document->createElement(u"MergeConflicts");
    document->appendChild(root);
    root->setAttribute(u"Base", ZULToDOMString(base));
    root->setAttribute(u"Ours", ZULToDOMString(ours));
    root->setAttribute(u"Theirs", ZULToDOMString(theirs));
    const ZULUnicodeString count(std::to_string(conflicts_.size()).c_str());
    root->setAttribute(u"Count", ZULToDOMString(count));
    for (const cMergeConflict& conflict : conflicts_) {
        DOMElement* entry = document->createElement(u"Conflict");
        root->appendChild(entry);
        SetIf(entry, u"Kind", ZULUnicodeString(conflict.KindName()));
        SetIf(entry, u"Element", conflict.element.tag);
        SetIf(entry, u"Name", conflict.element.name);
        SetIf(entry, u"Uuid", conflict.element.uuid);
        SetIf(entry, u"ParentElement", conflict.parent.tag);
        SetIf(entry, u"ParentName", conflict.parent.name);
        SetIf(entry, u"ParentUuid", conflict.parent.uuid);
        SetIf(entry, u"Field", conflict.field);
        SetIf(entry, u"Base", conflict.base);
        SetIf(entry, u"Ours", conflict.ours);
        SetIf(entry, u"Theirs", conflict.theirs);
    }
    return document;
}
