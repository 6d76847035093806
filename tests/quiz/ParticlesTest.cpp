// The particle pool: showers spreading by record number, the oldest evicted, the fall and the tilt
// steering, the age limit, and the tilt readings the sensor hands over.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <vector>

#include "sensor/DataImpl.h"
#include "sensor/SensorClock.h"
#include "sensor/SensorConnection.h"
#include "sensor/SensorManager.h"
#include "sensor/TiltFeed.h"
#include "sensor/channelinfo_internal.h"
#include "tests/engine/ServiceCanvas.h"

namespace quiztest {
namespace {

using H = HookCanvas;
using javax::microedition::sensor::channelinfo_internal;
using javax::microedition::sensor::Data;
using javax::microedition::sensor::DataImpl;

class Particles : public enginetest::ServiceCanvasFixture {
protected:
    void SetUp() override {
        ServiceCanvasFixture::SetUp();
        saved = H::particles;
        H::particles = jnew<JArray<int32_t>>(128);
        H::random_seed = 12345;
        H::PARAM_TS_BASE_SCREEN_WIDTH = 320;
        H::PARAM_TS_BASE_SCREEN_HEIGHT = 480;
    }
    void TearDown() override {
        H::particles = saved;
        H::random_seed = 0;
        ServiceCanvasFixture::TearDown();
    }
    int32_t& at(int record, int field) { return H::particles->data[record * 8 + field]; }
    bool alive(int record) { return at(record, H::pt_flags) < 0; }
    int ageOf(int record) { return at(record, H::pt_flags) & H::pt_age_mask; }
    // The direction the particle leaves in, in whole degrees from low to low + 360: 0 down the screen,
    // 90 to the right.
    double directionOf(int record, double low) {
        double d = std::atan2(at(record, H::pt_vx), at(record, H::pt_vy)) * 180.0 / M_PI;
        while (d < low) d += 360.0;
        return d;
    }

