// SPDX-License-Identifier: Apache-2.0
// Memory straight from the system, for the arenas: zeroed, readable and
// writable pages, in large (huge) pages where the system offers them for
// the asking (Linux: transparent huge pages; Windows: large pages where the
// process holds the privilege to lock memory).
#pragma once

#include <cstddef>

// Pages of a whole number of QORMUPageSize bytes at least size; null when the
// system has no memory left. Sizes from QORMULargePageSize up are aligned
// for large pages.
void* QORMUMapPages(std::size_t size);
// Gives back what QORMUMapPages(size) returned.
void QORMUUnmapPages(void* pages, std::size_t size);

constexpr std::size_t QORMUPageSize = 4096;
constexpr std::size_t QORMULargePageSize = 2 * 1024 * 1024;
