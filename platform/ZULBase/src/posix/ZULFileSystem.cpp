// SPDX-License-Identifier: Apache-2.0
// The file system on POSIX systems: file names are used byte for byte.
#include "ZULBase/ZULFileSystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

ZULFileKind ZULKindOfFile(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return ZULFileKind::kNone;
    if (S_ISREG(info.st_mode)) return ZULFileKind::kRegular;
    return S_ISDIR(info.st_mode) ? ZULFileKind::kDirectory : ZULFileKind::kOther;
}

bool ZULIsEmptyFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0;
}

bool ZULWritableDirectory(const std::string& path) {
    return ZULKindOfFile(path) == ZULFileKind::kDirectory && ::access(path.c_str(), W_OK | X_OK) == 0;
}

std::FILE* ZULOpenFile(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

ZULInputFile::ZULInputFile(const std::string& path) {
    // Opened without blocking, so that a FIFO without a writer cannot stall
    // the run: reading it then finds the end at once.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error_ = std::strerror(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error_ = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        error_ = "it is a directory, not a file";
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error_ = std::strerror(errno);
    }
    if (!error_.empty()) {
        ::close(fd);
        return;
    }
    handle_ = fd;
    regular_ = S_ISREG(info.st_mode);
    size_ = regular_ ? static_cast<std::uint64_t>(info.st_size) : 0;
}

ZULInputFile::~ZULInputFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

std::int64_t ZULInputFile::Read(void* buffer, std::size_t size) {
    if (handle_ < 0) return -1;
    for (;;) {
        const ssize_t n = ::read(static_cast<int>(handle_), buffer, size);
        if (n >= 0 || errno != EINTR) return n;
    }
}
