// The stage of the core canvas tests: a screen that shows itself through a small core-canvas subclass
// doing what the form canvas will (the chrome first, then its own log), over a 240 x 214 screen buffer
// with the display's master Graphics, the test font, a recording host and a stepped clock.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Graphics.h"
#include "screens/DisplayableCoreCanvas.h"
#include "screens/Screen.h"
#include "screens/ScreenHooks.h"
#include "shell/Command.h"
#include "shell/CommandListener.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/LCDUILock.h"
#include "shell/MIDlet.h"
#include "shell/ShellGlobals.h"
#include "tests/screens/ScreenTestFixture.h"
#include "tests/support/EventLog.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/ScreenBuffer.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/StringText.h"
#include "tests/support/TestFont.h"

namespace screenstest {

using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::CommandListener;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Screen;

using Log = testsupport::EventLog;

// Hands every event to the chrome first, as the form canvas does, and logs what the chrome leaves.
class TestCoreCanvas : public DisplayableCoreCanvas {
    TESL_CLASS(TestCoreCanvas, "screenstest.TestCoreCanvas", DisplayableCoreCanvas)
public:
    static constexpr int kContentColour = 0x336699;

    TestCoreCanvas() noexcept {}
    TestCoreCanvas* TESLinvokeconstructor(Displayable* parent) {
        DisplayableCoreCanvas::TESLinvokeconstructor(parent);
        return this;
    }

    void keyPressed(int k) override {
        if (!handleKeyPressed(k)) log.add("keyPressed " + std::to_string(k));
    }
    void keyReleased(int k) override {
        if (!handleKeyReleased(k)) log.add("keyReleased " + std::to_string(k));
    }
    void keyRepeated(int k) override {
        repeatTimes.push_back(java::lang::DeviceClock::currentTimeMillis());
        if (!handleKeyRepeated(k)) log.add("keyRepeated " + std::to_string(k));
    }
    void pointerPressed(int x, int y) override {
        if (!handlePointerPressed(x, y)) log.add("pressed " + std::to_string(x) + "," + std::to_string(y));
    }
    void pointerDragged(int x, int y) override {
        if (!handlePointerDragged(x, y)) log.add("dragged " + std::to_string(x) + "," + std::to_string(y));
    }
    void pointerReleased(int x, int y) override {
        if (!handlePointerReleased(x, y)) log.add("released " + std::to_string(x) + "," + std::to_string(y));
    }
    void sizeChanged(int w, int h) override { sizes.push_back(std::to_string(w) + "x" + std::to_string(h)); }
    void paint(const JavaPtr<Graphics>& g) override {
        // As the form canvas does: a paint holds the paint lock only, and takes the screens' lock itself.
        javax::microedition::lcdui::LCDUIGuard lock(javax::microedition::lcdui::LCDUILock::mutex());
        g->setColor(kContentColour);
        g->fillRect(m_unreservedArea->data[0], m_unreservedArea->data[1],
                    m_unreservedArea->data[2] - m_unreservedArea->data[0],
                    m_unreservedArea->data[3] - m_unreservedArea->data[1]);
        ++paints;
        if (insidePaint) insidePaint();
        DisplayableCoreCanvas::paint(g);
    }

    // What the soft keys offer: "back=<label> fwd=<label> menu=[<label>,...]", "-" for none.
    std::string softKeys() {
        const auto name = [](const JavaPtr<Command>& c) {
            return c ? testsupport::narrow(c->getLabel()) : "-";
        };
        std::string menu;
        for (int32_t i = 0; i < m_popupCommands->length; ++i)
            menu += (i ? "," : "") + name(m_popupCommands->data[i]);
        return "back=" + name(m_backCommand) + " fwd=" + name(m_forwardCommand) +
               (m_forwardOpensMenu ? " menu=[" + menu + "]" : "");
    }
    std::vector<int> area() {
        return {m_unreservedArea->data[0], m_unreservedArea->data[1], m_unreservedArea->data[2],
                m_unreservedArea->data[3]};
    }

    using DisplayableCoreCanvas::m_backSoftkeyCode;
    using DisplayableCoreCanvas::m_forwardSoftkeyCode;
    using DisplayableCoreCanvas::m_forwardSoftkeyPressed;
    using DisplayableCoreCanvas::m_heldKey;
    using DisplayableCoreCanvas::m_keyboardToggleCode;
    using DisplayableCoreCanvas::m_keyRepeating;
    using DisplayableCoreCanvas::m_popupCodePrefix;
    using DisplayableCoreCanvas::m_popupHeight;
    using DisplayableCoreCanvas::m_popupSelectedIndex;
    using DisplayableCoreCanvas::m_popupShown;
    using DisplayableCoreCanvas::m_popupWidth;
    using DisplayableCoreCanvas::m_scrollBoxCode;
    using DisplayableCoreCanvas::m_tickerY;
    using DisplayableCoreCanvas::m_touchscreenAreasInvalid;

