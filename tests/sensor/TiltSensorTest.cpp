// The tilt feed's maths, and the description of the tilt sensor and its two channels.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "library/System.h"
#include "sensor/Channel.h"
#include "sensor/ChannelImpl.h"
#include "sensor/Condition.h"
#include "sensor/ConditionListener.h"
#include "sensor/MeasurementRange.h"
#include "sensor/SensorInfo.h"
#include "sensor/TiltFeed.h"
#include "sensor/Unit.h"
#include "sensor/channelinfo_internal.h"
#include "sensor/sensorinfo_plane_tilt_internal.h"
#include "tests/sensor/FakeClock.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using namespace javax::microedition::sensor;
using java::lang::String;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(Channel, ChannelImpl, Condition, ConditionListener, MeasurementRange, SensorInfo,
                       ChannelInfo, Unit, sensorinfo_plane_tilt_internal, channelinfo_internal);

namespace {

constexpr double kPi = 3.141592653589793;

struct TiltCase {
    float x, y, z;
    double roll, pitch;
};

}  // namespace

TEST(TiltFeedTest, SamplesBecomeRollAndPitch) {
    const double asinHalf = 0.5235987755982989;
    const TiltCase cases[] = {
        {0.5f, 0.0f, -1.0f, asinHalf, 0.0},
        {0.5f, 0.0f, 0.3f, 2.617993877991494, 0.0},
        {-0.5f, 0.0f, 0.3f, -2.617993877991494, 0.0},
        {0.0f, 0.0f, 1.0f, kPi, 0.0},
        {-0.0f, 0.0f, 1.0f, kPi, 0.0},
        {0.0f, 0.0f, 0.0f, 0.0, 0.0},
        {1.7f, 0.0f, -0.5f, kPi / 2, 0.0},
        {1.7f, 0.0f, 0.5f, kPi - kPi / 2, 0.0},
        {0.0f, -3.0f, -1.0f, 0.0, -kPi / 2},
        {0.0f, 0.5f, 1.0f, kPi, asinHalf},
    };
    sensortest::FakeClock clock(5'000'000'000LL);
    for (const TiltCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "x=" << c.x << " y=" << c.y << " z=" << c.z);
        clock.advance(20);
        _sample_just_set = false;
        _setTilt(c.x, c.y, c.z);
        const TiltSample sample = TiltFeed::read();
        EXPECT_EQ(sample.roll, c.roll);
        EXPECT_EQ(sample.pitch, c.pitch);
        EXPECT_EQ(sample.timestamp, clock.time());
        EXPECT_TRUE(TiltFeed::samplePending());
        EXPECT_EQ(_roll.load(), c.roll);
        EXPECT_EQ(_pitch.load(), c.pitch);
    }
}

TEST(TiltFeedTest, NonFiniteComponentsAreIgnored) {
    sensortest::FakeClock clock;
    _setTilt(0.5f, 0.25f, -1.0f);
    TiltFeed::consume(TiltFeed::read());
    const TiltSample before = TiltFeed::read();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    for (auto [x, y, z] : {std::tuple{nan, 0.f, 0.f},
                           {0.f, nan, 0.f},
                           {0.f, 0.f, nan},
                           {inf, 0.f, 0.f},
                           {0.f, -inf, 0.f},
                           {0.f, 0.f, inf}}) {
        clock.advance(1);
        _setTilt(x, y, z);
        const TiltSample after = TiltFeed::read();
        EXPECT_EQ(after.roll, before.roll);
        EXPECT_EQ(after.pitch, before.pitch);
        EXPECT_EQ(after.timestamp, before.timestamp);
        EXPECT_FALSE(TiltFeed::samplePending());
    }
}

TEST(TiltFeedTest, HeldUprightPullsDownTheScreen) {
    TiltFeed::feedHeldUpright();
    const TiltSample sample = TiltFeed::read();
    EXPECT_EQ(sample.pitch, -kPi / 2);
    EXPECT_EQ(sample.roll, 0.0);
    TiltFeed::consume(sample);
}

TEST(TiltFeedTest, ConsumeKeepsAPendingLaterSample) {
    _setTilt(0.1f, 0.0f, -1.0f);
    const TiltSample first = TiltFeed::read();
    _setTilt(0.2f, 0.0f, -1.0f);  // arrives after the poll read the first
    TiltFeed::consume(first);
    EXPECT_TRUE(TiltFeed::samplePending());
    const TiltSample second = TiltFeed::read();
    EXPECT_EQ(second.roll, std::asin(static_cast<double>(0.2f)));
    TiltFeed::consume(second);
    EXPECT_FALSE(TiltFeed::samplePending());
}

