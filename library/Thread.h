// java.lang.Thread: runtime threads on POSIX threads. Each Thread has a record (ThreadImp) in the
// thread pool, a table of slots guarded by one mutex; the record keeps its Thread alive until the
// thread has finished and nobody else holds it, and is reclaimed at the next creation or tear-down.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>

#include "runtime/Object.h"
#include "runtime/Runnable.h"
#include "runtime/String.h"

// The stack of every runtime thread. Frames are larger under the sanitizers, which get more room.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr size_t _THREAD_STACK_SIZE = 4 * 1024 * 1024;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr size_t _THREAD_STACK_SIZE = 4 * 1024 * 1024;
#else
inline constexpr size_t _THREAD_STACK_SIZE = 524288;
#endif
#else
inline constexpr size_t _THREAD_STACK_SIZE = 524288;
#endif

namespace java::lang {

class ThreadImp;

class Thread : public Object, public virtual Runnable {
    TESL_CLASS(Thread, "java.lang.Thread", Object, Runnable)
public:
    static constexpr int32_t MIN_PRIORITY = 1;
    static constexpr int32_t NORM_PRIORITY = 5;
    static constexpr int32_t MAX_PRIORITY = 10;

    Thread() noexcept {}
    ~Thread() override;

    // Without a target the thread runs its own run(), which a subclass overrides.
    Thread* TESLinvokeconstructor();
    Thread* TESLinvokeconstructor(const JavaPtr<String>& threadName);
    Thread* TESLinvokeconstructor(const JavaPtr<Runnable>& target);
    Thread* TESLinvokeconstructor(const JavaPtr<Runnable>& target, const JavaPtr<String>& threadName);

    virtual void interrupt() {}
    void run() override {}
    // Starts the POSIX thread; a second start, or a start after the thread finished, does nothing.
    virtual void start();
    // "Thread[" name "," priority ",main]"
    JavaPtr<String> toString() override;

    // Stored and reported; POSIX threads of the runtime all run under the default policy.
    void setPriority(int32_t newPriority);
    int32_t getPriority() const { return priority.load(std::memory_order_relaxed); }
    JavaPtr<String> getName() const { return name; }
    bool isAlive() const;
    // Blocks until the thread has finished; returns at once when it was never started.
    void join();

    // The Thread whose run() is executing on the calling thread; null on a thread the runtime did
    // not start, and on every thread once the pool is torn down.
    static JavaPtr<Thread> currentThread();
    static void yield();
    // Blocks for ms milliseconds of the monotonic clock; returns at once for ms <= 0.
    static void sleep(long long ms);
    // Threads created and not reclaimed, started or not.
    static int32_t activeCount();
    // The slot a new thread would take: the lowest free one, or a new last one.
    static int32_t findUnusedSlot();
    // Tear-down: reclaims finished threads, then frees the pool. Threads still listed are kept
    // aside and reclaimed once they have finished and are no longer held.
    static void tidyUpNormal();
    // One step of waiting for every thread to end: gives the processor away, then reclaims.
    static void iterateThreads();
    // Tear-down of the user-level mode, after the quit: runs every live thread in turn, sleepers
    // without waiting out their time, until none is left, then tears the pool down as tidyUpNormal does.
    static void tidyUp();

    // Index of the thread's record in the pool; -1 until a constructor body has run.
    int32_t slot = -1;
    std::atomic<int32_t> priority{0};
    JavaPtr<String> name;

    // The pool: a record per slot, null for a free slot; absent (null) before the first creation and
    // after tear-down. The array and every record's listing are guarded by poolMutex, which is never
    // held while a target runs or while an object is released.
    static ThreadImp** ThreadImpPool;
    static std::atomic<int32_t> threadPoolSize;
    // Records started and not yet destroyed.
    static std::atomic<int32_t> numRunningThreads;
    static std::mutex poolMutex;
    // Signalled, under poolMutex, each time a thread is marked terminated.
    static std::condition_variable terminationSignal;

private:
    void initialiseTarget(const JavaPtr<Runnable>& target, const JavaPtr<String>& threadName);

    // Set by initialiseTarget and deleted by the destructor; a Thread dies only once its record has
    // released it, so the record outlives every use through this pointer.
    ThreadImp* m_record = nullptr;
};

}  // namespace java::lang

// The answer of currentThread on a thread that is not in the pool. Nothing assigns it a thread.
extern constinit JavaPtr<java::lang::Thread> _mainThread;
