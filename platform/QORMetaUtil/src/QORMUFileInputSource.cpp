#include "QORMUFileInputSource.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <xercesc/util/BinInputStream.hpp>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

class FdInputStream : public BinInputStream {
public:
    explicit FdInputStream(int fd) : fd_(fd) {}
    ~FdInputStream() override { ::close(fd_); }
    XMLFilePos curPos() const override { return position_; }
    XMLSize_t readBytes(XMLByte* const buffer, const XMLSize_t maxToRead) override {
        for (;;) {
            const ssize_t n = ::read(fd_, buffer, maxToRead);
            if (n >= 0) {
                position_ += static_cast<XMLFilePos>(n);
                return static_cast<XMLSize_t>(n);
            }
            if (errno != EINTR) ThrowXML(RuntimeException, XMLExcepts::File_CouldNotReadFromFile);
        }
    }
    const XMLCh* getContentType() const override { return nullptr; }

private:
    int fd_;
    XMLFilePos position_ = 0;
};

}  // namespace

QORMUFileInputSource::QORMUFileInputSource(const ZULUnicodeString& fileName) : fileName_(fileName) {
    setSystemId(ZULToDOMString(fileName_));
    fd_ = ::open(fileName_.ConvertToChar(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        openError_ = std::strerror(errno);
        return;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        openError_ = std::strerror(errno);
    } else if (S_ISDIR(info.st_mode)) {
        openError_ = "it is a directory, not a file";
    }
    if (!openError_.empty()) {
        ::close(fd_);
        fd_ = -1;
    }
}

QORMUFileInputSource::~QORMUFileInputSource() {
    if (fd_ >= 0) ::close(fd_);
}

BinInputStream* QORMUFileInputSource::makeStream() const {
    if (fd_ < 0) return nullptr;
    BinInputStream* stream = new FdInputStream(fd_);
    fd_ = -1;
    return stream;
}
