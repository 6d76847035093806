// Touches from the platform main thread against LCDUI ticks (layout, painting, replay) and an
// application thread changing the screen's commands and title: every touch reaches the content once,
// in the order it was made, whether it was handled at once or kept for the end of a tick.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "screens/DisplayableCoreCanvas.h"
#include "tests/screens/CoreCanvasFixtures.h"
#include "tests/support/Eventually.h"
#include "tests/support/Watchdog.h"

namespace screenstest {
namespace {

using testsupport::jstr;

class CoreCanvasConcurrencyTest : public CoreCanvasFixture {};

TEST_F(CoreCanvasConcurrencyTest, TouchesAgainstTicksAndCommandChangesArriveWholeAndInOrder) {
    testsupport::Watchdog watchdog;
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    const JavaPtr<Command> commands[3] = {command("A", Command::OK, 1), command("B", Command::BACK, 1),
                                          command("C", Command::SCREEN, 2)};
    constexpr int kTouches = 150;

    std::atomic<bool> touchesDone{false};
    std::atomic<bool> changesDone{false};
    std::atomic<int> ticks{0};
    std::vector<std::string> expected;

    std::thread ticker([&] {
        // Ticks until both other threads are done and the last kept touches have been replayed.
        do {
            Display::tickLCDUI(50);
            ticks.fetch_add(1);
            std::this_thread::yield();
        } while (!touchesDone.load() || !changesDone.load() || canvas.numBufferedEvents() > 0);
    });
    // The others start once the ticker runs: on a loaded machine they could otherwise be done before
    // it has ticked once, and nothing would meet.
    const auto afterFirstTick = [&] {
        while (ticks.load() == 0) std::this_thread::yield();
    };
    std::thread application([&] {
        afterFirstTick();
        for (int i = 0; i < 100; ++i) {
            screen->addCommand(commands[i % 3]);
            screen->setTitle(i % 2 ? jstr("Odd") : nullptr);
            screen->removeCommand(commands[(i + 1) % 3]);
        }
        changesDone.store(true);
    });
    std::thread touches([&] {
        afterFirstTick();
        for (int i = 0; i < kTouches; ++i) {
            canvas.pointerPressed(i, 60);
            canvas.pointerDragged(i, 61);
            canvas.pointerReleased(i, 62);
            const std::string x = std::to_string(i);
            expected.push_back("pressed " + x + ",60");
            expected.push_back("dragged " + x + ",61");
            expected.push_back("released " + x + ",62");
        }
        touchesDone.store(true);
    });
    touches.join();
    application.join();
    ticker.join();

    EXPECT_EQ(canvas.numBufferedEvents(), 0);
    EXPECT_EQ(canvas.droppedEvents(), 0u);
    EXPECT_EQ(canvas.log.take(), expected);
    // The chrome came out whole: the layout matches the commands and title left at the end.
    canvas.reLayout();
    EXPECT_EQ(canvas.area(), (std::vector<int>{0, 14, 240, 200}));
}

}  // namespace
}  // namespace screenstest
