// SPDX-License-Identifier: Apache-2.0
// cMetaDiffDoc: the diff result of one run. Owns the old and new packages
// and the diff root; lives on the stack of cQORMDApi::ProcessMetaDiff.
#pragma once

#include <memory>

#include "QORMDMetaDiff.h"
#include "QORMDMetaPackage.h"

class cMetaDiffDoc {
public:
    cMetaDiffDoc();
    ~cMetaDiffDoc();
    cMetaDiffDoc(const cMetaDiffDoc&) = delete;
    cMetaDiffDoc& operator=(const cMetaDiffDoc&) = delete;

    // Creates, stores and initialises the package from root (null: an empty
    // package); null, with nothing kept, when it does not initialise.
    cQORMDMetaPackage* CreateOldPackage(const DOM_Element& root);
    cQORMDMetaPackage* CreateNewPackage(const DOM_Element& root);
    cQORMDMetaPackage* GetOldPackage() const { return oldPackage.get(); }
    cQORMDMetaPackage* GetNewPackage() const { return newPackage.get(); }
    // The diff root, created with tag "Diff" on first use.
    cMetaDiff* GetMetaDiff();
    // True when the diff root holds no category.
    bool IsEmpty();

private:
    static cQORMDMetaPackage* CreatePackage(std::unique_ptr<cQORMDMetaPackage>& slot, const DOM_Element& root,
                                            const char* failureTrace);

    std::unique_ptr<cQORMDMetaPackage> oldPackage;
    std::unique_ptr<cQORMDMetaPackage> newPackage;
    std::unique_ptr<cMetaDiff> metaDiff;
};
