// SPDX-License-Identifier: Apache-2.0
// An output file written atomically and durably: the bytes go to a file
// without a name in the target's folder (O_TMPFILE; a named temporary file
// where the file system has no such thing). Stage syncs it, gives it the
// replaced file's permission bits (and owner and group where the process may
// set them; a new file keeps what open with 0666 and the umask gave) and a
// temporary name beside the target; Place renames it over the target and
// syncs the folder. Until Place the target is untouched, and a process
// killed while writing leaves nothing behind; a target that is not a regular
// file (a directory, a device) is refused and never replaced. The
// replacement is a new file: a hard link to the old one keeps the old bytes.
// Without Place nothing stays.
#pragma once

#include <string>
#include <vector>

#include <xercesc/framework/XMLFormatter.hpp>

class QORMUAtomicFileTarget : public xercesc::XMLFormatTarget {
public:
    explicit QORMUAtomicFileTarget(const std::string& target);
    ~QORMUAtomicFileTarget() override;
    QORMUAtomicFileTarget(const QORMUAtomicFileTarget&) = delete;
    QORMUAtomicFileTarget& operator=(const QORMUAtomicFileTarget&) = delete;

    // Empty while all is well; else the first reason of failure.
    const std::string& Error() const { return error_; }

    void writeChars(const XMLByte* const toWrite, const XMLSize_t count,
                    xercesc::XMLFormatter* const formatter) override;
    void flush() override;
    // Writes out, syncs, takes the replaced file's permissions and names the
    // file beside the target, which stays untouched; false on failure (see Error).
    bool Stage();
    // Renames the staged file over the target and syncs the folder; false on
    // failure. When only the folder's sync failed, the target was replaced
    // (Error says so) but may not survive a crash.
    bool Place();
    // Stage, then Place.
    bool Commit() { return Stage() && Place(); }

private:
    void Fail(const std::string& what, int error);
    std::string NewTemporaryName() const;
    void WriteAll(const char* data, std::size_t size);
    void TakeReplacedPermissions();

    std::string target_;
    std::string temporary_;  // the temporary file's name; empty while it has none
    int fd_ = -1;
    bool staged_ = false;
    std::vector<char> buffer_;
    std::string error_;
};
