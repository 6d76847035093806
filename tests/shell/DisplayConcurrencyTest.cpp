// Touches on the platform main thread racing swaps on the ticker thread: every touch reaches a live
// canvas, never one the swap has just let go of.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "shell/Display.h"
#include "tests/shell/DisplayFixtures.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Display;
using shelltest::LoggingCanvas;

namespace {

class DisplayConcurrencyTest : public shelltest::DisplayFixture {};

TEST_F(DisplayConcurrencyTest, TouchesRacingSwapsReachLiveCanvases) {
    testsupport::Watchdog watchdog;
    shelltest::eventLog();  // made before the threads
    JavaPtr<Display> display = Display::getDisplay(nullptr);
    display->setCurrent(jnew<LoggingCanvas>("first"));

    constexpr int kSwaps = 300;
    std::atomic<bool> swapping{true};
    std::atomic<int> delivered{0};
    std::thread ticker([&] {
        for (int i = 0; i < kSwaps; ++i) {
            // The only reference to each new canvas is the display's: the next swap frees it.
            display->setCurrent(jnew<LoggingCanvas>("c"));
            Display::tickLCDUI(50);
        }
        swapping.store(false);
    });
    std::thread requester([&] {
        while (swapping.load()) display->setCurrent(jnew<LoggingCanvas>("r"));
    });
    // The platform main thread: the input entries call the canvas through a counted copy. At least one
    // touch, however quickly the swaps end: a canvas is current from the first setCurrent on.
    do {
        if (JavaPtr<javax::microedition::lcdui::Canvas> canvas = Display::currentCanvas()) {
            canvas->pointerPressed(1, 2);
            delivered.fetch_add(1);
        }
    } while (swapping.load());
    ticker.join();
    requester.join();
    EXPECT_GT(delivered.load(), 0);
    Display::tickLCDUI(50);
    EXPECT_TRUE(Display::currentCanvas());
    shelltest::eventLog().take();
}

}  // namespace
