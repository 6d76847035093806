#include "runtime/LockObject.h"

#include <cassert>

#include "runtime/ObjectMonitor.h"

LockObject::~LockObject() {
    java::lang::Smart* locked = m_lockedObject.get();
    if (locked == nullptr) return;
    assert(locked->m_monitorOwner.load(std::memory_order_relaxed) ==
               java::lang::ObjectMonitor::currentThreadToken() &&
           "a monitor token was released on a thread that does not hold the monitor; keep tokens local");
    locked->createMutex();
    java::lang::ObjectMonitor* block = locked->monitor();
    pthread_mutex_lock(&block->mutex);
    locked->leaveMonitorLocked();
    pthread_mutex_unlock(&block->mutex);
    m_lockedObject = nullptr;
}
