// SPDX-License-Identifier: Apache-2.0
// Pages on POSIX systems: anonymous mappings, advised for transparent huge
// pages from 2 MiB up.
#include "QORMUPages.h"

#include <sys/mman.h>

#include <cstdint>

void* QORMUMapPages(std::size_t size) {
    if (size < QORMULargePageSize) {
        void* p = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        return p == MAP_FAILED ? nullptr : p;
    }
    // A huge page needs a 2 MiB aligned range: map one more and trim both ends.
    void* p = ::mmap(nullptr, size + QORMULargePageSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return nullptr;
    char* raw = static_cast<char*>(p);
    const std::uintptr_t address = reinterpret_cast<std::uintptr_t>(raw);
    char* base = raw + (QORMULargePageSize - address % QORMULargePageSize) % QORMULargePageSize;
    if (base > raw) ::munmap(raw, static_cast<std::size_t>(base - raw));
    const std::size_t tail = static_cast<std::size_t>((raw + size + QORMULargePageSize) - (base + size));
    if (tail > 0) ::munmap(base + size, tail);
    // Where the kernel does not offer huge pages this fails and changes nothing.
    ::madvise(base, size, MADV_HUGEPAGE);
    return base;
}

void QORMUUnmapPages(void* pages, std::size_t size) { ::munmap(pages, size); }
