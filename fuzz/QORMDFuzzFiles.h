// File helpers of the fuzz cases (QORMDFuzzCase, QORMMergeFuzzCase): whole
// files written and read back, a folder's entries, and whether a
// namespace-aware parser reads a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>

// Writes exactly those bytes to path (created or truncated); false on failure.
bool QORMDFuzzWriteFile(const std::string& path, const std::uint8_t* data, std::size_t size);
inline bool QORMDFuzzWriteFile(const std::string& path, const std::string& bytes) {
    return QORMDFuzzWriteFile(path, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}
// The file's bytes; false when it cannot be read.
bool QORMDFuzzReadFile(const std::string& path, std::string& bytes);
// The names in folder, "." and ".." left out.
std::set<std::string> QORMDFuzzEntries(const std::string& folder);
// Whether a namespace-aware parser, as most XML libraries are, reads path
// without an error.
bool QORMDFuzzNamespaceWellFormed(const std::string& path);
