#include "runtime/Smart.h"

#include <atomic>
#include <cassert>
#include <cstdlib>

#include "runtime/Reference.h"

pthread_mutex_t _global_mutex = PTHREAD_MUTEX_INITIALIZER;

namespace java::lang {

Smart::~Smart() {
    if (pthread_mutex_t* mutex = m_objectMutex.load(std::memory_order_acquire)) {
        pthread_mutex_destroy(mutex);
        std::free(mutex);
    }
}

void Smart::createMutex() {
    if (m_objectMutex.load(std::memory_order_acquire) != nullptr) return;
    pthread_mutex_lock(&_global_mutex);
    if (m_objectMutex.load(std::memory_order_relaxed) == nullptr) {
        auto* mutex = static_cast<pthread_mutex_t*>(std::malloc(sizeof(pthread_mutex_t)));
        assert(mutex != nullptr && "out of memory creating an object mutex");
        pthread_mutex_init(mutex, nullptr);
        m_objectMutex.store(mutex, std::memory_order_release);
    }
    pthread_mutex_unlock(&_global_mutex);
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

bool instanceofArray(Smart* p, int typeId, int dimensions) {
    if (p == nullptr) return false;
    p->getClassTypeName();  // an array records its dimension count here
    // Read as the array writes it: atomically, since other threads may be naming the same array.
    const int32_t ownDimensions =
        std::atomic_ref<int32_t>(p->m_dimensionCount).load(std::memory_order_acquire);
    if (ownDimensions == dimensions) return p->castAsTypeID(typeId) != nullptr;
    if (typeId == tesl::classTypeIdOf("java.lang.Object")) return ownDimensions > dimensions;
    return false;
}
