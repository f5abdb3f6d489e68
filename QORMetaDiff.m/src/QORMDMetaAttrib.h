// cQORMDMetaAttrib: an attribute-level element; its init reads its fields only.
#pragma once

#include "QORMDMetaElem.h"

class cQORMDMetaAttrib : public cQORMDMetaElem {
public:
    cQORMDMetaAttrib(cQORMDMetaElem* parent, const DOM_Element& element);
    ~cQORMDMetaAttrib() override;
};
