// Helpers of the merge's tests: running programs (QORMetaMerge, git, the
// diff driver) as child processes, and reading a merged document back as
// content keyed like the merge.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "QORMDTestSupport.h"

struct ProgramRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs argv[0] (a path, or a name looked up on PATH) with the rest as its
// arguments, in workDir when given, with extra "NAME=value" environment entries.
ProgramRun RunProgram(const std::vector<std::string>& argv, const std::string& workDir = "",
                      const std::vector<std::string>& environment = {});

// QORMetaMerge -Base base -Ours ours -Theirs theirs -Out out, then extra.
ProgramRun RunMerge(const std::string& base, const std::string& ours, const std::string& theirs,
                    const std::string& out, const std::vector<std::string>& extra = {});

// The elements of a metadata document keyed as the merge keys them, with
// their fields sorted by name: "Class C1" -> "Name=x Uuid=c1", and
// "Attribute C1/A1" -> ... (upper-cased Uuids). Order is left out.
std::map<std::string, std::string> Content(const std::string& path);

// The conflicts of a -Conflicts document as "Kind Uuid Field" lines, sorted.
std::vector<std::string> ConflictKeys(const std::string& path);
