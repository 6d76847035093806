// The canvas's frame loop: fixed 33 ms update steps against the canvas clock, the synchronous paint,
// the game-state switch with its loading threads, and pause and resume.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>

#include "engine/AppMidlet.h"
#include "engine/CanvasClock.h"
#include "engine/HookCanvas.h"
#include "library/System.h"
#include "platform/host/Host.h"
#include "runtime/Exception.h"
#include "runtime/LockObject.h"
#include "runtime/Throwable.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/PaintingThreads.h"

using engine::CanvasClock;
using java::lang::Thread;

namespace {

// While a wipe or the loading animation moves paint by paint, a paint about every 16.7 ms is all a
// 60 Hz screen shows; otherwise the loop sleeps until the next step. Waiting instead of yielding
// keeps the loop from spinning a core, paused or not.
constexpr long long kPassIntervalMs = 17;

}  // namespace

JavaPtr<Thread> HookCanvas::mainThread() {
    std::lock_guard<std::mutex> lock(main_thread_mutex);
    return main_thread;
}

void HookCanvas::setMainThread(const JavaPtr<Thread>& thread) {
    JavaPtr<Thread> old;
    {
        std::lock_guard<std::mutex> lock(main_thread_mutex);
        old = main_thread;
        main_thread = thread;
    }
    main_thread_changed.notify_all();
}

void HookCanvas::startMainThread() {
    if (mainThread()) return;
    initKeysAndTouch();
    initInterrupts();
    long long now = CanvasClock::currentTimeMillis();
    if (manual_passes.load()) {
        last_fixed_update_time_ms.store(now);
        last_variable_update_time_ms.store(now);
        return;
    }
    JavaPtr<Thread> thread = jnew<Thread>(JavaPtr<java::lang::Runnable>(this));
    thread->setPriority(PARAM_TS_CORE_MAIN_THREAD_PRIORITY);
    setMainThread(thread);
    last_fixed_update_time_ms.store(now);
    last_variable_update_time_ms.store(now);
    thread->start();
}

void HookCanvas::stopMainThread() {
    setMainThread(nullptr);
}

void HookCanvas::run() {
    // Both the loop and a loading thread use the screen's statics and the bundle before they first
    // paint (the start-up step, a screen's pictures): the tear-down must wait for them from the start.
    javax::microedition::lcdui::PaintingThreads::noteCurrentThread();
    JavaPtr<Thread> self = Thread::currentThread();
    JavaPtr<Thread> mainOne = mainThread();
    const bool isMain = self && mainOne && self == mainOne;
    try {
        if (isMain) {
            // Only while this thread is the loop: once stopped, a loop started for a later canvas must
            // not keep this one running beside it, and a loop stopped before it began (a tear-down
            // racing the start) must not run the start-up step under it.
            while (mainThread() == self) runOnce();
            return;
        }
        if ((game_state.load() & GAMESTATEFLAG_LOADING) != 0) {
            on_loading_thread = true;
            // Loading under a tear-down would read a bundle being closed; the waiters are still told.
            if (!AppMidlet::app_terminating.load()) startLoading();
            game_state.fetch_and(~GAMESTATEFLAG_LOADING);
            signalLoadingDone();
        }
    } catch (java::lang::Throwable& e) {
        failThread(isMain ? "frame loop" : "loading", e.getClassTypeName(), e.getMessage());
    } catch (...) {
        failThread(isMain ? "frame loop" : "loading", "unknown exception", nullptr);
    }
}

void HookCanvas::failThread(const char* where, const char* what, const JavaPtr<java::lang::String>& message) {
    // A thread that ends on an exception would leave the game frozen on its last frame: end the
    // application through its normal tear-down instead, with a failure status. Under a tear-down
    // already running, a read that fails is the tear-down's doing, not a fault to report.
    if (AppMidlet::app_terminating.load()) return;
    std::string detail = message ? ": " + toUtf8(message) : std::string();
    std::fprintf(stderr, "HookCanvas: %s%s in the %s thread, game state 0x%x\n", what, detail.c_str(), where,
                 static_cast<unsigned>(game_state.load()));
    endOnFailure();
}

void HookCanvas::failStartUp(const JavaPtr<java::lang::String>& message) {
    // One line on the program's own stderr, and with a window a message box: a program started from a
    // desktop has no terminal. A start-up cut short by the tear-down has nothing to report.
    if (AppMidlet::app_terminating.load()) return;
    const std::string text = message ? toUtf8(message) : std::string("The quiz cannot start");
    std::fprintf(stderr, "quill: %s\n", text.c_str());
    if (platform::Host* host = platform::currentHost()) host->showFailure(text);
    endOnFailure();
}

