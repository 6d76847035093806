// The virtual root of every runtime object and interface: reference count, array dimension count,
// monitor fields, the lazily made object mutex and the head of the weak-reference list.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "runtime/ClassDeclaration.h"

namespace java::lang::ref {
class Reference;
}

namespace java::lang {

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

    // Creates the object mutex once, under the process-wide mutex.
    void createMutex();
    pthread_mutex_t* objectMutex() const { return m_objectMutex.load(std::memory_order_acquire); }

    // Reference count: acquisitions are relaxed, releases acquire-release so that the thread that
    // frees an object sees every write made through other references.
    std::atomic<int32_t> m_referenceCount{0};
    int32_t m_dimensionCount = 0;
    // Monitor state (owner token and ticket lock), used by the monitor code.
    std::atomic<uint64_t> m_monitorOwner{0};
    std::atomic<int32_t> m_nowServing{0};
    std::atomic<int32_t> m_nextTicket{0};
    std::atomic<pthread_mutex_t*> m_objectMutex{nullptr};
    ref::Reference* m_weakHead = nullptr;
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

// The death of an object whose count has just fallen from 1 to 0.
void destroyObject(java::lang::Smart* object);

inline void releaseCounted(java::lang::Smart* object) noexcept {
    if (object == nullptr) return;
    if (object->m_referenceCount.fetch_sub(1, std::memory_order_acq_rel) != 1) return;
    destroyObject(object);
}

// Casts by type id.
void* recastObj(java::lang::Smart* p, int typeId);
bool instanceofObj(java::lang::Smart* p, int typeId);
bool instanceofArray(java::lang::Smart* p, int typeId, int dimensions);
