// SPDX-License-Identifier: Apache-2.0
#include "QORMRShownValue.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

#include <algorithm>

#include "QORMetaUtil/QORMUPrintableLine.h"

namespace {

// A combining mark that would join what stands before the value (a quote, a colon).
bool JoinsWhatPrecedes(UChar32 c) { return u_hasBinaryProperty(c, UCHAR_GRAPHEME_EXTEND); }

// The notes the report puts after a value ("  (renamed)", "  (letter case only)").
bool EndsLikeANote(std::string_view value) {
    return value.size() > 3 && value.back() == ')' && value.find("  (") != std::string_view::npos;
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
        if (c < 0 || QORMUIsInvisible(static_cast<char32_t>(c)) || c == 0x2192)
            return false;  // 0x2192: the arrow between old and new
        if (first < 0) first = c;
        last = c;
    }
    return !u_isUWhiteSpace(first) && !u_isUWhiteSpace(last) && !JoinsWhatPrecedes(first);
}

std::string cShownValue::Of(std::string_view value) { return IsPlain(value) ? std::string(value) : Quoted(value); }

std::string cShownValue::Quoted(std::string_view value) {
    return '"' + QORMUPrintableLine(value, QORMUQuoting::kInQuotes) + '"';
}
