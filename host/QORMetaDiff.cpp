// SPDX-License-Identifier: Apache-2.0
// QORMetaDiff: the command-line host of the metadata diff library.
// Exit status: 0 on success and for -v / -h, 2 for a command-line error,
// 1 for a failed run.
#include <cstdio>
#include <cstring>

#include "QORMDHostTraces.h"
#include "QORMDMetaDiffApi.h"
#include "QORMetaUtil/QORMUProgram.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

namespace {

enum ExitStatus { kSuccess = 0, kRunFailed = 1, kUsageError = 2 };

bool IsCommandLineError(const ZULError* error) { return error && error->GetMessageId().rfind("MDInputError_", 0) == 0; }

void Print(std::int32_t status) {
    ZULError* error = ZULError::ZULGetLastError(status, nullptr);
    cQORMUCallback::PrintError(error);
}

int Run(int argc, char* argv[]) {
    const QORMDHostTraces traces;
    int exitStatus = kSuccess;
    const std::int32_t initStatus = cQORMDApi::Initialize(argc, argv);
    if (initStatus < 0) {
        const ZULError* error = ZULError::ZULGetLastError(initStatus, nullptr);
        if (!error || error->GetErrorType() != kZULErrorTypeInformation) {
            Print(initStatus);
            exitStatus = IsCommandLineError(error) ? kUsageError : kRunFailed;
        }
    } else {
        const std::int32_t runStatus = cQORMDApi::ProcessMetaDiff();
        if (runStatus < 0) {
            Print(runStatus);
            traces.PrintRecent();
            exitStatus = kRunFailed;
        }
    }
    const std::int32_t endStatus = cQORMDApi::Terminate();
    if (endStatus < 0) {
        Print(endStatus);
        exitStatus = kRunFailed;
    }
    return exitStatus;
}

}  // namespace

int main(int argc, char* argv[]) {
    // The library throws nothing; the host's own printing and traces may
    // still find no memory left.
    try {
        QORMUProgram program(argc, argv);
        return Run(program.argc(), program.argv());
    } catch (...) {
        std::fputs("Error: the run failed: there was not enough memory left to go on.\n", stderr);
        return kRunFailed;
    }
}
