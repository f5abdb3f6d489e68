// SPDX-License-Identifier: Apache-2.0
// File helpers of the tests and of the fuzz cases (which the tests replay):
// whole files written and read back, a folder's entries, and whether a
// namespace-aware parser reads a file. No test framework: the fuzzers link
// them too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

// Writes exactly those bytes to path (created or truncated); false on failure.
bool QORMDWriteFile(const std::string& path, const std::uint8_t* data, std::size_t size);
inline bool QORMDWriteFile(const std::string& path, const std::string& bytes) {
    return QORMDWriteFile(path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}
// The file's bytes; false when it cannot be read.
bool QORMDReadFile(const std::string& path, std::string& bytes);
// The names in folder, "." and ".." left out.
std::set<std::string> QORMDEntries(const std::string& folder);
// The first error a namespace-aware parser (as most XML libraries are)
// finds in path, as "line N: message"; empty when it reads the file.
std::string QORMDNamespaceError(const std::string& path);
