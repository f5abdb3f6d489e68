// SPDX-License-Identifier: Apache-2.0
#include "QORMMergeDocument.h"

#include "QORMDPackageLoad.h"
#include "ZULBase/ZULFileSystem.h"

std::int32_t cMergeDocument::Load(const ZULUnicodeString& fileName) {
    fileName_ = fileName;
    return QORMDLoadPackage(fileName, package_);
}

bool cMergeDocument::ReadBytes(std::string& bytes) const {
    // A FIFO (which the parser read as it was) must not hang the run.
    ZULInputFile file(fileName_.ConvertToChar());
    bytes.clear();
    if (!file.Error().empty() || !file.IsRegular()) return false;
    bytes.reserve(static_cast<std::size_t>(file.Size()));
    char buffer[1 << 16];
    for (;;) {
        const std::int64_t got = file.Read(buffer, sizeof buffer);
        if (got <= 0) return got == 0;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
}
