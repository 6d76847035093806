// BlockCache: large blocks kept by each thread after a container frees them, for its next containers of
// the same size. The allocator gives big blocks back to the system on free and takes fresh, unmapped pages
// on the next allocation, so a table built and dropped again and again would fault in every page each
// time. BlockCacheAllocator hands a standard container's storage to it.
#pragma once

#include <cstddef>
#include <new>

namespace tesl {

class BlockCache {
public:
    // Blocks below this size are left to the allocator, which reuses them without any help.
    static constexpr size_t kMinimumBlockBytes = 64 * 1024;

    // A block of at least `bytes`: a cached one of at most twice the size when there is one, else a new
    // one. Throws std::bad_alloc.
    static void* allocate(size_t bytes);
    // Frees a block of allocate(bytes), or keeps it for this thread's next allocations.
    static void release(void* block, size_t bytes) noexcept;
};

template <class T>
class BlockCacheAllocator {
public:
    using value_type = T;

    BlockCacheAllocator() noexcept = default;
    template <class U>
    BlockCacheAllocator(const BlockCacheAllocator<U>&) noexcept {}

    T* allocate(size_t count) { return static_cast<T*>(BlockCache::allocate(count * sizeof(T))); }
    void deallocate(T* block, size_t count) noexcept { BlockCache::release(block, count * sizeof(T)); }

    template <class U>
    bool operator==(const BlockCacheAllocator<U>&) const noexcept {
        return true;
    }
};

}  // namespace tesl
