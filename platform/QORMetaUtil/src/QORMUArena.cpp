// SPDX-License-Identifier: Apache-2.0
#include "QORMetaUtil/QORMUArena.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include <xercesc/dom/impl/DOMDocumentImpl.hpp>
#include <xercesc/util/OutOfMemoryException.hpp>
#include <xercesc/util/PlatformUtils.hpp>

#include "QORMUPages.h"

#if defined(__has_include)
#if __has_include(<valgrind/valgrind.h>)
#include <valgrind/valgrind.h>
#define QORMU_HAVE_VALGRIND_H 1
#endif
#endif

#if defined(__SANITIZE_ADDRESS__)
#define QORMU_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QORMU_SANITIZED 1
#endif
#endif

namespace {

constexpr std::size_t kHugePage = QORMULargePageSize;
constexpr std::size_t kPage = QORMUPageSize;
constexpr std::size_t kAlign = alignof(std::max_align_t);
// Regions double from the first size up to the last, so that a small
// document maps little and a large one few regions.
constexpr std::size_t kFirstRegion = kHugePage;
constexpr std::size_t kLastRegion = 32 * kHugePage;

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

}  // namespace

bool QORMUArena::PassThrough() {
#if defined(QORMU_SANITIZED)
    return true;
#elif defined(QORMU_HAVE_VALGRIND_H)
    static const bool underValgrind = RUNNING_ON_VALGRIND != 0;
    return underValgrind;
#else
    return false;
#endif
}

QORMUArena::QORMUArena() = default;

QORMUArena::~QORMUArena() {
    for (const Mapping& m : regions_) QORMUUnmapPages(m.base, m.size);
    for (const Mapping& m : large_) QORMUUnmapPages(m.base, m.size);
}

xercesc::MemoryManager* QORMUArena::getExceptionMemoryManager() { return xercesc::XMLPlatformUtils::fgMemoryManager; }

QORMUArena::Mapping QORMUArena::Map(std::size_t size) {
    void* p = QORMUMapPages(size);
    if (!p) throw xercesc::OutOfMemoryException();
    return {static_cast<char*>(p), size};
}

void QORMUArena::NewRegion(std::size_t atLeast) {
    std::size_t size = regions_.empty() ? kFirstRegion : std::min(regions_.back().size * 2, kLastRegion);
    size = std::max(size, RoundUp(atLeast, kHugePage));
    regions_.reserve(regions_.size() + 1);  // so that a failure below cannot lose the mapping
    const Mapping region = Map(size);
    regions_.push_back(region);
    mapped_ += region.size;
    next_ = region.base;
    end_ = region.base + region.size;
}

void* QORMUArena::allocate(XMLSize_t size) {
    if (size == 0) size = 1;
    if (PassThrough()) {
        void* p = std::malloc(size);
        if (!p) throw xercesc::OutOfMemoryException();
        return p;
    }
    if (size >= kLargeBlock) {
        large_.reserve(large_.size() + 1);
        const Mapping block = Map(RoundUp(size, kPage));
        large_.push_back(block);
        mapped_ += block.size;
        return block.base;
    }
    const std::size_t rounded = RoundUp(size, kAlign);
    if (static_cast<std::size_t>(end_ - next_) < rounded) NewRegion(rounded);
    void* p = next_;
    next_ += rounded;
    return p;
}

void QORMUArena::deallocate(void* p) {
    if (!p) return;
    if (PassThrough()) {
        std::free(p);
        return;
    }
    // Only a large block goes back now; the rest goes with the arena.
    for (auto it = large_.rbegin(); it != large_.rend(); ++it) {
        if (it->base != p) continue;
        QORMUUnmapPages(it->base, it->size);
        mapped_ -= it->size;
        large_.erase(std::next(it).base());
        return;
    }
}

void QORMUArena::Release(void* p) noexcept {
    if (PassThrough()) std::free(p);
}

void* QORMUArena::do_allocate(std::size_t bytes, std::size_t alignment) {
    if (alignment > kAlign) throw std::bad_alloc();
    try {
        return allocate(bytes);
    } catch (const xercesc::OutOfMemoryException&) {
        throw std::bad_alloc();
    }
}

void QORMUArena::do_deallocate(void* p, std::size_t, std::size_t) { deallocate(p); }

QORMUArena& QORMUArenaOf(const xercesc::DOMNode* node) {
    const xercesc::DOMDocument* document = node && node->getNodeType() == xercesc::DOMNode::DOCUMENT_NODE
                                               ? static_cast<const xercesc::DOMDocument*>(node)
                                           : node ? node->getOwnerDocument()
                                                  : nullptr;
    // Xerces' only document class is DOMDocumentImpl.
    const auto* impl = static_cast<const xercesc::DOMDocumentImpl*>(document);
    auto* arena = impl ? dynamic_cast<QORMUArena*>(impl->getMemoryManager()) : nullptr;
    if (!arena) throw std::logic_error("the document was not made by cDDLXMLParser and has no arena");
    return *arena;
}
