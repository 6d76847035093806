// The user-level half of ThreadImp and Thread::tidyUp: cooperative threads on their own stacks,
// switched with the C library's context calls. A thread gives up the processor only in Thread.yield and
// Thread.sleep; the scheduler step then continues after its own switch.
#include "library/GreenThreads.h"

#include <pthread.h>
#include <sched.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "library/Thread.h"
#include "library/ThreadImp.h"
#include "runtime/MonotonicClock.h"
#include "runtime/Throwable.h"

#if defined(__SANITIZE_ADDRESS__)
#define QUILL_FIBER_ANNOTATIONS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILL_FIBER_ANNOTATIONS 1
#endif
#endif
#ifdef QUILL_FIBER_ANNOTATIONS
#include <sanitizer/common_interface_defs.h>
#endif

std::atomic<unsigned char> _USES_USER_THREADING{0};

namespace java::lang {

void* ThreadImp::mainThreadContext = nullptr;
int32_t ThreadImp::state = 4;
std::atomic<int32_t> ThreadImp::currentlyRunningThreadIndex{-1};
int32_t ThreadImp::lastRunThreadIndex = -1;
long long ThreadImp::allSleepingUntilMS = -1;

namespace {

constexpr int32_t kStateStarting = 0;
constexpr int32_t kStateResuming = 1;
constexpr int32_t kStateGaveUp = 2;
constexpr int32_t kStateIdle = 4;

// The POSIX thread that runs the scheduler steps. Only it switches: a yield or sleep on any other
// thread must not save that thread's registers as the running user-level thread's.
std::atomic<pthread_t> schedulerThread{0};

bool onSchedulerThread() {
    const pthread_t scheduler = schedulerThread.load(std::memory_order_acquire);
    return scheduler != 0 && pthread_equal(pthread_self(), scheduler);
}

// The scheduler's stack as the address sanitizer needs it to switch back; learned by each thread it runs.
const void* schedulerStackBottom = nullptr;
size_t schedulerStackSize = 0;

// Switches from the running context to another, whose stack is [bottom, bottom + size). A user-level
// thread that is switched back to learns the scheduler's stack again. With leavingForGood the current
// context is never resumed, so the sanitizer may drop its stack.
void switchContext(ucontext_t* from, ucontext_t* to, const void* bottom, size_t size,
                   bool fromUserLevelThread, bool leavingForGood = false) {
#ifdef QUILL_FIBER_ANNOTATIONS
    void* fakeStack = nullptr;
    __sanitizer_start_switch_fiber(leavingForGood ? nullptr : &fakeStack, bottom, size);
    swapcontext(from, to);
    if (fromUserLevelThread)
        __sanitizer_finish_switch_fiber(fakeStack, &schedulerStackBottom, &schedulerStackSize);
    else
        __sanitizer_finish_switch_fiber(fakeStack, nullptr, nullptr);
#else
    (void)bottom;
    (void)size;
    (void)fromUserLevelThread;
    (void)leavingForGood;
    swapcontext(from, to);
#endif
}

// Called first on a new user-level thread's stack: notes the scheduler's stack.
void enteredNewUserLevelThread() {
#ifdef QUILL_FIBER_ANNOTATIONS
    __sanitizer_finish_switch_fiber(nullptr, &schedulerStackBottom, &schedulerStackSize);
#endif
}

void reportUserThreadFault(const JavaPtr<String>& threadName, const std::string& what) {
    std::fprintf(stderr, "Thread %s: %s\n", toUtf8(threadName).c_str(), what.c_str());
    std::fflush(stderr);
}

// With poolMutex held.
ThreadImp* recordAtLocked(int32_t slot) {
    if (Thread::ThreadImpPool == nullptr || slot < 0 ||
        slot >= Thread::threadPoolSize.load(std::memory_order_relaxed))
        return nullptr;
    return Thread::ThreadImpPool[slot];
}

// A context that enters _threadStarter on the given stack. Kept out of the scheduler step: a function
// that calls getcontext may return twice, and the compiler then cannot keep its locals in registers.
[[gnu::noinline]] void prepareEntryContext(ucontext_t* context, void* stack) {
    getcontext(context);
    context->uc_stack.ss_sp = stack;
    context->uc_stack.ss_size = _THREAD_STACK_SIZE;
    context->uc_link = nullptr;
    makecontext(context, _threadStarter, 0);
}

std::atomic<bool> quitRequested{false};
// Set while Thread::tidyUp runs its steps: the tear-down comes after the quit, even when the shell did
// not say so, and must not wait out the sleepers.
std::atomic<bool> tearingDown{false};

bool quitting() {
    return quitRequested.load(std::memory_order_acquire) || tearingDown.load(std::memory_order_acquire);
}

}  // namespace

void ThreadImp::setQuitRequested(bool requested) {
    quitRequested.store(requested, std::memory_order_release);
}

bool ThreadImp::isQuitRequested() {
    return quitRequested.load(std::memory_order_acquire);
}

void ThreadImp::startUser() {
    std::lock_guard<std::mutex> lock(Thread::poolMutex);
    if (started.load(std::memory_order_relaxed) || terminated.load(std::memory_order_relaxed)) return;
    started.store(true, std::memory_order_release);
    Thread::numRunningThreads.fetch_add(1, std::memory_order_relaxed);
    // Not everyone sleeps any more: the next step must not answer early and leave this thread waiting.
    allSleepingUntilMS = -1;
    stack = std::calloc(1, _THREAD_STACK_SIZE);
    context = std::calloc(1, _THREAD_CONTEXT_SIZE);
    if (stack == nullptr || context == nullptr) {
        // Never runs: finished at once, like a POSIX thread that could not be created.
        freeUserLevelState();
        markTerminatedLocked();
    }
}

void ThreadImp::freeUserLevelState() {
    std::free(context);
    std::free(stack);
    context = nullptr;
    stack = nullptr;
}

bool ThreadImp::isCurrentThreadUser() const {
    return slot == currentlyRunningThreadIndex.load(std::memory_order_relaxed) && onSchedulerThread();
}

void ThreadImp::sleepUser(long long ms) {
    const int32_t slot = currentlyRunningThreadIndex.load(std::memory_order_relaxed);
    if (!onSchedulerThread()) {
        // Another POSIX thread (the platform's main thread) waits as in the POSIX mode.
        if (ms > 0)
            sleepNormal(ms);
        else
            sched_yield();
        return;
    }
    // The scheduler itself, between steps, neither sleeps nor yields.
    if (slot == -1) return;
    ThreadImp* record;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        record = recordAtLocked(slot);
    }
    if (record == nullptr) return;
    state = kStateGaveUp;
    const long long now = monotonicMillis();
    record->lastYieldTime = now;
    record->sleepUntilTime = now + ms;
    switchContext(static_cast<ucontext_t*>(record->context), static_cast<ucontext_t*>(mainThreadContext),
                  schedulerStackBottom, schedulerStackSize, true);
    if (state == kStateResuming) record->sleepUntilTime = -1;
}

