// SPDX-License-Identifier: Apache-2.0
// Checks of the merge shared by its tests and its fuzzer (no test framework).
#pragma once

#include <string>

// Merges the files base (empty: none), ours and theirs in this process and,
// when the merged file is spliced from the sources, parses it (in folder)
// and compares it with the merge's result document. Returns "" when they
// are the same (or the versions do not load), else where they differ.
std::string QORMMCheckSplice(const std::string& folder, const std::string& base, const std::string& ours,
                             const std::string& theirs);

// text (a file with conflict markers, line ends "\n" or "\r\n") with each
// block resolved to one of its sections: 0 ours, 1 base, 2 theirs.
std::string QORMMResolved(const std::string& text, int section);
