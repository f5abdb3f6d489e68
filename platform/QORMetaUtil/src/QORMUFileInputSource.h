// SPDX-License-Identifier: Apache-2.0
// A Xerces input source reading a file opened by the platform (ZULInputFile),
// so that file names are used as given and open errors are reported precisely.
#pragma once

#include <memory>
#include <string>

#include <xercesc/sax/InputSource.hpp>

#include "ZULBase/ZULFileSystem.h"
#include "ZULBase/ZULUnicodeString.h"

class QORMUFileInputSource : public xercesc::InputSource {
public:
    explicit QORMUFileInputSource(const ZULUnicodeString& fileName);
    ~QORMUFileInputSource() override;
    QORMUFileInputSource(const QORMUFileInputSource&) = delete;
    QORMUFileInputSource& operator=(const QORMUFileInputSource&) = delete;

    // Empty when the file is open and readable; else why not.
    const std::string& OpenError() const { return openError_; }
    // Bytes read from the file so far.
    XMLFilePos BytesRead() const { return bytesRead_; }
    // The stream takes over the open file.
    xercesc::BinInputStream* makeStream() const override;

private:
    ZULUnicodeString fileName_;
    mutable std::unique_ptr<ZULInputFile> file_;
    mutable XMLFilePos bytesRead_ = 0;
    std::string openError_;
};
