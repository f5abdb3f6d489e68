// SPDX-License-Identifier: Apache-2.0
// Places in the UTF-8 text of a document, counted as the parser counts them:
// a line ends at LF, CR or CR LF (in an XML 1.1 document also at NEL and
// U+2028, alone or after CR); a column counts UTF-16 units from 1; a UTF-8
// byte-order mark does not count. A byte column counts the line's bytes
// from 1 instead. A byte that is not UTF-8 counts as one unit.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "QORMetaUtil/cDDLXMLParser.h"

// A document's bytes, read by the parser in encoding, as UTF-8: as they are
// when they are UTF-8 already (or cannot be converted). Needs Xerces.
std::string QORMUTextAsUtf8(const std::string& bytes, std::u16string_view encoding);

// The place of the character that begins at offset.
cDDLXMLPosition QORMUPlaceOfByte(std::string_view text, std::size_t offset, bool xml11);

// Fills the byte column of each place, given by line and column in document
// order (several may be equal), in one pass over text.
void QORMUCountByteColumns(std::string_view text, bool xml11, const std::vector<cDDLXMLPosition*>& places);
