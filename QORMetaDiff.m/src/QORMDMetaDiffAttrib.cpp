// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffAttrib.h"

cMetaDiffAttrib::~cMetaDiffAttrib() = default;
