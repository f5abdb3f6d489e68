// SPDX-License-Identifier: Apache-2.0
// cMetaDiffAttrib: an added or deleted entry recorded at the attrib level.
#pragma once

#include "QORMDMetaDiffElem.h"

class cMetaDiffAttrib : public cMetaDiffElem {
public:
    explicit cMetaDiffAttrib(cQORMDMetaElem* elem) : cMetaDiffElem(elem) {}
    ~cMetaDiffAttrib() override;
};
