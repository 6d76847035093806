#include "runtime/LockObject.h"

#include <cassert>
#include <new>

#include "runtime/ObjectMonitor.h"

namespace {

// Tokens live for one synchronized block, so each thread keeps a few freed ones for its next blocks
// instead of going to the heap each time. A token freed on another thread joins that thread's pool.
class TokenPool {
public:
    ~TokenPool() {
        closed = true;
        while (m_head != nullptr) {
            FreeToken* next = m_head->next;
            ::operator delete(m_head);
            m_head = next;
        }
    }
    void* take() {
        if (m_head == nullptr) return ::operator new(sizeof(LockObject));
        FreeToken* token = m_head;
        m_head = token->next;
        --m_count;
        return token;
    }
    void give(void* storage) {
        if (closed || m_count == kMaxPooled) {
            ::operator delete(storage);
            return;
        }
        m_head = new (storage) FreeToken{m_head};
        ++m_count;
    }

    // Set once the thread's pool is gone: tokens freed later during the thread's exit go to the heap.
    static thread_local inline bool closed = false;

private:
    struct FreeToken {
        FreeToken* next;
    };
    static constexpr int kMaxPooled = 8;
    FreeToken* m_head = nullptr;
    int m_count = 0;
};

thread_local TokenPool tokenPool;

}  // namespace

void* LockObject::operator new(std::size_t size) {
    if (size != sizeof(LockObject) || TokenPool::closed) return ::operator new(size);
    return tokenPool.take();
}

void LockObject::operator delete(void* storage, std::size_t size) noexcept {
    if (size != sizeof(LockObject) || TokenPool::closed) {
        ::operator delete(storage);
        return;
    }
    tokenPool.give(storage);
}

LockObject::~LockObject() {
    java::lang::Smart* locked = m_lockedObject.get();
    if (locked == nullptr) return;
    const uint64_t me = java::lang::ObjectMonitor::currentThreadToken();
    assert(locked->m_monitorOwner.load(std::memory_order_relaxed) == me &&
           "a monitor token was released on a thread that does not hold the monitor; keep tokens local");
    locked->leaveMonitor(me);
    m_lockedObject = nullptr;
}
