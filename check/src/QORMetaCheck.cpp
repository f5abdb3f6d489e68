// SPDX-License-Identifier: Apache-2.0
// QORMetaCheck: reads metadata documents by the rules of the diff's loader and
// prints every problem of each; with an earlier version (-Old, or -Against a
// git revision), also every change that loses data when a database is
// migrated from the diff. On standard output, one line per problem in the
// form compilers use (file:line:column: error|warning: text [rule]), or as
// SARIF or GitLab's code quality report (-Format).
// Exit status: 0 no errors (warnings allowed), 1 errors (or a document that
// could not be checked), 2 wrong arguments, a revision or pathspec that
// cannot be read, or a configuration that cannot be read.
#include <cstdio>
#include <exception>
#include <string>

#include "QORMCheckArguments.h"
#include "QORMCheckCodeQuality.h"
#include "QORMCheckRun.h"
#include "QORMCheckSarif.h"
#include "QORMConfiguration.h"
#include "QORMDVersion.h"
#include "QORMGitRepository.h"
#include "QORMPathspec.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

namespace {

enum ExitStatus { kClean = 0, kErrors = 1, kUsageError = 2 };

int Refuse(const std::string& why) {
    std::fprintf(stderr, "QORMetaCheck: %s\n", why.c_str());
    return kUsageError;
}

// Prints the problems in the form asked for: true when none is an error.
bool Print(const std::vector<cCheckedFile>& files, const cCheckArguments& arguments, const std::string& top) {
    cCheckProblem::Form form;
    form.warningsAsErrors = arguments.WarningsAsErrors();
    form.byteColumns = arguments.ByteColumns();
    bool clean = true;
    for (const cCheckedFile& file : files)
        for (const cCheckProblem& problem : file.problems) {
            if (arguments.GetFormat() == cCheckArguments::kGcc)
                std::printf("%s\n", problem.Line(file.shown, form).c_str());
            clean = clean && !problem.IsError(form);
        }
    if (arguments.GetFormat() == cCheckArguments::kSarif)
        std::fputs(cCheckSarif::Write(files, top, form).c_str(), stdout);
    if (arguments.GetFormat() == cCheckArguments::kCodeQuality)
        std::fputs(cCheckCodeQuality::Write(files, form).c_str(), stdout);
    return clean;
}

int Check(const cCheckArguments& arguments) {
    cChangePolicy policy;
    try {
        const std::string file = cConfiguration::Locate(arguments.Config(), ".");
        if (!file.empty()) policy = cConfiguration::Read(file);
    } catch (const cConfigurationError& error) {
        return Refuse(error.what());
    }
    std::vector<cCheckedFile> files;
    std::string top;
    try {
        cCheckRun run(arguments, policy);
        top = run.Top();
        files = run.Run();
    } catch (const cGitError& error) {
        return Refuse(error.what());
    } catch (const cPathspecError& error) {
        return Refuse(error.what());
    } catch (const std::exception& error) {  // memory ran out
        std::fprintf(stderr, "QORMetaCheck: the check could not finish: %s\n", error.what());
        return kErrors;
    }
    return Print(files, arguments, top) ? kClean : kErrors;
}

}  // namespace

int main(int argc, char* argv[]) {
    cCheckArguments arguments;
    switch (arguments.Parse(argc, argv)) {
        case cCheckArguments::kHelp: std::fputs(cCheckArguments::Usage(), stdout); return kClean;
        case cCheckArguments::kVersion: std::printf("MetaCheck Version: %s\n", QORMD_PACKAGE_VERSION); return kClean;
        case cCheckArguments::kWrong:
            std::fprintf(stderr, "QORMetaCheck: %s\n%s", arguments.Error().c_str(), cCheckArguments::Usage());
            return kUsageError;
        case cCheckArguments::kRun: break;
    }
    const int initialised = cDDLXMLParser::init();
    if (initialised < 0) {
        std::fprintf(stderr, "%s\n",
                     cQORMUCallback::FormatError(ZULError::ZULGetLastError(initialised, nullptr)).c_str());
        return kErrors;
    }
    const int status = Check(arguments);
    cDDLXMLParser::terminate();
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "QORMetaCheck: the problems could not be written to standard output\n");
        return kErrors;
    }
    return status;
}
