// The hand-over of a full 640x960 frame through the mailbox beside a plain memcpy of the same bytes,
// which is the least any hand-over that copies must cost.
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/host/FrameMailbox.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 960;
constexpr size_t kWords = static_cast<size_t>(kWidth) * kHeight;

void setFrameCounters(benchmark::State& state) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kWords) * 4);
}

void MemcpyFrame(benchmark::State& state) {
    std::vector<uint32_t> source(kWords, 0xFF336699u);
    std::vector<uint32_t> target(kWords);
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), kWords * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    setFrameCounters(state);
}
BENCHMARK(MemcpyFrame);

void MailboxHandOver(benchmark::State& state) {
    std::vector<uint32_t> source(kWords, 0xFF336699u);
    platform::FrameMailbox mailbox;
    for (auto _ : state) {
        benchmark::DoNotOptimize(mailbox.publish(source.data(), kWidth, kHeight, kWidth));
        benchmark::ClobberMemory();
    }
    setFrameCounters(state);
}
BENCHMARK(MailboxHandOver);

// The same with a main thread taking every frame it can, as a window does.
void MailboxHandOverWhileShown(benchmark::State& state) {
    std::vector<uint32_t> source(kWords, 0xFF336699u);
    platform::FrameMailbox mailbox;
    std::atomic<bool> stop{false};
    std::thread mainThread([&] {
        while (!stop.load(std::memory_order_relaxed)) {
            if (!mailbox.takeLatest()) std::this_thread::yield();
        }
    });
    for (auto _ : state) {
        benchmark::DoNotOptimize(mailbox.publish(source.data(), kWidth, kHeight, kWidth));
        benchmark::ClobberMemory();
    }
    stop = true;
    mainThread.join();
    setFrameCounters(state);
}
BENCHMARK(MailboxHandOverWhileShown)->UseRealTime();

}  // namespace
