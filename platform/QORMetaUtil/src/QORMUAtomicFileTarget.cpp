// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUAtomicFileTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

QORMUAtomicFileTarget::QORMUAtomicFileTarget(const std::string& target) : target_(target) {
    struct stat info {};
    if (target_.empty()) {
        error_ = "no file name was given";
        return;
    }
    if (::lstat(target_.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        // Write where the link points, so that the link itself stays.
        char resolved[PATH_MAX];
        if (!::realpath(target_.c_str(), resolved)) {
            Fail("the symbolic link cannot be followed", errno);
            return;
        }
        target_ = resolved;
    }
    if (::stat(target_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error_ = S_ISDIR(info.st_mode) ? "it is a directory" : "it exists and is not a regular file";
        return;
    }
    // A file without a name where the file system offers one, so that a
    // process killed while writing leaves nothing; a named temporary file
    // (removed on every failure) elsewhere.
    // A named file replacing another is readable by its owner alone until it
    // takes the replaced file's permissions; a new one is made as any file is.
    const bool replaces = ::stat(target_.c_str(), &info) == 0;
    fd_ = ::open(FolderOf(target_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd_ < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        for (int attempt = 0; attempt < 100 && fd_ < 0; ++attempt) {
            temporary_ = NewTemporaryName();
            fd_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, replaces ? 0600 : 0666);
            if (fd_ < 0 && errno != EEXIST) break;
        }
    }
    if (fd_ < 0) {
        const int error = errno;
        temporary_.clear();
        Fail("cannot create a file in folder " + FolderOf(target_), error);
        return;
    }
    buffer_.reserve(kBufferSize);
}

QORMUAtomicFileTarget::~QORMUAtomicFileTarget() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void QORMUAtomicFileTarget::Fail(const std::string& what, int error) {
    if (error_.empty()) error_ = what + ": " + std::strerror(error);
}

void QORMUAtomicFileTarget::WriteAll(const char* data, std::size_t size) {
    while (size > 0 && error_.empty()) {
        const ssize_t n = ::write(fd_, data, size);
        if (n < 0) {
            if (errno != EINTR) Fail("write failed", errno);
            continue;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
}

void QORMUAtomicFileTarget::writeChars(const XMLByte* const toWrite, const XMLSize_t count,
                                       xercesc::XMLFormatter* const) {
    if (!error_.empty() || fd_ < 0) return;
    const char* bytes = reinterpret_cast<const char*>(toWrite);
    if (buffer_.size() + count > kBufferSize) flush();
    if (count >= kBufferSize) {
        WriteAll(bytes, count);
        return;
    }
    buffer_.insert(buffer_.end(), bytes, bytes + count);
}

void QORMUAtomicFileTarget::flush() {
    if (fd_ >= 0 && !buffer_.empty()) WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
}

std::string QORMUAtomicFileTarget::NewTemporaryName() const {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    return FolderOf(target_) + "/." + BaseOf(target_) + ".tmp" + std::to_string(random() % 1000000000u);
}

void QORMUAtomicFileTarget::TakeReplacedPermissions() {
    struct stat replaced {};
    if (::stat(target_.c_str(), &replaced) != 0) return;  // a new file: as open made it
    // The owner only where the process may give files away (root), the group
    // where it may set it; then the permission bits.
    const bool ownerKept = ::fchown(fd_, replaced.st_uid, replaced.st_gid) == 0;
    if (!ownerKept && ::fchown(fd_, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
        // Neither is allowed: the file keeps the writer's group.
    }
    if (::fchmod(fd_, replaced.st_mode & 0777) != 0)
        Fail("cannot give the file the permissions of the one it replaces", errno);
}

bool QORMUAtomicFileTarget::Stage() {
    if (fd_ < 0 || staged_) return false;
    flush();
    if (error_.empty()) TakeReplacedPermissions();
    if (error_.empty() && ::fsync(fd_) != 0) Fail("cannot sync the file to disk", errno);
    if (error_.empty() && temporary_.empty()) {
        // The file without a name gets one beside the target, for the rename.
        const std::string self = "/proc/self/fd/" + std::to_string(fd_);
        for (int attempt = 0; attempt < 100 && temporary_.empty(); ++attempt) {
            const std::string name = NewTemporaryName();
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
                temporary_ = name;
            else if (errno != EEXIST)
                break;
        }
        if (temporary_.empty()) Fail("cannot give the file a name in its folder", errno);
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail("cannot close the file", errno);
    staged_ = error_.empty();
    return staged_;
}

bool QORMUAtomicFileTarget::Place() {
    if (!staged_) return false;
    staged_ = false;
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Fail("cannot put the file in place", errno);
        return false;
    }
    temporary_.clear();
    // The new name is durable only once the folder is.
    const int folder = ::open(FolderOf(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0 || (::fsync(folder) != 0 && errno != EINVAL))
        Fail("the file was replaced but may not be durable: cannot sync its folder to disk", errno);
    if (folder >= 0) ::close(folder);
    return error_.empty();
}
