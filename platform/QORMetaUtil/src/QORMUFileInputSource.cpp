// SPDX-License-Identifier: Apache-2.0
#include "QORMUFileInputSource.h"

#include <memory>

#include <xercesc/util/BinInputStream.hpp>
#include <xercesc/util/XMLException.hpp>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

class FileInputStream : public BinInputStream {
public:
    FileInputStream(std::unique_ptr<ZULInputFile> file, XMLFilePos& bytesRead, std::string* kept)
        : file_(std::move(file)), position_(bytesRead), kept_(kept) {}
    XMLFilePos curPos() const override { return position_; }
    XMLSize_t readBytes(XMLByte* const buffer, const XMLSize_t maxToRead) override {
        const std::int64_t n = file_->Read(buffer, maxToRead);
        if (n < 0) ThrowXML(RuntimeException, XMLExcepts::File_CouldNotReadFromFile);
        position_ += static_cast<XMLFilePos>(n);
        if (kept_) kept_->append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(n));
        return static_cast<XMLSize_t>(n);
    }
    const XMLCh* getContentType() const override { return nullptr; }

private:
    std::unique_ptr<ZULInputFile> file_;
    XMLFilePos& position_;  // the source's count, which outlives the stream
    std::string* kept_;     // the source's copy of what was read, when it keeps one
};

}  // namespace

QORMUFileInputSource::QORMUFileInputSource(const ZULUnicodeString& fileName)
    : fileName_(fileName), file_(std::make_unique<ZULInputFile>(fileName.ConvertToChar())) {
    setSystemId(ZULToDOMString(fileName_));
    openError_ = file_->Error();
    regular_ = openError_.empty() && file_->IsRegular();
    if (!openError_.empty()) file_.reset();
}

QORMUFileInputSource::~QORMUFileInputSource() = default;

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
    if (!file_) return nullptr;
    return new FileInputStream(std::move(file_), bytesRead_, kept_);
}
