// What the quiz driver of the tests and the quiz benchmark's harness share to start the whole program in
// one process again: the switches a launch needs, the statics hooks, the manual clock, and the moment
// the first pass may run.
#pragma once

#include <atomic>

#include "engine/AppMidlet.h"
#include "engine/CanvasClock.h"
#include "engine/HookCanvas.h"
#include "shell/ProxyMIDlet.h"
#include "shell/StaticProxy.h"

namespace testsupport {

// The canvas clock of manual passes: the test or benchmark moves it.
inline std::atomic<long long>& quizManualClock() {
    static std::atomic<long long> now{1000};
    return now;
}

// Before the host runs: the MIDlet to make, the statics hooks, and the loop driven by hand (on the
// manual clock, from 1000 ms) or on its own thread (on the real clock).
inline void prepareQuizLaunch(ProxyMIDlet::MIDletFactory factory, bool manualPasses) {
    struct Statics {
        static void create() { HookCanvas::HookCanvas_globalStaticCreate(); }
        static void destroy() {
            AppMidlet::AppMidlet_globalStaticDestroy();
            HookCanvas::HookCanvas_globalStaticDestroy();
        }
        static long long readClock() { return quizManualClock().load(); }
    };
    quizManualClock().store(1000);
    HookCanvas::last_fixed_update_time_ms.store(0);
    HookCanvas::manual_passes.store(manualPasses);
    engine::CanvasClock::setSource(manualPasses ? &Statics::readClock : nullptr);
    HookCanvas::thread_failed.store(false);
    AppMidlet::app_terminating.store(false);
    ProxyMIDlet::setMIDletFactory(factory);
    StaticProxy::setHooks({&Statics::create, &Statics::destroy});
}

// startApp has run once the canvas is the one the display shows, its showNotify cleared the pause and
// the step times are set: a pass before that would not step, and the times set after a pass would
// swallow its step.
inline bool quizReadyForPasses() {
    JavaPtr<HookCanvas> c = AppMidlet::canvas();
    return c && c->isShown() && (HookCanvas::app_status.load() & HookCanvas::APPSTATUSFLAG_PAUSED) == 0 &&
           HookCanvas::last_fixed_update_time_ms.load() != 0;
}

// After the host has ended.
inline void endQuizLaunch() {
    StaticProxy::setHooks({});
    HookCanvas::manual_passes.store(false);
    engine::CanvasClock::setSource(nullptr);
}

}  // namespace testsupport
