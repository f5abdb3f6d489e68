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
    std::vector<std::string> lines;
    while (Of(text) > width) {
        const std::string first = Split(text, width).front();
        const std::size_t blank = first.rfind(' ');
        const bool atBlank = blank != std::string::npos && Of(first.substr(0, blank)) >= width / 2;
        const std::size_t end = atBlank ? blank : first.size();
        lines.emplace_back(text.substr(0, end));
        text.remove_prefix(atBlank ? end + 1 : end);  // the blank a line breaks at is not kept
    }
    lines.emplace_back(text);
    return lines;
}