void ThreadImp::maybeYield() {
    const int32_t slot = currentlyRunningThreadIndex.load(std::memory_order_relaxed);
    if (slot == -1 || !onSchedulerThread()) return;
    long long lastYield;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        ThreadImp* record = recordAtLocked(slot);
        if (record == nullptr) return;
        lastYield = record->lastYieldTime;
    }
    if (lastYield == -1 || monotonicMillis() - lastYield >= 100) Thread::yield();
}

void _threadStarter() {
    enteredNewUserLevelThread();
    const int32_t slot = ThreadImp::currentlyRunningThreadIndex.load(std::memory_order_relaxed);
    ThreadImp* record;
    JavaPtr<Runnable> target;
    JavaPtr<String> threadName;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        record = recordAtLocked(slot);
        record->begun = true;
        target = record->target;
        threadName = record->thread->name;
    }
    // Nothing may unwind past this frame: there is no frame of the scheduler below it on this stack.
    try {
        if (target) target->run();
    } catch (Throwable& uncaught) {
        reportUserThreadFault(
            threadName, std::string("uncaught ") + uncaught.getClassTypeName() + toUtf8(uncaught.toString()));
    } catch (std::exception& uncaught) {
        reportUserThreadFault(threadName, std::string("uncaught C++ exception: ") + uncaught.what());
    } catch (...) {
        reportUserThreadFault(threadName, "uncaught exception of unknown type");
    }
    target = nullptr;
    threadName = nullptr;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        record->markTerminatedLocked();
    }
    // The scheduler never resumes a finished thread; its stack stays until the record is reclaimed.
    ThreadImp::state = kStateGaveUp;
    ucontext_t abandoned;
    switchContext(&abandoned, static_cast<ucontext_t*>(ThreadImp::mainThreadContext), schedulerStackBottom,
                  schedulerStackSize, true, true);
    std::fputs("A finished user-level thread was resumed\n", stderr);
    std::abort();
}

