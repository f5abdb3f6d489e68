// An output file written atomically and durably: the bytes go to a file
// without a name in the target's folder (O_TMPFILE; a named temporary file
// where the file system has no such thing), which Commit syncs, names and
// renames over the target, then syncs the folder. Until then the target is
// untouched, and a process killed while writing leaves nothing behind; a
// target that is not a regular file (a directory, a device) is refused and
// never replaced. Without Commit nothing stays.
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

    void writeChars(const XMLByte* const toWrite, const XMLSize_t count, xercesc::XMLFormatter* const formatter) override;
    void flush() override;
    // Writes out, syncs and renames over the target; false on failure (see Error).
    bool Commit();

private:
    void Fail(const std::string& what, int error);
    std::string NewTemporaryName() const;
    void WriteAll(const char* data, std::size_t size);

    std::string target_;
    std::string temporary_;  // the temporary file's name; empty while it has none
    int fd_ = -1;
    std::vector<char> buffer_;
    std::string error_;
};
