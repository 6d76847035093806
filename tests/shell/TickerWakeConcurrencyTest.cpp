// The ticker's alarm clock: a ring ends the ticker's sleep whether it comes before or during the wait,
// and is used up by the wait it ends.
#include "shell/TickerWake.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using Clock = TickerWake::Clock;
// Only catches a hang: a lost ring would sleep this long.
constexpr auto kHang = std::chrono::seconds(240);

TEST(TickerWakeConcurrencyTest, ARingBeforeTheWaitEndsItAtOnceAndIsUsedUp) {
    TickerWake::waitUntil(Clock::now());  // whatever earlier tests rang
    const uint64_t before = TickerWake::wakes();
    TickerWake::wake();
    EXPECT_TRUE(TickerWake::waitUntil(Clock::now() + kHang));
    EXPECT_FALSE(TickerWake::waitUntil(Clock::now()));
    EXPECT_EQ(TickerWake::wakes(), before + 1);
}

TEST(TickerWakeConcurrencyTest, ARingFromAnotherThreadEndsTheWait) {
    TickerWake::waitUntil(Clock::now());
    for (int round = 0; round < 20; ++round) {
        std::thread ringer([] { TickerWake::wake(); });
        EXPECT_TRUE(TickerWake::waitUntil(Clock::now() + kHang)) << round;
        ringer.join();
        // A ring that landed after the wait ended (none here) would end the next wait at once.
        TickerWake::waitUntil(Clock::now());
    }
}

}  // namespace
