// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffClass.h"

cMetaDiffClass::~cMetaDiffClass() = default;
