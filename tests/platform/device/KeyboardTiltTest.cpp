#include "platform/device/KeyboardTilt.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using platform::KeyboardTilt;
using Key = KeyboardTilt::Key;

TEST(KeyboardTilt, LevelAndFaceUpWithNoKeyHeld) {
    KeyboardTilt tilt;
    const auto sample = tilt.nextSample();
    EXPECT_EQ(sample.x, 0.0);
    EXPECT_EQ(sample.y, 0.0);
    EXPECT_EQ(sample.z, -1.0);
}

TEST(KeyboardTilt, HeldKeyRampsToThirtyDegreesAndBackWhenLetGo) {
    struct Case {
        Key key;
        double roll;
        double pitch;
    };
    for (const Case& c :
         {Case{Key::Right, 30, 0}, Case{Key::Left, -30, 0}, Case{Key::Up, 0, 30}, Case{Key::Down, 0, -30}}) {
        SCOPED_TRACE(static_cast<int>(c.key));
        KeyboardTilt tilt;
        tilt.setKey(c.key, true);
        double previous = 0;
        int samples = 0;
        while (tilt.rollDegrees() != c.roll || tilt.pitchDegrees() != c.pitch) {
            tilt.nextSample();
            const double moved = std::abs(tilt.rollDegrees() + tilt.pitchDegrees());
            EXPECT_GT(moved, previous) << "the tilt grows at every sample";
            EXPECT_LE(moved - previous, KeyboardTilt::kDegreesPerSample + 1e-9);
            previous = moved;
            ASSERT_LT(++samples, 100);
        }
        EXPECT_EQ(samples, 13) << "a quarter of a second of 20 ms samples";
        // Held on, it stays at thirty degrees, which the sensor reads back through asin.
        const auto sample = tilt.nextSample();
        EXPECT_NEAR(std::asin(sample.x) * 180 / std::numbers::pi, c.roll, 1e-9);
        EXPECT_NEAR(std::asin(sample.y) * 180 / std::numbers::pi, c.pitch, 1e-9);
        EXPECT_NEAR(sample.x * sample.x + sample.y * sample.y + sample.z * sample.z, 1.0, 1e-12);
        EXPECT_LT(sample.z, 0) << "still face up";

        tilt.setKey(c.key, false);
        for (samples = 0; tilt.rollDegrees() != 0 || tilt.pitchDegrees() != 0; ++samples) {
            tilt.nextSample();
            ASSERT_LT(samples, 100);
        }
        EXPECT_EQ(samples, 13);
    }
}

TEST(KeyboardTilt, OppositeKeysCancelAndBothAxesTiltTogether) {
    KeyboardTilt tilt;
    tilt.setKey(Key::Left, true);
    tilt.setKey(Key::Right, true);
    tilt.setKey(Key::Up, true);
    for (int i = 0; i < 50; ++i) tilt.nextSample();
    EXPECT_EQ(tilt.rollDegrees(), 0);
    EXPECT_EQ(tilt.pitchDegrees(), 30);
    tilt.setKey(Key::Left, false);
    for (int i = 0; i < 50; ++i) tilt.nextSample();
    EXPECT_EQ(tilt.rollDegrees(), 30);
    const auto sample = tilt.nextSample();
    EXPECT_NEAR(sample.x, 0.5, 1e-12);
    EXPECT_NEAR(sample.y, 0.5, 1e-12);
    EXPECT_NEAR(sample.z, -std::sqrt(0.5), 1e-12);
}

}  // namespace
