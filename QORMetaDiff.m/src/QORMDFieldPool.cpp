#include "QORMDFieldPool.h"

#include <mutex>
#include <new>

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif
constexpr std::size_t kBlockSize = 64 * 1024;

struct FreeCell {
    FreeCell* next;
};

// A block's first cell links it to the block before; the rest are fields.
struct BlockHeader {
    BlockHeader* previous;
};

struct Pool {
    std::mutex lock;
    BlockHeader* lastBlock = nullptr;
    FreeCell* freeCells = nullptr;
    std::size_t usedInLastBlock = kBlockSize;  // no block yet
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
    void* cell;
    if (pool.freeCells) {
        cell = pool.freeCells;
        pool.freeCells = pool.freeCells->next;
    } else {
        if (pool.usedInLastBlock + kCellSize > kBlockSize) {
            auto* block = static_cast<BlockHeader*>(::operator new(kBlockSize));
            block->previous = pool.lastBlock;
            pool.lastBlock = block;
            pool.usedInLastBlock = kCellSize;
        }
        cell = reinterpret_cast<char*>(pool.lastBlock) + pool.usedInLastBlock;
        pool.usedInLastBlock += kCellSize;
    }
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
    if (--pool.live == 0) {  // the last field: give every block back
        while (pool.lastBlock) {
            BlockHeader* previous = pool.lastBlock->previous;
            ::operator delete(pool.lastBlock);
            pool.lastBlock = previous;
        }
        pool.freeCells = nullptr;
        pool.usedInLastBlock = kBlockSize;
        return;
    }
    auto* freed = static_cast<FreeCell*>(cell);
    freed->next = pool.freeCells;
    pool.freeCells = freed;
}
