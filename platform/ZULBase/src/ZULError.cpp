// SPDX-License-Identifier: Apache-2.0
#include "ZULBase/ZULError.h"

#include "ErrorKeeper.h"

ZULError::ZULError(const char* messageId, const char* catalogName)
    : messageId_(messageId ? messageId : ""), catalogName_(catalogName ? catalogName : "") {}

ZULError::~ZULError() = default;

std::int32_t ZULError::GetReturn(int severity, ZULError* error, void*, const char* file, int line) {
    if (severity < 2) return 0;
    return ZULErrorKeeper::StatusFor(error, file, line);
}

ZULError* ZULError::ZULGetLastError(std::int32_t status, void*) {
    ZULError* error = nullptr;
    std::string source;
    return status < -1 && ZULErrorKeeper::Find(status, error, source) ? error : nullptr;
}

std::string ZULError::GetStatusSource(std::int32_t status) {
    ZULError* error = nullptr;
    std::string source;
    return status < 0 && ZULErrorKeeper::Find(status, error, source) ? source : std::string();
}
