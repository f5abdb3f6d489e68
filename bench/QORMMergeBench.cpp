// SPDX-License-Identifier: Apache-2.0
// QORMMergeBench: measures a whole three-way merge against parsing its three
// documents with the library's parser.
//
//   QORMMergeBench [--reps N] [--work DIR] LABEL BASE OURS THEIRS [LABEL BASE OURS THEIRS ...]
//
// For each triple, N times and interleaved:
//   parse  cDDLXMLParser::parseXMLFile of base, ours and theirs (between one
//          init and terminate), the three documents kept: the floor any
//          merge of them pays;
//   load   the three loaded by the diff's rules (QORMDLoadPackage) and kept
//          together, as the merge needs them;
//   merge  cMergeRun::Execute: loads the three by the diff's rules, merges,
//          writes the merged file and the conflicts document into DIR.
// Each measurement runs in a child process of its own: its processor time
// (user and system, from wait4: on a machine shared with other jobs the
// clock on the wall says more about them) and its peak resident memory are
// its own. The smallest time and peak of the N are kept, and the table gives
// load / parse and merge / parse.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "QORMDPackageLoad.h"
#include "QORMMergeArguments.h"
#include "QORMMergeRun.h"
#include "QORMetaUtil/cDDLXMLParser.h"

namespace {

struct Triple {
    std::string label, base, ours, theirs;
};

struct Sample {
    double seconds = 1e300;
    double peakMiB = 1e300;
};

bool ParseAll(const Triple& t) {
    if (cDDLXMLParser::init() < 0) return false;
    // Kept together, as any merge of them holds them.
    DOM_Document documents[3];
    const std::string* names[3] = {&t.base, &t.ours, &t.theirs};
    bool ok = true;
    for (int i = 0; i < 3 && ok; ++i)
        ok = cDDLXMLParser::parseXMLFile(ZULUnicodeString(names[i]->c_str()), documents[i]) >= 0;
    cDDLXMLParser::terminate();
    return ok;
}

bool LoadAll(const Triple& t) {
    if (cDDLXMLParser::init() < 0) return false;
    std::unique_ptr<cQORMDMetaPackage> packages[3];
    const std::string* names[3] = {&t.base, &t.ours, &t.theirs};
    bool ok = true;
    for (int i = 0; i < 3 && ok; ++i) ok = QORMDLoadPackage(ZULUnicodeString(names[i]->c_str()), packages[i]) >= 0;
    cDDLXMLParser::terminate();
    return ok;
}

bool MergeAll(const Triple& t, const std::string& work) {
    const std::string out = work + "/merged-" + t.label + ".xml";
    const std::string conflicts = work + "/conflicts-" + t.label + ".xml";
    const char* argv[] = {"QORMetaMerge",   "-Base", t.base.c_str(), "-Ours",      t.ours.c_str(),   "-Theirs",
                          t.theirs.c_str(), "-Out",  out.c_str(),    "-Conflicts", conflicts.c_str()};
    cMergeArguments arguments;
    if (arguments.Parse(11, argv) != cMergeArguments::kRun) return false;
    return cMergeRun::Execute(arguments, nullptr) != cMergeRun::kFailed;
}

enum Kind { kParse, kLoad, kMerge, kKinds };

// One measurement in a child process: its processor time and peak memory, or false.
bool Measure(Kind kind, const Triple& t, const std::string& work, Sample& best) {
    const pid_t pid = ::fork();
    if (pid < 0) return false;
    if (pid == 0) {
        const bool ok = kind == kMerge ? MergeAll(t, work) : kind == kLoad ? LoadAll(t) : ParseAll(t);
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    struct rusage usage {};
    if (::wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    best.seconds = std::min(best.seconds, seconds(usage.ru_utime) + seconds(usage.ru_stime));
    best.peakMiB = std::min(best.peakMiB, usage.ru_maxrss / 1024.0);
    return true;
}

}  // namespace

int main(int argc, char* argv[]) {
    int reps = 3;
    std::string work = ".";
    std::vector<Triple> triples;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--reps") == 0 && i + 1 < argc) {
            reps = std::max(1, std::atoi(argv[++i]));
        } else if (std::strcmp(argv[i], "--work") == 0 && i + 1 < argc) {
            work = argv[++i];
        } else if (i + 3 < argc) {
            triples.push_back({argv[i], argv[i + 1], argv[i + 2], argv[i + 3]});
            i += 3;
        } else {
            std::fprintf(stderr, "usage: QORMMergeBench [--reps N] [--work DIR] LABEL BASE OURS THEIRS ...\n");
            return 2;
        }
    }
    if (triples.empty()) {
        std::fprintf(stderr, "usage: QORMMergeBench [--reps N] [--work DIR] LABEL BASE OURS THEIRS ...\n");
        return 2;
    }
    std::printf("%-12s %10s %10s %10s %8s %8s %10s %10s %10s\n", "triple", "parse cpu", "load cpu", "merge cpu",
                "load/p", "merge/p", "parse MiB", "load MiB", "merge MiB");
    for (const Triple& t : triples) {
        Sample best[kKinds];
        const char* const names[kKinds] = {"parse", "load", "merge"};
        for (int r = 0; r < reps; ++r) {
            for (Kind kind : {kParse, kLoad, kMerge}) {
                if (!Measure(kind, t, work, best[kind])) {
                    std::fprintf(stderr, "%s: the %s run failed\n", t.label.c_str(), names[kind]);
                    return 1;
                }
            }
        }
        const double parse = best[kParse].seconds;
        std::printf("%-12s %10.3f %10.3f %10.3f %8.2f %8.2f %10.1f %10.1f %10.1f\n", t.label.c_str(), parse,
                    best[kLoad].seconds, best[kMerge].seconds, best[kLoad].seconds / parse,
                    best[kMerge].seconds / parse, best[kParse].peakMiB, best[kLoad].peakMiB, best[kMerge].peakMiB);
    }
    return 0;
}
