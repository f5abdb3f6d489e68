// SPDX-License-Identifier: Apache-2.0
// The file system as every program here sees it, on any system. File names
// are UTF-8 strings: their bytes as given on POSIX systems, UTF-16 at every
// Windows call (bytes that are not UTF-8 keep their lossless form, see
// ZULUnicodeString). Errors are texts for people, as strerror gives them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

enum class ZULFileKind { kNone, kRegular, kDirectory, kOther };

// What path names (a symbolic link is followed); kNone when nothing is there
// or it cannot be seen.
ZULFileKind ZULKindOfFile(const std::string& path);
// Whether the regular file path holds no byte.
bool ZULIsEmptyFile(const std::string& path);
// Whether path is a directory in which this process may create files.
bool ZULWritableDirectory(const std::string& path);
// std::fopen for a UTF-8 file name; null with errno set on failure.
std::FILE* ZULOpenFile(const std::string& path, const char* mode);

// A file open for reading. A directory is refused; a FIFO without a writer
// does not block the opening (reading it finds the end at once).
class ZULInputFile {
public:
    explicit ZULInputFile(const std::string& path);
    ~ZULInputFile();
    ZULInputFile(const ZULInputFile&) = delete;
    ZULInputFile& operator=(const ZULInputFile&) = delete;

    // Empty when the file is open; else why it is not.
    const std::string& Error() const { return error_; }
    bool IsRegular() const { return regular_; }
    // The size a regular file had when opened.
    std::uint64_t Size() const { return size_; }
    // Reads up to size bytes: how many, 0 at the end, -1 on failure.
    std::int64_t Read(void* buffer, std::size_t size);

private:
    std::intptr_t handle_ = -1;  // a descriptor, or a Windows HANDLE
    bool regular_ = false;
    std::uint64_t size_ = 0;
    std::string error_;
};
