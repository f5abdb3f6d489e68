#include "ZULBase/ZULError.h"

#include <deque>
#include <memory>

#include "ErrorKeeper.h"

namespace {

struct StatusRecord {
    std::int32_t status;
    std::shared_ptr<ZULError> error;
    std::string source;
};

// Failure statuses count down from -2 and wrap back to -2. The plain -1
// that lower-level operations return never carries an error, so it is
// never a status built here.
std::int32_t NextFailureStatus() {
    static std::int32_t last = -1;
    last = (last <= INT32_MIN + 1) ? -2 : last - 1;
    return last;
}

std::deque<StatusRecord>& Statuses() {
    static std::deque<StatusRecord> statuses;
    return statuses;
}

const StatusRecord* FindStatus(std::int32_t status) {
    for (auto it = Statuses().rbegin(); it != Statuses().rend(); ++it)
        if (it->status == status) return &*it;
    return nullptr;
}

}  // namespace

ZULError::ZULError(const char* messageId, const char* catalogName)
    : messageId_(messageId ? messageId : ""), catalogName_(catalogName ? catalogName : "") {}

ZULError::~ZULError() = default;

std::int32_t ZULError::GetReturn(int severity, ZULError* error, void*, const char* file, int line) {
    if (severity < 2) return 0;
    const std::int32_t status = NextFailureStatus();
    std::string source = file ? file : "";
    source += ":" + std::to_string(line);
    Statuses().push_back(StatusRecord{status, ZULErrorKeeper::Share(error), std::move(source)});
    if (Statuses().size() > kRetained) Statuses().pop_front();
    return status;
}

ZULError* ZULError::ZULGetLastError(std::int32_t status, void*) {
    if (status >= -1) return nullptr;
    const StatusRecord* record = FindStatus(status);
    return record ? record->error.get() : nullptr;
}

std::string ZULError::GetStatusSource(std::int32_t status) {
    const StatusRecord* record = status < 0 ? FindStatus(status) : nullptr;
    return record ? record->source : std::string();
}
