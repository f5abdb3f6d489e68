// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaObject.h"

cMetaObject::~cMetaObject() = default;
