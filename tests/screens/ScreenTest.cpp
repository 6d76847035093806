// Screen: one relayout for any number of requests between ticks, isShown by the screen's own identity,
// and the tick reaching its core canvas.
#include "screens/Screen.h"

#include <gtest/gtest.h>

#include "tests/screens/CoreCanvasFixtures.h"

namespace screenstest {
namespace {

class ScreenTest : public CoreCanvasFixture {};

TEST_F(ScreenTest, TwoRelayoutRequestsBetweenTicksGiveOneRelayout) {
    JavaPtr<TestScreen> screen = showScreen();
    screen->setNeedsRelayout(true);
    screen->setNeedsRelayout(true);
    Display::tickLCDUI(50);
    EXPECT_EQ(screen->relayouts, 1);
    EXPECT_FALSE(screen->needsRelayout());
    Display::tickLCDUI(50);
    EXPECT_EQ(screen->relayouts, 1);
}

TEST_F(ScreenTest, IsShownOnlyWhileCurrentAndNotInterrupted) {
    JavaPtr<TestScreen> current = showScreen();
    // A screen lending its canvas: the canvas shows, but the screen is not the current displayable.
    JavaPtr<TestScreen> lender = jnew<TestScreen>();
    lender->setCorrespondingCanvas(current->canvas.get());
    EXPECT_TRUE(current->isShown());
    EXPECT_FALSE(lender->isShown());
    Displayable::isInterrupted.store(true);
    EXPECT_FALSE(current->isShown());
    Displayable::isInterrupted.store(false);
    EXPECT_TRUE(current->isShown());
}

TEST_F(ScreenTest, TickReachesTheCoreCanvasOnTicksWithoutRelayout) {
    JavaPtr<TestScreen> screen = showScreen();
    screen->canvas->keyPressed('1');
    clock->advance(1001);
    screen->tick(50);
    EXPECT_EQ(screen->canvas->repeatTimes.size(), 1u);
    EXPECT_EQ(screen->relayouts, 0);
}

}  // namespace
}  // namespace screenstest
