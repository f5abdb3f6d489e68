// SPDX-License-Identifier: Apache-2.0
// ZULMessageCatalog: the English texts of the framework's message catalogs
// "MDErrorCatalog" (the metadata diff library) and "GDErrorCatalog" (the
// generation framework and its XML services). "%1", "%2"... in a text stand
// for the error's parameters.
#pragma once

#include <vector>

#include "ZULBase/ZULUnicodeString.h"

namespace ZULMessageCatalog {
// The raw text of a message; null when the catalog has no such id.
const char* Lookup(const char* catalogName, const char* messageId);
// The text with its parameters substituted; an unknown id gives a text that
// names the catalog, the id and the parameters, so nothing is lost.
ZULUnicodeString Format(const char* catalogName, const char* messageId,
                        const std::vector<ZULUnicodeString>& parameters);
}  // namespace ZULMessageCatalog
