// The program's cost while nothing happens: the demo's still screen shown, no input, for a window of
// wall time (10 s, or QUILL_IDLE_SECONDS). Beside it the same window with the process only sleeping,
// the floor any idle program sits on. Reported as CPU time in percent of one core.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "bench/app/DemoMIDlet.h"
#include "bench/support/IdleCpu.h"
#include "platform/files/FileSystemPaths.h"
#include "platform/host/HeadlessHost.h"
#include "shell/ProxyMIDlet.h"
#include "shell/StartUp.h"
#include "shell/xyzApp.h"

namespace {

using benchsupport::idleWindow;
using benchsupport::processCpuSeconds;

using Clock = std::chrono::steady_clock;

// Measures CPU and wall time across idle(); reports CPU in percent of one core.
template <class Idle>
void measure(benchmark::State& state, Idle idle) {
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        const auto wallBefore = Clock::now();
        idle();
        const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
        const double cpu = processCpuSeconds() - cpuBefore;
        state.SetIterationTime(wall);
        state.counters["cpu_percent"] = 100.0 * cpu / wall;
        state.counters["wall_s"] = wall;
    }
}

void SleepingProcess(benchmark::State& state) {
    measure(state, [] { std::this_thread::sleep_for(idleWindow()); });
}

void IdleProgram(benchmark::State& state) {
    platform::setFileSystemPaths("/nonexistent-bundle", "/tmp");
    platform::HostScreen screen;
    screen.widthPoints = 320;
    screen.heightPoints = 480;
    screen.scale = 2;
    platform::HeadlessHost host(screen);
    platform::setCurrentHost(&host);
    ProxyMIDlet::setMIDletFactory(&DemoMIDlet::create);
    resetStartUpForTests();
    xyzApp app(host);
    std::thread loop([&] { host.run(app); });
    if (!host.waitForFrames(1, std::chrono::seconds(10))) state.SkipWithError("no first frame");
    measure(state, [] { std::this_thread::sleep_for(idleWindow()); });
    host.terminate();
    host.waitUntilFinished(std::chrono::seconds(10));
    loop.join();
    platform::setCurrentHost(nullptr);
}

}  // namespace

BENCHMARK(SleepingProcess)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(IdleProgram)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
