// SPDX-License-Identifier: Apache-2.0
#include "QORMUFileInputSource.h"

#include <xercesc/util/BinInputStream.hpp>

#include "QORMetaUtil/QORMUDomString.h"

using namespace xercesc;

namespace {

class FileInputStream : public BinInputStream {
public:
    FileInputStream(std::unique_ptr<ZULInputFile> file, XMLFilePos& bytesRead)
        : file_(std::move(file)), position_(bytesRead) {}
    XMLFilePos curPos() const override { return position_; }
    XMLSize_t readBytes(XMLByte* const buffer, const XMLSize_t maxToRead) override {
        const std::int64_t n = file_->Read(buffer, maxToRead);
        if (n < 0) ThrowXML(RuntimeException, XMLExcepts::File_CouldNotReadFromFile);
        position_ += static_cast<XMLFilePos>(n);
        return static_cast<XMLSize_t>(n);
    }
    const XMLCh* getContentType() const override { return nullptr; }

private:
    std::unique_ptr<ZULInputFile> file_;
    XMLFilePos& position_;  // the source's count, which outlives the stream
};

}  // namespace

QORMUFileInputSource::QORMUFileInputSource(const ZULUnicodeString& fileName)
    : fileName_(fileName), file_(std::make_unique<ZULInputFile>(fileName.ConvertToChar())) {
    setSystemId(ZULToDOMString(fileName_));
    openError_ = file_->Error();
    if (!openError_.empty()) file_.reset();
}

QORMUFileInputSource::~QORMUFileInputSource() = default;

BinInputStream* QORMUFileInputSource::makeStream() const {
    if (!file_) return nullptr;
    return new FileInputStream(std::move(file_), bytesRead_);
}
