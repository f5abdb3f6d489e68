// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeFuzzScript.h"

#include <vector>

namespace {

// Lines of text, each with its '\n' (the last one may lack it).
std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::size_t length = end == std::string_view::npos ? text.size() : end + 1;
        lines.emplace_back(text.substr(0, length));
        text.remove_prefix(length);
    }
    return lines;
}

// Reads a decimal number at the start of text (0 when none), then one blank.
std::size_t Number(std::string_view& text) {
    std::size_t value = 0;
    while (!text.empty() && text[0] >= '0' && text[0] <= '9') {
        value = (value % 100000) * 10 + static_cast<std::size_t>(text[0] - '0');
        text.remove_prefix(1);
    }
    if (!text.empty() && text[0] == ' ') text.remove_prefix(1);
    return value;
}

void Apply(std::vector<std::string>& lines, std::string_view edit) {
    const char op = edit[0];
    edit.remove_prefix(1);
    const std::size_t n = Number(edit);
    const std::size_t count = lines.size();
    if (op == '+') {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(n % (count + 1)), std::string(edit) + "\n");
        return;
    }
    if (count == 0) return;
    std::string& line = lines[n % count];
    if (op == '-') {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(n % count));
    } else if (op == '=') {
        line = std::string(edit) + "\n";
    } else if (op == 'm' || op == 'c') {
        const std::string moved = line;
        if (op == 'm') lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(n % count));
        const std::size_t to = Number(edit) % (lines.size() + 1);
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(to), moved);
    } else if (op == 's') {
        const std::size_t bar = edit.find('|');
        const std::string_view from = edit.substr(0, bar);
        const std::string_view to = bar == std::string_view::npos ? std::string_view() : edit.substr(bar + 1);
        const std::size_t at = from.empty() ? std::string::npos : line.find(from);
        if (at != std::string::npos) line.replace(at, from.size(), to);
    }
}

}  // namespace

std::string QORMMFuzzSide(std::string_view base, std::string_view part) {
    if (!part.empty() && std::string_view("-+=mcs#").find(part[0]) == std::string_view::npos) return std::string(part);
    std::vector<std::string> lines = Lines(base);
    for (std::string edit : Lines(part)) {
        if (edit.back() == '\n') edit.pop_back();
        if (!edit.empty()) Apply(lines, edit);
    }
    std::string side;
    for (const std::string& line : lines) side += line;
    return side;
}

std::string_view QORMMFuzzPart(std::string_view& rest) {
    const std::size_t cut = rest.find('\0');
    const std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    return part;
}
