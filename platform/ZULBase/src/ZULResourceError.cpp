// SPDX-License-Identifier: Apache-2.0
#include "ZULBase/ZULResourceError.h"

#include <cstdarg>
#include <new>

#include "ErrorKeeper.h"
#include "ZULBase/ZULMessageCatalog.h"

ZULResourceError::ZULResourceError(const char* messageId, const char* catalogName) : ZULError(messageId, catalogName) {
    ZULErrorKeeper::Adopt(this);
}

ZULResourceError::~ZULResourceError() = default;

void* ZULResourceError::operator new(std::size_t size, ZULBaseUnknown) { return ::operator new(size); }

void ZULResourceError::operator delete(void* memory, ZULBaseUnknown) noexcept { ::operator delete(memory); }

void ZULResourceError::operator delete(void* memory) noexcept { ::operator delete(memory); }

int ZULResourceError::SetNLSParameters(int count, ...) {
    parameters_.clear();
    va_list args;
    va_start(args, count);
    for (int i = 0; i < count; ++i) {
        const ZULUnicodeString* parameter = va_arg(args, const ZULUnicodeString*);
        parameters_.push_back(parameter ? *parameter : ZULUnicodeString());
    }
    va_end(args);
    return 0;
}

ZULUnicodeString ZULResourceError::GetText() const {
    return ZULMessageCatalog::Format(catalogName_.c_str(), messageId_.c_str(), parameters_);
}
