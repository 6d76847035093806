// A 640 x 960 frame of the quiz (the settled game screen of a test, on the full bundle) painted and
// handed over through the 2D-over-3D back end on Mesa's llvmpipe (including the read-back of the
// finished frame), beside the same paint in software with the frame copy a software flush makes, in
// the same run of the same program. Built only in the 2D-over-3D build (preset gl-release), where a
// graphics that is not the screen's still draws in software.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "bench/quiz/QuizHarness.h"
#include "graphics/Graphics.h"
#include "platform/gl/EglOutput.h"
#include "runtime/LockObject.h"

namespace {

using javax::microedition::lcdui::Graphics;
using quizbench::QuizHarness;

constexpr int kScale = 2, kWidth = 640, kHeight = 960;

// The quiz settled on the game screen of a test, its frame loop in the benchmark's hands.
bool settleOnGame(QuizHarness& quiz) {
    if (!quiz.settle(HookCanvas::GAMESTATE_MAIN_MENU)) return false;
    JavaPtr<quizbench::BenchCanvas> canvas = quiz.canvas();
    {
        JavaPtr<LockObject> lock(canvas->startSync());
        HookCanvas::want_category_to_be = HookCanvas::TEST_CATEGORY;
        HookCanvas::want_practice_mode = false;
        if (!canvas->question) {
            canvas->resetGame(false);
            canvas->getQuestion(true);
        }
        canvas->startFade(HookCanvas::FADE_IN, HookCanvas::GAMESTATE_GAME_RUNNING);
    }
    return quiz.settle(HookCanvas::GAMESTATE_GAME_RUNNING);
}

void paintFrames(benchmark::State& state, bool throughGL) {
    QuizHarness quiz(kScale, QuizHarness::Loop::Manual);
    if (!settleOnGame(quiz)) {
        state.SkipWithError("the game screen never settled");
        return;
    }
    JavaPtr<quizbench::BenchCanvas> canvas = quiz.canvas();
    std::vector<uint32_t> frame(static_cast<size_t>(kWidth) * kHeight), handedOver(frame.size());
    JavaPtr<Graphics> g = jnew<Graphics>();
    g->width = kWidth;
    g->height = kHeight;
    g->setClip(0, 0, kWidth, kHeight);
    if (throughGL) {
        platform::EglOutput::setOutputSize(kWidth, kHeight);
        g->isScreen = true;
    } else {
        g->pixels = frame.data();
    }
    const uint64_t presented = platform::EglOutput::framesPresented();
    for (auto _ : state) {
        canvas->paint(g);
        if (throughGL) {
            flushGraphics2DOver3D(nullptr);
        } else {
            std::memcpy(handedOver.data(), frame.data(), frame.size() * 4);
        }
        benchmark::DoNotOptimize(handedOver.data());
        benchmark::ClobberMemory();
    }
    if (throughGL &&
        platform::EglOutput::framesPresented() - presented != static_cast<uint64_t>(state.iterations()))
        state.SkipWithError("a GL frame was not presented");
    state.SetLabel(std::to_string(kWidth) + "x" + std::to_string(kHeight));
}

void QuizFrameThroughGL(benchmark::State& state) {
    paintFrames(state, true);
}
BENCHMARK(QuizFrameThroughGL)->Unit(benchmark::kMillisecond);

void QuizFrameSoftware(benchmark::State& state) {
    paintFrames(state, false);
}
BENCHMARK(QuizFrameSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
