// SPDX-License-Identifier: Apache-2.0
// cMergeOutput: the files a merge writes (the merged file, the conflicts
// document), written together or not at all. Every file is staged (written
// out, synced and named beside its target, which stays untouched) before
// any is put in place: a failure until then leaves every file as it was; a
// failure while putting them in place says which files were replaced.
#pragma once

#include <string>
#include <vector>

#include <xercesc/dom/DOM.hpp>

#include "ZULBase/ZULUnicodeString.h"

class cMergeOutput {
public:
    // A file to write: bytes to target.
    void Add(const ZULUnicodeString& target, std::string bytes);
    // Writes the files; true, or false with the line that says what failed
    // in failure.
    bool Write(std::string& failure);

    // A document's bytes as the project's writer writes it (UTF-8, laid out
    // like the diff). Throws std::runtime_error when they cannot be made.
    static std::string Serialized(const xercesc::DOMDocument* document);

private:
    struct File {
        std::string target;
        std::string bytes;
    };
    std::vector<File> files_;
};
