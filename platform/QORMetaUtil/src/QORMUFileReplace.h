// SPDX-License-Identifier: Apache-2.0
// The system's part of QORMUAtomicFileTarget: a new file made beside the one
// it replaces, written, made durable, then renamed over it. Each step returns
// false on failure with why (for people) in error; after a failure only
// QORMUDiscardReplacement remains to be called.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct QORMUReplacement {
    std::string target;       // the file replaced, a symbolic link resolved
    std::string temporary;    // the new file's name beside it; empty while it has none
    std::intptr_t file = -1;  // the new file while it is written: a descriptor or a Windows HANDLE
    bool replaces = false;    // whether target existed when the new file was made
};

// Resolves target (a symbolic link: where it points), refuses what is not a
// regular file, and creates the new file in the target's folder.
bool QORMUCreateReplacement(const std::string& target, QORMUReplacement& replacement, std::string& error);
bool QORMUWriteReplacement(QORMUReplacement& replacement, const char* data, std::size_t size, std::string& error);
// Gives the new file what the replaced one had (POSIX permission bits and
// owner; Windows security and attributes), syncs it to disk, names it beside
// the target where it has no name yet, and closes it.
bool QORMUStageReplacement(QORMUReplacement& replacement, std::string& error);
// Renames the staged file over the target and makes the rename durable.
// When only that last part failed, the target was replaced (error says so).
bool QORMUPlaceReplacement(QORMUReplacement& replacement, std::string& error);
// Closes and removes what is left of a replacement that was not placed.
void QORMUDiscardReplacement(QORMUReplacement& replacement);
