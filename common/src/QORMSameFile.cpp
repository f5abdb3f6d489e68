// SPDX-License-Identifier: Apache-2.0
#include "QORMSameFile.h"

bool QORMSameFile(const std::string& a, const std::string& b) {
    std::error_code failed;
    if (std::filesystem::equivalent(std::filesystem::u8path(a), std::filesystem::u8path(b), failed) && !failed)
        return true;
    const std::filesystem::path first = QORMResolvedPath(a, failed);
    if (failed) return false;
    const std::filesystem::path second = QORMResolvedPath(b, failed);
    return !failed && first == second;
}

std::filesystem::path QORMResolvedPath(const std::string& name, std::error_code& failed) {
    const std::filesystem::path absolute = std::filesystem::absolute(std::filesystem::u8path(name), failed);
    return failed ? absolute : std::filesystem::weakly_canonical(absolute, failed);
}