    JavaPtr<JArray<int32_t>> saved;
};

TEST_F(Particles, ShowerOfTwoFillsTheFirstRecordsInOppositeHalves) {
    for (int seed : {1, 77, 123456, 999999}) {
        H::random_seed = seed;
        service->reset_particles();
        service->particle_shower(100, 200, H::TWINKLE_GREEN, 2);
        EXPECT_EQ(service->count_particles(), 2);
        for (int r : {0, 1}) {
            EXPECT_TRUE(alive(r));
            EXPECT_EQ(ageOf(r), 0);
            EXPECT_EQ(at(r, H::pt_x), 100 << 16);
            EXPECT_EQ(at(r, H::pt_y), 200 << 16);
            EXPECT_EQ(at(r, H::pt_ay), 0x8000);
            EXPECT_EQ(static_cast<uint32_t>(at(r, H::pt_frame_colour)) >> 16,
                      static_cast<uint32_t>(H::TWINKLE_GREEN));
            EXPECT_LT(at(r, H::pt_frame_colour) & 0xffff, 4);
        }
        EXPECT_GE(directionOf(0, -90.5), -90.0);
        EXPECT_LE(directionOf(0, -90.5), 91.0);
        EXPECT_GE(directionOf(1, 89.5), 90.0);
        EXPECT_LE(directionOf(1, 89.5), 271.0);
        EXPECT_FALSE(alive(2));
    }
    service->reset_particles();
    EXPECT_EQ(service->count_particles(), 0);
}

TEST_F(Particles, FullPoolEvictsTheOldestAndCountsBelowOneDoNothing) {
    service->particle_shower(160, 240, H::TWINKLE_WHITE, 16);
    ASSERT_EQ(service->count_particles(), 16);
    for (int r = 0; r < 16; ++r) at(r, H::pt_flags) = H::pt_alive | (r == 5 ? 30 : r == 9 ? 40 : 3);
    service->particle_shower(160, 240, H::TWINKLE_RED, 2);
    EXPECT_EQ(service->count_particles(), 16);
    for (int r : {5, 9}) {
        EXPECT_EQ(ageOf(r), 0) << r;
        EXPECT_EQ(static_cast<uint32_t>(at(r, H::pt_frame_colour)) >> 16,
                  static_cast<uint32_t>(H::TWINKLE_RED));
    }
    EXPECT_EQ(ageOf(0), 3);
    for (int count : {0, -3}) service->particle_shower(1, 1, H::TWINKLE_RED, count);
    EXPECT_EQ(service->count_particles(), 16);
}

TEST_F(Particles, WithoutTiltTheFallGainsOnePixelPerStep) {
    service->particle_shower(160, 240, H::TWINKLE_BLUE, 1);
    const int32_t vy0 = at(0, H::pt_vy);
    for (int i = 0; i < 20; ++i) service->tick_particles();
    EXPECT_EQ(at(0, H::pt_ax), 0);
    EXPECT_EQ(at(0, H::pt_ay), 0);
    // 0x8000 + 0x4000 + ... : one pixel less the last halvings.
    EXPECT_NEAR(at(0, H::pt_vy) - vy0, 0x10000, 4);
}

TEST_F(Particles, TiltSteersAndLivesTo1200Steps) {
    service->tilt_x = 100;
    service->tilt_y = -1608;
    service->particle_shower(160, 240, H::TWINKLE_YELLOW, 1);
    // Keep it still and on screen so that only its age ends it.
    auto hold = [&] {
        at(0, H::pt_x) = 160 << 16;
        at(0, H::pt_y) = 240 << 16;
        at(0, H::pt_vx) = at(0, H::pt_vy) = 0;
    };
    for (int i = 0; i < 1200; ++i) {
        hold();
        service->tick_particles();
    }
    EXPECT_TRUE(alive(0));
    EXPECT_EQ(ageOf(0), 1200);
    EXPECT_EQ(at(0, H::pt_ax), 20 * 100 - 1);
    EXPECT_EQ(at(0, H::pt_ay), 20 * 1608) << "approached from above";
    hold();
    service->tick_particles();
    EXPECT_FALSE(alive(0));
    EXPECT_EQ(service->count_particles(), 0);
}

TEST_F(Particles, LeavingTheScreenAreaKills) {
    struct Case {
        int x, y;
        bool dies;
    };
    for (const Case& c : {Case{420, 240, false}, Case{421, 240, true}, Case{160, 581, true},
                          Case{-201, 240, true}, Case{160, -201, true}, Case{-200, -200, false}}) {
        service->reset_particles();
        service->particle_shower(0, 0, H::TWINKLE_WHITE, 1);
        at(0, H::pt_x) = c.x << 16;
        at(0, H::pt_y) = c.y << 16;
        at(0, H::pt_vx) = at(0, H::pt_vy) = 0;
        at(0, H::pt_ay) = 0;
        service->tick_particles();
        EXPECT_EQ(alive(0), !c.dies) << c.x << "," << c.y;
    }
}

JavaPtr<Data> sample(int channel, std::vector<double> values) {
    auto doubles = jnew<JArray<double>>(static_cast<int>(values.size()));
    for (size_t i = 0; i < values.size(); ++i) doubles->data[i] = values[i];
    return jnew<DataImpl>(jnew<channelinfo_internal>(channel), doubles, nullptr, nullptr, nullptr, nullptr,
                          nullptr);
}

JavaPtr<JArray<JavaPtr<Data>>> batch(std::vector<JavaPtr<Data>> entries) {
    auto a = jnew<JArray<JavaPtr<Data>>>(static_cast<int>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) a->data[i] = entries[i];
    return a;
}

TEST_F(Particles, TiltReadingsTakeTheNewestOfBothChannels) {
    constexpr int kRoll = 1, kPitch = 2;
    service->dataReceived(nullptr, batch({sample(kRoll, {0.5, -0.25}), sample(kPitch, {0.1, -1.5})}), false);
    EXPECT_EQ(service->tilt_x.load(), -256);
    EXPECT_EQ(service->tilt_y.load(), -1536);
    // Only one channel, a reading of exactly (0, 0), an empty batch or a channel without samples keep it.
    service->dataReceived(nullptr, batch({sample(kRoll, {1.0})}), false);
    service->dataReceived(nullptr, batch({sample(kRoll, {0.0}), sample(kPitch, {0.0})}), false);
    service->dataReceived(nullptr, batch({}), false);
    service->dataReceived(nullptr, batch({sample(kRoll, {}), sample(kPitch, {0.3})}), false);
    EXPECT_EQ(service->tilt_x.load(), -256);
    EXPECT_EQ(service->tilt_y.load(), -1536);
    service->dataReceived(nullptr, batch({sample(kPitch, {0.0015}), sample(kRoll, {-3.1406})}), false);
    EXPECT_EQ(service->tilt_x.load(), -3215) << "truncated towards zero";
    EXPECT_EQ(service->tilt_y.load(), 1);
}

std::atomic<long long> sensorNow{5'000'000};

long long sensorClock() {
    return sensorNow.load();
}

// One accelerometer sample as the shell hands it over, then the ticker thread's sensor poll.
void feedAndPoll(float x, float y, float z) {
    _setTilt(x, y, z);
    javax::microedition::sensor::SensorManager::checkListeners();
}

// The tilt comes from the sensor itself: opened at start-up and heard every 50 ms; without a way to
// open it the game runs on unsteered.
TEST_F(Particles, PrepForSteeringListensToTheTiltSensor) {
    using javax::microedition::sensor::SensorClock;
    using javax::microedition::sensor::SensorConnection;
    using javax::microedition::sensor::SensorManager;
    using javax::microedition::sensor::TiltFeed;
    SensorClock::setSource(&sensorClock);
    SensorManager::SensorManager_staticDestroy();
    service->prepForSteering();
    EXPECT_FALSE(service->tilt_sensor) << "no connection factory for sensors: no steering, no throw";

    SensorManager::SensorManager_staticInit();
    service->prepForSteering();
    ASSERT_TRUE(service->tilt_sensor);
    EXPECT_EQ(service->tilt_sensor->getState(), SensorConnection::STATE_LISTENING);
    feedAndPoll(0.0f, -1.0f, 0.0f);
    EXPECT_EQ(service->tilt_y.load(), 0) << "nothing before the 50 ms period has passed";
    sensorNow.fetch_add(50);
    feedAndPoll(0.0f, -1.0f, 0.0f);
    EXPECT_EQ(service->tilt_x.load(), 0);
    EXPECT_EQ(service->tilt_y.load(), -1608) << "held upright: pitch -pi/2";
    service->particle_shower(160, 100, H::TWINKLE_WHITE, 1);
    for (int i = 0; i < 10; ++i) service->tick_particles();
    ASSERT_TRUE(alive(0));
    EXPECT_NEAR(at(0, H::pt_ay), 20 * 1608, 1) << "pulled down the screen, where unsteered it would be 0";

    // A device rolled to the side steers sideways.
    sensorNow.fetch_add(50);
    feedAndPoll(0.5f, -0.5f, 0.0f);
    EXPECT_NE(service->tilt_x.load(), 0);

    service->tilt_sensor->removeDataListener();
    service->tilt_sensor = nullptr;
    SensorManager::SensorManager_staticDestroy();
    if (TiltFeed::samplePending()) TiltFeed::consume(TiltFeed::read());
    SensorClock::setSource(nullptr);
}

}  // namespace
}  // namespace quiztest
