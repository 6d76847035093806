// The sensor poll as the ticker thread runs it when no sample is pending, with 0, 1 and 4 open
// connections (listening with a 50 ms period, as the quiz asks), beside a baseline of the least a locked
// poll does per connection: one uncontended mutex and one clock reading. Every heap block asked for
// inside the timed loop is counted and reported per pass.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <mutex>
#include <vector>

#include "sensor/DataListener.h"
#include "sensor/SensorConnection.h"
#include "sensor/SensorManager.h"
#include "sensor/TiltFeed.h"

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* block, size_t size);
}

namespace {

std::atomic<long long> heapRequests{0};

}  // namespace

// Every C and C++ allocation of the process passes here (operator new calls malloc).
extern "C" void* malloc(size_t size) {
    heapRequests.fetch_add(1, std::memory_order_relaxed);
    return __libc_malloc(size);
}
extern "C" void* calloc(size_t count, size_t size) {
    heapRequests.fetch_add(1, std::memory_order_relaxed);
    return __libc_calloc(count, size);
}
extern "C" void* realloc(void* block, size_t size) {
    heapRequests.fetch_add(1, std::memory_order_relaxed);
    return __libc_realloc(block, size);
}

namespace {

using namespace javax::microedition::sensor;

class IdleListener : public java::lang::Object, public DataListener {
    TESL_CLASS(IdleListener, "sensorbench.IdleListener", java::lang::Object, DataListener)
public:
    void dataReceived(const JavaPtr<SensorConnection>&, const JavaPtr<JArray<JavaPtr<Data>>>&,
                      bool) override {}
};

void BM_SensorPollNoSample(benchmark::State& state) {
    SensorManager::SensorManager_staticDestroy();
    if (TiltFeed::samplePending()) TiltFeed::consume(TiltFeed::read());
    std::vector<JavaPtr<SensorConnection>> connections;
    JavaPtr<DataListener> listener = jnew<IdleListener>();
    JavaPtr<java::lang::String> url = SensorManager::findAllSensors()->data[0]->getUrl();
    for (int i = 0; i < state.range(0); ++i) {
        connections.push_back(jcast<SensorConnection>(SensorManager::openConnection(url, 1, false)));
        // A period no pass reaches, so that nothing falls due while the benchmark runs.
        connections.back()->setDataListener(listener, 0, 1'000'000'000, false, false, false);
    }
    SensorManager::checkListeners();
    const long long before = heapRequests.load();
    for (auto _ : state) SensorManager::checkListeners();
    const long long requests = heapRequests.load() - before;
    state.counters["allocations/pass"] =
        benchmark::Counter(static_cast<double>(requests) / static_cast<double>(state.iterations()));
    for (auto& connection : connections) connection->close();
    SensorManager::SensorManager_staticDestroy();
}
BENCHMARK(BM_SensorPollNoSample)->Arg(0)->Arg(1)->Arg(4);

void BM_BaselineMutexAndClock(benchmark::State& state) {
    std::vector<std::mutex> mutexes(static_cast<size_t>(state.range(0)));
    long long sum = 0;
    for (auto _ : state) {
        for (std::mutex& mutex : mutexes) {
            std::lock_guard<std::mutex> lock(mutex);
            sum += std::chrono::system_clock::now().time_since_epoch().count();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_BaselineMutexAndClock)->Arg(0)->Arg(1)->Arg(4);

// Shows that the count sees the runtime's allocations: one object made and freed per pass.
void BM_BaselineOneObjectPerPass(benchmark::State& state) {
    const long long before = heapRequests.load();
    for (auto _ : state) benchmark::DoNotOptimize(jnew<java::lang::Object>().get());
    const long long requests = heapRequests.load() - before;
    state.counters["allocations/pass"] =
        benchmark::Counter(static_cast<double>(requests) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_BaselineOneObjectPerPass);

}  // namespace
