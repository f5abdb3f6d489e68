// SPDX-License-Identifier: Apache-2.0
#include "QORMWildcard.h"

#include <cctype>

namespace {

// Whether c belongs to the POSIX class name; false for a name that is none.
bool InClass(std::string_view name, unsigned char c, bool ignoreCase, bool& known) {
    known = true;
    if (name == "alnum") return std::isalnum(c);
    if (name == "alpha") return std::isalpha(c);
    if (name == "blank") return c == ' ' || c == '\t';
    if (name == "cntrl") return std::iscntrl(c);
    if (name == "digit") return std::isdigit(c);
    if (name == "graph") return std::isgraph(c);
    if (name == "lower") return std::islower(c);
    if (name == "print") return std::isprint(c);
    if (name == "punct") return std::ispunct(c);
    if (name == "space") return std::isspace(c);
    if (name == "upper") return std::isupper(c) || (ignoreCase && std::islower(c));
    if (name == "xdigit") return std::isxdigit(c);
    known = false;
    return false;
}

}  // namespace

cWildcard::cWildcard(std::string_view pattern, bool byFolders, bool ignoreCase)
    : pattern_(pattern), byFolders_(byFolders), ignoreCase_(ignoreCase) {}

bool cWildcard::Matches(std::string_view path) {
    path_ = path;
    known_.assign((pattern_.size() + 1) * (path_.size() + 1), -1);
    return MatchesFrom(0, 0);
}

unsigned char cWildcard::Fold(unsigned char c) const {
    return ignoreCase_ && c < 0x80 ? static_cast<unsigned char>(std::tolower(c)) : c;
}

bool cWildcard::MatchesFrom(std::size_t at, std::size_t in) {
    std::int8_t& known = known_[at * (path_.size() + 1) + in];
    if (known >= 0) return known;
    bool matches = false;
    if (at == pattern_.size()) {
        matches = in == path_.size();
    } else if (pattern_[at] == '*') {
        matches = Star(at, in);
    } else if (in < path_.size()) {
        const auto c = static_cast<unsigned char>(path_[in]);
        const bool slash = c == '/' && byFolders_;
        switch (pattern_[at]) {
            case '?': matches = !slash && MatchesFrom(at + 1, in + 1); break;
            case '[': {
                bool holds = false;
                std::size_t next = 0;
                matches = Set(at, Fold(c), holds, next) && holds && !slash && MatchesFrom(next, in + 1);
                break;
            }
            case '\\':
                // The escaped character as written (git does not fold it).
                matches = at + 1 < pattern_.size() && static_cast<unsigned char>(pattern_[at + 1]) == Fold(c) &&
                          MatchesFrom(at + 2, in + 1);
                break;
            default: matches = Fold(pattern_[at]) == Fold(c) && MatchesFrom(at + 1, in + 1); break;
        }
    }
    known = matches;
    return matches;
}

bool cWildcard::Star(std::size_t at, std::size_t in) {
    std::size_t end = at;
    while (end < pattern_.size() && pattern_[end] == '*') ++end;
    bool crossesFolders = !byFolders_;
    if (byFolders_ && end - at >= 2 && (at == 0 || pattern_[at - 1] == '/') &&
        (end == pattern_.size() || pattern_[end] == '/')) {
        crossesFolders = true;
        if (end < pattern_.size() && MatchesFrom(end + 1, in)) return true;  // "**/": no folder at all
    }
    for (std::size_t to = in;; ++to) {
        if (MatchesFrom(end, to)) return true;
        if (to == path_.size() || (!crossesFolders && path_[to] == '/')) return false;
    }
}

bool cWildcard::Set(std::size_t at, unsigned char c, bool& holds, std::size_t& next) const {
    std::size_t i = at + 1;
    const bool negated = i < pattern_.size() && (pattern_[i] == '!' || pattern_[i] == '^');
    if (negated) ++i;
    holds = false;
    int previous = -1;  // the last single character, which a '-' may extend to a range
    for (bool first = true;; first = false) {
        if (i >= pattern_.size()) return false;
        auto p = static_cast<unsigned char>(pattern_[i]);
        if (p == ']' && !first) break;
        if (p == '\\') {
            if (++i >= pattern_.size()) return false;
            p = static_cast<unsigned char>(pattern_[i]);
        } else if (p == '-' && previous >= 0 && i + 1 < pattern_.size() && pattern_[i + 1] != ']') {
            auto last = static_cast<unsigned char>(pattern_[++i]);
            if (last == '\\') {
                if (++i >= pattern_.size()) return false;
                last = static_cast<unsigned char>(pattern_[i]);
            }
            const unsigned char upper = ignoreCase_ && std::islower(c) ? std::toupper(c) : c;
            if ((c >= previous && c <= last) || (upper >= previous && upper <= last)) holds = true;
            previous = -1;
            ++i;
            continue;
        } else if (p == '[' && i + 1 < pattern_.size() && pattern_[i + 1] == ':') {
            const std::size_t close = pattern_.find(']', i + 2);
            if (close == std::string_view::npos) return false;
            if (close >= i + 3 && pattern_[close - 1] == ':') {
                bool known = false;
                if (InClass(pattern_.substr(i + 2, close - 1 - (i + 2)), c, ignoreCase_, known)) holds = true;
                if (!known) return false;
                previous = -1;
                i = close + 1;
                continue;
            }
        }
        if (c == p) holds = true;
        previous = p;
        ++i;
    }
    holds = holds != negated;
    next = i + 1;
    return true;
}
