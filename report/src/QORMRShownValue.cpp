// SPDX-License-Identifier: Apache-2.0
#include "QORMRShownValue.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdio>

namespace {

// U+2800 BRAILLE PATTERN BLANK is drawn as a blank, and no Unicode property says so.
constexpr UChar32 kBlankBraille = 0x2800;

// A character a reader would not see, or would see as something else:
// controls, format characters (bidi controls among them), separators and
// white space other than the plain blank, default-ignorable code points
// (joiners, variation selectors, the combining grapheme joiner, Hangul
// fillers), and what no font draws for sure (unassigned, private use).
bool IsInvisible(UChar32 c) {
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

// A combining mark that would join what stands before the value (a quote, a colon).
bool JoinsWhatPrecedes(UChar32 c) { return u_hasBinaryProperty(c, UCHAR_GRAPHEME_EXTEND); }

// The notes the report puts after a value ("  (renamed)", "  (letter case only)").
bool EndsLikeANote(std::string_view value) {
    return value.size() > 3 && value.back() == ')' && value.find("  (") != std::string_view::npos;
}

void AppendEscape(std::string& out, const char* format, unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

}  // namespace

bool cShownValue::IsPlain(std::string_view value) {
    if (value.empty() || value.front() == '"' || EndsLikeANote(value)) return false;
    // Most values are printable ASCII: decided without looking up a character's properties.
    if (std::all_of(value.begin(), value.end(), [](char c) { return c > 0x20 && c < 0x7f; })) return true;
    const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
    const auto length = static_cast<int32_t>(value.size());
    UChar32 first = -1, last = -1;
    for (int32_t i = 0; i < length;) {
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0 || IsInvisible(c) || c == 0x2192) return false;  // 0x2192: the arrow between old and new
        if (first < 0) first = c;
        last = c;
    }
    return !u_isUWhiteSpace(first) && !u_isUWhiteSpace(last) && !JoinsWhatPrecedes(first);
}

std::string cShownValue::Of(std::string_view value) { return IsPlain(value) ? std::string(value) : Quoted(value); }

std::string cShownValue::Quoted(std::string_view value) {
    std::string out;
    out.reserve(value.size() + 2);
    out += '"';
    const auto* bytes = reinterpret_cast<const uint8_t*>(value.data());
    const auto length = static_cast<int32_t>(value.size());
    for (int32_t i = 0; i < length;) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            for (int32_t b = start; b < i; ++b) AppendEscape(out, "\\x{%02X}", bytes[b]);
            continue;
        }
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (IsInvisible(c) || (start == 0 && JoinsWhatPrecedes(c)))
                    AppendEscape(out, "\\u{%04X}", static_cast<unsigned>(c));
                else
                    out.append(value.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(i - start)));
        }
    }
    out += '"';
    return out;
}
