#include "runtime/Reference.h"

#include <atomic>
#include <mutex>

namespace java::lang::ref {

namespace {

// Guards every referent and weak-reference list: a get() on one thread and the death of the referent
// on another must not interleave, or get() could count an object that is already being freed.
std::mutex weakReferences;

}  // namespace

Reference::~Reference() {
    clear();
}

void Reference::clear() {
    std::lock_guard<std::mutex> lock(weakReferences);
    clearLocked();
}

void Reference::clearLocked() {
    if (m_referent == nullptr) return;
    Smart* owner = m_referent;
    // Atomic: a release on another thread reads the head without the lock to see whether any is left.
    std::atomic_ref<Reference*> head(owner->m_weakHead);
    if (head.load(std::memory_order_relaxed) == this) head.store(m_next, std::memory_order_relaxed);
    if (m_previous != nullptr) m_previous->m_next = m_next;
    if (m_next != nullptr) m_next->m_previous = m_previous;
    m_previous = nullptr;
    m_next = nullptr;
    m_referent = nullptr;
}

JavaPtr<Object> Reference::get() {
    std::lock_guard<std::mutex> lock(weakReferences);
    if (m_referent == nullptr) return nullptr;
    // A count of 0 or below is a death under way: taking a reference then would revive nothing and
    // leave the caller holding an object about to be freed.
    std::atomic<int32_t>& count = static_cast<Smart*>(m_referent)->m_referenceCount;
    int32_t seen = count.load(std::memory_order_relaxed);
    while (seen > 0) {
        if (count.compare_exchange_weak(seen, seen + 1, std::memory_order_relaxed)) {
            return JavaPtr<Object>::adopt(m_referent);
        }
    }
    return nullptr;
}

void Reference::clearAll(Reference* head) {
    std::lock_guard<std::mutex> lock(weakReferences);
    while (head != nullptr) {
        Reference* next = head->m_next;
        head->clearLocked();
        head = next;
    }
}

void Reference::clearAllOf(Smart* owner) {
    std::lock_guard<std::mutex> lock(weakReferences);
    Reference* head = std::atomic_ref<Reference*>(owner->m_weakHead).load(std::memory_order_relaxed);
    while (head != nullptr) {
        Reference* next = head->m_next;
        head->clearLocked();
        head = next;
    }
}

}  // namespace java::lang::ref
