// SPDX-License-Identifier: Apache-2.0
// qormd-example-host: compares two metadata documents through the library's
// one-call entry, cQORMDApi::Process, as a program host would.
//
//   qormd-example-host OLD NEW DIFF [--write-empty]
//
// OLD may be "" to compare NEW with an empty package. --write-empty writes
// the diff file even when nothing differs. Exit status: 0 success, 1 failed
// run (its error is printed to standard error), 2 wrong arguments.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "QORMDMetaDiffApi.h"
#include "QORMetaUtil/cQORMUCallback.h"
#include "ZULBase/ZULError.h"

int main(int argc, char* argv[]) {
    const bool writeEmpty = argc == 5 && std::strcmp(argv[4], "--write-empty") == 0;
    if (argc != 4 && !writeEmpty) {
        std::fprintf(stderr, "usage: %s OLD NEW DIFF [--write-empty]\n", argv[0]);
        return 2;
    }

    const std::int32_t status = cQORMDApi::Process(argv[1], argv[2], argv[3], writeEmpty ? 1 : 0);
    if (status >= 0) return 0;

    // The error belongs to the library: print it, never release it.
    ZULError* error = ZULError::ZULGetLastError(status, nullptr);
    cQORMUCallback::PrintError(error);
    // A run that failed after reading its inputs keeps them until Terminate.
    cQORMDApi::Terminate();
    return 1;
}
