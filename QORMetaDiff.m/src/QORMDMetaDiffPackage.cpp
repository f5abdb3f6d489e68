// SPDX-License-Identifier: Apache-2.0
#include "QORMDMetaDiffPackage.h"

cMetaDiffPackage::~cMetaDiffPackage() = default;
