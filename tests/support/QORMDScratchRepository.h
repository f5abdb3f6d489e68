// SPDX-License-Identifier: Apache-2.0
// Scratch git repositories for the tests of the programs that read them
// (the range report, the check against a revision).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "QORMDTestSupport.h"

// A git repository in a temporary folder (branch main), run with the git
// program without the machine's or the user's configuration.
class ScratchRepository {
public:
    ScratchRepository();
    const std::string& path() const { return dir_.path(); }
    // git args in the repository; a failure of the calling test when it does
    // not exit with expected.
    HostRun Git(const std::vector<std::string>& args, int expected = 0) const;
    // Writes files (path: content) and removes removed (paths), then commits
    // everything with message; returns the commit's id.
    std::string Commit(const std::map<std::string, std::string>& files, const std::string& message,
                       const std::vector<std::string>& removed = {}) const;

private:
    TempDir dir_;
};
