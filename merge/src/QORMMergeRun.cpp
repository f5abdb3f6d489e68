// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeRun.h"

#include <exception>
#include <new>
#include <string>

#include <xercesc/dom/DOMException.hpp>
#include <xercesc/util/XMLException.hpp>

#include "QORMMergeConflictLog.h"
#include "QORMMergeDocument.h"
#include "QORMMergeEngine.h"
#include "QORMMergeOutput.h"
#include "QORMMergeText.h"
#include "QORMetaUtil/QORMUDomString.h"
#include "QORMetaUtil/QORMUPrintableLine.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"
#include "ZULBase/ZULFileSystem.h"

namespace {

// One line, whatever the names in it hold (QORMUPrintableLine).
void Say(std::FILE* to, const std::string& line) {
    if (!to) return;
    std::fprintf(to, "%s\n", QORMUPrintableLine(line).c_str());
    std::fflush(to);
}

std::string ErrorLine(std::int32_t status) {
    return cQORMUCallback::FormatError(ZULError::ZULGetLastError(status, nullptr));
}

// Whether the base file is empty: git's base when both branches added the
// file (no common version).
bool EmptyFile(const ZULUnicodeString& name) { return ZULIsEmptyFile(name.ConvertToChar()); }

// Loads the versions (base null: none): 0, or the failed status.
std::int32_t LoadAll(const cMergeArguments& arguments, cMergeDocument* base, cMergeDocument& ours,
                     cMergeDocument& theirs) {
    const std::int32_t started = cDDLXMLParser::init();
    if (started < 0) return started;
    std::int32_t status = base ? base->Load(arguments.Base()) : 0;
    if (status >= 0) status = ours.Load(arguments.Ours());
    if (status >= 0) status = theirs.Load(arguments.Theirs());
    cDDLXMLParser::terminate();
    return status < 0 ? status : 0;
}

}  // namespace

int cMergeRun::Main(int argc, const char* const argv[]) {
    cMergeArguments arguments;
    switch (arguments.Parse(argc, argv)) {
        case cMergeArguments::kVersion: cMergeArguments::PrintVersion(); return kMerged;
        case cMergeArguments::kHelp:
            cMergeArguments::PrintVersion();
            cMergeArguments::PrintUsage(stdout);
            return kMerged;
        case cMergeArguments::kWrong:
            std::fprintf(stderr, "QORMetaMerge: %s\n\n", QORMUPrintableLine(arguments.Problem()).c_str());
            cMergeArguments::PrintUsage(stderr);
            return kUsageError;
        case cMergeArguments::kRun: break;
    }
    return Execute(arguments, stderr);
}

cMergeRun::ExitStatus cMergeRun::Execute(const cMergeArguments& arguments, std::FILE* messages) {
    const std::string stopped = "Error QORMetaMerge: the merge stopped: ";
    try {
        cMergeDocument loaded[3];
        cMergeDocument* base = EmptyFile(arguments.Base()) ? nullptr : &loaded[0];
        cMergeDocument& ours = loaded[1];
        cMergeDocument& theirs = loaded[2];
        const std::int32_t status = LoadAll(arguments, base, ours, theirs);
        if (status < 0) {
            Say(messages, ErrorLine(status));
            return kFailed;
        }
        cMergeText text;
        text.Read(base, ours, theirs);  // before the merge changes ours' document
        cMergeConflictLog log;
        cMergeEdits edits;
        cMergeEngine engine(log, edits);
        engine.UseSources(text.Base(), text.Ours(), text.Theirs());
        // A side that left the file as it was gives the other side's bytes.
        cMergeEngine::Outcome outcome = text.Untouched();
        if (outcome == cMergeEngine::kBuilt) outcome = engine.Merge(base, ours, theirs);
        std::string merged = text.Make(outcome, engine, ours, theirs);
        if (arguments.Markers() && !log.Empty()) merged = text.Marked(merged, engine, arguments.Labels());

        cMergeOutput output;
        output.Add(arguments.Out(), std::move(merged));
        if (!arguments.Conflicts().IsEmpty()) {
            const DOM_Document document = log.BuildDocument(arguments.Base(), ours.FileName(), theirs.FileName());
            output.Add(arguments.Conflicts(), cMergeOutput::Serialized(document.get()));
        }
        std::string failure;
        if (!output.Write(failure)) {
            Say(messages, failure);
            return kFailed;
        }
        for (const cMergeConflict& conflict : log.Conflicts()) Say(messages, conflict.Line());
        return log.Empty() ? kMerged : kConflicts;
    } catch (const xercesc::DOMException& e) {
        Say(messages, stopped + DOMToZULUnicodeString(e.getMessage()).ConvertToChar());
    } catch (const xercesc::XMLException& e) {
        Say(messages, stopped + DOMToZULUnicodeString(e.getMessage()).ConvertToChar());
    } catch (const std::bad_alloc&) {
        Say(messages, stopped + "out of memory");
    } catch (const std::exception& e) {
        Say(messages, stopped + e.what());
    } catch (...) {
        Say(messages, stopped + "an unexpected failure");
    }
    return kFailed;
}
