// The virtual root of every runtime object and interface: reference count, array dimension count,
// monitor fields, the lazily made object mutex and the head of the weak-reference list.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cassert>
#include <cstdint>

#include "runtime/ClassDeclaration.h"

namespace java::lang::ref {
class Reference;
}
class LockObject;

namespace java::lang {

class Object;
class ObjectMonitor;

class Smart {
public:
    static constexpr int32_t TESLclassTypeID = ::tesl::classTypeIdOf("java.lang.Smart");
    static constexpr const char* TESLclassName = "java.lang.Smart";
    // The count an object carries while it is being destroyed: acquisitions leave it alone and
    // releases never bring it back to zero.
    static constexpr int32_t kDyingCount = -9999;

    Smart() noexcept {}
    // A copy is a new object: it shares no count, monitor, mutex or weak reference with its source.
    Smart(const Smart&) noexcept {}
    Smart& operator=(const Smart&) = delete;
    virtual ~Smart();

    virtual const char* getClassTypeName() { return TESLclassName; }
    virtual void* castAsTypeID(int typeId) { return castAsTypeIDS(this, typeId); }
    static void* castAsTypeIDS(Smart* p, int typeId) {
        if (typeId == TESLclassTypeID) return p;
        return p ? nullptr : ::tesl::notAnswered();
    }

    // Monitor owner values besides a thread's token (ObjectMonitor::currentThreadToken).
    static constexpr uint64_t kMonitorFree = 0;
    // Left by its owner to the holder of the now-serving ticket, which has not taken it yet.
    static constexpr uint64_t kMonitorHandedOver = ~uint64_t{0};

    // Enters the monitor, blocking while another thread holds it. Returns a token (count 0) whose
    // destruction leaves the monitor, or null when the calling thread already holds it.
    LockObject* startSync();

    // Creates the object mutex (with the monitor's queues) once, under the process-wide mutex.
    void createMutex();
    pthread_mutex_t* objectMutex() const;

    // Reference count: acquisitions are relaxed, releases acquire-release so that the thread that
    // frees an object sees every write made through other references.
    std::atomic<int32_t> m_referenceCount{0};
    int32_t m_dimensionCount = 0;
    // Monitor state. Tickets are written under the object mutex; the owner too, except that a free
    // monitor with no ticket out is taken and left by compare-and-swap without it (Smart::startSync).
    std::atomic<uint64_t> m_monitorOwner{kMonitorFree};
    std::atomic<int32_t> m_nowServing{0};
    std::atomic<int32_t> m_nextTicket{0};
    std::atomic<ObjectMonitor*> m_objectMonitor{nullptr};
    union {
        ref::Reference* m_weakHead = nullptr;
        // Once the object is dying its weak references are cleared and the head is free: it then links
        // the object into its thread's queue of objects waiting to be destroyed.
        Smart* m_nextDying;
    };

private:
    friend class Object;
    friend class ::LockObject;

    ObjectMonitor* monitor() const { return m_objectMonitor.load(std::memory_order_acquire); }
    // Both run with the object mutex held. Leaving frees the monitor, or hands it to the next ticket
    // when threads are queued; entering takes it at once when it is free, else queues on a ticket and
    // blocks (the mutex released meanwhile) until that ticket is served.
    void leaveMonitorLocked();
    // With keepLocked false, a thread served while it spins takes the monitor without locking the mutex
    // again, and the answer tells whether the mutex is still held.
    bool enterMonitorLocked(uint64_t me, bool keepLocked = true);
    // With the object mutex held: hands out the next ticket.
    int32_t takeTicketLocked();
    // Leaves the monitor that the calling thread (me) holds: without the mutex when no ticket is out.
    void leaveMonitor(uint64_t me);
    // With the object mutex held: a monitor found free while tickets are out goes to the next ticket.
    void serveQueuedIfFreeLocked();
    // The owner was me; the monitor is taken by the first ticket still queued, or freed.
    void handOverOrFreeLocked();
};

}  // namespace java::lang

// The process-wide mutex held while an object's own mutex is made. Statically initialised, so it
// exists before any thread can need it; it is never destroyed.
extern pthread_mutex_t _global_mutex;

// Reference counting. Slots hold the counted (Smart) pointer of a reference.
void m_RtypeSetAndAcquire(java::lang::Smart** slot, java::lang::Smart* counted, void* typed);
void m_RtypeRelease(java::lang::Smart** slot, bool flag = true);
void assign(void* target, void* source, java::lang::Smart** slot, java::lang::Smart* counted);

inline void acquireCounted(java::lang::Smart* counted) noexcept {
    if (counted == nullptr) return;
    // A dying object is not revived: the increment is undone when the count was already negative.
    int32_t before = counted->m_referenceCount.fetch_add(1, std::memory_order_relaxed);
    if (before <= java::lang::Smart::kDyingCount)
        counted->m_referenceCount.fetch_sub(1, std::memory_order_relaxed);
}

// The death of an object whose count has just fallen from 1 to 0. Deaths caused by another death on the
// same thread (a field releasing the last reference to the next node of a list) are queued and run one
// after another by the outermost one, so a chain of any length is freed on any stack.
void destroyObject(java::lang::Smart* object) noexcept;

inline void releaseCounted(java::lang::Smart* object) noexcept {
    if (object == nullptr) return;
    // The only reference and no weak one: no other thread can reach the object, so none can change the
    // count meanwhile, and the death needs no read-modify-write. The acquire load pairs with the release
    // of every earlier decrement, as the fetch_sub below would.
    if (object->m_referenceCount.load(std::memory_order_acquire) == 1 &&
        std::atomic_ref<java::lang::ref::Reference*>(object->m_weakHead).load(std::memory_order_relaxed) ==
            nullptr) {
        destroyObject(object);
        return;
    }
    const int32_t before = object->m_referenceCount.fetch_sub(1, std::memory_order_acq_rel);
    // Live objects count from 1 up, dying ones from kDyingCount down; anything between means a reference
    // was released twice (or an object never held by a reference was released).
    assert((before > 0 || before <= java::lang::Smart::kDyingCount) &&
           "a reference was released twice: an object's count was already zero; look for a raw pointer "
           "wrapped into a second JavaPtr or a manual release");
    if (before != 1) return;
    destroyObject(object);
}

// Casts by type id.
void* recastObj(java::lang::Smart* p, int typeId);
bool instanceofObj(java::lang::Smart* p, int typeId);
bool instanceofArray(java::lang::Smart* p, int typeId, int dimensions);
// Names p, which makes an array record its dimensions, and answers them: 0 for an object that is no array.
int32_t dimensionCountOf(java::lang::Smart* p);
