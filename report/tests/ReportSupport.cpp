// SPDX-License-Identifier: Apache-2.0
#include "ReportSupport.h"

#include <cstdlib>

HostRun RunReport(const std::vector<std::string>& args, const RunOptions& options) {
    return RunProgram(QORMR_REPORT_PATH, args, options);
}

void GeneratePair(const TempDir& dir, double sizeMb, double changes, int seed) {
    const HostRun run = RunProgram(
        "python3", {SourcePath("bench/generate-metadata.py"), "--size-mb", std::to_string(sizeMb), "--changes",
                    std::to_string(changes), "--seed", std::to_string(seed), dir.file("old.xml"), dir.file("new.xml")});
    ASSERT_EQ(run.exitStatus, 0) << run.err;
}

std::string Unshown(const std::string& shown) {
    if (shown.empty() || shown.front() != '"') return shown;
    std::string value;
    for (std::size_t i = 1; i + 1 < shown.size(); ++i) {
        if (shown[i] != '\\') {
            value += shown[i];
            continue;
        }
        const char kind = shown[++i];
        if (kind == 'n')
            value += '\n';
        else if (kind == 'r')
            value += '\r';
        else if (kind == 't')
            value += '\t';
        else if (kind == 'u' || kind == 'x') {
            const std::size_t close = shown.find('}', i);
            const unsigned long code = std::strtoul(shown.substr(i + 2, close - i - 2).c_str(), nullptr, 16);
            if (kind == 'x') {
                value += static_cast<char>(code);
            } else {  // UTF-8 of the code point
                if (code < 0x80)
                    value += static_cast<char>(code);
                else if (code < 0x800)
                    value += {static_cast<char>(0xC0 | (code >> 6)), static_cast<char>(0x80 | (code & 0x3F))};
                else if (code < 0x10000)
                    value += {static_cast<char>(0xE0 | (code >> 12)), static_cast<char>(0x80 | ((code >> 6) & 0x3F)),
                              static_cast<char>(0x80 | (code & 0x3F))};
                else
                    value += {static_cast<char>(0xF0 | (code >> 18)), static_cast<char>(0x80 | ((code >> 12) & 0x3F)),
                              static_cast<char>(0x80 | ((code >> 6) & 0x3F)), static_cast<char>(0x80 | (code & 0x3F))};
            }
            i = close;
        } else {
            value += kind;  // \" and \\ .
        }
    }
    return value;
}
