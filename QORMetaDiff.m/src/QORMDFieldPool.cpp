#include "QORMDFieldPool.h"

#include <memory_resource>
#include <mutex>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif

struct Pool {
    std::mutex lock;
    // Cells of kCellSize in chunks of up to 64 KiB, taken from the global heap.
    std::pmr::unsynchronized_pool_resource cells{
        std::pmr::pool_options{64 * 1024 / QORMDFieldPool::kCellSize, QORMDFieldPool::kCellSize}};
    std::size_t live = 0;
};

Pool& ThePool() {
    static Pool* pool = new Pool;  // never destroyed: fields may be freed during exit
    return *pool;
}

}  // namespace

void* QORMDFieldPool::Allocate(std::size_t size) {
    if (!kPooled || size != kCellSize) return ::operator new(size);
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    void* cell = pool.cells.allocate(kCellSize, alignof(std::max_align_t));
    ++pool.live;
    return cell;
}

void QORMDFieldPool::Free(void* cell, std::size_t size) noexcept {
    if (!cell) return;
    if (!kPooled || size != kCellSize) {
        ::operator delete(cell);
        return;
    }
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    pool.cells.deallocate(cell, kCellSize, alignof(std::max_align_t));
    if (--pool.live == 0) pool.cells.release();  // the last field: give every chunk back
}
