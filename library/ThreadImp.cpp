#include "library/ThreadImp.h"

#include <cxxabi.h>
#include <sched.h>

#include <cerrno>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "library/GreenThreads.h"
#include "library/Thread.h"
#include "runtime/MonotonicClock.h"
#include "runtime/Throwable.h"

namespace java::lang {

std::atomic<int32_t> ThreadImp::numTerminatedThreads{0};
std::atomic<ThreadImp::PosixThreadCreator> ThreadImp::posixThreadCreator{&pthread_create};

namespace {

// Records that were still in the pool when it was torn down, guarded by Thread::poolMutex. Never
// freed: a thread that finishes during process exit may still reach it.
std::vector<ThreadImp*>& setAsideRecords() {
    static auto* records = new std::vector<ThreadImp*>();
    return *records;
}

void reportThreadFault(const JavaPtr<String>& threadName, const std::string& what) {
    std::fprintf(stderr, "Thread %s: %s\n", toUtf8(threadName).c_str(), what.c_str());
    std::fflush(stderr);
}

}  // namespace

ThreadImp::ThreadImp(const JavaPtr<Runnable>& target, int32_t slot, Thread* thread) : slot(slot) {
    ThreadImpConstructorNormal(target, slot, thread);
}

ThreadImp::~ThreadImp() {
    freeUserLevelState();
    ThreadImpDestructorNormal();
}

void ThreadImp::ThreadImpConstructorNormal(const JavaPtr<Runnable>& runTarget, int32_t poolSlot,
                                           Thread* owner) {
    slot = poolSlot;
    target = runTarget;
    thread = JavaPtr<Thread>(owner);
}

void ThreadImp::ThreadImpDestructorNormal() {
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        unlistLocked();
    }
    if (const pthread_t handle = posixHandle.load(std::memory_order_acquire); handle != 0) {
        pthread_detach(handle);
    }
    // By now the Thread is dying (or already released), so these free nothing twice.
    target = nullptr;
    thread = nullptr;
}

void ThreadImp::start() {
    if (_USES_USER_THREADING.load(std::memory_order_relaxed))
        startUser();
    else
        startNormal();
}

void ThreadImp::yield() {
    if (_USES_USER_THREADING.load(std::memory_order_relaxed))
        sleepUser(0);
    else
        yieldNormal();
}

void ThreadImp::sleep(long long ms) {
    if (_USES_USER_THREADING.load(std::memory_order_relaxed))
        sleepUser(ms);
    else
        sleepNormal(ms);
}

bool ThreadImp::isCurrentThread() const {
    return _USES_USER_THREADING.load(std::memory_order_relaxed) ? isCurrentThreadUser()
                                                                : isCurrentThreadNormal();
}

void ThreadImp::startNormal() {
    // Keeps the Thread, and so this record, alive until the start is complete whoever calls it.
    JavaPtr<Thread> keepAlive;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        if (started.load(std::memory_order_relaxed) || terminated.load(std::memory_order_relaxed)) return;
        started.store(true, std::memory_order_release);
        Thread::numRunningThreads.fetch_add(1, std::memory_order_relaxed);
        keepAlive = thread;
    }

    // The priority is kept, not applied: real-time policies need privileges, and a spinning
    // real-time thread would starve the rest. Every thread runs under the default policy.
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    if (const int error = pthread_attr_setstacksize(&attributes, _THREAD_STACK_SIZE); error != 0) {
        reportThreadFault(keepAlive->name, "stack size refused (error " + std::to_string(error) +
                                               "); the default stack is used");
    }
    pthread_t handle = 0;
    const int error = posixThreadCreator.load()(&handle, &attributes, threadStarterNormal, this);
    pthread_attr_destroy(&attributes);

    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        if (error == 0) {
            posixHandle.store(handle, std::memory_order_release);
        } else {
            // Never ran: finished at once, so that join and isAlive do not wait for it for ever.
            markTerminatedLocked();
        }
    }
    if (error != 0) {
        reportThreadFault(keepAlive->name, "could not be created (error " + std::to_string(error) + ")");
    }
}

void ThreadImp::yieldNormal() {
    sched_yield();
}

void ThreadImp::sleepNormal(long long ms) {
    if (ms <= 0) return;
    const timespec deadline = monotonicDeadlineAfter(ms);
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
}

bool ThreadImp::isCurrentThreadNormal() const {
    const pthread_t handle = posixHandle.load(std::memory_order_acquire);
    return handle != 0 && pthread_equal(pthread_self(), handle);
}

bool ThreadImp::isListedLocked() const {
    if (Thread::ThreadImpPool != nullptr && slot >= 0 &&
        slot < Thread::threadPoolSize.load(std::memory_order_relaxed) &&
        Thread::ThreadImpPool[slot] == this) {
        return true;
    }
    for (const ThreadImp* record : setAsideRecords()) {
        if (record == this) return true;
    }
    return false;
}

