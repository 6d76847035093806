// What a player feels of the quiz, each beside a baseline measured in the same run: start-up to the
// settled main menu (beside the shell's fake MIDlet reaching its first frame), the first and second
// load of each screen the play-through visits (beside reading the same bundle files alone), painting
// (beside a full-screen copy and an opaque full-screen drawImage), drawing test questions (beside
// reading the same records by index) and the idle main menu's CPU (beside the idle fake MIDlet).
// Both screen sizes: argument 1 is 320 x 480, 2 is 640 x 960. Figures that are not times per
// iteration are counters in milliseconds (or percent of one core).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <thread>
#include <vector>

#include "bench/quiz/QuizHarness.h"
#include "bench/support/IdleCpu.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "platform/device/DeviceProfile.h"
#include "platform/files/FileSystemPaths.h"
#include "platform/host/Sdl2Host.h"
#include "runtime/LockObject.h"
#include "shell/StartUp.h"
#include "tests/support/FakeMIDlet.h"
#include "tests/support/QuizLaunch.h"
#include "tests/support/QuizStatics.h"

namespace {

using benchsupport::idleWindow;
using benchsupport::processCpuSeconds;

using Clock = std::chrono::steady_clock;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using quizbench::QuizHarness;

constexpr int32_t kMainMenu = HookCanvas::GAMESTATE_MAIN_MENU;
constexpr int32_t kGame = HookCanvas::GAMESTATE_GAME_RUNNING;

double millisSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// p50, p95, p99 and max of a set of samples, as counters named prefix_p50 and so on.
void percentiles(benchmark::State& state, const std::string& prefix, std::vector<double> samples,
                 std::initializer_list<int> which = {50, 95}) {
    if (samples.empty()) return;
    std::sort(samples.begin(), samples.end());
    for (int p : which) {
        const size_t at = std::min(samples.size() - 1, samples.size() * static_cast<size_t>(p) / 100);
        state.counters[prefix + "_p" + std::to_string(p)] = samples[at];
    }
    state.counters[prefix + "_max"] = samples.back();
}

template <class Body>
std::vector<double> timeEach(int times, Body body) {
    std::vector<double> samples;
    samples.reserve(static_cast<size_t>(times));
    for (int i = 0; i < times; ++i) {
        const auto start = Clock::now();
        body(i);
        samples.push_back(millisSince(start));
    }
    return samples;
}

// Polls test every millisecond until it holds or the limit passes.
template <class Test>
bool pollUntil(std::chrono::milliseconds limit, Test test) {
    const auto end = Clock::now() + limit;
    while (!test()) {
        if (Clock::now() >= end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool settledMenu(QuizHarness& quiz) {
    JavaPtr<HookCanvas> c = quiz.canvas();
    return c && QuizHarness::settledIn(*c, kMainMenu);
}

// 1. Start-up to the first settled main-menu frame (no loading bit, no wipe, the frame stable), and to
// the end of the first load.
void StartUpToSettledMenu(benchmark::State& state) {
    for (auto _ : state) {
        QuizHarness quiz(static_cast<int>(state.range(0)), QuizHarness::Loop::Threaded);
        double firstLoad = -1;
        const bool loaded = pollUntil(std::chrono::seconds(30), [&] {
            if (HookCanvas::game_state.load() != kMainMenu) return false;
            firstLoad = millisSince(quiz.started());
            return true;
        });
        const bool settled = loaded &&
                             pollUntil(std::chrono::seconds(30), [&] { return settledMenu(quiz); }) &&
                             quiz.host().waitForStableFrames(3, std::chrono::seconds(30));
        if (!settled) {
            state.SkipWithError("the main menu never settled");
            return;
        }
        const double total = millisSince(quiz.started());
        state.SetIterationTime(total / 1000.0);
        state.counters["first_load_end_ms"] = firstLoad;
        state.counters["settled_ms"] = total;
    }
}

void FakeMidletFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        QuizHarness fake(static_cast<int>(state.range(0)), QuizHarness::Loop::Threaded,
                         &testsupport::FakeMIDlet::create);
        if (!fake.host().waitForFrames(1, std::chrono::seconds(30))) {
            state.SkipWithError("no first frame");
            return;
        }
        const double total = millisSince(fake.started());
        state.SetIterationTime(total / 1000.0);
        state.counters["first_frame_ms"] = total;
    }
}

// The screens the play-through visits, entered as their buttons enter them.
struct Screen {
    const char* name;
    int32_t state;
};

const std::vector<Screen>& visitedScreens() {
    static const std::vector<Screen> screens = {
        {"game", kGame},    {"info", 11},    {"promoted", 6},          {"category", 12},
        {"subsection", 13}, {"complete", 9}, {"main_menu", kMainMenu},
    };
    return screens;
}

// Switches to the screen under the canvas's monitor, as the update step does.
void enter(HookCanvas& canvas, const Screen& screen) {
    JavaPtr<LockObject> lock(canvas.startSync());
    if (screen.state == kGame) {
        HookCanvas::want_category_to_be = HookCanvas::TEST_CATEGORY;
        HookCanvas::want_practice_mode = false;
        if (!canvas.question) {
            canvas.resetGame(false);
            canvas.getQuestion(true);
        }
    } else if (screen.state == 13) {
        HookCanvas::want_category_to_be = 0;
        HookCanvas::want_practice_mode = true;
    }
    canvas.startFade(HookCanvas::FADE_IN, screen.state);
}

double readFilesAlone(const std::vector<std::string>& names) {
    const auto start = Clock::now();
    size_t bytes = 0;
    for (const std::string& name : names) {
        std::string path =
            std::string(_appPathIs) + "/" + (name.empty() || name[0] != '/' ? name : name.substr(1));
        std::ifstream file(path, std::ios::binary);
        std::vector<char> data((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        bytes += data.size();
    }
    benchmark::DoNotOptimize(bytes);
    return millisSince(start);
}

// 2. The load of each visited screen, from the switch to the loading bit cleared, first and second
// entry, beside reading the bundle files that load read.
void ScreenLoads(benchmark::State& state) {
    for (auto _ : state) {
        QuizHarness quiz(static_cast<int>(state.range(0)), QuizHarness::Loop::Manual);
        if (!quiz.settle(kMainMenu)) {
            state.SkipWithError("the main menu never settled");
            return;
        }
        JavaPtr<quizbench::BenchCanvas> canvas = quiz.canvas();
        double total = 0;
        for (int entry = 1; entry <= 2; ++entry) {
            for (const Screen& screen : visitedScreens()) {
                canvas->startRecording();
                const auto start = Clock::now();
                enter(*canvas, screen);
                if (!HookCanvas::waitForLoading(30000)) {
                    state.SkipWithError((std::string("the load of ") + screen.name + " never ended").c_str());
                    return;
                }
                const double ms = millisSince(start);
                const std::vector<std::string> files = canvas->stopRecording();
                total += ms;
                const std::string key = std::string(screen.name) + (entry == 1 ? "_first_ms" : "_second_ms");
                state.counters[key] = ms;
                if (entry == 1)
                    state.counters[std::string(screen.name) + "_files_alone_ms"] = readFilesAlone(files);
                quiz.settle(screen.state, 400);
            }
        }
        state.SetIterationTime(total / 1000.0);
    }
}

// 3. paint 300 times in each settled screen and mid-wipe on a fixed clock, and the whole pass with the
// flush, beside a full-screen copy and an opaque full-screen drawImage.
void Paint(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    const int width = 320 * scale, height = 480 * scale;
    for (auto _ : state) {
        QuizHarness quiz(scale, QuizHarness::Loop::Manual);
        if (!quiz.settle(kMainMenu)) {
            state.SkipWithError("the main menu never settled");
            return;
        }
        JavaPtr<quizbench::BenchCanvas> canvas = quiz.canvas();
        JavaPtr<Graphics> g = Image::createImage(width, height)->getGraphics();

        std::vector<uint32_t> from(static_cast<size_t>(width) * height, 0x336699u), to(from.size());
        const std::vector<double> copies = timeEach(300, [&](int) {
            std::memcpy(to.data(), from.data(), from.size() * 4);
            benchmark::DoNotOptimize(to.data());
        });
        JavaPtr<Image> opaque = Image::createImage(width, height);
        const std::vector<double> draws =
            timeEach(300, [&](int) { g->drawImage(opaque, 0, 0, Graphics::TOP | Graphics::LEFT); });
        percentiles(state, "memcpy", copies);
        percentiles(state, "drawImage", draws);
        std::vector<double> sortedDraws = draws;
        std::sort(sortedDraws.begin(), sortedDraws.end());
        const double drawMedian = std::max(sortedDraws[sortedDraws.size() / 2], 1e-6);

        double total = 0;
        auto measure = [&](const std::string& name) {
            const std::vector<double> paints = timeEach(300, [&](int) { canvas->paint(g); });
            percentiles(state, name, paints);
            std::vector<double> sorted = paints;
            std::sort(sorted.begin(), sorted.end());
            state.counters[name + "_p95_per_drawImage"] = sorted[sorted.size() * 95 / 100] / drawMedian;
            for (double ms : paints) total += ms;
        };
        measure("main_menu");
        for (const Screen& screen : visitedScreens()) {
            if (screen.state == kMainMenu) continue;
            enter(*canvas, screen);
            if (!quiz.settle(screen.state)) {
                state.SkipWithError((std::string("never settled in ") + screen.name).c_str());
                return;
            }
            measure(screen.name);
        }
        // Mid-wipe: the menu's mask running, the clock held still.
        enter(*canvas, visitedScreens().back());
        HookCanvas::waitForLoading(30000);
        measure("mid_wipe");
        // The whole pass: paint and hand the frame over, the clock held still.
        const std::vector<double> passes = timeEach(300, [&](int) { quiz.pass(false); });
        percentiles(state, "pass", passes);
        state.SetIterationTime(total / 1000.0);
    }
}

// 4. getQuestion(true) over a 1000-question test, beside reading the same records by index.
void DrawQuestions(benchmark::State& state) {
    for (auto _ : state) {
        QuizHarness quiz(static_cast<int>(state.range(0)), QuizHarness::Loop::Manual);
        if (!quiz.settle(kMainMenu)) {
            state.SkipWithError("the main menu never settled");
            return;
        }
        JavaPtr<quizbench::BenchCanvas> canvas = quiz.canvas();
        enter(*canvas, visitedScreens().front());
        if (!quiz.settle(kGame)) {
            state.SkipWithError("the game screen never settled");
            return;
        }
        std::vector<int32_t> drawn;
        JavaPtr<LockObject> lock(canvas->startSync());
        const std::vector<double> draws = timeEach(1000, [&](int) {
            canvas->getQuestion(true);
            drawn.push_back(HookCanvas::film_id);
        });
        const std::vector<double> reads = timeEach(1000, [&](int i) {
            canvas->database_pos = canvas->question_offsets->data[drawn[static_cast<size_t>(i)]];
            benchmark::DoNotOptimize(canvas->criticnameReadQuestion());
        });
        percentiles(state, "getQuestion", draws, {50, 99});
        percentiles(state, "read_by_index", reads, {50, 99});
        double total = 0;
        for (double ms : draws) total += ms;
        state.SetIterationTime(total / 1000.0);
    }
}

// 5. CPU while the settled main menu sits idle, beside the idle fake MIDlet and a process that only
// sleeps. Beside the CPU, how often the ticker and the frame loop woke and how many frames were handed
// over, per second: a settled screen should show no pace above the quiz's 30 steps a second.
struct IdleCounts {
    uint64_t tickerPasses = ::tickerPasses();
    uint64_t loopPasses = HookCanvas::finished_passes.load();
    uint64_t frames = 0;
    double cpu = processCpuSeconds();
    Clock::time_point wall = Clock::now();
};

// frames: the frames handed over by then, or nothing where the host does not count them.
void reportIdle(benchmark::State& state, const IdleCounts& before, std::optional<uint64_t> frames) {
    const IdleCounts after;
    const double wall = std::chrono::duration<double>(after.wall - before.wall).count();
    state.SetIterationTime(wall);
    state.counters["cpu_percent"] = 100.0 * (after.cpu - before.cpu) / wall;
    state.counters["ticker_wakeups_per_s"] =
        static_cast<double>(after.tickerPasses - before.tickerPasses) / wall;
    state.counters["loop_passes_per_s"] = static_cast<double>(after.loopPasses - before.loopPasses) / wall;
    if (frames) state.counters["frames_per_s"] = static_cast<double>(*frames - before.frames) / wall;
}

template <class Ready>
void measureIdle(benchmark::State& state, Ready ready) {
    for (auto _ : state) {
        QuizHarness program(static_cast<int>(state.range(0)), QuizHarness::Loop::Threaded, ready.factory);
        if (!ready(program)) {
            state.SkipWithError("never ready to idle");
            return;
        }
        IdleCounts before;
        before.frames = program.host().handedOverFrames();
        std::this_thread::sleep_for(idleWindow());
        reportIdle(state, before, program.host().handedOverFrames());
    }
}

struct QuizReady {
    ProxyMIDlet::MIDletFactory factory = nullptr;
    bool operator()(QuizHarness& quiz) const {
        return pollUntil(std::chrono::seconds(30), [&] { return settledMenu(quiz); }) &&
               quiz.host().waitForStableFrames(3, std::chrono::seconds(30));
    }
};

struct FakeReady {
    ProxyMIDlet::MIDletFactory factory = &testsupport::FakeMIDlet::create;
    bool operator()(QuizHarness& fake) const {
        return fake.host().waitForFrames(1, std::chrono::seconds(30));
    }
};

void IdleMainMenu(benchmark::State& state) {
    measureIdle(state, QuizReady{});
}

void IdleFakeMidlet(benchmark::State& state) {
    measureIdle(state, FakeReady{});
}

void IdleSleepingProcess(benchmark::State& state) {
    for (auto _ : state) {
        IdleCounts before;
        std::this_thread::sleep_for(idleWindow());
        reportIdle(state, before, 0);
    }
}

// The settled main menu in the window host: SDL's software renderer, on the desktop named by DISPLAY
// or, without one, on SDL's offscreen driver (which still uploads and presents every frame).
void IdleMainMenuWindow(benchmark::State& state) {
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr)
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
    setenv("SDL_RENDER_DRIVER", "software", 1);
    const int scale = static_cast<int>(state.range(0));
    for (auto _ : state) {
        char pattern[] = "/tmp/quiz_bench_XXXXXX";
        if (mkdtemp(pattern) == nullptr) {
            state.SkipWithError("no data directory");
            return;
        }
        const std::string data = pattern;
        resetStartUpForTests();
        testsupport::resetQuizRunStatics();
        std::string error;
        platform::setUpFileSystemPaths(QUILL_FULL_BUNDLE_DIR, data.c_str(), error);
        platform::DeviceProfile profile = platform::defaultDeviceProfile();
        profile.screenModeWidth = 320 * scale;
        platform::setDeviceProfile(profile);
        testsupport::prepareQuizLaunch(&quizbench::BenchMidlet::create, false);
        platform::Sdl2HostOptions options;
        options.screen.widthPoints = 320;
        options.screen.heightPoints = 480;
        options.screen.scale = scale;
        options.zoom = 1;
        options.title = "quiz_bench";
        std::unique_ptr<platform::Sdl2Host> host = platform::Sdl2Host::open(options, error);
        if (!host) {
            state.SkipWithError(("no window: " + error).c_str());
            testsupport::endQuizLaunch();
            return;
        }
        platform::setCurrentHost(host.get());
        {
            xyzApp app(*host);
            bool ready = false;
            std::thread idler([&] {
                ready = pollUntil(std::chrono::seconds(30), [] {
                    JavaPtr<HookCanvas> c = AppMidlet::canvas();
                    return c && QuizHarness::settledIn(*c, kMainMenu);
                });
                // The last paints of the wipe and the first twinkles are over well within this.
                std::this_thread::sleep_for(std::chrono::seconds(1));
                if (ready) {
                    IdleCounts before;
                    std::this_thread::sleep_for(idleWindow());
                    reportIdle(state, before, std::nullopt);
                }
                host->runOnMain([&app] { app.terminating(); }, false);
            });
            host->run(app);
            idler.join();
            if (!ready) state.SkipWithError("the main menu never settled");
        }
        platform::setCurrentHost(nullptr);
        host.reset();
        testsupport::endQuizLaunch();
        std::error_code ignored;
        std::filesystem::remove_all(data, ignored);
    }
}

}  // namespace

BENCHMARK(FakeMidletFirstFrame)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(StartUpToSettledMenu)
    ->Arg(1)
    ->Arg(2)
    ->Iterations(3)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ScreenLoads)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(Paint)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(DrawQuestions)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(IdleSleepingProcess)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(IdleFakeMidlet)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(IdleMainMenu)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
BENCHMARK(IdleMainMenuWindow)->Arg(1)->Arg(2)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);
