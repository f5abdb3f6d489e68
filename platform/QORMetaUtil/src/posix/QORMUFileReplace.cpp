// SPDX-License-Identifier: Apache-2.0
// Replacing a file on POSIX systems: the bytes go to a file without a name
// in the target's folder (O_TMPFILE; a named temporary file where the file
// system has no such thing), which gets a name beside the target only once
// it is complete and synced, so that a process killed while writing leaves
// nothing behind.
#include "QORMUFileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <random>

namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Fail(std::string& error, const std::string& what, int code) {
    if (error.empty()) error = what + ": " + std::strerror(code);
    return false;
}

std::string NewTemporaryName(const std::string& target) {
    static thread_local std::mt19937_64 random{std::random_device{}()};
    return FolderOf(target) + "/." + BaseOf(target) + ".tmp" + std::to_string(random() % 1000000000u);
}

int Descriptor(const QORMUReplacement& replacement) { return static_cast<int>(replacement.file); }

// The owner only where the process may give files away (root), the group
// where it may set it; then the permission bits. A new file keeps what open
// with 0666 and the umask gave.
bool TakeReplacedPermissions(QORMUReplacement& replacement, std::string& error) {
    struct stat replaced {};
    if (::stat(replacement.target.c_str(), &replaced) != 0) return true;
    const int fd = Descriptor(replacement);
    const bool ownerKept = ::fchown(fd, replaced.st_uid, replaced.st_gid) == 0;
    if (!ownerKept && ::fchown(fd, static_cast<uid_t>(-1), replaced.st_gid) != 0) {
        // Neither is allowed: the file keeps the writer's group.
    }
    if (::fchmod(fd, replaced.st_mode & 0777) != 0)
        return Fail(error, "cannot give the file the permissions of the one it replaces", errno);
    return true;
}

// The file without a name gets one beside the target, for the rename.
bool NameBesideTarget(QORMUReplacement& replacement, std::string& error) {
    const std::string self = "/proc/self/fd/" + std::to_string(replacement.file);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = NewTemporaryName(replacement.target);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            replacement.temporary = name;
            return true;
        }
        if (errno != EEXIST) break;
    }
    return Fail(error, "cannot give the file a name in its folder", errno);
}

}  // namespace

bool QORMUCreateReplacement(const std::string& target, QORMUReplacement& replacement, std::string& error) {
    replacement.target = target;
    struct stat info {};
    if (::lstat(target.c_str(), &info) == 0 && S_ISLNK(info.st_mode)) {
        // Write where the link points, so that the link itself stays.
        char resolved[PATH_MAX];
        if (!::realpath(target.c_str(), resolved)) return Fail(error, "the symbolic link cannot be followed", errno);
        replacement.target = resolved;
    }
    if (::stat(replacement.target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        error = S_ISDIR(info.st_mode) ? "it is a directory" : "it exists and is not a regular file";
        return false;
    }
    // A named file replacing another is readable by its owner alone until it
    // takes the replaced file's permissions; a new one is made as any file is.
    replacement.replaces = ::stat(replacement.target.c_str(), &info) == 0;
    const std::string folder = FolderOf(replacement.target);
    int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    if (fd < 0 && (errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL)) {
        for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
            replacement.temporary = NewTemporaryName(replacement.target);
            fd = ::open(replacement.temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                        replacement.replaces ? 0600 : 0666);
            if (fd < 0 && errno != EEXIST) break;
        }
    }
    if (fd < 0) {
        const int code = errno;
        replacement.temporary.clear();
        return Fail(error, "cannot create a file in folder " + folder, code);
    }
    replacement.file = fd;
    return true;
}

bool QORMUWriteReplacement(QORMUReplacement& replacement, const char* data, std::size_t size, std::string& error) {
    while (size > 0) {
        const ssize_t n = ::write(Descriptor(replacement), data, size);
        if (n < 0) {
            if (errno != EINTR) return Fail(error, "write failed", errno);
            continue;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool QORMUStageReplacement(QORMUReplacement& replacement, std::string& error) {
    bool ok = TakeReplacedPermissions(replacement, error);
    if (ok && ::fsync(Descriptor(replacement)) != 0) ok = Fail(error, "cannot sync the file to disk", errno);
    if (ok && replacement.temporary.empty()) ok = NameBesideTarget(replacement, error);
    const int fd = Descriptor(replacement);
    replacement.file = -1;
    if (::close(fd) != 0) ok = Fail(error, "cannot close the file", errno);
    return ok;
}

bool QORMUPlaceReplacement(QORMUReplacement& replacement, std::string& error) {
    if (::rename(replacement.temporary.c_str(), replacement.target.c_str()) != 0)
        return Fail(error, "cannot put the file in place", errno);
    replacement.temporary.clear();
    // The new name is durable only once the folder is.
    const int folder = ::open(FolderOf(replacement.target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    bool ok = true;
    if (folder < 0 || (::fsync(folder) != 0 && errno != EINVAL))
        ok = Fail(error, "the file was replaced but may not be durable: cannot sync its folder to disk", errno);
    if (folder >= 0) ::close(folder);
    return ok;
}

void QORMUDiscardReplacement(QORMUReplacement& replacement) {
    if (replacement.file >= 0) ::close(Descriptor(replacement));
    replacement.file = -1;
    if (!replacement.temporary.empty()) ::unlink(replacement.temporary.c_str());
    replacement.temporary.clear();
}
