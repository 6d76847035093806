// A small MIDlet for the shell's tests and scripted runs until the quiz exists: its first startApp
// makes a FakeCanvas current, a later one (a resume) repaints it; destroyApp lets the canvas go and
// quits. Install it with ProxyMIDlet::setMIDletFactory(FakeMIDlet::create). The counts are shared by
// every instance, so a test sees them without holding the MIDlet the proxy made.
#pragma once

#include <atomic>
#include <mutex>

#include "shell/Display.h"
#include "shell/MIDlet.h"
#include "tests/support/FakeCanvas.h"

namespace testsupport {

class FakeMIDlet : public javax::microedition::midlet::MIDlet {
    TESL_CLASS(FakeMIDlet, "testsupport.FakeMIDlet", javax::microedition::midlet::MIDlet)
public:
    FakeMIDlet() noexcept {}
    FakeMIDlet* TESLinvokeconstructor() {
        MIDlet::TESLinvokeconstructor();
        created.fetch_add(1);
        return this;
    }

    static JavaPtr<javax::microedition::midlet::MIDlet> create() { return jnew<FakeMIDlet>(); }

    void startApp() override {
        started.fetch_add(1);
        JavaPtr<FakeCanvas> shown = canvas();
        if (shown) {
            shown->repaint();
            return;
        }
        shown = jnew<FakeCanvas>();
        {
            std::lock_guard<std::mutex> lock(m_canvasMutex);
            m_canvas = shown;
        }
        javax::microedition::lcdui::Display::getDisplay(nullptr)->setCurrent(
            JavaPtr<javax::microedition::lcdui::Displayable>(shown));
    }
    void pauseApp() override { paused.fetch_add(1); }
    void destroyApp(bool) override {
        destroyed.fetch_add(1);
        JavaPtr<FakeCanvas> dropped;
        {
            std::lock_guard<std::mutex> lock(m_canvasMutex);
            dropped = std::move(m_canvas);
        }
        notifyDestroyed();
    }

    // The canvas this MIDlet made; null before startApp and after destroyApp.
    JavaPtr<FakeCanvas> canvas() {
        std::lock_guard<std::mutex> lock(m_canvasMutex);
        return m_canvas;
    }

    static void resetCounts() {
        for (std::atomic<int>* count : {&created, &started, &paused, &destroyed}) count->store(0);
    }

    static inline std::atomic<int> created{0};
    static inline std::atomic<int> started{0};
    static inline std::atomic<int> paused{0};
    static inline std::atomic<int> destroyed{0};

private:
    // The MIDlet thread starts it while the platform main thread may destroy it.
    std::mutex m_canvasMutex;
    JavaPtr<FakeCanvas> m_canvas;
};

}  // namespace testsupport
