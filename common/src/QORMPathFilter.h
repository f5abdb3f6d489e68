// SPDX-License-Identifier: Apache-2.0
// cPathFilter: the -Path patterns of the range report and the change check,
// read and matched as git reads and matches pathspecs, so that they take the
// files that `git diff A B -- patterns` lists (libgit2 knows no pathspec magic):
// - a pattern is relative to the current folder ("./", "../" and "//" are
//   resolved), or to the top of the work tree with ":(top)" or ":/"; an
//   absolute path must lie in the work tree;
// - it selects the file it names, every file below the folder it names, and
//   the files it matches as a wildcard pattern (*, ?, [...], \ escapes;
//   * and ? also match '/');
// - ":(literal)" has no wildcards; ":(glob)" keeps * and ? within a folder
//   name, while a ** between slashes spans folders; ":(icase)" ignores the
//   case of ASCII letters; ":(exclude)", ":!" or ":^" leaves out what it
//   selects, from the whole tree when every pattern excludes;
// - long magic combines (":(glob,icase)"); magic git does not know, and
//   ":(attr:...)", are refused.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A pattern that git refuses, or whose magic cannot be honoured.
struct cPathFilterError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The magic of one pattern.
struct cPathFilterMagic {
    bool top = false, literal = false, glob = false, icase = false, exclude = false;
};

class cPathFilter {
public:
    // folder: the current folder from the top of the work tree, "" at the
    // top, else ending with '/'; workTree: its absolute path, ending with
    // '/'. Throws cPathFilterError.
    cPathFilter(const std::vector<std::string>& patterns, const std::string& folder, const std::string& workTree);

    // Whether path (from the top of the work tree) is selected.
    bool Selects(std::string_view path) const;

private:
    struct Item {
        std::string match;              // from the top of the work tree
        std::size_t literalLength = 0;  // its head compared as written (no wildcards, or the folder's part)
        cPathFilterMagic magic;
    };
    static Item Read(const std::string& pattern, const std::string& folder, const std::string& workTree);
    static bool Matches(const Item& item, std::string_view path);

    std::vector<Item> items_;
    bool onlyExcludes_ = true;
};
