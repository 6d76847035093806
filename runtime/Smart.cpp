#include "runtime/Smart.h"

#include <sched.h>

#include <atomic>

#include "runtime/LockObject.h"
#include "runtime/ObjectMonitor.h"
#include "runtime/Reference.h"

pthread_mutex_t _global_mutex = PTHREAD_MUTEX_INITIALIZER;

namespace java::lang {

namespace {

// Monitors guard short sections. A thread that finds one held first spins a little with the processor
// told it is spinning, then gives the processor away a few times, and only then blocks: a hand-over of
// a short section then costs neither a ticket nor a sleep and wake-up.
constexpr int kSpinsBeforeQueueing = 64;
constexpr int kSpinsBeforeYielding = 128;
constexpr int kYieldsBeforeBlocking = 16;

inline void spinPause() {
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__)
    asm volatile("yield");
#endif
}

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

// The fast path: a free monitor with no ticket out is taken by one compare-and-swap, and left by
// another (leaveMonitor). Tickets are handed out and served under the object mutex as before, so the
// queue stays first come, first served. The one race, a ticket taken while the owner leaves without the
// mutex, is closed from both sides: the ticket taker stores its ticket and then reads the owner, the
// leaver frees the owner and then reads the tickets, both sequentially consistent, so at least one of
// them sees the other and serves the queue (serveQueuedIfFreeLocked).
LockObject* Smart::startSync() {
    const uint64_t me = ObjectMonitor::currentThreadToken();
    // Only this thread makes the owner its own token or moves it away from it, so the re-entry test
    // needs no lock.
    if (m_monitorOwner.load(std::memory_order_acquire) == me) return nullptr;
    // Made before the monitor is taken: a failed allocation must not leave the monitor held.
    auto* token = new LockObject();
    createMutex();
    bool taken = false;
    for (int spin = 0; spin < kSpinsBeforeQueueing; ++spin) {
        uint64_t expected = kMonitorFree;
        if (m_nextTicket.load(std::memory_order_relaxed) == 0 &&
            m_monitorOwner.compare_exchange_weak(expected, me, std::memory_order_acquire,
                                                 std::memory_order_relaxed)) {
            taken = true;
            break;
        }
        // Threads are queued: spinning on could only take the monitor out of their turn.
        if (m_nextTicket.load(std::memory_order_relaxed) != 0) break;
        spinPause();
    }
    if (!taken) {
        ObjectMonitor* block = monitor();
        pthread_mutex_lock(&block->mutex);
        if (enterMonitorLocked(me, false)) pthread_mutex_unlock(&block->mutex);
    }
    token->m_lockedObject = JavaPtr<Smart>(this);
    return token;
}

void Smart::leaveMonitor(uint64_t me) {
    if (m_nextTicket.load(std::memory_order_seq_cst) == 0) {
        uint64_t expected = me;
        if (m_monitorOwner.compare_exchange_strong(expected, kMonitorFree, std::memory_order_seq_cst)) {
            if (m_nextTicket.load(std::memory_order_seq_cst) == 0) return;
            // A ticket was taken meanwhile: its holder may have seen the monitor still held.
            ObjectMonitor* block = monitor();
            pthread_mutex_lock(&block->mutex);
            serveQueuedIfFreeLocked();
            pthread_mutex_unlock(&block->mutex);
            return;
        }
    }
    createMutex();
    ObjectMonitor* block = monitor();
    pthread_mutex_lock(&block->mutex);
    leaveMonitorLocked();
    pthread_mutex_unlock(&block->mutex);
}

void Smart::serveQueuedIfFreeLocked() {
    const int32_t serving = m_nowServing.load(std::memory_order_relaxed);
    if (serving == m_nextTicket.load(std::memory_order_relaxed)) return;
    uint64_t expected = kMonitorFree;
    // A newcomer may have taken the free monitor meanwhile: it serves the queue when it leaves.
    if (!m_monitorOwner.compare_exchange_strong(expected, kMonitorHandedOver, std::memory_order_seq_cst))
        return;
    const int32_t served = nextTicketAfter(serving);
    m_nowServing.store(served, std::memory_order_release);
    monitor()->wakeTicketHolder(served);
}

void Smart::leaveMonitorLocked() {
    handOverOrFreeLocked();
}

void Smart::handOverOrFreeLocked() {
    const int32_t serving = m_nowServing.load(std::memory_order_relaxed);
    if (serving == m_nextTicket.load(std::memory_order_relaxed)) {
        m_nowServing.store(0, std::memory_order_relaxed);
        m_nextTicket.store(0, std::memory_order_relaxed);
        m_monitorOwner.store(kMonitorFree, std::memory_order_release);
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
    m_nextTicket.store(ticket, std::memory_order_seq_cst);
    return ticket;
}

bool Smart::enterMonitorLocked(uint64_t me, bool keepLocked) {
    ObjectMonitor* block = monitor();
    uint64_t expected = kMonitorFree;
    if (m_nextTicket.load(std::memory_order_relaxed) == 0 &&
        m_monitorOwner.compare_exchange_strong(expected, me, std::memory_order_acquire)) {
        return true;
    }
    const int32_t ticket = takeTicketLocked();
    // The owner may have left without the mutex before it could see this ticket.
    if (m_monitorOwner.load(std::memory_order_seq_cst) == kMonitorFree) serveQueuedIfFreeLocked();
    if (m_nowServing.load(std::memory_order_relaxed) != ticket) {
        pthread_mutex_unlock(&block->mutex);
        for (int i = 0; i < kSpinsBeforeYielding; ++i) {
            if (m_nowServing.load(std::memory_order_acquire) == ticket) break;
            spinPause();
        }
        for (int i = 0; i < kYieldsBeforeBlocking; ++i) {
            if (m_nowServing.load(std::memory_order_acquire) == ticket) break;
            sched_yield();
        }
        // Served: the owner is "handed over", which only the holder of the served ticket changes.
        if (!keepLocked && m_nowServing.load(std::memory_order_acquire) == ticket) {
            m_monitorOwner.store(me, std::memory_order_release);
            return false;
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
    return true;
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

namespace {

// The objects of this thread whose count has reached zero while another object was being destroyed, in
// the order their counts fell; destroyed by the outermost death on the thread. Trivial thread-locals:
// nothing to construct or destroy at thread start and exit.
thread_local bool destroying = false;
thread_local Smart* dyingHead = nullptr;
thread_local Smart* dyingTail = nullptr;

}  // namespace

void destroyObject(Smart* object) noexcept {
    object->m_referenceCount.store(Smart::kDyingCount, std::memory_order_relaxed);
    if (std::atomic_ref<java::lang::ref::Reference*>(object->m_weakHead).load(std::memory_order_relaxed) !=
        nullptr)
        java::lang::ref::Reference::clearAllOf(object);
    object->m_nextDying = nullptr;
    if (destroying) {
        if (dyingTail != nullptr) {
            dyingTail->m_nextDying = object;
        } else {
            dyingHead = object;
        }
        dyingTail = object;
        return;
    }
    destroying = true;
    delete object;
    while (dyingHead != nullptr) {
        Smart* next = dyingHead;
        dyingHead = next->m_nextDying;
        if (dyingHead == nullptr) dyingTail = nullptr;
        delete next;
    }
    destroying = false;
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
