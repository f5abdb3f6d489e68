// SPDX-License-Identifier: Apache-2.0
#include "QORMUFileInputSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>

#include <memory>

#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/XMLException.hpp>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

class FdInputStream : public BinInputStream {
public:
    FdInputStream(int fd, XMLFilePos& bytesRead, std::string* kept) : fd_(fd), position_(bytesRead), kept_(kept) {}
    ~FdInputStream() override { ::close(fd_); }
    XMLFilePos curPos() const override { return position_; }
    XMLSize_t readBytes(XMLByte* const buffer, const XMLSize_t maxToRead) override {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, maxToRead);
            if (n >= 0) {
                position_ += static_cast<XMLFilePos>(n);
                if (kept_) kept_->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
                return static_cast<XMLSize_t>(n);
            }
            if (errno != EINTR) ThrowXML(RuntimeException, XMLExcepts::File_CouldNotReadFromFile);
        }
    }
    const XMLCh* getContentType() const override { return nullptr; }

private:
    int fd_;
    XMLFilePos& position_;  // the source's count, which outlives the stream
    std::string* kept_;     // the source's copy of what was read, when it keeps one
};

}  // namespace

QORMUFileInputSource::QORMUFileInputSource(const ZULUnicodeString& fileName) : fileName_(fileName) {
    setSystemId(ZULToDOMString(fileName_));
    // Opened without blocking, so that a FIFO without a writer cannot stall
    // the run: reading it then finds the end at once.
    fd_ = ::open(fileName_.ConvertToChar(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0) {
        openError_ = std::strerror(errno);
        return;
    }
    struct stat info {};
    const bool known = ::fstat(fd_, &info) == 0;
    regular_ = known && S_ISREG(info.st_mode);
    if (!known) {
        openError_ = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        openError_ = "it is a directory, not a file";
    } else if (::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK) != 0) {
        openError_ = std::strerror(errno);
    }
    if (!openError_.empty()) {
        ::close(fd_);
        fd_ = -1;
    }
}

QORMUFileInputSource::~QORMUFileInputSource() {
    if (fd_ >= 0) ::close(fd_);
}

std::string QORMUFileInputSource::ReadAgain(const ZULUnicodeString& fileName) {
    QORMUFileInputSource source(fileName);
    std::string bytes;
    std::unique_ptr<BinInputStream> stream(source.regular_ ? source.makeStream() : nullptr);
    try {
        XMLByte buffer[64 * 1024];
        while (const XMLSize_t n = stream ? stream->readBytes(buffer, sizeof buffer) : 0)
            bytes.append(reinterpret_cast<const char*>(buffer), n);
    } catch (const XMLException&) {  // what could be read is all there is
    }
    return bytes;
}

BinInputStream* QORMUFileInputSource::makeStream() const {
    if (fd_ < 0) return nullptr;
    BinInputStream* stream = new FdInputStream(fd_, bytesRead_, kept_);
    fd_ = -1;
    return stream;
}
