// SPDX-License-Identifier: Apache-2.0
// The first bytes of a document that are not UTF-8, and what is wrong with
// them in words, the bytes shown as \x{FF}: a byte that cannot begin a
// character, a continuation byte where a character should begin, a
// character cut short, an overlong form, a surrogate, a number beyond
// U+10FFFF. Looked for only once the parser has failed on its UTF-8: the
// parser decodes in blocks and places such a failure where its block begins,
// and shows the bytes as replacement characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

struct QORMUBadUtf8 {
    std::size_t offset = 0;  // where the bytes begin
    std::string what;        // such as: invalid byte \x{FF}: no UTF-8 character begins with it
};

// True, with found filled, when bytes hold a sequence that is not UTF-8.
bool QORMUFindBadUtf8(std::string_view bytes, QORMUBadUtf8& found);
