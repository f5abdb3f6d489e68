// SPDX-License-Identifier: Apache-2.0
#include "QORMRRangeReport.h"

#include <algorithm>

#include "QORMSameFile.h"

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

std::string cRangeReport::InputNamed(const std::string& file) const {
    if (workTree.empty()) return {};
    for (const cRangeFile& document : files)
        for (const std::string* path : {&document.path, &document.oldPath})
            if (!path->empty() && QORMSameFile(file, workTree + *path)) return *path;
    std::error_code failed;
    const std::filesystem::path named = QORMResolvedPath(file, failed);
    if (failed || named.filename() != ".gitattributes") return {};
    const std::filesystem::path top =
        QORMResolvedPath(std::filesystem::u8path(workTree).parent_path().u8string(), failed);
    if (failed) return {};
    const std::filesystem::path inside = named.lexically_relative(top);
    if (inside.empty() || *inside.begin() == "..") return {};
    return inside.generic_u8string();
}