TEST(TiltSensorTest, ClassIdsAndNames) {
    struct Expected {
        int32_t id;
        int32_t expected;
        const char* name;
        const char* expectedName;
    };
    const Expected table[] = {
        {SensorInfo::TESLclassTypeID, 0x471F4640, SensorInfo::TESLclassName,
         "javax.microedition.sensor.SensorInfo"},
        {ChannelInfo::TESLclassTypeID, 0x53426C99, ChannelInfo::TESLclassName,
         "javax.microedition.sensor.ChannelInfo"},
        {Unit::TESLclassTypeID, 0x4B10CA3C, Unit::TESLclassName, "javax.microedition.sensor.Unit"},
        {sensorinfo_plane_tilt_internal::TESLclassTypeID, static_cast<int32_t>(0x9436489D),
         sensorinfo_plane_tilt_internal::TESLclassName, "sensorinfo_plane_tilt_internal"},
        {channelinfo_internal::TESLclassTypeID, 0x1E9C43A3, channelinfo_internal::TESLclassName,
         "channelinfo_internal"},
        {Channel::TESLclassTypeID, static_cast<int32_t>(0xB3FF314B), Channel::TESLclassName,
         "javax.microedition.sensor.Channel"},
        {ChannelImpl::TESLclassTypeID, 0x53426A0B, ChannelImpl::TESLclassName,
         "javax.microedition.sensor.ChannelImpl"},
        {Condition::TESLclassTypeID, 0x26812F63, Condition::TESLclassName,
         "javax.microedition.sensor.Condition"},
        {ConditionListener::TESLclassTypeID, 0x50704537, ConditionListener::TESLclassName,
         "javax.microedition.sensor.ConditionListener"},
        {MeasurementRange::TESLclassTypeID, 0x1FBCFF99, MeasurementRange::TESLclassName,
         "javax.microedition.sensor.MeasurementRange"},
    };
    for (const Expected& e : table) {
        EXPECT_EQ(e.id, e.expected) << e.expectedName;
        EXPECT_STREQ(e.name, e.expectedName);
    }
}

TEST(TiltSensorTest, CastsAnswerTheSensorsInterfaces) {
    JavaPtr<sensorinfo_plane_tilt_internal> sensor = jnew<sensorinfo_plane_tilt_internal>();
    JavaPtr<SensorInfo> asInfo = jcast<SensorInfo>(sensor);
    ASSERT_TRUE(asInfo);
    EXPECT_EQ(asInfo.get(), static_cast<SensorInfo*>(sensor.get()));
    EXPECT_TRUE(jcast<java::lang::Object>(asInfo));
    EXPECT_FALSE(jcast<ChannelInfo>(asInfo));
    EXPECT_STREQ(asInfo->getClassTypeName(), "sensorinfo_plane_tilt_internal");

    JavaPtr<ChannelInfo> channel = jnew<channelinfo_internal>(0);
    EXPECT_TRUE(jcast<channelinfo_internal>(channel));
    EXPECT_FALSE(jcast<SensorInfo>(channel));

    // Arrays of the interfaces answer what the interfaces answer.
    JavaPtr<JArray<JavaPtr<ChannelInfo>>> infos = sensor->getChannelInfos();
    EXPECT_STREQ(infos->getClassTypeName(), "javax.microedition.sensor.ChannelInfo");
    EXPECT_TRUE(jcast<JArray<JavaPtr<ChannelInfo>>>(JavaPtr<java::lang::Object>(infos)));
}

TEST(TiltSensorTest, DescribesItself) {
    JavaPtr<SensorInfo> sensor = jnew<sensorinfo_plane_tilt_internal>();
    EXPECT_EQ(sensor->getConnectionType(), SensorInfo::CONN_EMBEDDED);
    EXPECT_EQ(narrow(sensor->getContextType()), "device");
    EXPECT_EQ(narrow(sensor->getDescription()), "Tilt info returned from the iPhone accelerometer");
    EXPECT_EQ(narrow(sensor->getModel()), "iPhone");
    EXPECT_EQ(narrow(sensor->getQuantity()), "plane_angle");
    EXPECT_TRUE(sensor->getQuantity()->isLiteral());
    EXPECT_EQ(sensor->getMaxBufferSize(), 256);
    EXPECT_FALSE(sensor->getProperty(testsupport::jstr("vendor")));
    EXPECT_FALSE(sensor->getPropertyNames());
    EXPECT_TRUE(sensor->isAvailable());
    EXPECT_FALSE(sensor->isAvailabilityPushSupported());
    EXPECT_FALSE(sensor->isConditionPushSupported());

    JavaPtr<String> url = sensor->getUrl();
    EXPECT_EQ(narrow(url), "sensor:plane_angle;context_type=device;model=iPhone");
    JavaPtr<String> again = sensor->getUrl();
    EXPECT_NE(url, again);
    EXPECT_TRUE(url->equals(again));
}

