// Helpers of the report's tests: runs of the real programs, generated
// document pairs, and the inverse of the report's shown form of a value.
#pragma once

#include <string>
#include <vector>

#include "QORMDTestSupport.h"

struct ProgramRun {
    int exitStatus = -1;
    std::string out;
    std::string err;
};

// Runs program (a path, or a name looked up on the PATH) with args and extra
// environment entries "NAME=value"; terminal: standard output is a
// pseudo-terminal (its output then has \r\n line ends).
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::vector<std::string>& environment = {}, bool terminal = false);
// Runs the built QORMetaReport.
ProgramRun RunReport(const std::vector<std::string>& args, const std::vector<std::string>& environment = {},
                     bool terminal = false);

// A generated pair (bench/generate-metadata.py) in dir: old.xml and new.xml.
void GeneratePair(const TempDir& dir, double sizeMb, double changes, int seed);

// A value as the report shows it (plain, or quoted with escapes) back to the value.
std::string Unshown(const std::string& shown);
// The content of the code span that text starts with (after blanks); rest gets what follows it.
std::string CodeSpan(const std::string& text, std::string* rest = nullptr);
