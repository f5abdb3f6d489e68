// SPDX-License-Identifier: Apache-2.0
// An output file written atomically and durably: the bytes go to a new file
// in the target's folder. Stage syncs it, gives it what the replaced file
// had (POSIX permission bits and owner, Windows security and attributes; a
// new file gets what any new file gets) and a temporary name beside the
// target; Place renames it over the target and makes that durable. Until
// Place the target is untouched, and a process killed while writing leaves
// nothing behind (on Windows: a hidden temporary file); a target that is not a
// regular file (a directory, a device) is refused and never replaced. The
// replacement is a new file: a hard link to the old one keeps the old bytes.
// Without Place nothing stays. (QORMUFileReplace.h: each system's part.)
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <xercesc/framework/XMLFormatter.hpp>

struct QORMUReplacement;

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
    // Writes out, syncs, takes what the replaced file had and names the file
    // beside the target, which stays untouched; false on failure (see Error).
    bool Stage();
    // Renames the staged file over the target and makes that durable; false
    // on failure. When only the last part failed, the target was replaced
    // (Error says so) but may not survive a crash.
    bool Place();
    // Stage, then Place.
    bool Commit() { return Stage() && Place(); }

private:
    void WriteAll(const char* data, std::size_t size);

    std::unique_ptr<QORMUReplacement> replacement_;  // null once it failed or was placed
    bool staged_ = false;
    std::vector<char> buffer_;
    std::string error_;
};
