#include <gtest/gtest.h>

#include "shell/Display.h"
#include "shell/MIDletStarter.h"
#include "shell/StartUp.h"
#include "shell/StubTicker.h"

TEST(StartUpTest, TickLengthIsTheMeasuredTimeCappedAt100) {
    const struct {
        long long elapsed, expected;
    } cases[] = {{-3, 0}, {0, 0}, {1, 1}, {37, 37}, {100, 100}, {101, 100}, {5000, 100}};
    for (const auto& c : cases) EXPECT_EQ(cappedTickMilliseconds(c.elapsed), c.expected) << c.elapsed;
}

TEST(StartUpTest, StubTickerIdFollowsMIDletStarter) {
    EXPECT_EQ(StubTicker::TESLclassTypeID, 0x0DF84A1D);
    EXPECT_EQ(StubTicker::TESLclassTypeID, MIDletStarter::TESLclassTypeID + 1);
}

TEST(StartUpTest, FreshFrameBuffersAreOpaqueBlackAndImpossibleSizesFail) {
    ASSERT_TRUE(allocateFrameBuffers(3, 2));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(_frameBufferPixels.load()[i], 0xFF000000u);
        EXPECT_EQ(_frameBufferPixelsCopy.load()[i], 0xFF000000u);
    }
    freeFrameBuffers();
    EXPECT_EQ(_frameBufferPixels.load(), nullptr);
    EXPECT_FALSE(allocateFrameBuffers(0, 480));
    EXPECT_FALSE(allocateFrameBuffers(320, -1));
    EXPECT_EQ(_frameBufferPixels.load(), nullptr);
}

TEST(StartUpTest, TickerSleepsUntilItsLongestWaitUnlessAScreenOrARequestNeedsTicks) {
    using javax::microedition::lcdui::Display;
    const struct {
        bool screenShown, requestPending;
        long long expected;
    } cases[] = {{false, false, kLongestTickerSleepMilliseconds},
                 {true, false, kScreenTickMilliseconds},
                 {false, true, kScreenTickMilliseconds}};
    for (const auto& c : cases) {
        Display::needToTickLCDUI.store(c.screenShown);
        Display::setCurrentRequested.store(c.requestPending);
        EXPECT_EQ(tickerSleepAfterPass().count(), c.expected) << c.screenShown << c.requestPending;
    }
    Display::needToTickLCDUI.store(false);
    Display::setCurrentRequested.store(false);
}
