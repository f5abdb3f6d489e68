// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeArguments.h"

#include <cstdio>
#include <cstring>

#include "QORMDVersion.h"

namespace {

struct Option {
    const char* name;
    ZULUnicodeString* value;  // null for a flag
    bool required;
};

}  // namespace

bool cMergeArguments::ReadLabels(const std::string& text) {
    // The first and the last comma cut it: a base label (a commit's title)
    // may hold commas of its own.
    const std::size_t first = text.find(',');
    const std::size_t last = text.rfind(',');
    if (first == std::string::npos || first == last) return false;
    const std::string labels[3] = {text.substr(0, first), text.substr(first + 1, last - first - 1),
                                   text.substr(last + 1)};
    std::string* kept[3] = {&labels_.ours, &labels_.base, &labels_.theirs};
    for (int i = 0; i < 3; ++i) {
        // A git older than 2.44 passes "%X", "%S" and "%Y" as they are: the default stands.
        if (labels[i].empty() || (labels[i].size() == 2 && labels[i][0] == '%')) continue;
        *kept[i] = labels[i];
        for (char& c : *kept[i])
            if (c == '\n' || c == '\r') c = ' ';
    }
    return true;
}

cMergeArguments::Outcome cMergeArguments::Parse(int argc, const char* const argv[]) {
    if (argc >= 2 && std::strcmp(argv[1], "-v") == 0 && argc == 2) return kVersion;
    if (argc >= 2 && std::strcmp(argv[1], "-h") == 0 && argc == 2) return kHelp;
    const Option options[] = {{"-Base", &base_, true},
                              {"-Ours", &ours_, true},
                              {"-Theirs", &theirs_, true},
                              {"-Out", &out_, true},
                              {"-Conflicts", &conflicts_, false},
                              {"-Markers", nullptr, false},
                              {"-Labels", &labelsText_, false}};
    constexpr int kOptions = sizeof options / sizeof options[0];
    bool seen[kOptions] = {};
    for (int i = 1; i < argc; ++i) {
        int found = -1;
        for (int o = 0; o < kOptions; ++o)
            if (std::strcmp(argv[i], options[o].name) == 0) found = o;
        if (found < 0) {
            problem_ = std::string("unknown argument \"") + argv[i] + "\"";
            return kWrong;
        }
        if (seen[found]) {
            problem_ = std::string(options[found].name) + " is given twice";
            return kWrong;
        }
        seen[found] = true;
        if (!options[found].value) continue;
        if (i + 1 >= argc || argv[i + 1][0] == '\0') {
            problem_ = std::string(options[found].name) + " must be followed by " +
                       (options[found].value == &labelsText_ ? "three labels" : "a file name");
            return kWrong;
        }
        *options[found].value = ZULUnicodeString(argv[++i]);
    }
    for (int o = 0; o < kOptions; ++o) {
        if (options[o].required && !seen[o]) {
            problem_ = std::string(options[o].name) + " is missing";
            return kWrong;
        }
    }
    markers_ = seen[5];
    if (seen[6] && !markers_) {
        problem_ = "-Labels needs -Markers";
        return kWrong;
    }
    if (seen[6] && !ReadLabels(labelsText_.ConvertToChar())) {
        problem_ = "-Labels must be followed by three labels: ours,base,theirs";
        return kWrong;
    }
    return kRun;
}

void cMergeArguments::PrintVersion() { std::fprintf(stdout, "MetaMerge Version: %s\n", QORMD_PACKAGE_VERSION); }

void cMergeArguments::PrintUsage(std::FILE* to) {
    static const char* const kUsage[] = {
        "Usage : QORMetaMerge [-v] [-h]",
        "            -v: Returns the version",
        "            -h: Displays help",
        "",
        "        QORMetaMerge -Base basemetadataname -Ours oursmetadataname",
        "                     -Theirs theirsmetadataname -Out mergedfilename",
        "                     [-Conflicts conflictsfilename]",
        "                     [-Markers [-Labels ours,base,theirs]]",
        "             -Base         : Common ancestor of the two versions",
        "                             (an empty file: none, both added it)",
        "             -Ours         : Our version (kept at each conflict)",
        "             -Theirs       : Their version",
        "             -Out          : Merged file to write (may be the -Ours file)",
        "             -Conflicts    : Conflicts document to write",
        "             -Markers      : Conflict markers in the merged file",
        "             -Labels       : The markers' labels (git: %X,%S,%Y)",
        "",
        "        Exit status: 0 merged, 1 merged with conflicts (ours kept at each),",
        "                     2 wrong arguments, 3 failed run (nothing written)",
    };
    for (const char* line : kUsage) std::fprintf(to, "%s\n", line);
    std::fflush(to);
}
