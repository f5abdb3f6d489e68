// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaEntryCopy.h"

#include "QORMDDomGuard.h"
#include "QORMDMetaElem.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUNodeCopy.h"
#include "QORMetaUtil/QORMUTrace.h"

using namespace xercesc;

int QORMDCopyEntryNode(cMetaDiffElem* elem, DOM_Document& doc, DOM_Node& node, const QORMDEntryCopyTexts& texts) {
    DOMElement* source = elem ? elem->getDomElement().get() : nullptr;
    if (!source) {  // no entry, or an entry without a source element: nothing to copy
        Trace(texts.nullInput, QORMUTrace_W3);
        return -1;
    }
    const int level = elem->getLevel();
    const bool deep = level != cQORMDMetaElem::kPackage;
    DOMNode* copy = nullptr;
    if (QORMDDomGuard("! Failed DOM_Node::cloneNode", [&] { copy = QORMUCopyNodeAsIs(doc.get(), source, deep); }) != 0)
        return -1;

    if (level == cQORMDMetaElem::kAttrib) {
        ZULUnicodeString uuid = elem->getParentUuid();
        uuid.ToUpper();
        static const XMLCh kParentUuid[] = {u'P', u'a', u'r', u'e', u'n', u't', u'U', u'u', u'i', u'd', 0};
        auto* element = static_cast<DOMElement*>(copy);
        if (QORMDDomGuard(texts.parentUuidGuard, [&] { element->setAttribute(kParentUuid, ZULToDOMString(uuid)); }) !=
            0) {
            copy->release();  // never attached: give it back to the diff document
            return -1;
        }
    } else if (level != cQORMDMetaElem::kPackage && level != cQORMDMetaElem::kClass) {
        Trace(texts.improperLevel, QORMUTrace_W3);
    }
    node = doc.share(copy);
    return 0;
}
