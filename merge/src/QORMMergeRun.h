// SPDX-License-Identifier: Apache-2.0
// cMergeRun: one run of QORMetaMerge, from the command line to the exit
// status. Loads the three versions between one cDDLXMLParser::init and
// terminate, merges, prints each conflict on one line, writes.
#pragma once

#include <cstdio>

#include "QORMMergeArguments.h"

class cMergeRun {
public:
    enum ExitStatus { kMerged = 0, kConflicts = 1, kUsageError = 2, kFailed = 3 };

    // The whole program: arguments, usage, version, run.
    static int Main(int argc, const char* const argv[]);
    // A run with these arguments; conflicts and failures are printed on
    // messages (nothing when null).
    static ExitStatus Execute(const cMergeArguments& arguments, std::FILE* messages);
};
