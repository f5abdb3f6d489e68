// Helpers of the report's tests: runs of the real program, generated
// document pairs, and the inverse of the report's shown form of a value.
#pragma once

#include <string>
#include <vector>

#include "QORMDTestSupport.h"

// Runs the built QORMetaReport.
HostRun RunReport(const std::vector<std::string>& args, const RunOptions& options = {});

// A generated pair (bench/generate-metadata.py) in dir: old.xml and new.xml.
void GeneratePair(const TempDir& dir, double sizeMb, double changes, int seed);

// A value as the report shows it (plain, or quoted with escapes) back to the value.
std::string Unshown(const std::string& shown);