TEST(TiltSensorTest, ContextTypeIsANewStringEqualToTheStatic) {
    SensorInfo::SensorInfo_staticInit();
    JavaPtr<SensorInfo> sensor = jnew<sensorinfo_plane_tilt_internal>();
    JavaPtr<String> context = sensor->getContextType();
    EXPECT_NE(context, SensorInfo::CONTEXT_TYPE_DEVICE);
    EXPECT_TRUE(context->equals(SensorInfo::CONTEXT_TYPE_DEVICE));
    EXPECT_EQ(narrow(SensorInfo::PROP_MAX_RATE), "maxSamplingRate");
    EXPECT_EQ(narrow(SensorInfo::PROP_IS_REPORTING_ERRORS), "errorsReported");
    EXPECT_EQ(narrow(SensorInfo::CONTEXT_TYPE_VEHICLE), "vehicle");
    SensorInfo::SensorInfo_staticDestroy();
    EXPECT_FALSE(SensorInfo::CONTEXT_TYPE_DEVICE);
    EXPECT_FALSE(SensorInfo::PROP_VERSION);
}

TEST(TiltSensorTest, ChannelInfosAreMadeOnceAsPitchThenRoll) {
    JavaPtr<SensorInfo> sensor = jnew<sensorinfo_plane_tilt_internal>();
    JavaPtr<JArray<JavaPtr<ChannelInfo>>> infos = sensor->getChannelInfos();
    ASSERT_EQ(infos->length, 2);
    EXPECT_EQ(sensor->getChannelInfos(), infos);
    EXPECT_EQ(narrow(infos->data[0]->getName()), "pitch");
    EXPECT_EQ(narrow(infos->data[1]->getName()), "roll");
    EXPECT_EQ(infos->data[1]->getName(), infos->data[1]->getName());
}

TEST(TiltSensorTest, ChannelDescriptions) {
    uint64_t resolutionBits = 0;
    struct Row {
        int index;
        const char* name;
        double smallest, largest;
    };
    const Row rows[] = {{0, "pitch", -1.5707963267948966, 1.5707963267948966},
                        {1, "roll", -3.141592653589793, 3.141592653589793},
                        {7, "pitch", -1.5707963267948966, 1.5707963267948966}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.index);
        JavaPtr<ChannelInfo> info = jnew<channelinfo_internal>(row.index);
        EXPECT_EQ(narrow(info->getName()), row.name);
        EXPECT_EQ(info->getDataType(), ChannelInfo::TYPE_DOUBLE);
        EXPECT_EQ(info->getAccuracy(), -1.0f);
        EXPECT_EQ(info->getScale(), 0);
        JavaPtr<JArray<JavaPtr<MeasurementRange>>> ranges = info->getMeasurementRanges();
        ASSERT_EQ(ranges->length, 1);
        EXPECT_NE(info->getMeasurementRanges(), ranges);
        EXPECT_EQ(ranges->data[0]->getSmallestValue(), row.smallest);
        EXPECT_EQ(ranges->data[0]->getLargestValue(), row.largest);
        const double resolution = ranges->data[0]->getResolution();
        std::memcpy(&resolutionBits, &resolution, sizeof resolution);
        EXPECT_EQ(resolutionBits, 0x3F747AE140000000ULL);

        JavaPtr<Unit> unit = info->getUnit();
        EXPECT_EQ(narrow(unit->toString()), "rad");
        EXPECT_EQ(unit->toString(), unit->symbol);
        JavaPtr<Unit> other = info->getUnit();
        EXPECT_NE(unit, other);
        EXPECT_FALSE(unit->equals(JavaPtr<java::lang::Object>(other)));
    }
}

TEST(SensorClockTest, DefaultsToTheSystemClockAndTakesATestSource) {
    const long long before = java::lang::System::currentTimeMillis();
    const long long reading = SensorClock::currentTimeMillis();
    EXPECT_GE(reading, before);
    EXPECT_LE(reading, java::lang::System::currentTimeMillis());
    {
        sensortest::FakeClock clock(42);
        EXPECT_EQ(SensorClock::currentTimeMillis(), 42);
    }
    EXPECT_GE(SensorClock::currentTimeMillis(), reading);
}
