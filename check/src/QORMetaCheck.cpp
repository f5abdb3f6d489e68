// SPDX-License-Identifier: Apache-2.0
// QORMetaCheck: reads metadata documents by the rules of the diff's loader and
// prints every problem of each, one line per problem in the form compilers
// use (file:line:column: error|warning: text), on standard output.
// Exit status: 0 no errors (warnings allowed), 1 errors (or a document that
// could not be checked), 2 wrong arguments.
#include <cstdio>
#include <exception>
#include <string>

#include "QORMCheckArguments.h"
#include "QORMDDocumentCheck.h"
#include "QORMDVersion.h"
#include "QORMetaUtil/cDDLXMLParser.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

namespace {

enum ExitStatus { kClean = 0, kErrors = 1, kUsageError = 2 };

// Checks each file and prints its problems: true when none is an error.
bool CheckAll(const cCheckArguments& arguments) {
    bool clean = true;
    for (const std::string& file : arguments.Files()) {
        std::vector<cCheckProblem> problems;
        try {
            problems = cDocumentCheck::OfFile(file, arguments.ByteColumns());
        } catch (const std::exception& error) {
            problems = {{cCheckProblem::kUnreadable,
                         cCheckProblem::kError,
                         {},
                         std::string("the check could not finish: ") + error.what()}};
        }
        cCheckProblem::Form form;
        form.warningsAsErrors = arguments.WarningsAsErrors();
        form.byteColumns = arguments.ByteColumns();
        for (const cCheckProblem& problem : problems) {
            std::printf("%s\n", problem.Line(file, form).c_str());
            clean = clean && problem.severity == cCheckProblem::kWarning && !arguments.WarningsAsErrors();
        }
    }
    return clean;
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
    const bool clean = CheckAll(arguments);
    cDDLXMLParser::terminate();
    if (std::fflush(stdout) != 0) {
        std::fprintf(stderr, "QORMetaCheck: the problems could not be written to standard output\n");
        return kErrors;
    }
    return clean ? kClean : kErrors;
}
