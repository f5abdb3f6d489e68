// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffSerializer.h"

#include "QORMDDomGuard.h"
#include "QORMDMetaDiffDoc.h"
#include "QORMDMetaDiffInput.h"
#include "QORMDStatus.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUTrace.h"
#include "QORMetaUtil/cDDLXMLParser.h"

using namespace xercesc;

namespace {
const char kModule[] = "QORMetaDiff.m\\src\\QORMDMetaDiffSerializer";
}  // namespace

cMetaDiffSerializer::cMetaDiffSerializer() = default;

cMetaDiffSerializer::~cMetaDiffSerializer() { document.reset(); }

std::int32_t cMetaDiffSerializer::Serialize(cMetaDiffDoc* diffDoc) {
    if (diffDoc->IsEmpty() && cMetaDiffInput::GetWriteEmptyDiff() == 0) {
        Trace("Empty meta diff", QORMUTrace_W3);
        return QORMDSucceed(kModule, __LINE__);
    }
    const std::int32_t status = CreateDocument(diffDoc);
    if (status < 0) return QORMDPropagate("! failed CMetaDiffSerializer::CreateDocument", status, kModule, __LINE__);

    const ZULUnicodeString diffFileName = cMetaDiffInput::GetDiffFileName();
    const int written = cDDLXMLParser::writeXMLFile(document, diffFileName);
    if (written != 0) {
        Trace("! failed cDDLXMLParser::writeXMLFile", QORMUTrace_W3);
        return written;
    }
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cMetaDiffSerializer::CreateDocument(cMetaDiffDoc* diffDoc) {
    cMetaDiff* metaDiff = diffDoc->GetMetaDiff();
    if (!metaDiff)
        return QORMDRaise("Null MetaDiff in cMetaDiffSerializer::Serialize", "MDInternalError_1", kModule, __LINE__);
    cMetaDiffBase* const categories[] = {metaDiff->getAdded(), metaDiff->getDeleted(), metaDiff->getModified()};
    if (diffDoc->IsEmpty()) {
        Trace("Empty meta diff", QORMUTrace_W3);
        return QORMDSucceed(kModule, __LINE__);
    }

    if (QORMDDomGuard("! failed DOM_Document::createDocument in cMetaDiffSerializer::CreateDocument :",
                      [&] { document = cDDLXMLParser::createDocument(); }) != 0)
        return -1;
    DOMElement* created = nullptr;
    if (QORMDDomGuard("! failed DOM_Document::createElement in cMetaDiffSerializer::CreateDocument :",
                      [&] { created = document->createElement(u"Diff"); }) != 0)
        return -1;
    DOM_Element root = document.share(created);
    if (QORMDDomGuard("! failed DOM_Node::insertBefore in cMetaDiffSerializer::CreateDocument :",
                      [&] { document->insertBefore(created, nullptr); }) != 0)
        return -1;

    const ZULUnicodeString newName = cMetaDiffInput::GetNewMetaName();
    if (QORMDDomGuard("! failed DOM_Element::setAttribute(\"New\") in cMetaDiffSerializer::CreateDocument :",
                      [&] { root->setAttribute(u"New", ZULToDOMString(newName)); }) != 0)
        return -1;
    const ZULUnicodeString oldName = cMetaDiffInput::GetOldMetaName();
    if (QORMDDomGuard("! failed DOM_Element::setAttribute(\"Old\") in cMetaDiffSerializer::CreateDocument :",
                      [&] { root->setAttribute(u"Old", ZULToDOMString(oldName)); }) != 0)
        return -1;
    const ZULUnicodeString packageName = metaDiff->getPackageName();
    if (QORMDDomGuard("! failed DOM_Element::setAttribute(\"PackageName\") in cMetaDiffSerializer::CreateDocument :",
                      [&] { root->setAttribute(u"PackageName", ZULToDOMString(packageName)); }) != 0)
        return -1;

    for (cMetaDiffBase* category : categories)
        if (category) AddNodes(category, root);  // a section that failed stays as far as it was built
    return QORMDSucceed(kModule, __LINE__);
}

std::int32_t cMetaDiffSerializer::AddNodes(cMetaDiffBase* category, DOM_Element& root) {
    if (!category)
        return QORMDRaise("NULL input in cMetaDiffSerializer::AddNodes", "MDInternalError_1", kModule, __LINE__);
    const ZULUnicodeString tag = category->getTagName();
    DOMElement* section = nullptr;
    if (QORMDDomGuard("! failed DOM_Document::createElement in cMetaDiffSerializer::AddNodes_Added:",
                      [&] { section = document->createElement(ZULToDOMString(tag)); }) != 0)
        return -1;
    if (QORMDDomGuard("! failed DOM_Node::insertBefore in cMetaDiffSerializer::AddNodes_Added :",
                      [&] { root->insertBefore(section, nullptr); }) != 0) {
        section->release();
        return -1;
    }

    ZULRawCollPV entries(0);
    category->getListMetaDiffElem(entries);
    const int count = entries.Size();
    for (int i = 1; i <= count; ++i) {
        auto* entry = static_cast<cMetaDiffElem*>(entries[i]);
        if (!entry) continue;
        DOM_Node node;
        if (category->getDomNodeForMetaDiffElem(entry, document, node) != 0)
            Trace("! failed cMetaAdded::getDomNodeForMetaDiffElem", QORMUTrace_W3);
        if (node.isNull()) continue;
        if (QORMDDomGuard("! failed DOM_Node::insertBefore in cMetaDiffSerializer::AddNodes_Added :",
                          [&] { section->insertBefore(node.get(), nullptr); }) != 0) {
            node->release();
            return -1;
        }
    }
    return QORMDSucceed(kModule, __LINE__);
}
