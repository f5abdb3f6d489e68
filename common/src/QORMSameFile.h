// SPDX-License-Identifier: Apache-2.0
// Whether two names reach one file: the same file when both exist (links
// and letter case as the file system sees them), else the same path once
// the folders that exist are resolved. For an output that must not replace
// an input. Names are UTF-8 (std::filesystem::u8path), as everywhere.
#pragma once

#include <filesystem>
#include <string>
#include <system_error>

bool QORMSameFile(const std::string& a, const std::string& b);
// The absolute path of name, with the links and dot folders of the part that exists resolved.
std::filesystem::path QORMResolvedPath(const std::string& name, std::error_code& failed);
