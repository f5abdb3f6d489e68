// SPDX-License-Identifier: Apache-2.0
#include "ErrorKeeper.h"

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace {

using OwnedError = std::unique_ptr<ZULError, ZULErrorDeleter>;

// Errors made but not taken by a status; the newest kPending are kept, so
// that their makers may still use them for a while.
constexpr std::size_t kPending = 256;

struct Record {
    ZULError* error;
    std::string source;
};

struct Keeper {
    std::deque<OwnedError> pending;
    std::unordered_map<std::string, OwnedError> kept;   // content -> the error with it
    std::unordered_set<const ZULError*> keptErrors;     // the errors of kept
    std::unordered_map<std::int32_t, Record> statuses;  // failure status -> what it carries
    std::map<std::pair<const ZULError*, std::string>, std::int32_t> statusOf;
    std::int32_t lastStatus = -1;
};

Keeper& TheKeeper() {
    static Keeper keeper;
    return keeper;
}

// Everything that tells one error from another.
std::string ContentOf(const ZULError& error) {
    std::string key = error.GetCatalogName();
    key.append(1, '\0').append(error.GetMessageId()).append(1, '\0');
    key.append(std::to_string(static_cast<int>(error.GetErrorType())));
    for (const ZULUnicodeString& parameter : error.GetParameters()) {
        const std::u16string_view units = parameter.str();
        key.append(1, '\1').append(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t));
    }
    return key;
}

// The kept error with error's content: error itself, taken from the pending
// ones, when its content is new.
ZULError* Keep(Keeper& keeper, ZULError* error) {
    if (keeper.keptErrors.count(error)) return error;
    std::string content = ContentOf(*error);
    const auto found = keeper.kept.find(content);
    if (found != keeper.kept.end()) return found->second.get();  // error itself stays pending, then goes
    const auto it = std::find_if(keeper.pending.begin(), keeper.pending.end(),
                                 [error](const OwnedError& p) { return p.get() == error; });
    OwnedError owned;
    if (it != keeper.pending.end()) {
        owned = std::move(*it);
        keeper.pending.erase(it);
    } else {
        owned.reset(error);  // not made with the framework allocation: taken over
    }
    keeper.keptErrors.insert(error);
    keeper.kept.emplace(std::move(content), std::move(owned));
    return error;
}

// Failure statuses count down from -2; the plain -1 of lower-level
// operations never carries an error, so it is never one built here.
std::int32_t NextStatus(Keeper& keeper) {
    keeper.lastStatus = keeper.lastStatus <= INT32_MIN + 1 ? -2 : keeper.lastStatus - 1;
    return keeper.lastStatus;
}

}  // namespace

namespace ZULErrorKeeper {

void Adopt(ZULError* error) {
    Keeper& keeper = TheKeeper();
    keeper.pending.emplace_back(error);
    if (keeper.pending.size() > kPending) keeper.pending.pop_front();
}

std::int32_t StatusFor(ZULError* error, const char* file, int line) {
    Keeper& keeper = TheKeeper();
    ZULError* kept = error ? Keep(keeper, error) : nullptr;
    std::string source = file ? file : "";
    source += ":" + std::to_string(line);
    auto key = std::make_pair(static_cast<const ZULError*>(kept), source);
    const auto known = keeper.statusOf.find(key);
    if (known != keeper.statusOf.end()) return known->second;
    const std::int32_t status = NextStatus(keeper);
    keeper.statuses.emplace(status, Record{kept, source});
    keeper.statusOf.emplace(std::move(key), status);
    return status;
}

bool Find(std::int32_t status, ZULError*& error, std::string& source) {
    const Keeper& keeper = TheKeeper();
    const auto it = keeper.statuses.find(status);
    if (it == keeper.statuses.end()) return false;
    error = it->second.error;
    source = it->second.source;
    return true;
}

}  // namespace ZULErrorKeeper
