#include "QORMMergeRun.h"

#include <new>
#include <string>

#include <xercesc/dom/DOMException.hpp>
#include <xercesc/util/XMLException.hpp>

#include "QORMMergeConflictLog.h"
#include "QORMMergeDocument.h"
#include "QORMMergeEngine.h"
#include "QORMMergeOutput.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

namespace {

void Say(std::FILE* to, const std::string& line) {
    if (!to) return;
    std::fprintf(to, "%s\n", line.c_str());
    std::fflush(to);
}

std::string ErrorLine(std::int32_t status) {
    return cQORMUCallback::FormatError(ZULError::ZULGetLastError(status, nullptr));
}

// Loads the three versions: 0, or the failed status.
std::int32_t LoadAll(const cMergeArguments& arguments, cMergeDocument& base, cMergeDocument& ours,
                     cMergeDocument& theirs) {
    const std::int32_t started = cDDLXMLParser::init();
    if (started < 0) return started;
    std::int32_t status = base.Load(arguments.Base());
    if (status >= 0) status = ours.Load(arguments.Ours());
    if (status >= 0) status = theirs.Load(arguments.Theirs());
    cDDLXMLParser::terminate();
    return status < 0 ? status : 0;
}

}  // namespace

int cMergeRun::Main(int argc, const char* const argv[]) {
    cMergeArguments arguments;
    switch (arguments.Parse(argc, argv)) {
        case cMergeArguments::kVersion:
            cMergeArguments::PrintVersion();
            return kMerged;
        case cMergeArguments::kHelp:
            cMergeArguments::PrintVersion();
            cMergeArguments::PrintUsage(stdout);
            return kMerged;
        case cMergeArguments::kWrong:
            std::fprintf(stderr, "QORMetaMerge: %s\n\n", arguments.Problem().c_str());
            cMergeArguments::PrintUsage(stderr);
            return kUsageError;
        case cMergeArguments::kRun:
            break;
    }
    return Execute(arguments, stderr);
}

cMergeRun::ExitStatus cMergeRun::Execute(const cMergeArguments& arguments, std::FILE* messages) {
    try {
        cMergeDocument base, ours, theirs;
        const std::int32_t loaded = LoadAll(arguments, base, ours, theirs);
        if (loaded < 0) {
            Say(messages, ErrorLine(loaded));
            return kFailed;
        }
        cMergeConflictLog log;
        cMergeEngine engine(log);
        const cMergeEngine::Outcome outcome = engine.Merge(base, ours, theirs);
        std::string failure;
        if (!cMergeOutput::Write(engine, outcome, ours, theirs, arguments.Out(), log, arguments.Conflicts(),
                                 arguments.Base(), failure)) {
            Say(messages, failure);
            return kFailed;
        }
        for (const cMergeConflict& conflict : log.Conflicts()) Say(messages, conflict.Line());
        return log.Empty() ? kMerged : kConflicts;
    } catch (const xercesc::DOMException& e) {
        Say(messages, std::string("Error QORMetaMerge: the merge stopped: ") +
                          DOMToZULUnicodeString(e.getMessage()).ConvertToChar());
    } catch (const xercesc::XMLException& e) {
        Say(messages, std::string("Error QORMetaMerge: the merge stopped: ") +
                          DOMToZULUnicodeString(e.getMessage()).ConvertToChar());
    } catch (const std::bad_alloc&) {
        Say(messages, "Error QORMetaMerge: the merge stopped: out of memory");
    }
    return kFailed;
}
