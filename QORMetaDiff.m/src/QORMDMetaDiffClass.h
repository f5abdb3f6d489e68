// SPDX-License-Identifier: Apache-2.0
// cMetaDiffClass: an added or deleted entry recorded at the class level.
#pragma once

#include "QORMDMetaDiffElem.h"

class cMetaDiffClass : public cMetaDiffElem {
public:
    explicit cMetaDiffClass(cQORMDMetaElem* elem) : cMetaDiffElem(elem) {}
    ~cMetaDiffClass() override;
};
