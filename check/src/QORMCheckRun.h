// SPDX-License-Identifier: Apache-2.0
// cCheckRun: what QORMetaCheck checks, as its arguments say, and the problems
// of each document: the files alone (document rules); FILE against -Old; or,
// with -Against REV (the repository of the current folder, read through
// libgit2), each FILE against its version at REV, or every metadata document
// that differs between REV and the work tree. The change check itself is the
// library core's (cChangeCheck). Main and Execute are the whole program.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "QORMCheckArguments.h"
#include "QORMDChangeCheck.h"

class cGitRepository;

// One document checked and its problems.
struct cCheckedFile {
    std::string shown;  // as the lines name it: as given, or from the current folder
    std::string path;   // from the top of the repository that holds it (else the current folder), '/' between folders
    std::vector<cCheckProblem> problems;

    // A key per problem that stays the same from run to run while the problem
    // does, lines moving or not: its rule, the file and what it is about,
    // and how many such problems came before it.
    std::vector<std::string> Fingerprints() const;
};

class cCheckRun {
public:
    enum ExitStatus { kClean = 0, kErrors = 1, kUsageError = 2 };

    // The whole program: arguments, usage, version, run, on standard output and error.
    static int Main(int argc, const char* const argv[]);
    // A run with these arguments, between cDDLXMLParser::init and terminate:
    // the configuration read, every document checked, the problems appended
    // to out in the form asked for, and what stopped the run to errors.
    // Returns kClean (no error listed), kErrors (an error listed, or a run
    // that could not finish) or kUsageError (a configuration, revision or
    // pathspec that cannot be read).
    static ExitStatus Execute(const cCheckArguments& arguments, std::string& out, std::string& errors);

    cCheckRun(const cCheckArguments& arguments, const cChangePolicy& policy);
    ~cCheckRun();

    // Checks every document. Throws cGitError for a repository or revision
    // that cannot be read, cPathFilterError for a -Path git refuses.
    std::vector<cCheckedFile> Run();
    // The top of the repository of the current folder (ending with '/'), else the current folder.
    const std::string& Top() const { return top_; }

private:
    // One document: its versions checked, its problems read without the comparison.
    cCheckedFile Check(const cCheckVersion& old, const cCheckVersion& now, bool deleted, const std::string& shown,
                       const std::string& path);
    std::vector<cCheckedFile> Against();
    // file's path from the top (or the current folder).
    std::string PathOf(const std::string& file) const;

    const cCheckArguments& arguments_;
    cChangeCheck check_;
    std::unique_ptr<cGitRepository> repository_;  // of the current folder, when there is one
    std::string top_;
};
