// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUPrintableLine.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace {

// U+2800 BRAILLE PATTERN BLANK is drawn as a blank, and no Unicode property says so.
constexpr UChar32 kBlankBraille = 0x2800;

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char escape[16];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

// Printable ASCII needs no escape (and, within quotes, neither quote nor backslash).
bool IsPlainAscii(char c, QORMUQuoting quoting) {
    return c >= 0x20 && c < 0x7f && !(quoting == QORMUQuoting::kInQuotes && (c == '"' || c == '\\'));
}

void AppendCharacter(std::string& out, UChar32 c, std::string_view bytes, bool first, QORMUQuoting quoting) {
    const bool inQuotes = quoting == QORMUQuoting::kInQuotes;
    switch (c) {
        case '\n': out += "\\n"; return;
        case '\r': out += "\\r"; return;
        case '\t': out += "\\t"; return;
        case '"':
        case '\\':
            if (inQuotes) out += '\\';
            out += static_cast<char>(c);
            return;
        default: break;
    }
    if (c < 0x20 || c == 0x7f)
        AppendEscape(out, "\\x{%02X}", static_cast<unsigned>(c));  // a byte, and the character it is
    else if (QORMUIsInvisible(static_cast<char32_t>(c)) ||
             (inQuotes && first && u_hasBinaryProperty(c, UCHAR_GRAPHEME_EXTEND)))
        AppendEscape(out, "\\u{%04X}", static_cast<unsigned>(c));
    else
        out.append(bytes);
}

}  // namespace

bool QORMUIsInvisible(char32_t character) {
    const auto c = static_cast<UChar32>(character);
    switch (u_charType(c)) {
        case U_CONTROL_CHAR:
        case U_FORMAT_CHAR:
        case U_LINE_SEPARATOR:
        case U_PARAGRAPH_SEPARATOR:
        case U_SURROGATE:
        case U_UNASSIGNED:
        case U_PRIVATE_USE_CHAR: return true;
        default: break;
    }
    return (c != ' ' && u_hasBinaryProperty(c, UCHAR_WHITE_SPACE)) ||
           u_hasBinaryProperty(c, UCHAR_DEFAULT_IGNORABLE_CODE_POINT) || u_hasBinaryProperty(c, UCHAR_BIDI_CONTROL) ||
           u_hasBinaryProperty(c, UCHAR_VARIATION_SELECTOR) || c == kBlankBraille;
}

std::string QORMUPrintableLine(std::string_view bytes, QORMUQuoting quoting) {
    // Most lines are printable ASCII: given back without looking a character up.
    if (std::all_of(bytes.begin(), bytes.end(), [&](char c) { return IsPlainAscii(c, quoting); }))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + 16);
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const auto length = static_cast<int32_t>(bytes.size());
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(data, i, length, c);
        if (c < 0) {  // not UTF-8: each byte of the ill-formed sequence
            for (int32_t b = start; b < i; ++b) AppendEscape(out, "\\x{%02X}", data[b]);
            continue;
        }
        AppendCharacter(out, c, bytes.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)),
                        start == 0, quoting);
    }
    return out;
}
