// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeOutput.h"

#include <memory>
#include <stdexcept>

#include <xercesc/framework/XMLFormatter.hpp>

#include "QORMetaUtil/QORMUAtomicFileTarget.h"
#include "QORMetaUtil/QORMUDocumentWriter.h"

using namespace xercesc;

namespace {

std::string Failed(const std::string& file, const std::string& why) {
    return "Error QORMetaMerge: the file \"" + file + "\" could not be written: " + why;
}

// Collects what a writer writes.
class StringTarget : public XMLFormatTarget {
public:
    explicit StringTarget(std::string& bytes) : bytes_(bytes) {}
    void writeChars(const XMLByte* const toWrite, const XMLSize_t count, XMLFormatter* const) override {
        bytes_.append(reinterpret_cast<const char*>(toWrite), count);
    }

private:
    std::string& bytes_;
};

}  // namespace

void cMergeOutput::Add(const ZULUnicodeString& target, std::string bytes) {
    files_.push_back({target.ConvertToChar(), std::move(bytes)});
}

bool cMergeOutput::Write(std::string& failure) {
    std::vector<std::unique_ptr<QORMUAtomicFileTarget>> staged;
    for (const File& file : files_) {
        staged.push_back(std::make_unique<QORMUAtomicFileTarget>(file.target));
        QORMUAtomicFileTarget& target = *staged.back();
        if (target.Error().empty())
            target.writeChars(reinterpret_cast<const XMLByte*>(file.bytes.data()), file.bytes.size(), nullptr);
        if (!target.Error().empty() || !target.Stage()) {
            failure = Failed(file.target, target.Error());
            return false;  // the staged files go with their targets
        }
    }
    std::string placed;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        if (!staged[i]->Place()) {
            failure = Failed(files_[i].target, staged[i]->Error());
            if (!placed.empty()) failure += " (" + placed + " written already)";
            return false;
        }
        placed += (placed.empty() ? "\"" : ", \"") + files_[i].target + "\"";
    }
    return true;
}

std::string cMergeOutput::Serialized(const DOMDocument* document) {
    std::string bytes, reason;
    StringTarget target(bytes);
    if (!QORMUWriteDocument(document, target, reason)) throw std::runtime_error(reason);
    return bytes;
}
