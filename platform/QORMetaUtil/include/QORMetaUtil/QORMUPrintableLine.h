// SPDX-License-Identifier: Apache-2.0
// Text made safe and exact for one line of a terminal, one escaping for every
// program. A file name or a value may hold any bytes: a control character
// printed as it is moves the cursor, recolours or retitles the terminal
// (ESC), rings it (BEL) or starts a new line; a line separator, a bidi
// control or a zero-width character shows something other than what is
// there. Every program's error and problem lines, and the report's values,
// go through this.
#pragma once

#include <string>
#include <string_view>

// Whether a reader would not see c, or would see it as something else:
// controls, format characters (bidi controls among them), line and
// paragraph separators, white space other than the plain blank,
// default-ignorable code points (zero-width characters, joiners, variation
// selectors, fillers), U+2800 BRAILLE PATTERN BLANK, and what no font draws
// for sure (unassigned and private-use code points, surrogates).
bool QORMUIsInvisible(char32_t c);

enum class QORMUQuoting {
    kNone,      // a whole line: quotes and backslashes stay as they are
    kInQuotes,  // text shown between double quotes: also \" and \\, and \u{XXXX}
                // for a combining mark at its start (it would join the quote)
};

// bytes with what QORMUIsInvisible tells shown escaped: \n, \r and \t; \x{1B}
// for the other C0 controls and DEL; \u{XXXX} for any other invisible
// character (\u{009B}, \u{2028}, \u{202E}, \u{200B}...); \x{FF} for each byte
// that is not part of a UTF-8 character. Everything else stays as it is.
std::string QORMUPrintableLine(std::string_view bytes, QORMUQuoting quoting = QORMUQuoting::kNone);
