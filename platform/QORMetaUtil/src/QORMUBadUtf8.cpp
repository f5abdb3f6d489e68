// SPDX-License-Identifier: Apache-2.0
#include "QORMUBadUtf8.h"

#include <cstdio>

namespace {

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// The UTF-8 form that lead begins: its length (0: no character begins with
// lead) and the smallest number a form of that length may encode.
struct Form {
    std::size_t length;
    char32_t smallest;
};

Form FormOf(unsigned char lead) {
    if (lead >= 0xC0 && lead < 0xE0) return {2, 0x80};
    if (lead >= 0xE0 && lead < 0xF0) return {3, 0x800};
    if (lead >= 0xF0 && lead < 0xF5) return {4, 0x10000};
    return {0, 0};
}

// "invalid byte \x{E2}" or "invalid bytes \x{E2}\x{82}".
std::string Shown(std::string_view bytes) {
    std::string shown = bytes.size() == 1 ? "invalid byte " : "invalid bytes ";
    for (const char byte : bytes) {
        char escape[8];
        std::snprintf(escape, sizeof escape, "\\x{%02X}", static_cast<unsigned char>(byte));
        shown += escape;
    }
    return shown;
}

std::string CodePoint(char32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(value));
    return text;
}

// What is wrong with the character that begins at bytes[at], or "" when it is UTF-8.
std::string Problem(std::string_view bytes, std::size_t at, std::size_t& length) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    length = 1;
    if (lead < 0x80) return "";
    if (IsContinuation(lead)) return Shown(bytes.substr(at, 1)) + ": it continues a UTF-8 character, but none began";
    const auto [needed, smallest] = FormOf(lead);
    if (needed == 0) return Shown(bytes.substr(at, 1)) + ": no UTF-8 character begins with it";
    while (length < needed && at + length < bytes.size() &&
           IsContinuation(static_cast<unsigned char>(bytes[at + length])))
        ++length;
    const std::string shown = Shown(bytes.substr(at, length));
    if (length < needed)
        return shown + ": a UTF-8 character of " + std::to_string(needed) + " bytes cut after " +
               std::to_string(length);
    char32_t value = lead & (0x7F >> needed);
    for (std::size_t i = 1; i < needed; ++i) value = (value << 6) | (static_cast<unsigned char>(bytes[at + i]) & 0x3F);
    if (value < smallest) return shown + ": an overlong UTF-8 form of " + CodePoint(value);
    if (value >= 0xD800 && value <= 0xDFFF)
        return shown + ": the UTF-8 form of the surrogate " + CodePoint(value) + ", which is not a character";
    if (value > 0x10FFFF)
        return shown + ": the UTF-8 form of " + CodePoint(value) + ", beyond the last character U+10FFFF";
    return "";
}

}  // namespace

bool QORMUFindBadUtf8(std::string_view bytes, QORMUBadUtf8& found) {
    for (std::size_t at = 0; at < bytes.size();) {
        std::size_t length = 1;
        std::string what = Problem(bytes, at, length);
        if (!what.empty()) {
            found = {at, std::move(what)};
            return true;
        }
        at += length;
    }
    return false;
}
