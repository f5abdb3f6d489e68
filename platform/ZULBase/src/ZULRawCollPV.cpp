// SPDX-License-Identifier: Apache-2.0
#include "ZULBase/ZULRawCollPV.h"

ZULRawCollPV::ZULRawCollPV(int size) {
    if (size > 0) items_.reserve(static_cast<std::size_t>(size));
}

int ZULRawCollPV::Append(void* item) {
    items_.push_back(item);
    return Size();
}

void*& ZULRawCollPV::operator[](int position) { return items_.at(static_cast<std::size_t>(position - 1)); }

void* ZULRawCollPV::operator[](int position) const { return items_.at(static_cast<std::size_t>(position - 1)); }

void ZULRawCollPV::RemoveAll(ZULCollec::MemoryHandling) {
    items_.clear();
    items_.shrink_to_fit();
}
