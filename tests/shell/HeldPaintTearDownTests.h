// The tear-down with a paint held in progress, for both repaint builds (each test executable includes
// this once): the shell runs on the headless host with a MIDlet whose own thread repaints its canvas in
// a loop and, like the quiz, stops that loop in destroyApp without waiting for it. The paint fills the
// whole screen buffer again after it is let go, so a buffer freed under it is written after its end.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Graphics.h"
#include "library/Thread.h"
#include "platform/host/HeadlessHost.h"
#include "shell/Canvas.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/MIDlet.h"
#include "shell/PaintingThreads.h"
#include "shell/ProxyMIDlet.h"
#include "shell/StartUp.h"
#include "shell/TSlibs.h"
#include "shell/xyzApp.h"
#include "tests/support/Eventually.h"
#include "tests/support/FunctionRunnable.h"
#include "tests/support/Watchdog.h"

namespace heldpaint {

using namespace std::chrono_literals;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Graphics;

// The tear-down's steps and the held paint's end, in the order they happened.
class StepLog {
public:
    static StepLog& get() {
        static StepLog log;
        return log;
    }
    static void record(const char* step) { get().add(step); }
    void add(const std::string& step) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_steps.push_back(step);
    }
    void clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_steps.clear();
    }
    // The position of step, or -1.
    int indexOf(const std::string& step) {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto found = std::find(m_steps.begin(), m_steps.end(), step);
        return found == m_steps.end() ? -1 : static_cast<int>(found - m_steps.begin());
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_steps;
};

// Holds the next paint in progress until it is let go.
class PaintHold {
public:
    static PaintHold& get() {
        static PaintHold hold;
        return hold;
    }
    void arm() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_armed = true;
        m_entered = false;
        m_released = false;
    }
    // In the paint: true when this paint was the one held (it has been let go by now).
    bool holdIfArmed() {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_armed) return false;
        m_armed = false;
        m_entered = true;
        m_changed.notify_all();
        // Only a hang ends this wait early; the test lets the paint go.
        m_changed.wait_for(lock, 200s, [this] { return m_released; });
        return true;
    }
    bool waitUntilHeld() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, 60s, [this] { return m_entered; });
    }
    void release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_armed = false;
    bool m_entered = false;
    bool m_released = false;
};

class HeldPaintCanvas : public Canvas {
    TESL_CLASS(HeldPaintCanvas, "heldpaint.HeldPaintCanvas", Canvas)
public:
    HeldPaintCanvas() noexcept {}
    HeldPaintCanvas* TESLinvokeconstructor() {
        Canvas::TESLinvokeconstructor();
        return this;
    }
    void paint(const JavaPtr<Graphics>& g) override {
        fillScreen(g, 0x3060A0);
        if (PaintHold::get().holdIfArmed()) {
            // Descheduled mid-paint, then the rest of the frame: the whole screen buffer again.
            fillScreen(g, 0xA06030);
            StepLog::record("paint.end");
        }
        paints.fetch_add(1);
    }
    static inline std::atomic<int> paints{0};

private:
    static void fillScreen(const JavaPtr<Graphics>& g, int colour) {
        g->setClip(0, 0, g->width, g->height);
        g->setColor(colour);
        g->fillRect(0, 0, g->width, g->height);
    }
};

// Shows the canvas and repaints it from a thread of its own until destroyApp stops the loop; nobody
// waits for that thread, as the quiz's destroyApp does not wait for its frame loop.
class LoopingMIDlet : public javax::microedition::midlet::MIDlet {
    TESL_CLASS(LoopingMIDlet, "heldpaint.LoopingMIDlet", javax::microedition::midlet::MIDlet)
public:
    LoopingMIDlet() noexcept {}
    static JavaPtr<javax::microedition::midlet::MIDlet> create() { return jnew<LoopingMIDlet>(); }

    void startApp() override {
        JavaPtr<HeldPaintCanvas> canvas = jnew<HeldPaintCanvas>();
        Display::getDisplay(nullptr)->setCurrent(canvas);
        s_looping.store(true);
        jnew<java::lang::Thread>(jnew<testsupport::FunctionRunnable>([canvas] {
            while (s_looping.load()) {
                canvas->repaint();
                canvas->serviceRepaints();
                java::lang::Thread::sleep(1);
            }
        }))->start();
    }
    void destroyApp(bool) override {
        s_looping.store(false);
        notifyDestroyed();
    }

private:
    static inline std::atomic<bool> s_looping{false};
};

