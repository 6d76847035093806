#include "runtime/ObjectMonitor.h"

#include <atomic>
#include <cassert>
#include <ctime>

namespace java::lang {

MonitorWaiter::MonitorWaiter() {
    pthread_condattr_t attributes;
    pthread_condattr_init(&attributes);
    pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC);
    pthread_cond_init(&wakeUp, &attributes);
    pthread_condattr_destroy(&attributes);
}

MonitorWaiter::~MonitorWaiter() {
    pthread_cond_destroy(&wakeUp);
}

ObjectMonitor::ObjectMonitor() {
    // Held only for a few loads and stores: a contended locker spins briefly before it sleeps.
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_ADAPTIVE_NP);
    pthread_mutex_init(&mutex, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

ObjectMonitor::~ObjectMonitor() {
    assert(m_ticketWaiters == nullptr && m_waitHead == nullptr &&
           "an object was destroyed while threads were blocked on its monitor; they must hold a reference");
    pthread_mutex_destroy(&mutex);
}

uint64_t ObjectMonitor::currentThreadToken() {
    static std::atomic<uint64_t> lastToken{0};
    thread_local uint64_t token = lastToken.fetch_add(1, std::memory_order_relaxed) + 1;
    return token;
}

void ObjectMonitor::addTicketWaiter(MonitorWaiter* waiter) {
    waiter->next = m_ticketWaiters;
    m_ticketWaiters = waiter;
}

void ObjectMonitor::removeTicketWaiter(MonitorWaiter* waiter) {
    for (MonitorWaiter** link = &m_ticketWaiters; *link != nullptr; link = &(*link)->next) {
        if (*link == waiter) {
            *link = waiter->next;
            waiter->next = nullptr;
            return;
        }
    }
}

void ObjectMonitor::wakeTicketHolder(int32_t ticket) {
    for (MonitorWaiter* waiter = m_ticketWaiters; waiter != nullptr; waiter = waiter->next) {
        if (waiter->ticket == ticket) {
            pthread_cond_signal(&waiter->wakeUp);
            return;
        }
    }
    // Not found: the holder has not blocked yet and sees its ticket before it does.
}

void ObjectMonitor::appendWaiter(MonitorWaiter* waiter) {
    waiter->next = nullptr;
    if (m_waitTail != nullptr) {
        m_waitTail->next = waiter;
    } else {
        m_waitHead = waiter;
    }
    m_waitTail = waiter;
}

MonitorWaiter* ObjectMonitor::takeOldestWaiter() {
    MonitorWaiter* waiter = m_waitHead;
    if (waiter == nullptr) return nullptr;
    m_waitHead = waiter->next;
    if (m_waitHead == nullptr) m_waitTail = nullptr;
    waiter->next = nullptr;
    return waiter;
}

void ObjectMonitor::removeWaiter(MonitorWaiter* waiter) {
    MonitorWaiter* previous = nullptr;
    for (MonitorWaiter* current = m_waitHead; current != nullptr;
         previous = current, current = current->next) {
        if (current != waiter) continue;
        if (previous != nullptr) {
            previous->next = current->next;
        } else {
            m_waitHead = current->next;
        }
        if (m_waitTail == current) m_waitTail = previous;
        waiter->next = nullptr;
        return;
    }
}

}  // namespace java::lang
