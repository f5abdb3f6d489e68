// SPDX-License-Identifier: Apache-2.0
#include "QORMDStatus.h"

#include "QORMetaUtil/QORMUTrace.h"
#include "ZULBase/ZULResourceError.h"

std::int32_t QORMDSucceed(const char* module, int line) {
    return ZULError::GetReturn(1, nullptr, nullptr, module, line);
}

std::int32_t QORMDRaiseWith(const char* messageId, const ZULUnicodeString& parameter, const char* module, int line) {
    ZULResourceError* error = new (ZULBaseUnknown{}) ZULResourceError(messageId, "MDErrorCatalog");
    error->SetNLSParameters(1, &parameter);
    return ZULError::GetReturn(2, error, nullptr, module, line);
}

std::int32_t QORMDRaise(const char* text, const char* messageId, const char* module, int line) {
    Trace(text, QORMUTrace_W3);
    return QORMDRaiseWith(messageId, ZULUnicodeString(text), module, line);
}

std::int32_t QORMDPropagate(const char* text, std::int32_t calleeStatus, const char* module, int line) {
    Trace(text, QORMUTrace_W3);
    return ZULError::GetReturn(2, ZULError::ZULGetLastError(calleeStatus, nullptr), nullptr, module, line);
}
