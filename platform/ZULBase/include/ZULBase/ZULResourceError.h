// SPDX-License-Identifier: Apache-2.0
// ZULResourceError: an error built from a message id of a message catalog.
// Created only through the framework's allocation, which hands the object to
// the framework's keeper (see ZULError.h):
//     ZULResourceError* e = new (ZULBaseUnknown{}) ZULResourceError("MDFileError_1", "MDErrorCatalog");
#pragma once

#include <cstddef>

#include "ZULBase/ZULError.h"

// Tag of the framework's allocation operator.
struct ZULBaseUnknown {};

class ZULResourceError : public ZULError {
public:
    ZULResourceError(const char* messageId, const char* catalogName);

    static void* operator new(std::size_t size, ZULBaseUnknown);
    static void operator delete(void* memory, ZULBaseUnknown) noexcept;  // if construction throws
    static void operator delete(void* memory) noexcept;

    // count, then that many ZULUnicodeString*; replaces earlier parameters.
    int SetNLSParameters(int count, ...);
    void SetInformationOnErrorType(ZULErrorType type) { type_ = type; }
    ZULUnicodeString GetText() const override;

private:
    ~ZULResourceError() override;
};
