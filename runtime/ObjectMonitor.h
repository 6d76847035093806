// The block an object gets the first time its monitor is used: the object mutex and the queues of the
// threads blocked on the monitor. The owner and the tickets stay in Smart, the wait counters in Object.
#pragma once

#include <pthread.h>

#include <cstdint>

namespace java::lang {

// A thread blocked on a monitor, living on that thread's stack: it waits either for its entry ticket
// or, inside Object::wait, for a notification. Linked, unlinked and woken only under the object mutex.
struct MonitorWaiter {
    MonitorWaiter();
    ~MonitorWaiter();
    MonitorWaiter(const MonitorWaiter&) = delete;
    MonitorWaiter& operator=(const MonitorWaiter&) = delete;

    MonitorWaiter* next = nullptr;
    int32_t ticket = 0;
    bool notified = false;
    // Waits measure their deadlines on the monotonic clock.
    pthread_cond_t wakeUp;
};

class ObjectMonitor {
public:
    ObjectMonitor();
    ~ObjectMonitor();
    ObjectMonitor(const ObjectMonitor&) = delete;
    ObjectMonitor& operator=(const ObjectMonitor&) = delete;

    // The monitor identity of the calling thread: a number from a process-wide counter, given to
    // each thread when it first uses a monitor. Never reused, never 0 (free) or all ones (handed over),
    // so threads that the runtime did not start are told apart as well as its own.
    static uint64_t currentThreadToken();

    // The rest is used with the mutex held.
    void addTicketWaiter(MonitorWaiter* waiter);
    void removeTicketWaiter(MonitorWaiter* waiter);
    void wakeTicketHolder(int32_t ticket);

    void appendWaiter(MonitorWaiter* waiter);
    // The oldest waiter not yet notified, unlinked; null when there is none.
    MonitorWaiter* takeOldestWaiter();
    void removeWaiter(MonitorWaiter* waiter);

    // Guards the tickets of its object, the owner (but for the compare-and-swap fast path), the object's
    // wait counters and the two queues.
    pthread_mutex_t mutex;

private:
    // Threads blocked until their ticket is served, in no particular order.
    MonitorWaiter* m_ticketWaiters = nullptr;
    // Threads in wait() that have not been notified, oldest first: a notification goes to the
    // longest waiter and cannot be taken by one that arrived after it.
    MonitorWaiter* m_waitHead = nullptr;
    MonitorWaiter* m_waitTail = nullptr;
};

}  // namespace java::lang
