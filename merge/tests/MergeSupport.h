// SPDX-License-Identifier: Apache-2.0
// Helpers of the merge's tests: runs of QORMetaMerge, and a merged document
// read back as content keyed like the merge.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "QORMDTestSupport.h"

// QORMetaMerge -Base base -Ours ours -Theirs theirs -Out out, then extra.
HostRun RunMerge(const std::string& base, const std::string& ours, const std::string& theirs, const std::string& out,
                 const std::vector<std::string>& extra = {});

// text with each (from, to) replaced once; each from must be there.
std::string Edit(std::string text, const std::vector<std::pair<std::string, std::string>>& edits);

// The elements of a metadata document keyed as the merge keys them, with
// their fields sorted by name: "Class C1" -> "Name=x Uuid=c1", and
// "Attribute C1/A1" -> ... (upper-cased Uuids). Order is left out.
std::map<std::string, std::string> Content(const std::string& path);

// The conflicts of a -Conflicts document as "Kind Uuid Field" lines, sorted.
std::vector<std::string> ConflictKeys(const std::string& path);
