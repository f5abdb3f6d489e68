// SPDX-License-Identifier: Apache-2.0
// Nothing thrown below the library's operations leaves them: memory running
// out (std::bad_alloc, Xerces' OutOfMemoryException), a Xerces or standard
// exception, anything else becomes a failure status whose error says, in
// words a user understands, what went wrong and what the run was doing.
// By the time it is built, the work that failed has been unwound and its
// memory given back.
#pragma once

#include <cstdint>

#include "ZULBase/ZULUnicodeString.h"

// The failure for the exception being handled (call it in a catch block):
// MDResourceError_1 for memory, MDUnexpectedError_1 otherwise, with doing
// ("loading", "comparing the documents"...) and, when not empty, the file
// it concerns. Never throws: without memory even for that, a failure
// carrying no error.
std::int32_t QORMDFailureFromException(const char* doing, const ZULUnicodeString& file, const char* module,
                                       int line) noexcept;

// Runs stage (returning a status); an exception leaving it becomes its failure.
template <class Stage>
std::int32_t QORMDContained(const char* const& doing, const char* module, int line, Stage&& stage) noexcept {
    try {
        return stage();
    } catch (...) {
        return QORMDFailureFromException(doing, ZULUnicodeString(), module, line);
    }
}
