// File helpers of the fuzz cases (QORMDFuzzCase, QORMMergeFuzzCase) and the
// tests: whole
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
// The first error a namespace-aware parser (as most XML libraries are)
// finds in path, as "line N: message"; empty when it reads the file.
std::string QORMDNamespaceError(const std::string& path);

// The set-up of a fuzzer process: a case folder of its own under TMPDIR (or
// /tmp), removed when the process ends normally (a crash keeps it); printed
// errors silenced, as every other input is refused; one Xerces use for the
// whole process, so that runs do not restart the library. Returns the folder.
const std::string& QORMDFuzzSetUp(const std::string& name);
// Aborts, so that libFuzzer keeps the input, when problem is not empty.
void QORMDFuzzCheck(const char* fuzzer, const std::string& problem);
