// SPDX-License-Identifier: Apache-2.0
// QORMUArena: memory for things that are all released together (a parsed
// document with the model read from it, a parser, the diff document). Requests are cut from large
// regions in huge pages where the system offers them (transparent huge pages
// on Linux, large pages on Windows where granted), and nothing is given back
// before the arena goes: a document is millions of small nodes, and on a
// virtual machine the page faults of touching them one 4 KiB page at a time
// cost more than parsing them. Blocks of kLargeBlock bytes or more get a
// mapping of their own, returned on deallocate, so that a growing buffer
// does not leave its earlier copies behind.
//
// In sanitizer builds and under valgrind every request goes to malloc and
// every deallocate to free, so that leaks and invalid accesses are still seen.
//
// Xerces takes an arena as its MemoryManager, standard containers as a
// std::pmr::memory_resource. Not thread-safe: an arena belongs to one run in
// one thread.
#pragma once

#include <cstddef>
#include <memory_resource>
#include <vector>

#include <xercesc/dom/DOMNode.hpp>
#include <xercesc/framework/MemoryManager.hpp>

class QORMUArena final : public xercesc::MemoryManager, public std::pmr::memory_resource {
public:
    static constexpr std::size_t kLargeBlock = 1024 * 1024;

    QORMUArena();
    ~QORMUArena() override;
    QORMUArena(const QORMUArena&) = delete;
    QORMUArena& operator=(const QORMUArena&) = delete;

    // Throws xercesc::OutOfMemoryException when the system has no memory left.
    void* allocate(XMLSize_t size) override;
    void deallocate(void* p) override;
    // Exceptions may outlive the arena: their memory comes from the heap.
    xercesc::MemoryManager* getExceptionMemoryManager() override;

    // Gives back memory that came from some arena's allocate before the
    // arena goes: nothing to do but in pass-through mode. For objects that
    // do not keep track of their arena (see QORMUArenaOf).
    static void Release(void* p) noexcept;

    // Bytes mapped so far (regions and large blocks); 0 when passing through.
    std::size_t Mapped() const { return mapped_; }
    // Whether requests go straight to malloc and free.
    static bool PassThrough();

private:
    void* do_allocate(std::size_t bytes, std::size_t alignment) override;
    void do_deallocate(void* p, std::size_t bytes, std::size_t alignment) override;
    bool do_is_equal(const std::pmr::memory_resource& other) const noexcept override { return &other == this; }

    struct Mapping {
        char* base;
        std::size_t size;
    };
    static Mapping Map(std::size_t size);
    void NewRegion(std::size_t atLeast);

    std::vector<Mapping> regions_;  // cut from front to back, released with the arena
    std::vector<Mapping> large_;    // one block each
    char* next_ = nullptr;          // free space of the newest region
    char* end_ = nullptr;
    std::size_t mapped_ = 0;
};

// The arena of the document that node belongs to (node may be the document
// itself). Every document that cDDLXMLParser parses or creates has one;
// any other throws std::logic_error.
QORMUArena& QORMUArenaOf(const xercesc::DOMNode* node);
