// SPDX-License-Identifier: Apache-2.0
// The report of a revision range: every metadata document that the range
// changed, in path order, each with its own report (cReport) or, when a
// version of it does not load, that version's problems. Built by
// cRangeReportBuilder, written by the text, markdown and HTML writers
// (cTextWriter, cMarkdownWriter, cHtmlWriter), each in its Write(cRangeReport).
#pragma once

#include <string>
#include <vector>

#include "QORMDCheckProblem.h"
#include "QORMRReport.h"

// A version of a file that does not load, and why.
struct cRangeFailure {
    std::string version;                  // rev:path, as git names a file's version
    std::string path;                     // the file's path in that version
    std::vector<cCheckProblem> problems;  // its errors

    // Its errors as the check prints them: path:line:column: error: message
    std::vector<std::string> Lines() const;
};

struct cRangeFile {
    enum Change { kAdded, kDeleted, kModified, kRenamed };

    Change change = kModified;
    std::string path;     // at the range's end; a deleted file's at its start
    std::string oldPath;  // kRenamed: at the range's start
    bool loaded = false;
    cReport report;                       // loaded: the changes from the old version to the new one
    std::vector<cRangeFailure> failures;  // not loaded

    // "added", "deleted", "modified", "renamed".
    static const char* Word(Change change);
};

struct cRangeReport {
    std::string range;  // as given
    std::string from;   // the range's ends: their names and short ids
    std::string to;
    std::string workTree;  // the repository's work tree, ending with '/'; empty when it has none
    std::vector<cRangeFile> files;

    // True when every file loaded.
    bool AllLoaded() const;
    // The work tree's file that file names, when it is one of the documents
    // (at either end) or a .gitattributes, which says which files are
    // documents: its path in the work tree, else empty.
    std::string InputNamed(const std::string& file) const;
};
