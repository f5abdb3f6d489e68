// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckProblem.h"

#include <cstdio>

namespace {

// text with its C0 and C1 control characters (UTF-8) and DEL escaped.
void AppendEscaped(std::string& out, const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned code = static_cast<unsigned char>(text[i]);
        const bool c1 = code == 0xC2 && i + 1 < text.size() && (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (c1) code = static_cast<unsigned char>(text[++i]);
        if (code >= 0x20 && code != 0x7F && !c1) {
            out += text[i];
            continue;
        }
        char escape[12];
        std::snprintf(escape, sizeof escape, "\\u{%X}", code);
        out += escape;
    }
}

}  // namespace

std::string cCheckProblem::Line(const std::string& file, bool warningsAsErrors) const {
    std::string line;
    AppendEscaped(line, file);
    if (at.line > 0) line += ":" + std::to_string(at.line) + ":" + std::to_string(at.column);
    const bool asError = severity == kError || warningsAsErrors;
    line += asError ? ": error: " : ": warning: ";
    AppendEscaped(line, text);
    if (severity == kWarning && warningsAsErrors) line += " [-Werror]";
    return line;
}
