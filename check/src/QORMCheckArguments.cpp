// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckArguments.h"

#include <cstring>

const char* cCheckArguments::Usage() {
    return "Usage: QORMetaCheck [-Werror] [-Columns utf16|bytes] [--] FILE...\n"
           "       QORMetaCheck -h | -v\n"
           "Reads each metadata document by the rules of the diff's loader and prints every problem,\n"
           "one line each: file:line:column: error|warning: text.\n"
           "  -Werror   warnings count as errors\n"
           "  -Columns  what a column counts: utf16, UTF-16 code units (the default: VS Code, the\n"
           "            Language Server Protocol, SARIF), or bytes, the bytes of the line in UTF-8\n"
           "            (vim, clang)\n"
           "  --        what follows are files, even when they begin with -\n"
           "Exit status: 0 no errors (warnings allowed), 1 errors, 2 wrong arguments.\n";
}

bool cCheckArguments::Columns(const char* value) {
    if (!value) {
        error_ = "-Columns needs a value: utf16 or bytes";
        return false;
    }
    if (std::strcmp(value, "utf16") != 0 && std::strcmp(value, "bytes") != 0) {
        error_ = "-Columns must be utf16 or bytes, not \"" + std::string(value) + "\"";
        return false;
    }
    byteColumns_ = std::strcmp(value, "bytes") == 0;
    return true;
}

cCheckArguments::Outcome cCheckArguments::Parse(int argc, const char* const argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0) return kHelp;
    if (argc == 2 && std::strcmp(argv[1], "-v") == 0) return kVersion;
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (options && argument == "--") {
            options = false;
        } else if (options && argument == "-Werror") {
            warningsAsErrors_ = true;
        } else if (options && argument == "-Columns") {
            if (!Columns(i + 1 < argc ? argv[++i] : nullptr)) return kWrong;
        } else if (options && argument.size() > 1 && argument[0] == '-') {
            error_ = "unknown option \"" + argument + "\"";
            return kWrong;
        } else if (argument.empty()) {
            error_ = "an empty file name";
            return kWrong;
        } else {
            files_.push_back(argument);
        }
    }
    if (files_.empty()) {
        error_ = "no file to check";
        return kWrong;
    }
    return kRun;
}
