// The tilt feed written on one thread and read on another: a reader never sees half of one sample.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "sensor/TiltFeed.h"
#include "tests/sensor/FakeClock.h"
#include "tests/support/Watchdog.h"

using namespace sensortest;

namespace {

// Sample i has x = value(i), y = -value(i), taken at time i.
float value(long long i) {
    return static_cast<float>(i % 1000) / 1000.0f;
}

}  // namespace

TEST(TiltFeedConcurrencyTest, ReaderSeesWholeSamples) {
    testsupport::Watchdog watchdog;
    FakeClock clock(0);
    constexpr long long kSamples = 200'000;
    std::atomic<bool> done{false};
    std::thread platform([&] {
        for (long long i = 1; i <= kSamples; ++i) {
            clock.set(i);
            _setTilt(value(i), -value(i), -1.0f);
        }
        done = true;
    });

    long long seen = 0;
    long long lastTime = 0;
    bool torn = false;
    while (!done.load() || TiltFeed::samplePending()) {
        if (!TiltFeed::samplePending()) continue;
        const TiltSample sample = TiltFeed::read();
        TiltFeed::consume(sample);
        if (sample.timestamp == 0) continue;
        const double expected = std::asin(static_cast<double>(value(sample.timestamp)));
        torn |= sample.roll != expected || sample.pitch != -expected;
        torn |= sample.timestamp < lastTime;
        lastTime = sample.timestamp;
        ++seen;
    }
    platform.join();
    EXPECT_FALSE(torn);
    EXPECT_GT(seen, 0);
    // The last sample is never lost.
    EXPECT_EQ(lastTime, kSamples);
}
