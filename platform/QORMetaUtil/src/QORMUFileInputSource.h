// SPDX-License-Identifier: Apache-2.0
// A Xerces input source reading a file through a POSIX descriptor, so that
// file names are used byte for byte and open errors are reported precisely.
#pragma once

#include <string>

#include <xercesc/sax/InputSource.hpp>

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
    // The stream takes over the descriptor.
    xercesc::BinInputStream* makeStream() const override;
    // Instead of a stream: the whole file into bytes. False, with why, when
    // it cannot be opened or read.
    bool ReadAll(std::string& bytes, std::string& error);

private:
    ZULUnicodeString fileName_;
    mutable int fd_ = -1;
    mutable XMLFilePos bytesRead_ = 0;
    std::string openError_;
};
