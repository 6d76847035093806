// Displayables for the display tests: a canvas that logs its notifications and input, and stand-ins
// for the high-level classes (they carry the real class names, so the display tells them apart by type
// id as it does the real ones), with a fixture that puts the display back to its start between tests.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "shell/Canvas.h"
#include "shell/Display.h"
#include "shell/LCDUIHooks.h"
#include "tests/support/EventLog.h"

namespace shelltest {

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;

// One log for every fixture object, in call order.
using testsupport::EventLog;

inline EventLog& eventLog() {
    static EventLog log;
    return log;
}

class LoggingCanvas : public Canvas {
    TESL_CLASS(LoggingCanvas, "shelltest.LoggingCanvas", Canvas)
public:
    LoggingCanvas() noexcept {}
    LoggingCanvas* TESLinvokeconstructor(const std::string& name) {
        Canvas::TESLinvokeconstructor();
        m_name = name;
        return this;
    }
    void showNotify() override { eventLog().add(m_name + ".show"); }
    void hideNotify() override { eventLog().add(m_name + ".hide"); }
    void pointerPressed(int, int) override { pointerPresses.fetch_add(1); }

    std::atomic<int> pointerPresses{0};

private:
    std::string m_name;
};

// Stands for Screen: counts relayouts and ticks, with an optional ticker and canvas.
class TestScreen : public Displayable {
    TESL_CLASS(TestScreen, "javax.microedition.lcdui.Screen", Displayable)
public:
    TestScreen() noexcept {}
    TestScreen* TESLinvokeconstructor(const std::string& name) {
        Displayable::TESLinvokeconstructor();
        m_name = name;
        return this;
    }
    JavaPtr<javax::microedition::lcdui::Ticker> getTicker() override { return ticker; }
    void relayout() override { eventLog().add(m_name + ".relayout"); }
    void setNeedsRelayout(bool needed) override { m_needsRelayout = needed; }
    bool needsRelayout() override { return m_needsRelayout; }
    void tick(long long ms) override { eventLog().add(m_name + ".tick" + std::to_string(ms)); }

    JavaPtr<javax::microedition::lcdui::Ticker> ticker;

protected:
    std::string m_name;

private:
    bool m_needsRelayout = false;
};

// Stands for Alert: a screen with a next displayable and its own showNotify.
class TestAlert : public TestScreen {
    TESL_CLASS(TestAlert, "javax.microedition.lcdui.Alert", TestScreen)
public:
    TestAlert() noexcept {}
    void showNotify() override { eventLog().add(m_name + ".alertShown"); }
    JavaPtr<Displayable> getNextDisplayable() override { return m_next; }
    void setNextDisplayable(const JavaPtr<Displayable>& next) override { m_next = next; }

private:
    JavaPtr<Displayable> m_next;
};

// Stands for DisplayableCoreCanvas.
class TestCoreCanvas : public LoggingCanvas {
    TESL_CLASS(TestCoreCanvas, "javax.microedition.lcdui.DisplayableCoreCanvas", LoggingCanvas)
public:
    TestCoreCanvas() noexcept {}
    bool needsRepaint() override { return wantsRepaint; }
    void repaintScreen() override {
        eventLog().add("core.repaint");
        wantsRepaint = false;
    }
    void replayBufferedEvents() override { eventLog().add("core.replay"); }

    bool wantsRepaint = false;
};

// Puts the display back to nothing shown, no tickers, no slots and no hooks.
class DisplayFixture : public ::testing::Test {
protected:
    void SetUp() override { reset(); }
    void TearDown() override { reset(); }

    static void reset() {
        javax::microedition::lcdui::setLCDUIHighLevelHooks({});
        Display::tidyUp();
        Display::Display_staticDestroy();
        Display::lcdUITickInProgress.store(false);
        Display::lcdUIEventInProgress.store(false);
        Displayable::isInterrupted.store(false);
        eventLog().take();
    }

    static JavaPtr<LoggingCanvas> canvas(const std::string& name) { return jnew<LoggingCanvas>(name); }
    static JavaPtr<Display> display() { return Display::getDisplay(nullptr); }
};

}  // namespace shelltest
