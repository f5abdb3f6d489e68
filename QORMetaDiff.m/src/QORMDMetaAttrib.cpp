// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaAttrib.h"

cQORMDMetaAttrib::cQORMDMetaAttrib(cQORMDMetaElem* parent_, const DOM_Element& element_)
    : cQORMDMetaElem(element_, kAttrib, parent_) {}

cQORMDMetaAttrib::~cQORMDMetaAttrib() = default;
