// SPDX-License-Identifier: Apache-2.0
// cQORMDMetaPackage: the document element; owns its classes, keyed by
// upper-cased Uuid. Built on a null element it loads empty.
#pragma once

#include "QORMDMetaElem.h"

class cQORMDMetaPackage : public cQORMDMetaElem {
public:
    explicit cQORMDMetaPackage(const DOM_Element& element);
    ~cQORMDMetaPackage() override;

    // Reads the package's fields, then its classes with their attributes:
    // 0, or the negative status of the first failure.
    int init() override;
    int terminate();
    ZULHashDico* GetClasses() { return &classes; }
    bool IsEmpty() const { return classes.Size() == 0; }

private:
    ZULHashDico classes;  // upper-cased Uuid -> cQORMDMetaClass*, owned
};
