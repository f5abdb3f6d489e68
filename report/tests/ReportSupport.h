// SPDX-License-Identifier: Apache-2.0
// Helpers of the report's tests: runs of the real program, generated
// document pairs, scratch git repositories, and the inverse of the report's
// shown form of a value.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "QORMDScratchRepository.h"
#include "QORMDTestSupport.h"

// Runs the built QORMetaReport.
HostRun RunReport(const std::vector<std::string>& args, const RunOptions& options = {});

// A generated pair (bench/generate-metadata.py) in dir: old.xml and new.xml.
void GeneratePair(const TempDir& dir, double sizeMb, double changes, int seed);

// A value as the report shows it (plain, or quoted with escapes) back to the value.
std::string Unshown(const std::string& shown);
