// SPDX-License-Identifier: Apache-2.0
#include "QORMRRangeReport.h"

#include <algorithm>

const char* cRangeFile::Word(Change change) {
    static const char* const kWords[] = {"added", "deleted", "modified", "renamed"};
    return kWords[change];
}

bool cRangeReport::AllLoaded() const {
    return std::all_of(files.begin(), files.end(), [](const cRangeFile& file) { return file.loaded; });
}

std::vector<std::string> cRangeFailure::Lines() const {
    std::vector<std::string> lines;
    for (const cCheckProblem& problem : problems) lines.push_back(problem.Line(path, {}));
    return lines;
}
