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
    // A regular file, not a FIFO or a device (or a file that cannot be opened).
    bool IsRegularFile() const { return regular_; }
    // Makes the stream append every byte it reads to kept, which must outlive it.
    void KeepBytes(std::string* kept) { kept_ = kept; }
    // The bytes of a regular file read again (for what only a failed parse
    // looks at): as many as can be read; none from a pipe or a device,
    // whose bytes would not be the same, or would never end.
    static std::string ReadAgain(const ZULUnicodeString& fileName);

private:
    ZULUnicodeString fileName_;
    mutable std::unique_ptr<ZULInputFile> file_;
    mutable XMLFilePos bytesRead_ = 0;
    bool regular_ = false;  // a regular file, not a FIFO or a device
    std::string* kept_ = nullptr;
    std::string openError_;
};
