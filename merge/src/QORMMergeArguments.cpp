#include "QORMMergeArguments.h"

#include <cstdio>
#include <cstring>

#include "QORMDVersion.h"

namespace {

struct Option {
    const char* name;
    ZULUnicodeString* value;
    bool required;
};

}  // namespace

cMergeArguments::Outcome cMergeArguments::Parse(int argc, const char* const argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "-v") == 0 && argc == 2) return kVersion;
    if (argc >= 2 && std::strcmp(argv[1], "-h") == 0 && argc == 2) return kHelp;
    const Option options[] = {{"-Base", &base_, true},
                              {"-Ours", &ours_, true},
                              {"-Theirs", &theirs_, true},
                              {"-Out", &out_, true},
                              {"-Conflicts", &conflicts_, false}};
    bool seen[5] = {};
    for (int i = 1; i < argc; ++i) {
        int found = -1;
        for (int o = 0; o < 5; ++o)
            if (std::strcmp(argv[i], options[o].name) == 0) found = o;
        if (found < 0) {
            problem_ = std::string("unknown argument \"") + argv[i] + "\"";
            return kWrong;
        }
        if (seen[found]) {
            problem_ = std::string(options[found].name) + " is given twice";
            return kWrong;
        }
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            problem_ = std::string(options[found].name) + " must be followed by a file name";
            return kWrong;
        }
        seen[found] = true;
        *options[found].value = ZULUnicodeString(argv[++i]);
    }
    for (int o = 0; o < 5; ++o) {
        if (options[o].required && !seen[o]) {
            problem_ = std::string(options[o].name) + " is missing";
            return kWrong;
        }
    }
    return kRun;
}

void cMergeArguments::PrintVersion() { std::fprintf(stdout, "MetaMerge Version: %s\n", QORMD_VERSION); }

void cMergeArguments::PrintUsage(std::FILE* to) {
    static const char* const kUsage[] = {
        "Usage : QORMetaMerge [-v] [-h]",
        "            -v: Returns the version",
        "            -h: Displays help",
        "",
        "        QORMetaMerge -Base basemetadataname -Ours oursmetadataname",
        "                     -Theirs theirsmetadataname -Out mergedfilename",
        "                     [-Conflicts conflictsfilename]",
        "             -Base         : Common ancestor of the two versions",
        "             -Ours         : Our version (kept at each conflict)",
        "             -Theirs       : Their version",
        "             -Out          : Merged file to write (may be the -Ours file)",
        "             -Conflicts    : Conflicts document to write",
        "",
        "        Exit status: 0 merged, 1 merged with conflicts (ours kept at each),",
        "                     2 wrong arguments, 3 failed run (nothing written)",
    };
    for (const char* line : kUsage) std::fprintf(to, "%s\n", line);
    std::fflush(to);
}
