// SPDX-License-Identifier: Apache-2.0
// On POSIX systems arguments are already bytes and streams write them as given.
#include "QORMetaUtil/QORMUProgram.h"

#include <unistd.h>

QORMUProgram::QORMUProgram(int argc, char* argv[]) : arguments_(argv, argv + argc) {
    for (std::string& argument : arguments_) pointers_.push_back(argument.data());
    pointers_.push_back(nullptr);
}

bool QORMUProgram::IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) != 0; }
