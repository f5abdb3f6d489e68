// SPDX-License-Identifier: Apache-2.0
// QORMDBench: measures a whole diff run against two floors of parsing.
//
//   QORMDBench [--reps N] [--work DIR] LABEL OLD NEW [LABEL OLD NEW ...]
//   QORMDBench --once stock|tuned|run [--work DIR] LABEL OLD NEW
//
// --once does one measurement in this process and prints nothing: a
// command to time or profile from outside.
//
// For each pair it measures, N times and interleaved:
//   stock  Xerces parses both documents into DOM (set up like the library's
//          parser) and serializes the new one, with Xerces' default memory
//          manager: what anyone would write;
//   tuned  the same with all memory from a QORMUArena: the limit with this parser;
//   run    cQORMDApi::Process loads, compares and writes the diff.
// Every measurement runs in a child process of its own, so that its peak
// resident memory (ru_maxrss from wait4) is its own. The fastest time and the
// smallest peak of the N are kept; the table gives the run's ratios to both
// floors, and for labels of the form "<size>MB-<share>" the growth between sizes.
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

#include <xercesc/dom/DOM.hpp>
#include <xercesc/framework/LocalFileFormatTarget.hpp>
#include <xercesc/framework/LocalFileInputSource.hpp>
#include <xercesc/parsers/XercesDOMParser.hpp>
#include <xercesc/util/PlatformUtils.hpp>
#include <xercesc/util/SecurityManager.hpp>

#include "QORMDMetaDiffApi.h"
#include "QORMetaUtil/QORMUArena.h"

using namespace xercesc;

namespace {

struct Pair {
    std::string label, oldFile, newFile;
};

struct Sample {
    double seconds = 1e300;
    double peakMiB = 1e300;
};

enum Kind { kStock, kTuned, kRun, kKinds };
const char* const kKindNames[kKinds] = {"stock", "tuned", "run"};

using Best = Sample[kKinds];

XMLCh* Transcode(const std::string& text) { return XMLString::transcode(text.c_str()); }

// Parses both documents the way cDDLXMLParser does (no namespaces, no
// validation, no DTD, a security manager), keeps both DOMs until the end and
// serializes the new one to outFile, indented UTF-8 like the diff. All
// memory comes from memory.
bool ParseBothAndWriteOne(const Pair& pair, const std::string& outFile, MemoryManager* memory) {
    bool ok = true;
    {
        SecurityManager security;
        security.setEntityExpansionLimit(16);
        XercesDOMParser parser(nullptr, memory);
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
            XMLCh* path = Transcode(*file);
            LocalFileInputSource source(path, memory);
            XMLString::release(&path);
            parser.parse(source);
            ok = ok && parser.getErrorCount() == 0 && parser.getDocument() != nullptr;
            documents.push_back(parser.adoptDocument());
        }
        if (ok) {
            static const XMLCh kLS[] = {u'L', u'S', 0};
            DOMImplementation* implementation = DOMImplementationRegistry::getDOMImplementation(kLS);
            DOMLSSerializer* serializer = implementation->createLSSerializer(memory);
            DOMLSOutput* output = implementation->createLSOutput(memory);
            serializer->getDomConfig()->setParameter(XMLUni::fgDOMWRTFormatPrettyPrint, true);
            XMLCh* path = Transcode(outFile);
            LocalFileFormatTarget target(path, memory);
            XMLString::release(&path);
            output->setByteStream(&target);
            ok = serializer->write(documents.back(), output);
            output->release();
            serializer->release();
        }
        for (DOMDocument* document : documents)
            if (document) document->release();
    }
    std::remove(outFile.c_str());
    return ok;
}

bool StockFloor(const Pair& pair, const std::string& outFile) {
    XMLPlatformUtils::Initialize();
    const bool ok = ParseBothAndWriteOne(pair, outFile, XMLPlatformUtils::fgMemoryManager);
    XMLPlatformUtils::Terminate();
    return ok;
}