class HeldPaintTearDownTest : public ::testing::Test {
protected:
    void SetUp() override {
        resetStartUpForTests();
        StepLog::get().clear();
        HeldPaintCanvas::paints.store(0);
        setTSlibsCallLog(&StepLog::record);
        ProxyMIDlet::setMIDletFactory(&LoopingMIDlet::create);
        platform::setCurrentHost(&host);
        loop = std::thread([this] { status = host.run(app); });
        ASSERT_TRUE(host.waitUntilRunning(60s));
        ASSERT_TRUE(testsupport::eventually([] { return HeldPaintCanvas::paints.load() > 0; }));
    }
    void TearDown() override {
        PaintHold::get().release();
        if (loop.joinable()) {
            host.terminate();
            EXPECT_TRUE(host.waitUntilFinished(60s));
            loop.join();
        }
        setTSlibsCallLog(nullptr);
        platform::setCurrentHost(nullptr);
    }
    // Terminates with a paint held in progress.
    void terminateWhilePainting() {
        PaintHold::get().arm();
        ASSERT_TRUE(PaintHold::get().waitUntilHeld());
        ASSERT_TRUE(host.terminate());
        ASSERT_TRUE(testsupport::eventually([] { return tickerPhase() != TickerPhase::running; }));
    }
    int finish() {
        EXPECT_TRUE(host.waitUntilFinished(60s));
        loop.join();
        return status;
    }

    platform::HeadlessHost host{screen()};
    xyzApp app{host};
    std::thread loop;
    int status = -1;

private:
    static platform::HostScreen screen() {
        platform::HostScreen s;
        s.widthPoints = 48;
        s.heightPoints = 64;
        s.scale = 1;
        return s;
    }
};

TEST_F(HeldPaintTearDownTest, TearDownWaitsForAPaintInProgressBeforeFreeing) {
    testsupport::Watchdog watchdog;
    terminateWhilePainting();
    PaintHold::get().release();
    EXPECT_EQ(finish(), xyzApp::kExitClean);
    StepLog& log = StepLog::get();
    const int paintEnd = log.indexOf("paint.end");
    ASSERT_GE(paintEnd, 0);
    for (const char* step :
         {"Manager.tidyUp", "Display.tidyUp", "StaticProxy.destroy", "BitmapFontSystem.destroy"}) {
        SCOPED_TRACE(step);
        EXPECT_GT(log.indexOf(step), paintEnd) << "ran while the paint was still drawing";
    }
    EXPECT_EQ(_frameBufferPixels.load(), nullptr) << "freed once nothing draws any more";
    EXPECT_FALSE(runtimeThreadsLeftRunning());
}

TEST_F(HeldPaintTearDownTest, APaintThatOutlivesTheWaitKeepsTheBuffersAndTheStatics) {
    testsupport::Watchdog watchdog;
    terminateWhilePainting();
    // The tear-down gives the paint its time, then ends without freeing what the paint draws with.
    EXPECT_EQ(finish(), xyzApp::kExitTearDownTimedOut);
    EXPECT_TRUE(runtimeThreadsLeftRunning());
    EXPECT_NE(_frameBufferPixels.load(), nullptr);
    EXPECT_EQ(StepLog::get().indexOf("Display.tidyUp"), -1);
    EXPECT_EQ(StepLog::get().indexOf("StaticProxy.destroy"), -1);
    // What the program then does once its host's loop has ended: it ends at once, with that status.
    EXPECT_EXIT(exitNowIfRuntimeThreadsRun(xyzApp::kExitTearDownTimedOut),
                ::testing::ExitedWithCode(xyzApp::kExitTearDownTimedOut), "");

    // The paint goes on into the kept buffer; once its thread has ended, the test tidies up as the
    // tear-down would have.
    PaintHold::get().release();
    EXPECT_TRUE(javax::microedition::lcdui::PaintingThreads::waitForOthers(200s));
    EXPECT_GE(StepLog::get().indexOf("paint.end"), 0);
    preStopMIDletTearDown();
    _setMyMidlet(nullptr);
    postStopMIDletTearDown();
    freeFrameBuffers();
    resetStartUpForTests();
    exitNowIfRuntimeThreadsRun(xyzApp::kExitTearDownTimedOut);  // returns: nothing runs any more
}

}  // namespace heldpaint