long long ThreadImp::iterateThreads() {
    state = kStateIdle;
    if (mainThreadContext == nullptr) {
        mainThreadContext = std::calloc(1, _THREAD_CONTEXT_SIZE);
        if (mainThreadContext == nullptr) return -2;
    }
    schedulerThread.store(pthread_self(), std::memory_order_release);

    ThreadImp* chosen = nullptr;
    int32_t chosenSlot = -1;
    bool starting = false;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        if (Thread::ThreadImpPool == nullptr) return -1;
        const bool quit = quitting();
        const long long now = monotonicMillis();
        if (!quit && allSleepingUntilMS != -1 && allSleepingUntilMS > now) return allSleepingUntilMS - now;

        const int32_t size = Thread::threadPoolSize.load(std::memory_order_relaxed);
        for (int32_t i = 0; i < size && chosen == nullptr; ++i) {
            ThreadImp* record = Thread::ThreadImpPool[i];
            if (record != nullptr && record->started.load(std::memory_order_relaxed) && !record->begun &&
                !record->terminated.load(std::memory_order_relaxed) && record->context != nullptr) {
                chosen = record;
                chosenSlot = i;
                starting = true;
            }
        }
        if (chosen == nullptr) {
            if (size == 0) return -1;
            // After no thread at all has run, the search starts at slot 1 and ends at slot 0.
            const int32_t last = lastRunThreadIndex == -1 ? 0 : lastRunThreadIndex;
            for (int32_t k = 0; k < size && chosen == nullptr; ++k) {
                const int32_t i = (last + 1 + k) % size;
                ThreadImp* record = Thread::ThreadImpPool[i];
                if (record != nullptr && record->begun &&
                    !record->terminated.load(std::memory_order_relaxed) &&
                    (quit || record->sleepUntilTime == -1 || record->sleepUntilTime <= now)) {
                    chosen = record;
                    chosenSlot = i;
                }
            }
        }
    }

    // The pool lock is not held while a thread runs: it may create, start or look up threads.
    if (chosen != nullptr) {
        auto* scheduler = static_cast<ucontext_t*>(mainThreadContext);
        auto* thread = static_cast<ucontext_t*>(chosen->context);
        if (starting) {
            state = kStateStarting;
            prepareEntryContext(thread, chosen->stack);
        } else {
            state = kStateResuming;
        }
        currentlyRunningThreadIndex.store(chosenSlot, std::memory_order_relaxed);
        switchContext(scheduler, thread, chosen->stack, _THREAD_STACK_SIZE, false);
        // Back with state 2: the thread has given up the processor, or finished.
        currentlyRunningThreadIndex.store(-1, std::memory_order_relaxed);
        state = kStateIdle;
        lastRunThreadIndex = chosenSlot;
    }

    bool anyStarted = false;
    long long wakeUp;
    {
        std::lock_guard<std::mutex> lock(Thread::poolMutex);
        allSleepingUntilMS = -1;
        const int32_t size =
            Thread::ThreadImpPool ? Thread::threadPoolSize.load(std::memory_order_relaxed) : 0;
        for (int32_t i = 0; i < size; ++i) {
            ThreadImp* record = Thread::ThreadImpPool[i];
            if (record == nullptr || record->terminated.load(std::memory_order_relaxed)) continue;
            if (record->started.load(std::memory_order_relaxed)) anyStarted = true;
            if (record->sleepUntilTime == -1) {
                allSleepingUntilMS = -1;
                break;
            }
            if (allSleepingUntilMS == -1 || allSleepingUntilMS > record->sleepUntilTime)
                allSleepingUntilMS = record->sleepUntilTime;
            if (record->started.load(std::memory_order_relaxed) && !record->begun) {
                allSleepingUntilMS = -1;
                break;
            }
        }
        wakeUp = allSleepingUntilMS;
    }
    if (!anyStarted) return -1;
    if (wakeUp == -1) return 0;
    const int32_t left = static_cast<int32_t>(wakeUp - monotonicMillis());
    return left < 0 ? 0 : left;
}

void Thread::tidyUp() {
    tearingDown.store(true, std::memory_order_release);
    for (;;) {
        const long long answer = ThreadImp::iterateThreads();
        if (answer == -1 || answer == -2) break;
    }
    tearingDown.store(false, std::memory_order_release);
    tidyUpNormal();
    std::free(ThreadImp::mainThreadContext);
    ThreadImp::mainThreadContext = nullptr;
}

}  // namespace java::lang
