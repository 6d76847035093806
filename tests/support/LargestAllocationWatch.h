// The largest single allocation made while a watch is open, seen through the sanitizer runtime's
// allocation hooks: what a hostile declared length costs. Builds without a sanitizer see nothing, and
// the tests then check results only.
#pragma once

#include <atomic>
#include <cstddef>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define QUILL_ALLOCATION_HOOKS 1
// From the sanitizer runtime's allocator interface (the compiler ships no header for it).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*onMalloc)(const volatile void*, size_t),
                                                         void (*onFree)(const volatile void*));
#endif

namespace testsupport {

class LargestAllocationWatch {
public:
    LargestAllocationWatch() {
#ifdef QUILL_ALLOCATION_HOOKS
        // The runtime refuses a pair with either hook null, so frees get a hook that does nothing.
        static const bool installed = __sanitizer_install_malloc_and_free_hooks(record, ignoreFree) != 0;
        m_installed = installed;
#endif
        s_largest = 0;
        s_watching = true;
    }
    ~LargestAllocationWatch() {
        s_watching = false;
    }
    LargestAllocationWatch(const LargestAllocationWatch&) = delete;
    LargestAllocationWatch& operator=(const LargestAllocationWatch&) = delete;

    size_t largest() const {
        return s_largest;
    }
    // Whether allocations are seen at all: false without a sanitizer, or when the runtime refused the hooks.
    bool seesAllocations() const {
        return m_installed;
    }
    static constexpr bool kSeesAllocations =
#ifdef QUILL_ALLOCATION_HOOKS
        true;
#else
        false;
#endif

private:
    static void record(const volatile void*, size_t size) {
        if (!s_watching) return;
        size_t seen = s_largest.load();
        while (size > seen && !s_largest.compare_exchange_weak(seen, size)) {
        }
    }
    static void ignoreFree(const volatile void*) {}
    bool m_installed = false;
    static inline std::atomic<bool> s_watching{false};
    static inline std::atomic<size_t> s_largest{0};
};

}  // namespace testsupport
