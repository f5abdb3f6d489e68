// SPDX-License-Identifier: Apache-2.0
// cMergeArguments: the command line of QORMetaMerge.
//   QORMetaMerge -Base base.xml -Ours ours.xml -Theirs theirs.xml -Out merged.xml
//                [-Conflicts conflicts.xml] [-Markers [-Labels ours,base,theirs]]
//   QORMetaMerge -v | -h
#pragma once

#include <cstdio>
#include <string>

#include "QORMMergeMarkers.h"
#include "ZULBase/ZULUnicodeString.h"

class cMergeArguments {
public:
    enum Outcome { kRun, kVersion, kHelp, kWrong };

    // Reads argv; on kWrong, Problem() says what is wrong.
    Outcome Parse(int argc, const char* const argv[]);

    const ZULUnicodeString& Base() const { return base_; }
    const ZULUnicodeString& Ours() const { return ours_; }
    const ZULUnicodeString& Theirs() const { return theirs_; }
    const ZULUnicodeString& Out() const { return out_; }
    // Empty when no conflicts file is asked for.
    const ZULUnicodeString& Conflicts() const { return conflicts_; }
    // Whether the merged file gets conflict markers, and their labels.
    bool Markers() const { return markers_; }
    const cMergeMarkers::Labels& Labels() const { return labels_; }
    const std::string& Problem() const { return problem_; }

    static void PrintVersion();
    // The usage text: on standard output for -h, on standard error for wrong arguments.
    static void PrintUsage(std::FILE* to);

private:
    // Reads "ours,base,theirs" (git's %X,%S,%Y); false when it is not three labels.
    bool ReadLabels(const std::string& text);

    ZULUnicodeString base_, ours_, theirs_, out_, conflicts_, labelsText_;
    bool markers_ = false;
    cMergeMarkers::Labels labels_;
    std::string problem_;
};
