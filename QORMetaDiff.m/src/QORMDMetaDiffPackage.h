// SPDX-License-Identifier: Apache-2.0
// cMetaDiffPackage: an added or deleted entry recorded at the package level.
#pragma once

#include "QORMDMetaDiffElem.h"

class cMetaDiffPackage : public cMetaDiffElem {
public:
    explicit cMetaDiffPackage(cQORMDMetaElem* elem) : cMetaDiffElem(elem) {}
    ~cMetaDiffPackage() override;
};
