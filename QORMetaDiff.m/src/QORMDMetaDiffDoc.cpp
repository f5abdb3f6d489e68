// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffDoc.h"

#include "QORMetaUtil/QORMUTrace.h"

cMetaDiffDoc::cMetaDiffDoc() = default;

cMetaDiffDoc::~cMetaDiffDoc() {
    // Packages first: entries and field records only point at their elements.
    oldPackage.reset();
    newPackage.reset();
    metaDiff.reset();
}

cQORMDMetaPackage* cMetaDiffDoc::CreatePackage(std::unique_ptr<cQORMDMetaPackage>& slot, const DOM_Element& root,
                                               const char* failureTrace) {
    slot = std::make_unique<cQORMDMetaPackage>(root);
    if (slot->init() < 0) {
        slot.reset();
        Trace(failureTrace, QORMUTrace_W3);
        return nullptr;
    }
    return slot.get();
}

cQORMDMetaPackage* cMetaDiffDoc::CreateOldPackage(const DOM_Element& root) {
    return CreatePackage(oldPackage, root, "cMetaDiffDoc::CreateOldPackage -- package didn't initialize");
}

cQORMDMetaPackage* cMetaDiffDoc::CreateNewPackage(const DOM_Element& root) {
    return CreatePackage(newPackage, root, "cMetaDiffDoc::CreateNewPackage -- package didn't initialize");
}

cMetaDiff* cMetaDiffDoc::GetMetaDiff() {
    if (!metaDiff) metaDiff = std::make_unique<cMetaDiff>(ZULUnicodeString("Diff"));
    return metaDiff.get();
}

bool cMetaDiffDoc::IsEmpty() {
    const cMetaDiff* root = GetMetaDiff();
    return !root || (!root->getAdded() && !root->getDeleted() && !root->getModified());
}
