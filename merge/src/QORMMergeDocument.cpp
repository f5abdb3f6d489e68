// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeDocument.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "QORMDPackageLoad.h"

std::int32_t cMergeDocument::Load(const ZULUnicodeString& fileName) {
    fileName_ = fileName;
    return QORMDLoadPackage(fileName, package_);
}

bool cMergeDocument::ReadBytes(std::string& bytes) const {
    // Non-blocking: a FIFO (which the parser read as it was) must not hang the run.
    const int fd = ::open(fileName_.ConvertToChar(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat info {};
    bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    bytes.clear();
    if (ok) bytes.reserve(static_cast<std::size_t>(info.st_size));
    char buffer[1 << 16];
    while (ok) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) break;
        if (got < 0) {
            ok = false;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    return ok;
}
