// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUAtomicFileTarget.h"

#include "QORMUFileReplace.h"

namespace {

constexpr std::size_t kBufferSize = 1 << 16;

}  // namespace

QORMUAtomicFileTarget::QORMUAtomicFileTarget(const std::string& target)
    : replacement_(std::make_unique<QORMUReplacement>()) {
    if (target.empty()) {
        error_ = "no file name was given";
    } else if (QORMUCreateReplacement(target, *replacement_, error_)) {
        buffer_.reserve(kBufferSize);
        return;
    }
    QORMUDiscardReplacement(*replacement_);
    replacement_.reset();
}

QORMUAtomicFileTarget::~QORMUAtomicFileTarget() {
    if (replacement_) QORMUDiscardReplacement(*replacement_);
}

void QORMUAtomicFileTarget::WriteAll(const char* data, std::size_t size) {
    if (error_.empty() && replacement_ && !staged_) QORMUWriteReplacement(*replacement_, data, size, error_);
}

void QORMUAtomicFileTarget::writeChars(const XMLByte* const toWrite, const XMLSize_t count,
                                       xercesc::XMLFormatter* const) {
    if (!error_.empty() || !replacement_) return;
    const char* bytes = reinterpret_cast<const char*>(toWrite);
    if (buffer_.size() + count > kBufferSize) flush();
    if (count >= kBufferSize) {
        WriteAll(bytes, count);
        return;
    }
    buffer_.insert(buffer_.end(), bytes, bytes + count);
}

void QORMUAtomicFileTarget::flush() {
    if (!buffer_.empty()) WriteAll(buffer_.data(), buffer_.size());
    buffer_.clear();
}

bool QORMUAtomicFileTarget::Stage() {
    if (!replacement_ || staged_) return false;
    flush();
    staged_ = error_.empty() && QORMUStageReplacement(*replacement_, error_);
    return staged_;
}

bool QORMUAtomicFileTarget::Place() {
    if (!staged_) return false;
    staged_ = false;
    const bool placed = QORMUPlaceReplacement(*replacement_, error_);
    QORMUDiscardReplacement(*replacement_);
    replacement_.reset();
    return placed;
}
