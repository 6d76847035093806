// The stage of the canvas tests: a HookCanvas whose hooks count what the loop asks of them, the
// canvas clock under the test's hand, manual passes, and every loop static put back between tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <stdexcept>

#include "engine/AppMidlet.h"
#include "engine/CanvasClock.h"
#include "engine/HookCanvas.h"
#include "runtime/RuntimeException.h"
#include "shell/MIDlet.h"
#include "tests/shell/DisplayFixtures.h"
#include "tests/support/Eventually.h"

namespace enginetest {

inline std::atomic<long long> clockNow{1000};

inline long long testClock() {
    return clockNow.load();
}

class CountingCanvas : public HookCanvas {
    TESL_CLASS(CountingCanvas, "enginetest.CountingCanvas", HookCanvas)
public:
    CountingCanvas() noexcept {}
    CountingCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }
    bool isShown() override { return shown.load(); }
    void fixedRateUpdate() override {
        steps.fetch_add(1);
        stepPointerPressed.store(pointer_pressed);
    }
    void syncPaint() override { paints.fetch_add(1); }
    void render(const JavaPtr<Graphics>&) override { renders.fetch_add(1); }
    void loadSounds() override { soundLoads.fetch_add(1); }
    void unloadSounds() override { soundUnloads.fetch_add(1); }
    void startLoading() override {
        loads.fetch_add(1);
        std::unique_lock<std::mutex> lock(gateMutex);
        gateSignal.wait(lock, [this] { return gateOpen; });
        if (throwWhileLoading) throw java::lang::RuntimeException();
    }
    void openGate() {
        std::lock_guard<std::mutex> lock(gateMutex);
        gateOpen = true;
        gateSignal.notify_all();
    }

    std::atomic<bool> shown{true};
    std::atomic<int> steps{0};
    std::atomic<int> paints{0};
    std::atomic<int> renders{0};
    std::atomic<int> soundLoads{0};
    std::atomic<int> soundUnloads{0};
    std::atomic<int> loads{0};
    std::atomic<bool> stepPointerPressed{false};
    bool throwWhileLoading = false;

private:
    std::mutex gateMutex;
    std::condition_variable gateSignal;
    bool gateOpen = true;

public:
    void closeGate() {
        std::lock_guard<std::mutex> lock(gateMutex);
        gateOpen = false;
    }
};

inline void resetLoopStatics() {
    HookCanvas::game_state.store(0);
    HookCanvas::previous_game_state.store(0);
    HookCanvas::app_status.store(HookCanvas::APPSTATUSFLAG_PAUSED);
    HookCanvas::render_after_update.store(false);
    HookCanvas::last_fixed_update_time_ms.store(0);
    HookCanvas::last_variable_update_time_ms.store(0);
    HookCanvas::internal_keypress_buffer.store(0);
    HookCanvas::cheats_triggered.store(0);
    HookCanvas::vibration_end_time.store(0);
    HookCanvas::thread_failed.store(false);
    HookCanvas::setMainThread(nullptr);
    AppMidlet::app_terminating.store(false);
    AppMidlet::AppMidlet_globalStaticDestroy();
    javax::microedition::midlet::MIDlet::quitInvoked.store(false);
}

class CanvasFixture : public shelltest::DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        resetLoopStatics();
        clockNow.store(1000);
        engine::CanvasClock::setSource(&testClock);
        HookCanvas::manual_passes.store(true);
        canvas = jnew<CountingCanvas>();
    }
    void TearDown() override {
        canvas->openGate();
        HookCanvas::waitForLoading(120000);
        HookCanvas::setMainThread(nullptr);
        // Every canvas and loading thread has ended and been reclaimed before the next test.
        EXPECT_TRUE(testsupport::eventually([] {
            java::lang::Thread::iterateThreads();
            return java::lang::Thread::activeCount() == 0;
        }));
        canvas = nullptr;
        HookCanvas::manual_passes.store(false);
        engine::CanvasClock::setSource(nullptr);
        resetLoopStatics();
        DisplayFixture::TearDown();
    }
    // Starts the loop at the current clock and clears the initial pause, as AppMidlet's start does.
    void start(int state) {
        HookCanvas::game_state.store(state);
        canvas->startMainThread();
        canvas->showNotify();
    }

    JavaPtr<CountingCanvas> canvas;
};

}  // namespace enginetest
