// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUPrintableLine.h"

#include <cstdio>

namespace {

void Escape(std::string& out, const char* format, unsigned value) {
    char escape[12];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

// The length of the UTF-8 character at bytes[at], 0 when none starts there.
std::size_t Utf8Length(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    const std::size_t length = lead >= 0xC2 && lead < 0xE0   ? 2
                               : lead >= 0xE0 && lead < 0xF0 ? 3
                               : lead >= 0xF0 && lead < 0xF5 ? 4
                                                             : 0;
    if (length == 0 || at + length > bytes.size()) return 0;
    for (std::size_t i = 1; i < length; ++i)
        if ((static_cast<unsigned char>(bytes[at + i]) & 0xC0) != 0x80) return 0;
    return length;
}

}  // namespace

std::string QORMUPrintableLine(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < 0x80) {
            switch (byte) {
                case '\n': out += "\\n"; break;
                case '\r': out += "\\r"; break;
                case '\t': out += "\\t"; break;
                default:
                    if (byte < 0x20 || byte == 0x7F)
                        Escape(out, "\\x{%02X}", byte);
                    else
                        out += static_cast<char>(byte);
            }
            ++at;
            continue;
        }
        const std::size_t length = Utf8Length(bytes, at);
        if (length == 2 && byte == 0xC2 && static_cast<unsigned char>(bytes[at + 1]) < 0xA0) {
            Escape(out, "\\u{%04X}", static_cast<unsigned char>(bytes[at + 1]));  // U+0080 to U+009F
        } else if (length > 0) {
            out.append(bytes.substr(at, length));
        } else if (byte < 0xA0) {
            Escape(out, "\\x{%02X}", byte);  // read as a C1 control by a terminal that is not in UTF-8
        } else {
            out += static_cast<char>(byte);
        }
        at += length > 0 ? length : 1;
    }
    return out;
}
