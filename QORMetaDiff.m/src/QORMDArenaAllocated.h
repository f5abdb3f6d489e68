// SPDX-License-Identifier: Apache-2.0
// Classes, attributes and fields are created by the element that owns them
// and live in the arena of the document they were read from (QORMUArenaOf):
// millions of small objects, released all at once with the document instead
// of one by one. Such a class declares QORMD_ARENA_ALLOCATED, so that its
// objects can only be made with new (arena) T(...); deleting one (through
// its virtual destructor, by its owner) runs the destructor and leaves the
// memory to the arena.
#pragma once

#include <cstddef>

#include "QORMetaUtil/QORMUArena.h"

#define QORMD_ARENA_ALLOCATED                                                                        \
    static void* operator new(std::size_t size, QORMUArena& arena) { return arena.allocate(size); }  \
    static void operator delete(void* object, QORMUArena&) noexcept { QORMUArena::Release(object); } \
    static void operator delete(void* object) noexcept { QORMUArena::Release(object); }