void HookCanvas::endOnFailure() {
    thread_failed.store(true);
    JavaPtr<AppMidlet> owner = midlet;
    stopMainThread();
    if (owner) owner->destroyApp(true);
}

void HookCanvas::runOnce() {
    if (!isShown()) {
        hideNotify();
        // What the screen shows meanwhile is not this canvas's frame.
        painted_signature = 0;
        finished_passes.fetch_add(1);
        waitForNextPass(false);
        return;
    }
    if ((app_status.load() & APPSTATUSFLAG_PAUSED) != 0) {
        if (isShown()) showNotify();
        painted_signature = 0;
        finished_passes.fetch_add(1);
        waitForNextPass(false);
        return;
    }
    const long long now = CanvasClock::currentTimeMillis();
    updateScreenDimensions();
    bool stepped = false;
    if (now > last_variable_update_time_ms.load()) {
        for (int i = 0; i < PARAM_TS_CORE_MAX_UPDATES_PER_RENDER &&
                        now >= last_fixed_update_time_ms.load() + MS_PER_UPDATE;
             ++i) {
            // Each press is taken with an exchange, so one landing between the read and the clear
            // is kept for the next step.
            int32_t keys = internal_keys_pressed.exchange(0);
            keys_pressed = keys;
            keys_repeated = keys | internal_keys_repeated.load();
            bool pointer = internal_pointer_pressed.exchange(false);
            pointer_pressed = pointer;
            pointer_repeated = pointer || internal_pointer_repeated.load();
            int64_t regions = internal_regions_pressed.exchange(0);
            regions_pressed = regions;
            regions_repeated = regions | internal_regions_repeated.load();
            render_after_update.store(true);
            fixedRateUpdate();
            stepped = true;
            last_fixed_update_time_ms.fetch_add(MS_PER_UPDATE);
        }
        if (now >= last_fixed_update_time_ms.load() + MS_PER_UPDATE) last_fixed_update_time_ms.store(now);
    }
    last_variable_update_time_ms.store(now);
    const long long vibrationEnd = vibration_end_time.load();
    if (vibrationEnd != 0 && now > vibrationEnd) vibrate(0);
    // Between steps only a per-paint animation changes the picture; a settled screen repainted
    // unchanged 60 times a second costs a copy of the whole frame each time for nothing. After a step
    // the picture is drawn again only when something it shows has changed.
    if (game_state.load() != 0 && !AppMidlet::app_terminating.load() && render_after_update.load() &&
        (stepped || !last_frame_repeats.load())) {
        if (stepped && lastFrameStillShown()) {
            // Nothing is handed over; waiters for a settled screen are told that it stands.
            _frameBufferUnchanged();
        } else {
            last_frame_repeats.store(false);
            const uint64_t droppedBefore = _frameBufferUpdatesDropped.load();
            syncPaint();
            last_paint_time_ms.store(now);
            // A hand-over that did not reach the host leaves the screen showing something else.
            painted_signature = _frameBufferUpdatesDropped.load() == droppedBefore ? pictureSignature() : 0;
            painted_hand_over_count = _frameBufferUpdates.load();
        }
    }
    if (stepped) stepped_passes.fetch_add(1);
    finished_passes.fetch_add(1);
    waitForNextPass(true);
}

bool HookCanvas::lastFrameStillShown() {
    if (painted_signature == 0 || !last_frame_repeats.load()) return false;
    // Another canvas or screen flushed meanwhile, or a serial call waits for the next repaint.
    if (_frameBufferUpdates.load() != painted_hand_over_count ||
        javax::microedition::lcdui::Display::hasSeriallyCalls())
        return false;
    return pictureSignature() == painted_signature;
}

void HookCanvas::waitForNextPass(bool active) {
    if (manual_passes.load() || CanvasClock::isTestSource()) return;
    long long wait = MS_PER_UPDATE;
    if (active) {
        const long long now = CanvasClock::currentTimeMillis();
        long long due = last_fixed_update_time_ms.load() + MS_PER_UPDATE;
        // Only while passes without a step paint: a loop that may not paint (state 0, terminating)
        // would otherwise find that paint overdue at every pass.
        const bool paintsEachPass = game_state.load() != 0 && !AppMidlet::app_terminating.load() &&
                                    render_after_update.load() && !last_frame_repeats.load();
        if (paintsEachPass) due = std::min(due, last_paint_time_ms.load() + kPassIntervalMs);
        wait = std::clamp(due - now, 1LL, static_cast<long long>(MS_PER_UPDATE));
    }
    // Asked before the lock: the thread pool has a lock of its own.
    const JavaPtr<Thread> self = Thread::currentThread();
    std::unique_lock<std::mutex> lock(main_thread_mutex);
    main_thread_changed.wait_for(lock, std::chrono::milliseconds(wait), [&] { return main_thread != self; });
}

