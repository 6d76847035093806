#include "runtime/Smart.h"

#include <sched.h>

#include <atomic>

#include "runtime/LockObject.h"
#include "runtime/ObjectMonitor.h"
#include "runtime/Reference.h"

pthread_mutex_t _global_mutex = PTHREAD_MUTEX_INITIALIZER;

namespace java::lang {

namespace {

// A thread whose ticket is about to be served gives the processor away a few times before it blocks:
// hand-overs of short critical sections then cost no sleep and wake-up.
constexpr int kYieldsBeforeBlocking = 16;

int32_t nextTicketAfter(int32_t ticket) {
    return static_cast<int32_t>(static_cast<uint32_t>(ticket) + 1u);
}

}  // namespace

Smart::~Smart() {
    delete m_objectMonitor.load(std::memory_order_acquire);
}

void Smart::createMutex() {
    if (m_objectMonitor.load(std::memory_order_acquire) != nullptr) return;
    pthread_mutex_lock(&_global_mutex);
    if (m_objectMonitor.load(std::memory_order_relaxed) == nullptr) {
        m_objectMonitor.store(new ObjectMonitor(), std::memory_order_release);
    }
    pthread_mutex_unlock(&_global_mutex);
}

pthread_mutex_t* Smart::objectMutex() const {
    ObjectMonitor* block = monitor();
    return block != nullptr ? &block->mutex : nullptr;
}

LockObject* Smart::startSync() {
    const uint64_t me = ObjectMonitor::currentThreadToken();
    // Only this thread makes the owner its own token or moves it away from it, so the re-entry test
    // needs no lock.
    if (m_monitorOwner.load(std::memory_order_acquire) == me) return nullptr;
    // Made before the monitor is taken: a failed allocation must not leave the monitor held.
    auto* token = new LockObject();
    createMutex();
    ObjectMonitor* block = monitor();
    pthread_mutex_lock(&block->mutex);
    enterMonitorLocked(me);
    pthread_mutex_unlock(&block->mutex);
    token->m_lockedObject = JavaPtr<Smart>(this);
    return token;
}

void Smart::leaveMonitorLocked() {
    const int32_t serving = m_nowServing.load(std::memory_order_relaxed);
    if (serving == m_nextTicket.load(std::memory_order_relaxed)) {
        m_monitorOwner.store(kMonitorFree, std::memory_order_release);
        m_nowServing.store(0, std::memory_order_relaxed);
        m_nextTicket.store(0, std::memory_order_relaxed);
        return;
    }
    // Newcomers find the owner set and queue behind the served ticket, which keeps the order fair.
    m_monitorOwner.store(kMonitorHandedOver, std::memory_order_release);
    const int32_t served = nextTicketAfter(serving);
    m_nowServing.store(served, std::memory_order_release);
    monitor()->wakeTicketHolder(served);
}

int32_t Smart::takeTicketLocked() {
    const int32_t ticket = nextTicketAfter(m_nextTicket.load(std::memory_order_relaxed));
    m_nextTicket.store(ticket, std::memory_order_relaxed);
    return ticket;
}

void Smart::enterMonitorLocked(uint64_t me) {
    ObjectMonitor* block = monitor();
    if (m_monitorOwner.load(std::memory_order_relaxed) != kMonitorFree) {
        const int32_t ticket = takeTicketLocked();
        pthread_mutex_unlock(&block->mutex);
        for (int i = 0; i < kYieldsBeforeBlocking; ++i) {
            if (m_nowServing.load(std::memory_order_acquire) == ticket) break;
            sched_yield();
        }
        pthread_mutex_lock(&block->mutex);
        if (m_nowServing.load(std::memory_order_relaxed) != ticket) {
            MonitorWaiter waiter;
            waiter.ticket = ticket;
            block->addTicketWaiter(&waiter);
            while (m_nowServing.load(std::memory_order_relaxed) != ticket) {
                pthread_cond_wait(&waiter.wakeUp, &block->mutex);
            }
            block->removeTicketWaiter(&waiter);
        }
    }
    m_monitorOwner.store(me, std::memory_order_release);
}

}  // namespace java::lang

using java::lang::Smart;

void m_RtypeSetAndAcquire(Smart** slot, Smart* counted, void* typed) {
    if (typed == nullptr) {
        *slot = nullptr;
        return;
    }
    *slot = counted;
    acquireCounted(counted);
}

void m_RtypeRelease(Smart** slot, bool) {
    Smart* object = *slot;
    *slot = nullptr;
    releaseCounted(object);
}

void destroyObject(Smart* object) {
    object->m_referenceCount.store(Smart::kDyingCount, std::memory_order_relaxed);
    if (object->m_weakHead != nullptr) java::lang::ref::Reference::clearAll(object->m_weakHead);
    delete object;
}

void assign(void* target, void* source, Smart** slot, Smart* counted) {
    if (target == source) return;
    // The new value is held before the old one goes, so `node = node->next` cannot free the new node.
    acquireCounted(counted);
    Smart* old = *slot;
    *slot = counted;
    m_RtypeRelease(&old, true);
}

void* recastObj(Smart* p, int typeId) {
    return p ? p->castAsTypeID(typeId) : nullptr;
}

bool instanceofObj(Smart* p, int typeId) {
    return p != nullptr && p->castAsTypeID(typeId) != nullptr;
}

int32_t dimensionCountOf(Smart* p) {
    p->getClassTypeName();  // an array records its dimension count here
    // Read as the array writes it: atomically, since other threads may be naming the same array.
    return std::atomic_ref<int32_t>(p->m_dimensionCount).load(std::memory_order_acquire);
}

bool instanceofArray(Smart* p, int typeId, int dimensions) {
    if (p == nullptr) return false;
    const int32_t ownDimensions = dimensionCountOf(p);
    if (ownDimensions == dimensions) return p->castAsTypeID(typeId) != nullptr;
    if (typeId == tesl::classTypeIdOf("java.lang.Object")) return ownDimensions > dimensions;
    return false;
}
