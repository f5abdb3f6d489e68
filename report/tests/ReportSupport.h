// SPDX-License-Identifier: Apache-2.0
// Helpers of the report's tests: runs of the real program, generated
// document pairs, scratch git repositories, and the inverse of the report's
// shown form of a value.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "QORMDTestSupport.h"

// Runs the built QORMetaReport.
HostRun RunReport(const std::vector<std::string>& args, const RunOptions& options = {});

// A generated pair (bench/generate-metadata.py) in dir: old.xml and new.xml.
void GeneratePair(const TempDir& dir, double sizeMb, double changes, int seed);

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

// A value as the report shows it (plain, or quoted with escapes) back to the value.
std::string Unshown(const std::string& shown);
