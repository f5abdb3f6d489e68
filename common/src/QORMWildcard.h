// SPDX-License-Identifier: Apache-2.0
// cWildcard: a wildcard pattern matched against a path as git matches
// pathspecs: * any run of characters, ? one character, [...] one of a set
// (ranges a-z, [:alpha:] and the other POSIX classes, ! or ^ to negate, a
// leading ] taken as itself), \ takes the next character as itself. By
// folders (git's glob magic), * ? and sets never match '/', and a ** that
// stands between slashes (or at an end) matches any run of folders, none
// included. Ignoring case folds ASCII letters of the path (a set's own
// letters are taken as written, as git does). A set that does not close
// matches nothing. Memoised: time grows with the product of the lengths.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

class cWildcard {
public:
    cWildcard(std::string_view pattern, bool byFolders, bool ignoreCase);

    bool Matches(std::string_view path);

private:
    bool MatchesFrom(std::size_t at, std::size_t in);
    bool Star(std::size_t at, std::size_t in);
    // The set that begins at pattern_[at] ('['): whether it holds c, and
    // where the pattern goes on; false when it does not close.
    bool Set(std::size_t at, unsigned char c, bool& holds, std::size_t& next) const;
    unsigned char Fold(unsigned char c) const;

    std::string_view pattern_;
    std::string_view path_;
    bool byFolders_;
    bool ignoreCase_;
    std::vector<std::int8_t> known_;  // per (pattern, path) position: -1 unknown, else the answer
};