    Log log;
    std::vector<std::string> sizes;
    std::vector<long long> repeatTimes;
    int paints = 0;
    std::function<void()> insidePaint;

protected:
    void m_triggerItemCommand(const JavaPtr<Command>& cmd, bool isItemCommand) override {
        log.add("item " + testsupport::narrow(cmd->getLabel()) + (isItemCommand ? " own" : ""));
    }
};

// A screen shown through a TestCoreCanvas, counting its relayouts.
class TestScreen : public Screen {
    TESL_CLASS(TestScreen, "screenstest.TestScreen", Screen)
public:
    TestScreen() noexcept {}
    TestScreen* TESLinvokeconstructor() {
        Screen::TESLinvokeconstructor();
        canvas = jnew<TestCoreCanvas>(this);
        setCorrespondingCanvas(canvas.get());
        return this;
    }
    void relayout() override {
        ++relayouts;
        if (duringRelayout) duringRelayout();
    }

    // The screen's canvas, also held by the screen itself.
    JavaPtr<TestCoreCanvas> canvas;
    int relayouts = 0;
    std::function<void()> duringRelayout;
};

// Logs "command <label>" into a log, with the thread each command ran on.
class CommandLog : public java::lang::Object, public javax::microedition::lcdui::CommandListener {
    TESL_CLASS(CommandLog, "screenstest.CommandLog", java::lang::Object, CommandListener)
public:
    CommandLog() noexcept {}
    CommandLog* TESLinvokeconstructor(Log* sink) {
        Object::TESLinvokeconstructor();
        m_sink = sink;
        return this;
    }
    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Displayable>& d) override {
        m_sink->add("command " + testsupport::narrow(c->getLabel()) + (d ? "" : " without displayable"));
        std::lock_guard<std::mutex> lock(m_mutex);
        m_threads.push_back(std::this_thread::get_id());
    }
    std::vector<std::thread::id> threads() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_threads;
    }

private:
    Log* m_sink = nullptr;
    std::mutex m_mutex;
    std::vector<std::thread::id> m_threads;
};

inline JavaPtr<Command> command(const char* label, int type, int priority, const char* longLabel = nullptr) {
    return longLabel ? jnew<Command>(testsupport::jstr(label), testsupport::jstr(longLabel), type, priority)
                     : jnew<Command>(testsupport::jstr(label), type, priority);
}

class CoreCanvasFixture : public ScreenFixture {
protected:
    static constexpr int kWidth = 240;
    static constexpr int kHeight = 214;
    // The test font's line height: every bar is 14 pixels.
    static constexpr int kBar = testsupport::kTestFontHeight + 4;

    void SetUp() override {
        ScreenFixture::SetUp();
        // After the statics' reset, which puts the system clock back.
        clock.reset();
        clock = std::make_unique<testsupport::SteppedClock>();
        ASSERT_TRUE(testsupport::loadTestFont());
        javax::microedition::midlet::MIDlet::quitInvoked.store(false);
        javax::microedition::lcdui::LCDUIHighLevelHooks hooks;
        javax::microedition::lcdui::fillScreenHooks(hooks);
        javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
        display = testsupport::attachScreenBuffer(screenBuffer, kWidth, kHeight);
    }
    void TearDown() override {
        display = nullptr;
        javax::microedition::lcdui::resetScreenStatics();
        _frameBufferPixels.store(nullptr);
        _frameBufferPixelCount.store(0);
        ScreenFixture::TearDown();
        clock.reset();
    }

    // A new screen made current (at once, as nothing else is).
    JavaPtr<TestScreen> showScreen() {
        JavaPtr<TestScreen> screen = jnew<TestScreen>();
        display->setCurrent(screen);
        return screen;
    }
    // 0xRRGGBB of a screen pixel.
    int rgb(int x, int y) const {
        return static_cast<int>(Graphics::pixelToArgb(screenBuffer[y * kWidth + x]) & 0xFFFFFF);
    }

    testsupport::RecordingHost host;
    std::unique_ptr<testsupport::SteppedClock> clock;
    std::vector<uint32_t> screenBuffer;
    JavaPtr<Display> display;
};

}  // namespace screenstest
