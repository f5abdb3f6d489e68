// SPDX-License-Identifier: Apache-2.0
// ZULRawCollPV: a growable list of untyped pointers, indexed from 1.
// The list never owns what its pointers point to.
#pragma once

#include <vector>

namespace ZULCollec {
// How RemoveAll treats the pointed-to objects. The list never deletes them:
// callers delete the objects first, then empty the list.
enum MemoryHandling { kKeepObjects = 0, kObjectsReleasedByCaller = 1 };
}  // namespace ZULCollec

class ZULRawCollPV {
public:
    explicit ZULRawCollPV(int size = 0);

    // Appends at the end; returns the new element's position (1-based).
    int Append(void* item);
    // Positions 1 to Size(); any other position is a programming error and throws std::out_of_range.
    void*& operator[](int position);
    void* operator[](int position) const;
    int Size() const { return static_cast<int>(items_.size()); }
    void RemoveAll(ZULCollec::MemoryHandling handling = ZULCollec::kObjectsReleasedByCaller);

private:
    std::vector<void*> items_;
};