bool ThreadImp::unlistLocked() {
    bool listed = false;
    if (Thread::ThreadImpPool != nullptr && slot >= 0 &&
        slot < Thread::threadPoolSize.load(std::memory_order_relaxed) &&
        Thread::ThreadImpPool[slot] == this) {
        Thread::ThreadImpPool[slot] = nullptr;
        listed = true;
    } else {
        auto& records = setAsideRecords();
        for (auto it = records.begin(); it != records.end(); ++it) {
            if (*it == this) {
                records.erase(it);
                listed = true;
                break;
            }
        }
    }
    if (!listed) return false;
    if (started.load(std::memory_order_relaxed))
        Thread::numRunningThreads.fetch_sub(1, std::memory_order_relaxed);
    if (terminated.load(std::memory_order_relaxed))
        numTerminatedThreads.fetch_sub(1, std::memory_order_relaxed);
    return true;
}

bool ThreadImp::isReclaimableLocked() const {
    Smart* owner = thread.counted();
    if (owner == nullptr) return true;
    // New references to the Thread come only from existing ones or from the pool under this lock, so
    // a count of the record's own references cannot grow behind our back.
    const int32_t count = owner->m_referenceCount.load(std::memory_order_acquire);
    return count == 1 || (count == 2 && target.counted() == owner);
}

void ThreadImp::markTerminatedLocked() {
    if (terminated.exchange(true, std::memory_order_acq_rel)) return;
    if (isListedLocked()) numTerminatedThreads.fetch_add(1, std::memory_order_relaxed);
    Thread::terminationSignal.notify_all();
}

void ThreadImp::releaseAndDestroy() {
    target = nullptr;
    // Moved out first: the Thread's destructor deletes this record while the release runs.
    JavaPtr<Thread> dying = std::move(thread);
    dying = nullptr;
}

void ThreadImp::destroyTerminatedThreads() {
    std::vector<ThreadImp*> reclaimed;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        if (numTerminatedThreads.load(std::memory_order_relaxed) == 0) return;
        const int32_t size = Thread::threadPoolSize.load(std::memory_order_relaxed);
        for (int32_t i = 0; Thread::ThreadImpPool != nullptr && i < size; ++i) {
            ThreadImp* record = Thread::ThreadImpPool[i];
            if (record != nullptr && record->terminated.load(std::memory_order_acquire) &&
                record->isReclaimableLocked()) {
                record->unlistLocked();
                reclaimed.push_back(record);
            }
        }
        auto& records = setAsideRecords();
        for (size_t i = 0; i < records.size();) {
            ThreadImp* record = records[i];
            if (record->terminated.load(std::memory_order_acquire) && record->isReclaimableLocked()) {
                record->unlistLocked();
                reclaimed.push_back(record);
            } else {
                ++i;
            }
        }
    }
    // Out of the lock: a target's or a Thread's destructor may itself create or look up threads.
    for (ThreadImp* record : reclaimed) record->releaseAndDestroy();
}

void ThreadImp::forceTerminateOfThreads() {
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        const int32_t size = Thread::threadPoolSize.load(std::memory_order_relaxed);
        for (int32_t i = 0; Thread::ThreadImpPool != nullptr && i < size; ++i) {
            ThreadImp* record = Thread::ThreadImpPool[i];
            if (record != nullptr && !record->started.load(std::memory_order_relaxed)) {
                record->markTerminatedLocked();
            }
        }
        for (ThreadImp* record : setAsideRecords()) {
            if (!record->started.load(std::memory_order_relaxed)) record->markTerminatedLocked();
        }
    }
    destroyTerminatedThreads();
}

void ThreadImp::setAsidePoolLocked() {
    const int32_t size = Thread::threadPoolSize.load(std::memory_order_relaxed);
    for (int32_t i = 0; Thread::ThreadImpPool != nullptr && i < size; ++i) {
        if (ThreadImp* record = Thread::ThreadImpPool[i]) setAsideRecords().push_back(record);
    }
}

void* threadStarterNormal(void* argument) {
    auto* record = static_cast<ThreadImp*>(argument);
    // The record stays alive until it is marked terminated below, the last thing done with it.
    JavaPtr<Runnable> target;
    JavaPtr<String> threadName;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        record->posixHandle.store(pthread_self(), std::memory_order_release);
        target = record->target;
        threadName = record->thread->name;
    }
    // An exception escaping run ends this thread only, never the process.
    try {
        if (target) target->run();
    } catch (abi::__forced_unwind&) {
        throw;
    } catch (Throwable& uncaught) {
        reportThreadFault(
            threadName, std::string("uncaught ") + uncaught.getClassTypeName() + toUtf8(uncaught.toString()));
    } catch (std::exception& uncaught) {
        reportThreadFault(threadName, std::string("uncaught C++ exception: ") + uncaught.what());
    } catch (...) {
        reportThreadFault(threadName, "uncaught exception of unknown type");
    }
    // Released before the thread counts as finished, so that a reclaim never races with it.
    target = nullptr;
    threadName = nullptr;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        record->markTerminatedLocked();
    }
    return nullptr;
}

}  // namespace java::lang