bool TunedFloor(const Pair& pair, const std::string& outFile) {
    XMLPlatformUtils::Initialize();
    bool ok;
    {
        QORMUArena arena;
        ok = ParseBothAndWriteOne(pair, outFile, &arena);
    }
    XMLPlatformUtils::Terminate();
    return ok;
}

bool RunDiff(const Pair& pair, const std::string& diffFile) {
    const std::int32_t status =
        cQORMDApi::Process(ZULUnicodeString(pair.oldFile.c_str()), ZULUnicodeString(pair.newFile.c_str()),
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

// "10MB-1%" -> size 10, share "1%"; false for other labels.
bool SplitLabel(const std::string& label, double& size, std::string& share) {
    const std::size_t dash = label.find("MB-");
    if (dash == std::string::npos) return false;
    size = std::atof(label.substr(0, dash).c_str());
    share = label.substr(dash + 3);
    return size > 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: QORMDBench [--reps N] [--work DIR] LABEL OLD NEW [LABEL OLD NEW ...]\n"
                 "       QORMDBench --once stock|tuned|run [--work DIR] LABEL OLD NEW\n");
    return 2;
}

void PrintTable(const std::vector<Pair>& pairs, const std::vector<Best>& results) {
    std::printf(
        "| pair | stock s | tuned s | run s | run/stock | run/tuned | stock MiB | tuned MiB | run MiB | "
        "run/stock mem |\n|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        const Best& b = results[p];
        std::printf("| %s | %.3f | %.3f | %.3f | %.2f | %.2f | %.1f | %.1f | %.1f | %.2f |\n", pairs[p].label.c_str(),
                    b[kStock].seconds, b[kTuned].seconds, b[kRun].seconds, b[kRun].seconds / b[kStock].seconds,
                    b[kRun].seconds / b[kTuned].seconds, b[kStock].peakMiB, b[kTuned].peakMiB, b[kRun].peakMiB,
                    b[kRun].peakMiB / b[kStock].peakMiB);
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
                std::printf("growth %s %gMB/%gMB (size x%.1f): run %.2f, stock %.2f, tuned %.2f\n", share.c_str(), size,
                            previousSize, size / previousSize, (*best)[kRun].seconds / (*previous)[kRun].seconds,
                            (*best)[kStock].seconds / (*previous)[kStock].seconds,
                            (*best)[kTuned].seconds / (*previous)[kTuned].seconds);
            previous = best;
            previousSize = size;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    int reps = 3;
    int once = -1;
    std::string work = "/tmp";
    std::vector<Pair> pairs;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--reps" && i + 1 < argc) {
            reps = std::atoi(argv[++i]);
        } else if (arg == "--once" && i + 1 < argc) {
            const std::string kind = argv[++i];
            for (int k = 0; k < kKinds; ++k)
                if (kind == kKindNames[k]) once = k;
            if (once < 0) return Usage();
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
    const std::string outFile = work + "/QORMDBench-" + std::to_string(getpid()) + ".out.xml";
    bool (*const measured[kKinds])(const Pair&, const std::string&) = {StockFloor, TunedFloor, RunDiff};
    if (once >= 0) return pairs.size() == 1 && measured[once](pairs[0], outFile) ? 0 : 1;

    std::vector<Best> results(pairs.size());
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        for (int r = 0; r < reps; ++r) {
            std::fprintf(stderr, "  %-10s rep %d:", pairs[p].label.c_str(), r + 1);
            for (int k = 0; k < kKinds; ++k) {
                Sample sample;
                if (!Measure(measured[k], pairs[p], outFile, sample)) {
                    std::fprintf(stderr, "\nQORMDBench: %s %s failed (%s, %s)\n", kKindNames[k], pairs[p].label.c_str(),
                                 pairs[p].oldFile.c_str(), pairs[p].newFile.c_str());
                    return 1;
                }
                Keep(results[p][k], sample);
                std::fprintf(stderr, " %s %.3f s %.1f MiB", kKindNames[k], sample.seconds, sample.peakMiB);
            }
            std::fprintf(stderr, "\n");
        }
    }
    PrintTable(pairs, results);
    return 0;
}
