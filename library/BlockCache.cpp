#include "library/BlockCache.h"

#include <cstdlib>

namespace tesl {

namespace {

// A few freed blocks of one thread; the smallest that fits is taken first. Bounded in count and bytes, so
// a thread keeps at most kMaxCachedBytes it does not use.
class ThreadBlocks {
public:
    ~ThreadBlocks() {
        closed = true;
        for (Block& block : m_blocks) ::operator delete(block.storage);
    }

    void* take(size_t bytes) {
        Block* best = nullptr;
        for (Block& block : m_blocks) {
            if (block.storage == nullptr || block.bytes < bytes || block.bytes / 2 > bytes) continue;
            if (best == nullptr || block.bytes < best->bytes) best = &block;
        }
        if (best == nullptr) return nullptr;
        void* storage = best->storage;
        m_cachedBytes -= best->bytes;
        *best = Block{};
        return storage;
    }

    bool keep(void* storage, size_t bytes) {
        if (bytes > kMaxCachedBytes) return false;
        // The oldest blocks make room for the newest: the next container most likely repeats the last.
        for (size_t i = 0; i < kMaxBlocks && m_cachedBytes + bytes > kMaxCachedBytes; ++i) drop(oldest());
        Block* free = nullptr;
        for (Block& block : m_blocks)
            if (block.storage == nullptr) free = &block;
        if (free == nullptr) {
            free = oldest();
            drop(free);
        }
        *free = Block{storage, bytes, ++m_clock};
        m_cachedBytes += bytes;
        return true;
    }

    // Set once the thread's cache is gone: blocks freed later during the thread's exit go to the system.
    static thread_local inline bool closed = false;

private:
    struct Block {
        void* storage = nullptr;
        size_t bytes = 0;
        unsigned long long age = 0;
    };
    static constexpr size_t kMaxBlocks = 6;
    static constexpr size_t kMaxCachedBytes = 4 * 1024 * 1024;

    Block* oldest() {
        Block* found = nullptr;
        for (Block& block : m_blocks)
            if (block.storage != nullptr && (found == nullptr || block.age < found->age)) found = &block;
        return found;
    }
    void drop(Block* block) {
        if (block == nullptr) return;
        ::operator delete(block->storage);
        m_cachedBytes -= block->bytes;
        *block = Block{};
    }

    Block m_blocks[kMaxBlocks];
    size_t m_cachedBytes = 0;
    unsigned long long m_clock = 0;
};

thread_local ThreadBlocks threadBlocks;

}  // namespace

void* BlockCache::allocate(size_t bytes) {
    if (bytes >= kMinimumBlockBytes && !ThreadBlocks::closed) {
        if (void* storage = threadBlocks.take(bytes)) return storage;
    }
    return ::operator new(bytes);
}

void BlockCache::release(void* block, size_t bytes) noexcept {
    if (block == nullptr) return;
    if (bytes >= kMinimumBlockBytes && !ThreadBlocks::closed && threadBlocks.keep(block, bytes)) return;
    ::operator delete(block);
}

}  // namespace tesl
