// SPDX-License-Identifier: Apache-2.0
// What every program does first, the same on every system: main makes one
// QORMUProgram and reads its arguments from it, in UTF-8. Its standard
// output and error then write bytes as they are given: UTF-8 text with LF
// line ends, as on Linux. On Windows the arguments come from the UTF-16
// command line, and a console shows UTF-8 while the program runs (its code
// page is set back when the program ends).
#pragma once

#include <cstdio>
#include <string>
#include <vector>

class QORMUProgram {
public:
    QORMUProgram(int argc, char* argv[]);
    QORMUProgram(const QORMUProgram&) = delete;
    QORMUProgram& operator=(const QORMUProgram&) = delete;

    int argc() const { return static_cast<int>(arguments_.size()); }
    // argv()[argc()] is null, as main's.
    char** argv() { return pointers_.data(); }

    // Whether stream is a terminal (on Windows, a console).
    static bool IsTerminal(std::FILE* stream);

private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;
};
