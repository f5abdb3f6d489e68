// SPDX-License-Identifier: Apache-2.0
// A metadata document loaded by the same rules as the diff's documents
// (hardened parser, the package's checks of every class and attribute), for
// the programs beside the diff that work on the same model (merge, report).
#pragma once

#include <cstdint>
#include <memory>

#include "QORMDMetaPackage.h"
#include "ZULBase/ZULUnicodeString.h"

// Parses fileName and loads its package into package, which then keeps the
// document alive. Needs cDDLXMLParser::init. Returns a success status, or a
// failure whose error says why: MDFileError_1 with the parser's reason, or
// MDInternalError_1 naming the element where loading stopped, or
// MDResourceError_1 when memory ran out. Throws nothing.
std::int32_t QORMDLoadPackage(const ZULUnicodeString& fileName, std::unique_ptr<cQORMDMetaPackage>& package);