void HookCanvas::changeGameStateTo(int32_t state) {
    int32_t old = game_state.load();
    if ((old & GAMESTATEFLAG_LOADING) != 0 && (state & GAMESTATEFLAG_LOADING) != 0) return;
    previous_game_state.store(old);
    game_state.store(state);
    signalLoadingDone();
    internal_keypress_buffer.store(0);
    cheats_triggered.store(0);
    if ((old & GAMESTATEFLAG_LOADING) == 0 && (state & GAMESTATEFLAG_LOADING) != 0) {
        JavaPtr<Thread> thread = jnew<Thread>(JavaPtr<java::lang::Runnable>(this));
        thread->setPriority(PARAM_TS_CORE_LOADING_THREAD_PRIORITY);
        thread->start();
    }
}

void HookCanvas::signalLoadingDone() {
    std::lock_guard<std::mutex> lock(loading_mutex);
    loading_signal.notify_all();
}

bool HookCanvas::waitForLoading(long long limitMs) {
    std::unique_lock<std::mutex> lock(loading_mutex);
    return loading_signal.wait_for(lock, std::chrono::milliseconds(limitMs),
                                   [] { return (game_state.load() & GAMESTATEFLAG_LOADING) == 0; });
}

bool HookCanvas::onLoadingThread() {
    return on_loading_thread;
}

void HookCanvas::sleep(int32_t ms) {
    if (ms > 0) {
        try {
            Thread::sleep(ms);
        } catch (java::lang::Exception&) {
        }
    } else {
        Thread::yield();
    }
}

void HookCanvas::syncPaint() {
    repaint();
    serviceRepaints();
}

void HookCanvas::paint(const JavaPtr<Graphics>& g) {
    if (!g) return;
    render(g);
}

void HookCanvas::updateScreenDimensions() {
    PARAM_TS_BASE_SCREEN_WIDTH.store(getWidth());
    PARAM_TS_BASE_SCREEN_HEIGHT.store(getHeight());
}

void HookCanvas::hideNotify() {
    if (game_state.load() != 0 && (app_status.load() & APPSTATUSFLAG_PAUSED) == 0) {
        app_status.fetch_or(APPSTATUSFLAG_PAUSED | APPSTATUSFLAG_INTERRUPTED_BY_UNKNOWN);
        stopAllSounds();
        unloadSounds();
    }
}

void HookCanvas::showNotify() {
    if (game_state.load() != 0 && (app_status.load() & APPSTATUSFLAG_PAUSED) != 0) loadSounds();
    _FuSeD_mThD_1_showNotify();
}

void HookCanvas::_FuSeD_mThD_1_showNotify() {
    app_status.fetch_and(~APPSTATUSFLAG_PAUSED);
    releaseAllKeys();
}

void HookCanvas::_FuSeD_mThD_1_hideNotify() {
    if (game_state.load() != 0 && (app_status.load() & APPSTATUSFLAG_PAUSED) == 0) {
        app_status.fetch_or(APPSTATUSFLAG_PAUSED | APPSTATUSFLAG_INTERRUPTED_BY_UNKNOWN);
        stopAllSounds();
        vibrate(0);
    }
}

void HookCanvas::_FuSeD_mThD_1_fixedRateUpdate() {
    JavaPtr<LockObject> lock(startSync());
}

void HookCanvas::variableRateUpdate(long long) {
    JavaPtr<LockObject> lock(startSync());
}

void HookCanvas::_FuSeD_mThD_1_startLoading() {}

void HookCanvas::initKeysAndTouch() {}

void HookCanvas::initInterrupts() {}

void HookCanvas::debug(const JavaPtr<String>&, int32_t) {}

void HookCanvas::quit() {
    stopMainThread();
    JavaPtr<AppMidlet> owner = midlet;
    if (owner) owner->destroyApp(true);
}

bool HookCanvas::launchWapBrowser(const JavaPtr<String>& url) {
    try {
        JavaPtr<AppMidlet> owner = midlet;
        if (owner) owner->platformRequest(url);
        return true;
    } catch (java::lang::Exception&) {
        return false;
    }
}
