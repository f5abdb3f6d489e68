// SPDX-License-Identifier: Apache-2.0
// QORMetaReport: a report of what changed between two versions of a metadata
// document, for people: text (terminals, git), markdown (pull requests) or
// HTML (reviews). Same loading and comparison as the diff host; the changes
// that QORMetaCheck's change rules flag on that comparison are marked, as
// the team's configuration (.qormeta.toml) sets the rules.
// Exit status: 0 report written (also when nothing differs), 1 failed run
// (nothing written), 2 wrong arguments or a configuration that cannot be read.

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "QORMConfiguration.h"
#include "QORMDVersion.h"
#include "QORMPathFilter.h"
#include "QORMRArguments.h"
#include "QORMRComparison.h"
#include "QORMRHtmlWriter.h"
#include "QORMRMarkdownWriter.h"
#include "QORMRRangeReportBuilder.h"
#include "QORMRReportBuilder.h"
#include "QORMRTextWriter.h"
#include "QORMSameFile.h"
#include "QORMetaUtil/QORMUPrintableLine.h"
#include "QORMetaUtil/QORMUProgram.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

namespace {

enum ExitStatus { kSuccess = 0, kRunFailed = 1, kUsageError = 2 };

int Fail(const std::string& line) {
    std::fprintf(stderr, "%s\n", QORMUPrintableLine(line).c_str());
    return kRunFailed;
}

// Wrong arguments, or a range that cannot be read as asked: nothing written.
int WrongRun(const std::string& why) {
    std::fprintf(stderr, "QORMetaReport: %s\n", QORMUPrintableLine(why).c_str());
    return kUsageError;
}

int FailWith(std::int32_t status) {
    return Fail(cQORMUCallback::FormatError(ZULError::ZULGetLastError(status, nullptr)));
}

// Colour only for a person at a terminal who did not ask for none.
bool UseColour(const cReportArguments& arguments) {
    const char* noColour = std::getenv("NO_COLOR");
    return arguments.GetFormat() == cReportArguments::kText && arguments.OutFile().empty() &&
           QORMUProgram::IsTerminal(stdout) && !(noColour && *noColour);
}

// A document's report (cReport) or a revision range's (cRangeReport).
template <class Report>
std::string Render(const Report& report, const cReportArguments& arguments) {
    switch (arguments.GetFormat()) {
        case cReportArguments::kMarkdown: return cMarkdownWriter().Write(report);
        case cReportArguments::kHtml: return cHtmlWriter().Write(report);
        case cReportArguments::kText: break;
    }
    return cTextWriter(UseColour(arguments)).Write(report);
}

int Run(const cReportArguments& arguments) {
    // The team's decisions about the change rules, as the check reads them.
    cChangePolicy policy;
    try {
        const std::string file = cConfiguration::Locate(arguments.Config(), ".");
        if (!file.empty() && !arguments.OutFile().empty() && QORMSameFile(arguments.OutFile(), file))
            return WrongRun("-Out names the configuration \"" + file + "\"; the report would replace it");
        if (!file.empty()) policy = cConfiguration::Read(file);
    } catch (const cConfigurationError& error) {
        return WrongRun(error.what());
    }
    std::string output;
    int status = kSuccess;
    if (arguments.GitRange().empty()) {
        cReportComparison comparison(ZULUnicodeString(arguments.OldFile().c_str()),
                                     ZULUnicodeString(arguments.NewFile().c_str()));
        const std::int32_t compared = comparison.Run();
        if (compared < 0) return Fail(comparison.FailureLine(compared));
        const cReport report =
            cReportBuilder(comparison.Result(), arguments.OldFile(), arguments.NewFile(), policy).Build();
        output = Render(report, arguments);
    } else {
        std::unique_ptr<cRangeReportBuilder> builder;
        try {
            builder = std::make_unique<cRangeReportBuilder>(".", arguments.GitRange(), policy);
        } catch (const cGitError& error) {
            return WrongRun(error.what());
        }
        cRangeReport range;
        try {
            range = builder->Build(arguments.Paths());
        } catch (const cPathFilterError& error) {
            return WrongRun(error.what());
        }
        const std::string input = arguments.OutFile().empty() ? "" : range.InputNamed(arguments.OutFile());
        if (!input.empty())
            return WrongRun("-Out names \"" + input +
                            "\", a file of the work tree that the range reads; the report would replace it");
        output = Render(range, arguments);
        status = range.AllLoaded() ? kSuccess : kRunFailed;
    }
    if (!arguments.OutFile().empty()) {
        const int written = cDDLXMLParser::writeFile(output, ZULUnicodeString(arguments.OutFile().c_str()));
        return written < 0 ? FailWith(written) : status;
    }
    if (std::fwrite(output.data(), 1, output.size(), stdout) != output.size() || std::fflush(stdout) != 0)
        return Fail("Error: the report could not be written to standard output.");
    return status;
}

}  // namespace

int main(int argc, char* argv[]) {
    QORMUProgram program(argc, argv);
    cReportArguments arguments;
    switch (arguments.Parse(program.argc(), program.argv())) {
        case cReportArguments::kHelp: std::fputs(cReportArguments::Usage(), stdout); return kSuccess;
        case cReportArguments::kVersion:
            std::printf("MetaReport Version: %s\n", QORMD_PACKAGE_VERSION);
            return kSuccess;
        case cReportArguments::kWrong:
            std::fprintf(stderr, "QORMetaReport: %s\n%s", QORMUPrintableLine(arguments.Error()).c_str(),
                         cReportArguments::Usage());
            return kUsageError;
        case cReportArguments::kRun: break;
    }
    try {
        return Run(arguments);
    } catch (const std::exception& error) {
        return Fail(std::string("Error: the report could not be made: ") + error.what());
    }
}
