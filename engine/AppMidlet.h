// AppMidlet: the application's MIDlet. It makes the one HookCanvas, shows it, starts its loop, and
// passes pause, resume and destruction on to it.
#pragma once

#include <atomic>
#include <mutex>

#include "shell/MIDlet.h"

namespace javax::microedition::lcdui {
class Display;
}

class HookCanvas;

class AppMidlet : public javax::microedition::midlet::MIDlet {
    TESL_CLASS(AppMidlet, "AppMidlet", javax::microedition::midlet::MIDlet)
public:
    static constexpr int32_t PARAM_TS_MIDLET_NULL_CANVAS_AT_SHUTDOWN = 1;
    static constexpr int32_t PARAM_TS_MIDLET_SYSTEMGC_AT_STARTUP = 0;

    AppMidlet() noexcept {}
    ~AppMidlet() override;

    AppMidlet* TESLinvokeconstructor() {
        MIDlet::TESLinvokeconstructor();
        return this;
    }

    void destroyApp(bool unconditional) override;
    void pauseApp() override;
    void startApp() override;
    virtual void setAppCanvas();

    static void AppMidlet_globalStaticDestroy();
    // The MIDlet proxy's factory for the program.
    static JavaPtr<javax::microedition::midlet::MIDlet> create();

    // Exit status of the program when a canvas thread ended on an exception and the application was
    // torn down; otherwise the host's own status stands.
    static constexpr int kExitApplicationFailed = 4;
    // Longest wait of the tear-down for a screen's load to finish.
    static constexpr long long kLoadingWaitMs = 5000;
    static int exitStatusFor(int hostStatus);

    // Set by destroyApp; the frame loop paints no more once it is set.
    static inline std::atomic<bool> app_terminating{false};

    // canvas and display are read by the canvas thread and written by the MIDlet, platform and ticker
    // threads, so they are reached through counted copies under canvas_mutex.
    static JavaPtr<HookCanvas> canvas();
    static void setCanvas(const JavaPtr<HookCanvas>& c);
    static JavaPtr<javax::microedition::lcdui::Display> display();

private:
    static inline std::mutex canvas_mutex;  // guards canvas_ and display_
    static JavaPtr<HookCanvas> canvas_;
    static JavaPtr<javax::microedition::lcdui::Display> display_;
};
