// The three threads of the screens at once: touches routed through the registry on the platform main
// thread, the application changing areas, titles, commands and tickers, and LCDUI ticks whose painting
// reads that state and registers areas. Every routed touch must reach its listener as press, drags,
// release, and the state must come out whole.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "shell/Command.h"
#include "shell/Display.h"
#include "shell/LCDUILock.h"
#include "shell/Ticker.h"
#include "tests/screens/ScreenTestFixture.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::LCDUIGuard;
using javax::microedition::lcdui::LCDUILock;
using javax::microedition::lcdui::Ticker;
using javax::microedition::lcdui::TouchScreenAreaListener;
using Manager = javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;

namespace {

// Stands for the core canvas: its repaint reads the screen's title and commands and registers one soft
// key area per command, as the chrome's painting does.
class PaintingCoreCanvas : public Canvas {
    TESL_CLASS(PaintingCoreCanvas, "javax.microedition.lcdui.DisplayableCoreCanvas", Canvas)
public:
    PaintingCoreCanvas() noexcept {}
    PaintingCoreCanvas* TESLinvokeconstructor(Displayable* parent,
                                              const JavaPtr<TouchScreenAreaListener>& keys) {
        Canvas::TESLinvokeconstructor();
        m_parent = parent;
        m_keys = keys;
        return this;
    }
    bool needsRepaint() override { return true; }
    void repaintScreen() override {
        // As a core canvas's paint does: the tick repaints outside the screens' lock, which the paint
        // takes itself.
        LCDUIGuard lock(LCDUILock::mutex());
        ++repaints;
        JavaPtr<java::lang::String> title = m_parent->getTitle();
        if (title) titleUnits += title->length();
        JavaPtr<Displayable::CommandArray> commands = m_parent->getCommands();
        for (int32_t i = 0; i < commands->length; ++i) {
            const std::string code = "DCC0_soft" + std::to_string(i);
            if (commands->data[i]) {
                Manager::registerArea(i * 10, 300, i * 10 + 9, 319, jstr(code.c_str()), m_keys,
                                      Manager::CHROME);
            } else {
                Manager::unregisterArea(jstr(code.c_str()));
            }
        }
    }
    void replayBufferedEvents() override {}

    // Written by the ticker thread only, read once it has finished.
    int repaints = 0;
    long long titleUnits = 0;

private:
    Displayable* m_parent = nullptr;
    JavaPtr<TouchScreenAreaListener> m_keys;
};

// Stands for a screen, so that the display ticks it.
class PlainScreen : public Displayable {
    TESL_CLASS(PlainScreen, "javax.microedition.lcdui.Screen", Displayable)
public:
    PlainScreen() noexcept {}
};

class TouchScreenAreaManagerConcurrencyTest : public screenstest::ScreenFixture {};

TEST_F(TouchScreenAreaManagerConcurrencyTest, TouchesAreasCommandsAndTicksAtOnce) {
    testsupport::Watchdog watchdog;
    // Written by the listener, which runs under the screens' lock.
    screenstest::TouchLog log;
    JavaPtr<TouchScreenAreaListener> keys = log.listener();
    JavaPtr<TouchScreenAreaListener> items = log.listener();

    JavaPtr<PlainScreen> screen = jnew<PlainScreen>();
    JavaPtr<PaintingCoreCanvas> core = jnew<PaintingCoreCanvas>(screen.get(), keys);
    screen->setCorrespondingCanvas(core.get());
    JavaPtr<Display> display = Display::getDisplay(nullptr);
    display->setCurrent(screen);

    constexpr int kRounds = 400;
    std::vector<JavaPtr<Command>> commands;
    for (int i = 0; i < 4; ++i) commands.push_back(jnew<Command>(jstr("c"), Command::SCREEN, i));

    std::thread application([&] {
        for (int i = 0; i < kRounds; ++i) {
            const JavaPtr<Command>& c = commands[i % commands.size()];
            if ((i / 4) % 2 == 0) {
                screen->addCommand(c);
            } else {
                screen->removeCommand(c);
            }
            screen->setTitle(jstr(i % 2 ? "odd" : "even"));
            if (i % 50 == 0) screen->setTicker(jnew<Ticker>(jstr("news")));
            const std::string code = "item" + std::to_string(i % 3);
            if (i % 2 == 0) {
                Manager::registerArea(0, 0, 99, 99, jstr(code.c_str()), items, Manager::CHROME);
            } else {
                Manager::unregisterArea(jstr(code.c_str()));
            }
        }
    });
    std::thread ticker([&] {
        for (int i = 0; i < kRounds; ++i) Display::tickLCDUI(20);
    });
    // The platform main thread's part, played here.
    for (int i = 0; i < kRounds; ++i) {
        const int x = (i * 7) % 50;
        const int y = i % 2 ? 50 : 310;
        Manager::pointerPressed(x, y);
        Manager::pointerDragged(x + 1, y);
        Manager::pointerReleased(x + 2, y);
    }
    application.join();
    ticker.join();

    // Each delivered event belongs to a touch that began with a press on the same code.
    std::string open;
    for (const std::string& event : log.take()) {
        const std::string code = event.substr(0, event.find(' '));
        if (event.find(" pressed ") != std::string::npos) {
            open = code;
        } else {
            ASSERT_EQ(code, open) << event;
            if (event.find(" released ") != std::string::npos) open.clear();
        }
    }

    // Ticks now run without rivals: the chrome is painted from the final commands.
    const int repaintsBefore = [&] {
        LCDUIGuard lock(LCDUILock::mutex());
        return core->repaints;
    }();
    Display::tickLCDUI(20);
    LCDUIGuard lock(LCDUILock::mutex());
    EXPECT_EQ(core->repaints, repaintsBefore + 1);
    JavaPtr<Displayable::CommandArray> final = screen->getCommands();
    EXPECT_EQ(final->length, 4);
    // The last round (399) removed; rounds 396..399 removed all four.
    for (int32_t i = 0; i < final->length; ++i) EXPECT_FALSE(final->data[i]) << i;
}

}  // namespace
