#include "library/Thread.h"

#include <cstdlib>
#include <new>

#include "library/ThreadImp.h"
#include "runtime/IllegalArgumentException.h"

constinit JavaPtr<java::lang::Thread> _mainThread;

namespace java::lang {

ThreadImp** Thread::ThreadImpPool = nullptr;
std::atomic<int32_t> Thread::threadPoolSize{0};
std::atomic<int32_t> Thread::numRunningThreads{0};
std::mutex Thread::poolMutex;
std::condition_variable Thread::terminationSignal;

namespace {

// With poolMutex held: the lowest free slot, or a new last one (the pool grows one entry at a time
// and never shrinks).
int32_t chooseSlotLocked() {
    const int32_t size = Thread::threadPoolSize.load(std::memory_order_relaxed);
    if (Thread::ThreadImpPool == nullptr) {
        auto* pool = static_cast<ThreadImp**>(std::calloc(1, sizeof(ThreadImp*)));
        if (pool == nullptr) throw std::bad_alloc();
        Thread::ThreadImpPool = pool;
        Thread::threadPoolSize.store(1, std::memory_order_relaxed);
        return 0;
    }
    for (int32_t i = 0; i < size; ++i) {
        if (Thread::ThreadImpPool[i] == nullptr) return i;
    }
    auto* grown = static_cast<ThreadImp**>(
        std::realloc(Thread::ThreadImpPool, sizeof(ThreadImp*) * static_cast<size_t>(size + 1)));
    if (grown == nullptr) throw std::bad_alloc();
    grown[size] = nullptr;
    Thread::ThreadImpPool = grown;
    Thread::threadPoolSize.store(size + 1, std::memory_order_relaxed);
    return size;
}

}  // namespace

Thread::~Thread() {
    delete m_record;
    m_record = nullptr;
}

Thread* Thread::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    initialiseTarget(JavaPtr<Runnable>(this), nullptr);
    return this;
}

Thread* Thread::TESLinvokeconstructor(const JavaPtr<String>& threadName) {
    Object::TESLinvokeconstructor();
    initialiseTarget(JavaPtr<Runnable>(this), threadName);
    return this;
}

Thread* Thread::TESLinvokeconstructor(const JavaPtr<Runnable>& target) {
    Object::TESLinvokeconstructor();
    initialiseTarget(target, nullptr);
    return this;
}

Thread* Thread::TESLinvokeconstructor(const JavaPtr<Runnable>& target, const JavaPtr<String>& threadName) {
    Object::TESLinvokeconstructor();
    initialiseTarget(target, threadName);
    return this;
}

void Thread::initialiseTarget(const JavaPtr<Runnable>& target, const JavaPtr<String>& threadName) {
    priority.store(NORM_PRIORITY, std::memory_order_relaxed);
    // Finished threads go first, so that their slots can be reused.
    ThreadImp::destroyTerminatedThreads();
    {
        std::lock_guard<std::mutex> lock(poolMutex);
        const int32_t chosen = chooseSlotLocked();
        m_record = new ThreadImp(target, chosen, this);
        ThreadImpPool[chosen] = m_record;
        slot = chosen;
    }
    if (threadName) {
        name = threadName;
    } else {
        String prefix("Thread-");
        name = prefix + slot;
    }
}

void Thread::start() {
    if (m_record != nullptr) m_record->start();
}

JavaPtr<String> Thread::toString() {
    String prefix("Thread[");
    return prefix + JavaPtr<Object>(name) + "," + getPriority() + ",main]";
}

void Thread::setPriority(int32_t newPriority) {
    if (newPriority < MIN_PRIORITY || newPriority > MAX_PRIORITY) throw IllegalArgumentException();
    priority.store(newPriority, std::memory_order_relaxed);
}

bool Thread::isAlive() const {
    return m_record != nullptr && m_record->started.load(std::memory_order_acquire) &&
           !m_record->terminated.load(std::memory_order_acquire);
}

void Thread::join() {
    if (m_record == nullptr) return;
    std::unique_lock<std::mutex> lock(poolMutex);
    if (!m_record->started.load(std::memory_order_relaxed)) return;
    terminationSignal.wait(lock, [this] { return m_record->terminated.load(std::memory_order_acquire); });
}

JavaPtr<Thread> Thread::currentThread() {
    std::lock_guard<std::mutex> lock(poolMutex);
    if (ThreadImpPool == nullptr) return nullptr;
    const int32_t size = threadPoolSize.load(std::memory_order_relaxed);
    for (int32_t i = 0; i < size; ++i) {
        ThreadImp* record = ThreadImpPool[i];
        if (record != nullptr && record->isCurrentThread()) return record->thread;
    }
    return _mainThread;
}

void Thread::yield() {
    ThreadImp::yield();
}

void Thread::sleep(long long ms) {
    ThreadImp::sleep(ms);
}

int32_t Thread::activeCount() {
    std::lock_guard<std::mutex> lock(poolMutex);
    if (ThreadImpPool == nullptr) return 0;
    int32_t count = 0;
    const int32_t size = threadPoolSize.load(std::memory_order_relaxed);
    for (int32_t i = 0; i < size; ++i) {
        if (ThreadImpPool[i] != nullptr) ++count;
    }
    return count;
}

int32_t Thread::findUnusedSlot() {
    std::lock_guard<std::mutex> lock(poolMutex);
    return chooseSlotLocked();
}

void Thread::tidyUpNormal() {
    ThreadImp::destroyTerminatedThreads();
    std::lock_guard<std::mutex> lock(poolMutex);
    ThreadImp::setAsidePoolLocked();
    std::free(ThreadImpPool);
    ThreadImpPool = nullptr;
}

void Thread::iterateThreads() {
    yield();
    ThreadImp::destroyTerminatedThreads();
}

}  // namespace java::lang
