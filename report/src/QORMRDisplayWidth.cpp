// SPDX-License-Identifier: Apache-2.0
#include "QORMRDisplayWidth.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>

namespace {

int ColumnsOf(UChar32 c) {
    if (c < 0) return 1;
    const int8_t type = u_charType(c);
    if (type == U_NON_SPACING_MARK || type == U_ENCLOSING_MARK || type == U_FORMAT_CHAR) return 0;
    const int width = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
    return width == U_EA_WIDE || width == U_EA_FULLWIDTH ? 2 : 1;
}

// Calls visit(start, end, columns) for each character of text.
template <class Visit>
void ForEachCharacter(std::string_view text, Visit visit) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    const auto length = static_cast<int32_t>(text.size());
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        visit(static_cast<std::size_t>(start), static_cast<std::size_t>(i), ColumnsOf(c));
    }
}

}  // namespace

int cDisplayWidth::Of(std::string_view text) {
    // ASCII takes one column a byte: counted without looking a character up.
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return static_cast<int>(text.size());
    int columns = 0;
    ForEachCharacter(text, [&](std::size_t, std::size_t, int width) { columns += width; });
    return columns;
}

std::vector<std::string> cDisplayWidth::Split(std::string_view text, int width) {
    std::vector<std::string> pieces;
    std::size_t pieceStart = 0;
    int used = 0;
    ForEachCharacter(text, [&](std::size_t start, std::size_t, int columns) {
        if (used + columns > width && start > pieceStart) {
            pieces.emplace_back(text.substr(pieceStart, start - pieceStart));
            pieceStart = start;
            used = 0;
        }
        used += columns;
    });
    if (pieceStart < text.size() || pieces.empty()) pieces.emplace_back(text.substr(pieceStart));
    return pieces;
}

std::vector<std::string> cDisplayWidth::Wrap(std::string_view text, int width) {
    // One pass: the current line, its columns, and the end of its last blank
    // with the columns up to there.
    std::vector<std::string> lines;
    std::size_t lineStart = 0;
    int used = 0;
    std::size_t afterBlank = std::string_view::npos;
    int usedToBlank = 0;
    ForEachCharacter(text, [&](std::size_t start, std::size_t end, int columns) {
        if (used + columns > width && start > lineStart) {
            // After the last blank when the line is at least half full before it (the
            // blank stays at the line's end: every blank of the text is kept), else here.
            const bool atBlank = afterBlank != std::string_view::npos && usedToBlank - 1 >= width / 2 &&
                                 used - usedToBlank + columns <= width;
            const std::size_t cut = atBlank ? afterBlank : start;
            lines.emplace_back(text.substr(lineStart, cut - lineStart));
            lineStart = cut;
            used = atBlank ? used - usedToBlank : 0;
            afterBlank = std::string_view::npos;
        }
        used += columns;
        if (text[start] == ' ') {
            afterBlank = end;
            usedToBlank = used;
        }
    });
    lines.emplace_back(text.substr(lineStart));
    return lines;
}
