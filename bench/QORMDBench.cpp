// QORMDBench: measures a whole diff run against the floor of parsing.
//
//   QORMDBench [--reps N] [--work DIR] LABEL OLD NEW [LABEL OLD NEW ...]
//
// For each pair it measures, N times and interleaved:
//   floor  Xerces parses both documents into DOM (set up like the library's
//          parser) and nothing else;
//   run    cQORMDApi::Process loads, compares and writes the diff.
// Every measurement runs in a child process of its own, so that its peak
// resident memory (ru_maxrss from wait4) is its own. The fastest time and the
// smallest peak of the N are kept; the table gives run/floor ratios, and for
// labels of the form "<size>MB-<share>" the growth of the run between sizes.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>

#include "QORMDMetaDiffApi.h"

using namespace xercesc;

namespace {

struct Pair {
    std::string label, oldFile, newFile;
};

struct Sample {
    double seconds = 0;
    double peakMiB = 0;
};

struct Best {
    Sample floor{1e300, 1e300};
    Sample run{1e300, 1e300};
};

// Parses both documents the way cDDLXMLParser does (no namespaces, no
// validation, no DTD, a security manager) and keeps both DOMs until the end.
bool ParseBoth(const Pair& pair) {
    XMLPlatformUtils::Initialize();
    bool ok = true;
    {
        SecurityManager security;
        security.setEntityExpansionLimit(16);
        XercesDOMParser parser;
        parser.setValidationScheme(XercesDOMParser::Val_Never);
        parser.setDoNamespaces(false);
        parser.setDoSchema(false);
        parser.setLoadExternalDTD(false);
        parser.setDisableDefaultEntityResolution(true);
        parser.setCreateEntityReferenceNodes(false);
        parser.setExitOnFirstFatalError(true);
        parser.setSecurityManager(&security);
        std::vector<DOMDocument*> documents;
        for (const std::string* file : {&pair.oldFile, &pair.newFile}) {
            std::unique_ptr<XMLCh[], void (*)(XMLCh*)> path(XMLString::transcode(file->c_str()),
                                                             [](XMLCh* p) { XMLString::release(&p); });
            LocalFileInputSource source(path.get());
            parser.parse(source);
            ok = ok && parser.getErrorCount() == 0 && parser.getDocument() != nullptr;
            documents.push_back(parser.adoptDocument());
        }
        for (DOMDocument* document : documents)
            if (document) document->release();
    }
    XMLPlatformUtils::Terminate();
    return ok;
}

bool RunDiff(const Pair& pair, const std::string& diffFile) {
    const std::int32_t status = cQORMDApi::Process(ZULUnicodeString(pair.oldFile.c_str()),
                                                   ZULUnicodeString(pair.newFile.c_str()),
                                                   ZULUnicodeString(diffFile.c_str()), 1);
    std::remove(diffFile.c_str());
    return status >= 0;
}

// Runs work in a child; its time (measured in the child, around the work
// alone) comes back through a pipe, its peak memory from wait4.
bool Measure(bool (*work)(const Pair&, const std::string&), const Pair& pair, const std::string& diffFile,
             Sample& sample) {
    int channel[2];
    if (pipe(channel) != 0) return false;
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) return false;
    if (child == 0) {
        close(channel[0]);
        const auto start = std::chrono::steady_clock::now();
        const bool ok = work(pair, diffFile);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const ssize_t written = write(channel[1], &seconds, sizeof seconds);
        _exit(ok && written == static_cast<ssize_t>(sizeof seconds) ? 0 : 1);
    }
    close(channel[1]);
    double seconds = -1;
    const ssize_t got = read(channel[0], &seconds, sizeof seconds);
    close(channel[0]);
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) != child) return false;
    if (got != static_cast<ssize_t>(sizeof seconds) || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    sample.seconds = seconds;
    sample.peakMiB = static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
    return true;
}

void Keep(Sample& best, const Sample& sample) {
    best.seconds = std::min(best.seconds, sample.seconds);
    best.peakMiB = std::min(best.peakMiB, sample.peakMiB);
}

bool FloorWork(const Pair& pair, const std::string&) { return ParseBoth(pair); }

// "10MB-1%" -> size 10, share "1%"; false for other labels.
bool SplitLabel(const std::string& label, double& size, std::string& share) {
    const std::size_t dash = label.find("MB-");
    if (dash == std::string::npos) return false;
    size = std::atof(label.substr(0, dash).c_str());
    share = label.substr(dash + 3);
    return size > 0;
}

int Usage() {
    std::fprintf(stderr, "usage: QORMDBench [--reps N] [--work DIR] LABEL OLD NEW [LABEL OLD NEW ...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int reps = 3;
    std::string work = "/tmp";
    std::vector<Pair> pairs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--reps" && i + 1 < argc) {
            reps = std::atoi(argv[++i]);
        } else if (arg == "--work" && i + 1 < argc) {
            work = argv[++i];
        } else if (i + 2 < argc) {
            pairs.push_back({arg, argv[i + 1], argv[i + 2]});
            i += 2;
        } else {
            return Usage();
        }
    }
    if (pairs.empty() || reps < 1) return Usage();
    const std::string diffFile = work + "/QORMDBench-" + std::to_string(getpid()) + ".diff.xml";

    std::vector<Best> results(pairs.size());
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        for (int r = 0; r < reps; ++r) {
            Sample floor, run;
            if (!Measure(FloorWork, pairs[p], diffFile, floor) || !Measure(RunDiff, pairs[p], diffFile, run)) {
                std::fprintf(stderr, "QORMDBench: %s failed (%s, %s)\n", pairs[p].label.c_str(),
                             pairs[p].oldFile.c_str(), pairs[p].newFile.c_str());
                return 1;
            }
            Keep(results[p].floor, floor);
            Keep(results[p].run, run);
            std::fprintf(stderr, "  %-10s rep %d: floor %.3f s %.1f MiB, run %.3f s %.1f MiB\n",
                         pairs[p].label.c_str(), r + 1, floor.seconds, floor.peakMiB, run.seconds, run.peakMiB);
        }
    }

    std::printf("%-10s %9s %9s %7s %10s %10s %7s\n", "case", "floor s", "run s", "time x", "floor MiB", "run MiB",
                "mem x");
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        const Best& b = results[p];
        std::printf("%-10s %9.3f %9.3f %7.2f %10.1f %10.1f %7.2f\n", pairs[p].label.c_str(), b.floor.seconds,
                    b.run.seconds, b.run.seconds / b.floor.seconds, b.floor.peakMiB, b.run.peakMiB,
                    b.run.peakMiB / b.floor.peakMiB);
    }

    // Growth: each size against the next smaller one of the same share.
    std::map<std::string, std::map<double, const Best*>> byShare;
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        double size = 0;
        std::string share;
        if (SplitLabel(pairs[p].label, size, share)) byShare[share][size] = &results[p];
    }
    for (const auto& [share, sizes] : byShare) {
        const Best* previous = nullptr;
        double previousSize = 0;
        for (const auto& [size, best] : sizes) {
            if (previous)
                std::printf("growth %s %gMB/%gMB: run %.2f, floor %.2f (size %.1f)\n", share.c_str(), size,
                            previousSize, best->run.seconds / previous->run.seconds,
                            best->floor.seconds / previous->floor.seconds, size / previousSize);
            previous = best;
            previousSize = size;
        }
    }
    return 0;
}
