// Monitors and threads beside the standard library's primitives: uncontended and contended entry,
// a wait/notify round trip, and the processor time that sleeping threads use.
#include <benchmark/benchmark.h>
#include <sched.h>

#include <atomic>
#include <condition_variable>
#include <ctime>
#include <mutex>
#include <thread>

#include "library/Thread.h"
#include "runtime/LockObject.h"
#include "runtime/MonotonicClock.h"
#include "runtime/Runnable.h"

namespace {

using java::lang::Object;
using java::lang::Runnable;
using java::lang::Thread;

// --- Uncontended entry and exit -------------------------------------------------------------------

void BM_MonitorUncontended(benchmark::State& state) {
    JavaPtr<Object> object = jnew<Object>();
    for (auto _ : state) {
        JavaPtr<LockObject> lock(object->startSync());
        benchmark::DoNotOptimize(lock.get());
    }
}
BENCHMARK(BM_MonitorUncontended);

void BM_MonitorReentry(benchmark::State& state) {
    JavaPtr<Object> object = jnew<Object>();
    JavaPtr<LockObject> outer(object->startSync());
    for (auto _ : state) {
        JavaPtr<LockObject> lock(object->startSync());
        benchmark::DoNotOptimize(lock.get());
    }
}
BENCHMARK(BM_MonitorReentry);

void BM_StdMutexUncontended(benchmark::State& state) {
    std::mutex mutex;
    for (auto _ : state) {
        std::lock_guard<std::mutex> lock(mutex);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StdMutexUncontended);

void BM_StdRecursiveMutexUncontended(benchmark::State& state) {
    std::recursive_mutex mutex;
    for (auto _ : state) {
        std::lock_guard<std::recursive_mutex> lock(mutex);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_StdRecursiveMutexUncontended);

// --- Contended: every benchmark thread increments one counter under one lock -----------------------

JavaPtr<Object> contendedObject;
long long contendedCounter = 0;
std::mutex contendedMutex;

void BM_MonitorContended(benchmark::State& state) {
    for (auto _ : state) {
        JavaPtr<LockObject> lock(contendedObject->startSync());
        contendedCounter = contendedCounter + 1;
    }
}
BENCHMARK(BM_MonitorContended)
    ->Setup([](const benchmark::State&) { contendedObject = jnew<Object>(); })
    ->Teardown([](const benchmark::State&) { contendedObject = nullptr; })
    ->Threads(2)
    ->Threads(4)
    ->Threads(8)
    ->UseRealTime();

void BM_StdMutexContended(benchmark::State& state) {
    for (auto _ : state) {
        std::lock_guard<std::mutex> lock(contendedMutex);
        contendedCounter = contendedCounter + 1;
    }
}
BENCHMARK(BM_StdMutexContended)->Threads(2)->Threads(4)->Threads(8)->UseRealTime();

// --- Wait/notify round trip: a partner thread answers each request ---------------------------------

class Responder : public Object, public virtual Runnable {
    TESL_CLASS(Responder, "bench.Responder", Object, Runnable)
public:
    Responder() noexcept {}
    void run() override {
        JavaPtr<LockObject> lock(startSync());
        for (;;) {
            while (turn == 0 && !stop) wait();
            if (stop) return;
            turn = 0;
            notify();
        }
    }
    // Guarded by this object's monitor.
    int turn = 0;
    bool stop = false;
};

void BM_MonitorWaitNotifyRoundTrip(benchmark::State& state) {
    JavaPtr<Responder> responder = jnew<Responder>();
    JavaPtr<Thread> partner = jnew<Thread>(JavaPtr<Runnable>(responder));
    partner->start();
    for (auto _ : state) {
        JavaPtr<LockObject> lock(responder->startSync());
        responder->turn = 1;
        responder->notify();
        while (responder->turn != 0) responder->wait();
    }
    {
        JavaPtr<LockObject> lock(responder->startSync());
        responder->stop = true;
        responder->notify();
    }
    partner->join();
}
BENCHMARK(BM_MonitorWaitNotifyRoundTrip)->UseRealTime();

void BM_StdConditionVariableRoundTrip(benchmark::State& state) {
    std::mutex mutex;
    std::condition_variable changed;
    int turn = 0;
    bool stop = false;
    std::thread partner([&] {
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            changed.wait(lock, [&] { return turn != 0 || stop; });
            if (stop) return;
            turn = 0;
            changed.notify_one();
        }
    });
    for (auto _ : state) {
        std::unique_lock<std::mutex> lock(mutex);
        turn = 1;
        changed.notify_one();
        changed.wait(lock, [&] { return turn == 0; });
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    changed.notify_one();
    partner.join();
}
BENCHMARK(BM_StdConditionVariableRoundTrip)->UseRealTime();

// --- Processor time of sleeping threads ------------------------------------------------------------

double threadCpuMillis() {
    timespec now;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

class Sleeper : public Object, public virtual Runnable {
    TESL_CLASS(Sleeper, "bench.Sleeper", Object, Runnable)
public:
    Sleeper() noexcept {}
    void run() override {
        const double before = threadCpuMillis();
        Thread::sleep(1000);
        cpuMillis = threadCpuMillis() - before;
    }
    double cpuMillis = 0;
};

// A runtime thread sleeping 1 s: the processor time it uses meanwhile, in ms.
void BM_RuntimeThreadSleepOneSecond(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        JavaPtr<Sleeper> sleeper = jnew<Sleeper>();
        JavaPtr<Thread> thread = jnew<Thread>(JavaPtr<Runnable>(sleeper));
        thread->start();
        thread->join();
        cpu = sleeper->cpuMillis;
    }
    state.counters["cpu_ms"] = cpu;
}
BENCHMARK(BM_RuntimeThreadSleepOneSecond)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

double processCpuMillis() {
    timespec now;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

// An idle program: four runtime threads each sleeping 1 s, and the benchmark thread joining them. The
// processor time of the whole process meanwhile, in ms, thread creation included.
void BM_FourRuntimeThreadsSleepOneSecond(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        const double before = processCpuMillis();
        JavaPtr<Thread> threads[4];
        for (auto& thread : threads) {
            thread = jnew<Thread>(JavaPtr<Runnable>(jnew<Sleeper>()));
            thread->start();
        }
        for (auto& thread : threads) thread->join();
        cpu = processCpuMillis() - before;
    }
    state.counters["process_cpu_ms"] = cpu;
}
BENCHMARK(BM_FourRuntimeThreadsSleepOneSecond)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Baseline: a sleep made of yields until the deadline, as a spinning runtime would do it.
void BM_YieldLoopSleepOneSecond(benchmark::State& state) {
    double cpu = 0;
    for (auto _ : state) {
        const double before = threadCpuMillis();
        const long long deadline = monotonicMillis() + 1000;
        while (monotonicMillis() < deadline) sched_yield();
        cpu = threadCpuMillis() - before;
    }
    state.counters["cpu_ms"] = cpu;
}
BENCHMARK(BM_YieldLoopSleepOneSecond)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
