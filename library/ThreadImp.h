// java::lang::ThreadImp: the per-thread record in the thread pool, with the POSIX half of starting,
// running, sleeping and reclaiming threads. Not a runtime object: made with new by its Thread and
// deleted by the Thread's destructor.
#pragma once

#include <pthread.h>

#include <atomic>
#include <cstdint>

#include "runtime/JavaPtr.h"

namespace java::lang {

class Runnable;
class Thread;

class ThreadImp {
public:
    ThreadImp(const JavaPtr<Runnable>& target, int32_t slot, Thread* thread);
    ~ThreadImp();
    ThreadImp(const ThreadImp&) = delete;
    ThreadImp& operator=(const ThreadImp&) = delete;

    void start();
    static void yield();
    static void sleep(long long ms);
    bool isCurrentThread() const;

    // Reclaims every finished record whose Thread nobody but the record holds.
    static void destroyTerminatedThreads();
    // Ends the records that never started (they will not run) and reclaims what it can. A running
    // thread cannot be ended from outside and is left alone.
    static void forceTerminateOfThreads();

    int32_t slot;
    // Set once run() has returned (or the thread could not be created); never cleared.
    std::atomic<bool> terminated{false};
    // Set by the first start; never cleared.
    std::atomic<bool> started{false};
    JavaPtr<Runnable> target;
    // The record holds its Thread: a Thread is freed only when its record is reclaimed.
    JavaPtr<Thread> thread;
    // Used only by user-level threads.
    void* context = nullptr;
    void* stack = nullptr;
    bool begun = false;
    long long lastYieldTime = -1;
    long long sleepUntilTime = -1;
    // The POSIX thread running the record; 0 until known. Written by the starting thread and by the
    // new thread itself (the same value), read by isCurrentThread on any thread.
    std::atomic<pthread_t> posixHandle{0};

    // Records marked terminated and still listed (in the pool or set aside by tear-down).
    static std::atomic<int32_t> numTerminatedThreads;

    // Makes the POSIX thread of a start (pthread_create); tests put one in place that fails.
    using PosixThreadCreator = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);
    static std::atomic<PosixThreadCreator> posixThreadCreator;

    // The user-level mode (GreenThreads.cpp), off in this build: threads run one at a time on their
    // own stacks on the one POSIX thread that calls iterateThreads.

    // One scheduler step: starts or resumes one thread, which runs until it gives up the processor.
    // -2 no memory for the scheduler's context, -1 no started live thread, 0 a thread can run now,
    // above 0 the milliseconds until the earliest sleeper wakes.
    static long long iterateThreads();
    // Gives up the processor when the running user-level thread has not for 100 ms.
    static void maybeYield();
    // The application's quit request, as far as the scheduler is concerned: once it is set, a step
    // resumes sleepers whatever their time. The shell, which sits above this library, sets it where it
    // sets its own quit flag (MIDlet::notifyDestroyed); it stays set, as that flag does. Thread::tidyUp
    // resumes sleepers whether or not it was set.
    static void setQuitRequested(bool requested);
    static bool isQuitRequested();

    // The scheduler's saved context; made by the first step.
    static void* mainThreadContext;
    // Hand-over code between the scheduler and a thread: 4 idle, 0 starting a thread, 1 resuming one,
    // 2 a thread has given up the processor.
    static int32_t state;
    // Slot of the running user-level thread, -1 while anything else runs.
    static std::atomic<int32_t> currentlyRunningThreadIndex;
    static int32_t lastRunThreadIndex;
    // The earliest wake-up when every live thread sleeps, else -1. Guarded by Thread::poolMutex.
    static long long allSleepingUntilMS;

private:
    friend class Thread;
    friend void* threadStarterNormal(void* record);
    friend void _threadStarter();

    void ThreadImpConstructorNormal(const JavaPtr<Runnable>& runTarget, int32_t poolSlot, Thread* owner);
    void ThreadImpDestructorNormal();
    void startNormal();
    static void yieldNormal();
    static void sleepNormal(long long ms);
    bool isCurrentThreadNormal() const;
    void startUser();
    static void sleepUser(long long ms);
    bool isCurrentThreadUser() const;
    // Frees the stack and context of a record started in the user-level mode.
    void freeUserLevelState();

    // With poolMutex held: whether the record is still in the pool or set aside by tear-down.
    bool isListedLocked() const;
    // With poolMutex held: takes the record out of the pool (or the set-aside list) and out of the
    // counters. Returns false when it was not listed.
    bool unlistLocked();
    // With poolMutex held: whether nobody but the record holds its Thread.
    bool isReclaimableLocked() const;
    // With poolMutex held: marks the record finished and wakes joiners.
    void markTerminatedLocked();
    // Without any lock: releases the target and then the Thread, which deletes this record.
    void releaseAndDestroy();
    // With poolMutex held, at tear-down: moves every record of the pool to the set-aside list.
    static void setAsidePoolLocked();
};

// The entry function of every runtime POSIX thread; its argument is the thread's record.
void* threadStarterNormal(void* record);
// The entry function of every user-level thread, on its own stack.
void _threadStarter();

}  // namespace java::lang
