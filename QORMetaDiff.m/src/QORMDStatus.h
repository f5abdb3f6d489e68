// SPDX-License-Identifier: Apache-2.0
// The three outcomes of a library operation: succeed, raise (trace, create
// an error of catalog "MDErrorCatalog", return a failure carrying it) and
// propagate (trace, return a failure carrying the callee's error).
// module is the source module, such as "QORMetaDiff.m\\src\\QORMDMetaDomMgr".
#pragma once

#include <cstdint>

#include "ZULBase/ZULUnicodeString.h"

std::int32_t QORMDSucceed(const char* module, int line);
// Traces text, raises messageId with text as its one parameter.
std::int32_t QORMDRaise(const char* text, const char* messageId, const char* module, int line);
// Raises messageId with its one parameter, without a trace (the caller
// traced already).
std::int32_t QORMDRaiseWith(const char* messageId, const ZULUnicodeString& parameter, const char* module, int line);
// Traces text, fails carrying the error of calleeStatus.
std::int32_t QORMDPropagate(const char* text, std::int32_t calleeStatus, const char* module, int line);
