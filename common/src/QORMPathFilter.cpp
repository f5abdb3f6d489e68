// SPDX-License-Identifier: Apache-2.0
#include "QORMPathFilter.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "QORMWildcard.h"

namespace {

// Characters that stand for magic after a ':' (git's set; '^' is '!' too).
constexpr std::string_view kMagicCharacters = "!\"#%&',-/;<=>@_`~";

[[noreturn]] void Refuse(const std::string& pattern, const std::string& why) {
    throw cPathFilterError("-Path \"" + pattern + "\": " + why);
}

unsigned char Folded(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? byte - 'A' + 'a' : byte;
}

bool SameText(std::string_view a, std::string_view b, bool icase) {
    if (a.size() != b.size()) return false;
    if (!icase) return a == b;
    return std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Folded(x) == Folded(y); });
}

// The path with "." and empty names left out and each ".." taking away the
// name before it; a path that ends with a folder keeps its '/'. Refused when
// a ".." climbs above the top.
std::string Normalised(const std::string& path, const std::string& pattern) {
    std::vector<std::string_view> names;
    std::string_view rest = path;
    bool folder = false;
    while (!rest.empty()) {
        const std::size_t slash = rest.find('/');
        const std::string_view name = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash + 1);
        folder = slash != std::string_view::npos || name == "." || name == "..";
        if (name == "..") {
            if (names.empty()) Refuse(pattern, "it is outside the repository");
            names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
    }
    std::string normalised;
    for (std::string_view name : names) (normalised += name) += '/';
    if (!normalised.empty() && !folder) normalised.pop_back();
    return normalised;
}

// An absolute path from the top of the work tree (ending with '/'), as
// written or with the links of its existing part resolved, as git places it.
std::string InWorkTree(const std::string& path, const std::string& workTree, const std::string& pattern) {
    std::error_code failed;
    const std::string resolved =
        std::filesystem::weakly_canonical(std::filesystem::u8path(path), failed).generic_u8string();
    for (const std::string& written : {path, resolved}) {
        const std::string folder = written + "/";
        if (!workTree.empty() && folder.compare(0, workTree.size(), workTree) == 0)
            return written.substr(std::min(written.size(), workTree.size()));
    }
    Refuse(pattern, "it is outside the repository");
}

// Reads ":(word,word)": sets the item's magic, returns where the pattern begins.
std::size_t ReadLongMagic(const std::string& pattern, cPathFilterMagic& magic) {
    const std::size_t close = pattern.find(')');
    if (close == std::string::npos) Refuse(pattern, "its magic has no closing ')'");
    std::string_view words = std::string_view(pattern).substr(2, close - 2);
    while (!words.empty()) {
        const std::size_t comma = words.find(',');
        const std::string_view word = words.substr(0, comma);
        words = comma == std::string_view::npos ? std::string_view() : words.substr(comma + 1);
        if (word.empty()) continue;
        if (word == "top") {
            magic.top = true;
        } else if (word == "literal") {
            magic.literal = true;
        } else if (word == "glob") {
            magic.glob = true;
        } else if (word == "icase") {
            magic.icase = true;
        } else if (word == "exclude") {
            magic.exclude = true;
        } else if (word == "attr" || word.substr(0, 5) == "attr:") {
            Refuse(pattern,
                   "the magic \"attr\" is not supported (name the files, or mark them diff=qormeta in .gitattributes "
                   "and leave -Path out)");
        } else {
            Refuse(pattern, "\"" + std::string(word) +
                                "\" is not pathspec magic (git knows top, literal, glob, icase, exclude and attr)");
        }
    }
    return close + 1;
}

// Reads ":!", ":^", ":/" and their combinations, up to an optional ':'.
std::size_t ReadShortMagic(const std::string& pattern, cPathFilterMagic& magic) {
    std::size_t at = 1;
    for (; at < pattern.size() && pattern[at] != ':'; ++at) {
        const char c = pattern[at];
        if (c == '!' || c == '^') {
            magic.exclude = true;
        } else if (c == '/') {
            magic.top = true;
        } else if (kMagicCharacters.find(c) != std::string_view::npos) {
            Refuse(pattern, std::string("'") + c + "' is not pathspec magic (git knows ':/', ':!' and ':^')");
        } else {
            break;
        }
    }
    return at < pattern.size() && pattern[at] == ':' ? at + 1 : at;
}

}  // namespace

cPathFilter::cPathFilter(const std::vector<std::string>& patterns, const std::string& folder,
                         const std::string& workTree) {
    for (const std::string& pattern : patterns) {
        items_.push_back(Read(pattern, folder, workTree));
        if (!items_.back().magic.exclude) onlyExcludes_ = false;
    }
}

cPathFilter::Item cPathFilter::Read(const std::string& pattern, const std::string& folder,
                                    const std::string& workTree) {
    Item item;
    cPathFilterMagic& magic = item.magic;
    std::size_t begins = 0;
    if (pattern.size() > 1 && pattern[0] == ':')
        begins = pattern[1] == '(' ? ReadLongMagic(pattern, magic) : ReadShortMagic(pattern, magic);
    if (magic.glob && magic.literal) Refuse(pattern, "the magic \"literal\" and \"glob\" cannot be combined");
    const std::string written = pattern.substr(begins);
    if (magic.top)
        item.match = written;
    else if (std::filesystem::u8path(written).is_absolute())
        item.match = Normalised(InWorkTree(written, workTree, pattern), pattern);
    else
        item.match = Normalised(folder + written, pattern);
    // What is left of the current folder is compared as written, as is the
    // head before the first wildcard.
    std::size_t kept = 0;
    if (!magic.top && !std::filesystem::u8path(written).is_absolute())
        for (std::size_t end = folder.find('/'); end != std::string::npos; end = folder.find('/', end + 1)) {
            if (item.match.compare(0, end + 1, folder, 0, end + 1) != 0) break;
            kept = end + 1;
        }
    const std::size_t head = magic.literal ? item.match.size() : item.match.find_first_of("*?[\\");
    item.literalLength = std::min(std::max(head, kept), item.match.size());
    return item;
}

bool cPathFilter::Matches(const Item& item, std::string_view path) {
    const std::string_view match = item.match;
    if (match.empty()) return true;  // "." at the top, ":/": everything
    // The file it names, or a file below the folder it names.
    if (match.size() <= path.size() && SameText(match, path.substr(0, match.size()), item.magic.icase) &&
        (match.size() == path.size() || match.back() == '/' || path[match.size()] == '/'))
        return true;
    if (item.literalLength >= match.size() || path.size() < item.literalLength) return false;
    if (!SameText(match.substr(0, item.literalLength), path.substr(0, item.literalLength), item.magic.icase))
        return false;
    return cWildcard(match.substr(item.literalLength), item.magic.glob, item.magic.icase)
        .Matches(path.substr(item.literalLength));
}

bool cPathFilter::Selects(std::string_view path) const {
    const auto matches = [&](bool exclude) {
        return [&, exclude](const Item& item) { return item.magic.exclude == exclude && Matches(item, path); };
    };
    return (onlyExcludes_ || std::any_of(items_.begin(), items_.end(), matches(false))) &&
           std::none_of(items_.begin(), items_.end(), matches(true));
}
