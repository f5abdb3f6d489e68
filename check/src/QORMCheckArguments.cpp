// SPDX-License-Identifier: Apache-2.0
#include "QORMCheckArguments.h"

#include <cstring>
#include <utility>

const char* cCheckArguments::Usage() {
    return "Usage: QORMetaCheck [OPTION]... [--] FILE...\n"
           "       QORMetaCheck [OPTION]... -Old OLD [--] FILE\n"
           "       QORMetaCheck [OPTION]... -Against REV [-Path PATHSPEC]... [--] [FILE...]\n"
           "       QORMetaCheck -h | -v\n"
           "Reads each metadata document by the rules of the diff's loader and prints every problem,\n"
           "one line each: file:line:column: error|warning: text [rule]. With -Old or -Against, also\n"
           "every change since the earlier version that loses data when a database is migrated.\n"
           "  -Old      the earlier version of FILE\n"
           "  -Against  a git revision of the repository of the current folder: each FILE against its\n"
           "            version there (a FILE it does not hold is new); without FILE, every metadata\n"
           "            document that differs between REV and the work tree, deleted ones included\n"
           "  -Path     with -Against and no FILE, the files that are metadata documents (git pathspec,\n"
           "            repeatable); without it, those .gitattributes marks diff=qormeta\n"
           "  -Config   the configuration to read instead of .qormeta.toml at the top of the repository\n"
           "            (or in the current folder outside one)\n"
           "  -Werror   warnings count as errors\n"
           "  -Columns  what a column counts: utf16, UTF-16 code units (the default: VS Code, the\n"
           "            Language Server Protocol, SARIF), or bytes, the bytes of the line in UTF-8\n"
           "            (vim, clang)\n"
           "  -Format   gcc (the default, the lines above), sarif (SARIF 2.1.0) or codequality\n"
           "            (GitLab's code quality report), on standard output\n"
           "  --        what follows are files, even when they begin with -\n"
           "Exit status: 0 no errors (warnings allowed), 1 errors, 2 wrong arguments, a revision that\n"
           "cannot be read or a configuration that cannot be read.\n";
}

cCheckArguments::Outcome cCheckArguments::Wrong(std::string error) {
    error_ = std::move(error);
    return kWrong;
}

bool cCheckArguments::Value(const std::string& option, const char* value, std::string& into) {
    if (!value || !*value) {
        error_ = option + " must be followed by a value";
        return false;
    }
    if (!into.empty()) {
        error_ = option + " is given twice";
        return false;
    }
    into = value;
    return true;
}

cCheckArguments::Outcome cCheckArguments::Parse(int argc, const char* const argv[]) {
    if (argc == 2 && std::strcmp(argv[1], "-h") == 0) return kHelp;
    if (argc == 2 && std::strcmp(argv[1], "-v") == 0) return kVersion;
    std::string columns, format;
    const std::pair<const char*, std::string*> valued[] = {{"-Old", &old_},       {"-Against", &against_},
                                                           {"-Config", &config_}, {"-Columns", &columns},
                                                           {"-Format", &format},  {"-Path", nullptr}};
    bool options = true;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const char* next = i + 1 < argc ? argv[i + 1] : nullptr;
        if (options && argument == "--") {
            options = false;
            continue;
        }
        if (options && argument == "-Werror") {
            warningsAsErrors_ = true;
            continue;
        }
        bool known = false;
        for (const auto& [option, into] : valued) {
            if (!options || argument != option) continue;
            std::string path;
            if (!Value(argument, next, into ? *into : path)) return kWrong;
            if (!into) paths_.push_back(path);
            known = true;
            ++i;
        }
        if (known) continue;
        if (options && argument.size() > 1 && argument[0] == '-') return Wrong("unknown option \"" + argument + "\"");
        if (argument.empty()) return Wrong("an empty file name");
        files_.push_back(argument);
    }
    if (!columns.empty() && columns != "utf16" && columns != "bytes")
        return Wrong("-Columns must be utf16 or bytes, not \"" + columns + "\"");
    byteColumns_ = columns == "bytes";
    const std::pair<const char*, Format> formats[] = {{"gcc", kGcc}, {"sarif", kSarif}, {"codequality", kCodeQuality}};
    bool formatKnown = format.empty();
    for (const auto& [name, value] : formats)
        if (format == name) format_ = value, formatKnown = true;
    if (!formatKnown) return Wrong("-Format must be gcc, sarif or codequality, not \"" + format + "\"");
    return Form();
}

cCheckArguments::Outcome cCheckArguments::Form() {
    if (format_ == kSarif && byteColumns_)
        return Wrong("-Format sarif counts columns in UTF-16 code units, as SARIF does: leave -Columns bytes out");
    if (!old_.empty() && !against_.empty()) return Wrong("-Old and -Against cannot be combined");
    if (!paths_.empty() && against_.empty()) return Wrong("-Path goes with -Against");
    if (!paths_.empty() && !files_.empty())
        return Wrong("-Path selects the documents when no FILE is given: give either");
    if (!old_.empty() && files_.size() != 1) return Wrong("-Old compares one FILE with its earlier version");
    if (files_.empty() && against_.empty()) return Wrong("no file to check");
    return kRun;
}
