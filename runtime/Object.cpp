#include "runtime/Object.h"

#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <string>

#include "runtime/Class.h"
#include "runtime/IllegalMonitorStateException.h"
#include "runtime/Integer.h"
#include "runtime/MonotonicClock.h"
#include "runtime/ObjectMonitor.h"
#include "runtime/String.h"

namespace java::lang {

bool Object::equals(JavaPtr<Object> other) {
    return other.counted() == static_cast<Smart*>(this);
}

int32_t Object::hashCode() {
    // The address, folded to 32 bits so that both halves of a 64-bit address count.
    const auto address = reinterpret_cast<uintptr_t>(this);
    return static_cast<int32_t>(static_cast<uint32_t>(address) ^ static_cast<uint32_t>(address >> 32));
}

JavaPtr<String> Object::toString() {
    return getClass()->getName() + '@' + Integer::toHexString(hashCode());
}

JavaPtr<Class> Object::getClass() {
    JavaPtr<Class> result = jnew<Class>();
    // An array records its dimension count as it names itself.
    const char* typeName = getClassTypeName();
    if (typeName == nullptr) return result;
    JavaPtr<String> name = jnew<String>(typeName);
    int32_t dimensions = std::atomic_ref<int32_t>(m_dimensionCount).load(std::memory_order_acquire);
    if (dimensions > 0) {
        // Rows named "[..." already carry one bracket; a class element is written "L" name ";".
        if (name->charAt(0) == '[') {
            --dimensions;
        } else {
            String open("L");
            name = open + JavaPtr<Object>(name) + ";";
        }
        std::u16string brackets(static_cast<size_t>(dimensions), u'[');
        String prefix(reinterpret_cast<const unsigned short*>(brackets.data()), dimensions);
        name = prefix + JavaPtr<Object>(name);
    }
    result->name = name;
    return result;
}

namespace {

// The time limit of a wait in milliseconds, clamped to the 32-bit range instead of wrapping: a limit of
// 2^32 ms must not turn into no limit at all, nor 2^31 ms into one that has already passed.
long long waitLimitMillis(long long ms, int ns) {
    const long long whole = ns / 1000000;
    if (ms > INT_MAX - whole) return INT_MAX;
    if (ms < INT_MIN - whole) return INT_MIN;
    return ms + whole;
}

}  // namespace

void Object::checkMonitorOwner() {
    if (m_monitorOwner.load(std::memory_order_acquire) != ObjectMonitor::currentThreadToken()) {
        throw IllegalMonitorStateException();
    }
}

void Object::wait(long long ms, int ns) {
    checkMonitorOwner();
    const long long limit = waitLimitMillis(ms, ns);
    const uint64_t me = ObjectMonitor::currentThreadToken();
    createMutex();
    ObjectMonitor* block = monitor();
    pthread_mutex_lock(&block->mutex);
    leaveMonitorLocked();
    m_waitingThreads.fetch_add(1, std::memory_order_relaxed);
    MonitorWaiter waiter;
    block->appendWaiter(&waiter);
    if (limit == 0) {
        while (!waiter.notified) pthread_cond_wait(&waiter.wakeUp, &block->mutex);
    } else {
        const timespec deadline = monotonicDeadlineAfter(limit);
        while (!waiter.notified) {
            if (pthread_cond_timedwait(&waiter.wakeUp, &block->mutex, &deadline) == ETIMEDOUT) break;
        }
    }
    if (waiter.notified) {
        // The notifier queued this thread on a ticket; it is woken when that ticket is served.
        while (m_nowServing.load(std::memory_order_relaxed) != waiter.ticket) {
            pthread_cond_wait(&waiter.wakeUp, &block->mutex);
        }
        block->removeTicketWaiter(&waiter);
        m_pendingNotifications.fetch_sub(1, std::memory_order_relaxed);
        m_waitingThreads.fetch_sub(1, std::memory_order_relaxed);
        m_monitorOwner.store(me, std::memory_order_release);
    } else {
        // Timed out: it takes no notification, so none meant for another waiter is lost.
        block->removeWaiter(&waiter);
        m_waitingThreads.fetch_sub(1, std::memory_order_relaxed);
        enterMonitorLocked(me);
    }
    pthread_mutex_unlock(&block->mutex);
}

// A notified waiter cannot go on before the notifier leaves the monitor, so instead of being woken
// now (only to find the monitor held) it is queued on a ticket and woken when that ticket is served.
void Object::notifyLocked(MonitorWaiter* waiter) {
    waiter->notified = true;
    waiter->ticket = takeTicketLocked();
    monitor()->addTicketWaiter(waiter);
    m_pendingNotifications.fetch_add(1, std::memory_order_relaxed);
}

void Object::notify() {
    checkMonitorOwner();
    createMutex();
    ObjectMonitor* block = monitor();
    pthread_mutex_lock(&block->mutex);
    if (MonitorWaiter* waiter = block->takeOldestWaiter()) notifyLocked(waiter);
    pthread_mutex_unlock(&block->mutex);
}

void Object::notifyAll() {
    checkMonitorOwner();
    createMutex();
    ObjectMonitor* block = monitor();
    pthread_mutex_lock(&block->mutex);
    while (MonitorWaiter* waiter = block->takeOldestWaiter()) notifyLocked(waiter);
    pthread_mutex_unlock(&block->mutex);
}

}  // namespace java::lang
