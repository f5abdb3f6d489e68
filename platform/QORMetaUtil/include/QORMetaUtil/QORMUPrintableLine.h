// SPDX-License-Identifier: Apache-2.0
// Text made safe for one line of a terminal. A file name or a value may hold
// any bytes, and a control character printed as it is moves the cursor,
// recolours or retitles the terminal (ESC), rings it (BEL) or starts a new
// line. Every program's error lines go through this.
#pragma once

#include <string>
#include <string_view>

// bytes with each control character shown escaped: \n, \r and \t; \x{1B} for
// the other C0 controls and DEL; \u{009B} for a C1 control written as UTF-8;
// \x{9B} for a byte of the C1 range that is not part of a UTF-8 character.
// Everything else stays as it is, UTF-8 or not.
std::string QORMUPrintableLine(std::string_view bytes);
