// QORMDFieldPool: memory for cQORMDMetaField objects. A loaded document has
// several fields per element, hundreds of thousands in all; from malloc each
// costs a call and a 16-byte header, half again the field's own size. Here
// fields take cells of a standard pool resource, and its chunks go back when
// the last field is freed, so nothing is held between runs. Other sizes, and every size in sanitizer builds (which
// must see each object), go to the global operator new.
#pragma once

#include <cstddef>

class QORMDFieldPool {
public:
    static constexpr std::size_t kCellSize = 32;

    static void* Allocate(std::size_t size);
    static void Free(void* cell, std::size_t size) noexcept;
};
