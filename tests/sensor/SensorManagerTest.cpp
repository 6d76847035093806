// The sensor manager: lookups, the connection list, sensor-listener registrations, and the poll that
// moves tilt samples into connections, tests conditions and delivers batches (stepped on a fake clock).
#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "runtime/IllegalStateException.h"
#include "runtime/NullPointerException.h"
#include "sensor/ChannelImpl.h"
#include "sensor/DataImpl.h"
#include "sensor/channelinfo_internal.h"
#include "sensor/sensorconnection_internal.h"
#include "sensor/sensorinfo_plane_tilt_internal.h"
#include "tests/sensor/SensorTestSupport.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using namespace sensortest;
using java::lang::String;
using javax::microedition::io::Connection;
using testsupport::jstr;

QUILL_REGISTER_CLASSES(SensorManager, SensorListener, SensorConnection, sensorconnection_internal, Data,
                       DataImpl, DataListener);

namespace {

double rollOf(float x) {
    return std::asin(static_cast<double>(x));
}

// A sample whose pitch and roll are asin(x) and asin(y), held flat (z < 0).
void tilt(float x, float y) {
    _setTilt(x, y, -1.0f);
}

using SensorManagerTest = SensorPackageTest;

}  // namespace

TEST_F(SensorManagerTest, SensorListIsMadeOnceWithTheTiltSensor) {
    JavaPtr<JArray<JavaPtr<SensorInfo>>> sensors = SensorManager::findAllSensors();
    ASSERT_EQ(sensors->length, 1);
    EXPECT_EQ(SensorManager::findAllSensors(), sensors);
    EXPECT_EQ(testsupport::narrow(sensors->data[0]->getQuantity()), "plane_angle");
    EXPECT_EQ(SensorManager::findSensors(nullptr, nullptr), sensors);
}

TEST_F(SensorManagerTest, FindByQuantityOrContextTakesEitherMatch) {
    const struct {
        const char* quantity;
        const char* context;
        bool found;
    } cases[] = {
        {"plane_angle", "device", true}, {"plane_angle", nullptr, true}, {nullptr, "device", true},
        {"plane_angle", "user", true},   {"heat", "device", true},       {"heat", "user", false},
        {"heat", nullptr, false},        {nullptr, "user", false},       {"Plane_angle", "Device", false},
    };
    JavaPtr<SensorInfo> tiltSensor = SensorManager::findAllSensors()->data[0];
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.quantity ? c.quantity : "null") << ", " << (c.context ? c.context : "null"));
        // Strings built at run time, as an application passes them.
        JavaPtr<String> quantity =
            c.quantity ? String::valueOf(JavaPtr<java::lang::Object>(jstr(c.quantity))) : nullptr;
        JavaPtr<String> context = c.context ? jstr(c.context) : nullptr;
        JavaPtr<JArray<JavaPtr<SensorInfo>>> found = SensorManager::findSensors(quantity, context);
        ASSERT_TRUE(found);
        EXPECT_NE(found, SensorManager::findAllSensors());
        ASSERT_EQ(found->length, c.found ? 1 : 0);
        if (c.found) {
            EXPECT_EQ(found->data[0], tiltSensor);
        }
    }
}

TEST_F(SensorManagerTest, FindByUrlNeedsTheExactUrl) {
    const std::tuple<const char*, bool> cases[] = {
        {"sensor:plane_angle;context_type=device;model=iPhone", true},
        {"sensor:plane_angle", false},
        {"sensor:plane_angle;context_type=device;model=iphone", false},
        {"sensor:plane_angle;model=iPhone;context_type=device", false},
        {"sensor:plane_angle;context_type=device;model=iPhone;", false},
    };
    for (auto [url, found] : cases) {
        SCOPED_TRACE(url);
        EXPECT_EQ(SensorManager::findSensors(jstr(url))->length, found ? 1 : 0);
    }
    EXPECT_EQ(SensorManager::findSensors(JavaPtr<String>())->length, 0);
}

TEST_F(SensorManagerTest, OpenConnectionByUrlAndMode) {
    JavaPtr<String> url = SensorManager::findAllSensors()->data[0]->getUrl();
    EXPECT_FALSE(SensorManager::openConnection(url, 2, false));
    EXPECT_FALSE(SensorManager::openConnection(jstr("sensor:plane_angle"), 1, false));
    EXPECT_FALSE(SensorManager::openConnection(nullptr, 1, false));
    EXPECT_FALSE(SensorManager::allConnections);

    JavaPtr<Connection> read = SensorManager::openConnection(url, 1, false);
    JavaPtr<Connection> readWrite = SensorManager::openConnection(url, 3, true);
    JavaPtr<Connection> odd = SensorManager::openConnection(url, 7, false);
    ASSERT_TRUE(read && readWrite && odd);
    EXPECT_NE(read, readWrite);
    ASSERT_EQ(SensorManager::allConnections->length, 3);
    EXPECT_EQ(SensorManager::allConnections->data[1], readWrite);

    JavaPtr<sensorconnection_internal> connection = jcast<sensorconnection_internal>(read);
    ASSERT_TRUE(connection);
    EXPECT_EQ(connection->sensorIndex, 0);
    EXPECT_EQ(connection->getSensorInfo(), SensorManager::findAllSensors()->data[0]);
    EXPECT_STREQ(read->getClassTypeName(), "sensorconnection_internal");
    EXPECT_EQ(sensorconnection_internal::TESLclassTypeID, static_cast<int32_t>(0x8578B36C));
    EXPECT_EQ(SensorConnection::TESLclassTypeID, static_cast<int32_t>(0xF8536AF0));
    EXPECT_EQ(SensorManager::TESLclassTypeID, 0x4E45ECDB);
    EXPECT_EQ(SensorListener::TESLclassTypeID, static_cast<int32_t>(0xC35B8D46));
    EXPECT_EQ(Data::TESLclassTypeID, 0x4B08E062);
    EXPECT_EQ(DataImpl::TESLclassTypeID, static_cast<int32_t>(0xE120B5A2));
    EXPECT_EQ(DataListener::TESLclassTypeID, static_cast<int32_t>(0xBA728736));
}

TEST_F(SensorManagerTest, CloseTakesTheConnectionOffTheList) {
    JavaPtr<SensorConnection> first = openTiltConnection();
    JavaPtr<SensorConnection> second = openTiltConnection();
    first->close();
    ASSERT_EQ(SensorManager::allConnections->length, 1);
    EXPECT_EQ(SensorManager::allConnections->data[0].counted(), second.counted());
    EXPECT_EQ(first->getState(), SensorConnection::STATE_CLOSED);
    first->close();
    EXPECT_EQ(SensorManager::allConnections->length, 1);
    second->close();
    ASSERT_TRUE(SensorManager::allConnections);
    EXPECT_EQ(SensorManager::allConnections->length, 0);
}

TEST_F(SensorManagerTest, EachRegistrationIsToldOnce) {
    JavaPtr<SensorInfo> sensor = SensorManager::findAllSensors()->data[0];
    JavaPtr<RecordingSensorListener> listener = jnew<RecordingSensorListener>();
    SensorManager::addSensorListener(listener, sensor);
    SensorManager::addSensorListener(listener, sensor);
    EXPECT_EQ(SensorManager::allSensorListeners->length, 1);
    SensorManager::checkListeners();
    EXPECT_EQ(listener->told, std::vector<java::lang::Smart*>{sensor.counted()});
    SensorManager::checkListeners();
    EXPECT_EQ(listener->told.size(), 1u);

    // A literal quantity is a second registration, told once too.
    SensorManager::addSensorListener(listener, jstr("plane_angle"));
    SensorManager::addSensorListener(listener, jstr("plane_angle"));
    EXPECT_EQ(SensorManager::allSensorListeners->length, 2);
    SensorManager::checkListeners();
    SensorManager::checkListeners();
    EXPECT_EQ(listener->told.size(), 2u);
}

TEST_F(SensorManagerTest, OtherQuantitiesAreNeverTold) {
    JavaPtr<RecordingSensorListener> listener = jnew<RecordingSensorListener>();
    SensorManager::addSensorListener(listener, jstr("heat"));
    SensorManager::addSensorListener(listener, JavaPtr<String>());
    // Equal text built at run time: the literal-only comparison never matches it.
    JavaPtr<String> built = *jstr("plane_") + JavaPtr<java::lang::Object>(jstr("angle"));
    SensorManager::addSensorListener(listener, built);
    SensorManager::addSensorListener(listener, JavaPtr<SensorInfo>(jnew<sensorinfo_plane_tilt_internal>()));
    SensorManager::checkListeners();
    EXPECT_TRUE(listener->told.empty());
    EXPECT_EQ(SensorManager::allSensorListeners->length, 4);
}

TEST_F(SensorManagerTest, RemoveSensorListenerKeepsTheOthersWithTheirFlags) {
    JavaPtr<SensorInfo> sensor = SensorManager::findAllSensors()->data[0];
    JavaPtr<RecordingSensorListener> a = jnew<RecordingSensorListener>();
    JavaPtr<RecordingSensorListener> b = jnew<RecordingSensorListener>();
    SensorManager::addSensorListener(a, sensor);
    SensorManager::addSensorListener(b, sensor);
    SensorManager::checkListeners();
    SensorManager::addSensorListener(a, jstr("plane_angle"));
    SensorManager::addSensorListener(b, jstr("heat"));

    SensorManager::removeSensorListener(a);
    ASSERT_EQ(SensorManager::allSensorListeners->length, 2);
    EXPECT_EQ(SensorManager::allSensorListeners->data[0], b);
    EXPECT_EQ(SensorManager::allSensorListeners->data[1], b);
    EXPECT_TRUE(SensorManager::allSensorListenerAvailabilities->data[0]);
    EXPECT_FALSE(SensorManager::allSensorListenerAvailabilities->data[1]);
    EXPECT_EQ(SensorManager::allSensorListenerInfos->length, 2);
    EXPECT_EQ(SensorManager::allSensorListenerQuantities->length, 2);

    SensorManager::addSensorListener(a, sensor);
    SensorManager::checkListeners();
    EXPECT_EQ(a->told.size(), 2u);
    EXPECT_EQ(b->told.size(), 1u);

    SensorManager::removeSensorListener(a);
    SensorManager::removeSensorListener(b);
    ASSERT_TRUE(SensorManager::allSensorListeners);
    EXPECT_EQ(SensorManager::allSensorListeners->length, 0);
}

TEST_F(SensorManagerTest, ListenerRemovedWhileBeingToldIsNotMarked) {
    JavaPtr<SensorInfo> sensor = SensorManager::findAllSensors()->data[0];
    JavaPtr<RecordingSensorListener> a = jnew<RecordingSensorListener>();
    JavaPtr<RecordingSensorListener> b = jnew<RecordingSensorListener>();
    SensorManager::addSensorListener(a, sensor);
    SensorManager::addSensorListener(b, sensor);
    a->onTold = [&] { SensorManager::removeSensorListener(a); };
    SensorManager::checkListeners();
    ASSERT_EQ(SensorManager::allSensorListeners->length, 1);
    // b moved into index 0 while a was told: it is told on a later pass and its own flag is untouched.
    EXPECT_FALSE(SensorManager::allSensorListenerAvailabilities->data[0]);
    SensorManager::checkListeners();
    EXPECT_EQ(a->told.size(), 1u);
    EXPECT_EQ(b->told.size(), 1u);
}

TEST_F(SensorManagerTest, NullSensorListenerIsRefused) {
    EXPECT_THROW(SensorManager::addSensorListener(nullptr, SensorManager::findAllSensors()->data[0]),
                 java::lang::NullPointerException);
    EXPECT_THROW(SensorManager::addSensorListener(nullptr, jstr("plane_angle")),
                 java::lang::NullPointerException);
    EXPECT_FALSE(SensorManager::allSensorListeners);
}

TEST_F(SensorManagerTest, BufferedBatchesCarrySamplesInOrder) {
    JavaPtr<SensorConnection> connection = openTiltConnection();
    JavaPtr<RecordingDataListener> listener = jnew<RecordingDataListener>();
    connection->setDataListener(listener, 3, 0, true, false, false);

    const float xs[] = {0.1f, 0.2f, 0.3f};
    std::vector<long long> times;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(listener->received().empty());
        clock.advance(20);
        times.push_back(clock.time());
        tilt(xs[i], -xs[i]);
        SensorManager::checkListeners();
        SensorManager::checkListeners();  // no new sample: nothing stored
    }
    const std::vector<Delivery> received = listener->received();
    ASSERT_EQ(received.size(), 1u);
    const Delivery& delivery = received[0];
    EXPECT_EQ(delivery.connection, connection.counted());
    EXPECT_FALSE(delivery.dataLost);
    ASSERT_EQ(delivery.data.size(), 2u);
    EXPECT_EQ(testsupport::narrow(delivery.data[0]->getChannelInfo()->getName()), "pitch");
    EXPECT_EQ(testsupport::narrow(delivery.data[1]->getChannelInfo()->getName()), "roll");
    EXPECT_EQ(delivery.values[0], (std::vector<double>{rollOf(-0.1f), rollOf(-0.2f), rollOf(-0.3f)}));
    EXPECT_EQ(delivery.values[1], (std::vector<double>{rollOf(0.1f), rollOf(0.2f), rollOf(0.3f)}));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(delivery.data[0]->getTimestamp(i), times[i]);
        EXPECT_EQ(delivery.data[1]->getTimestamp(i), times[i]);
        EXPECT_THROW(delivery.data[0]->getUncertainty(i), java::lang::IllegalStateException);
    }
    EXPECT_GT(times[0], 1LL << 32);
    EXPECT_FALSE(connection->batchState().dataBuffer);
    EXPECT_EQ(connection->batchState().sampleCount, 0);
}

TEST_F(SensorManagerTest, PeriodDeliversWhatCameSinceTheLastHandOver) {
    JavaPtr<SensorConnection> connection = openTiltConnection();
    JavaPtr<RecordingDataListener> listener = jnew<RecordingDataListener>();
    const long long armed = clock.time();
    connection->setDataListener(listener, 0, 50, false, false, false);

    // A sample every 20 ms: hand-overs at the first pass at or after each due time.
    std::vector<std::pair<long long, size_t>> handOvers;
    for (int pass = 1; pass <= 10; ++pass) {
        clock.advance(20);
        tilt(0.01f * pass, 0.0f);
        const size_t before = listener->received().size();
        SensorManager::checkListeners();
        if (listener->received().size() != before)
            handOvers.emplace_back(clock.time() - armed, listener->received().back().values[0].size());
    }
    EXPECT_EQ(handOvers, (std::vector<std::pair<long long, size_t>>{{60, 3}, {120, 3}, {180, 3}}));
    EXPECT_EQ(connection->batchState().bufferSize, 256);
    // Cut to the samples stored, in order.
    const Delivery second = listener->received()[1];
    EXPECT_EQ(second.values[1],
              (std::vector<double>{rollOf(0.01f * 4), rollOf(0.01f * 5), rollOf(0.01f * 6)}));
    EXPECT_EQ(second.data[0]->getDoubleValues()->length, 3);
}

TEST_F(SensorManagerTest, DueTimeWithoutSampleOnlyRenewsTheDueTime) {
    JavaPtr<SensorConnection> connection = openTiltConnection();
    JavaPtr<RecordingDataListener> listener = jnew<RecordingDataListener>();
    connection->setDataListener(listener, 0, 50, false, false, false);
    clock.advance(70);
    SensorManager::checkListeners();
    EXPECT_TRUE(listener->received().empty());
    EXPECT_EQ(connection->batchState().nextDeliveryTime, clock.time() + 50);
}

TEST_F(SensorManagerTest, SampleWaitsForTheFirstConnection) {
    tilt(0.5f, 0.25f);
    SensorManager::checkListeners();
    EXPECT_TRUE(TiltFeed::samplePending());
    JavaPtr<SensorConnection> connection = openTiltConnection();
    JavaPtr<RecordingDataListener> listener = jnew<RecordingDataListener>();
    connection->setDataListener(listener, 1);
    SensorManager::checkListeners();
    ASSERT_EQ(listener->received().size(), 1u);
    EXPECT_EQ(listener->received()[0].values[1], std::vector<double>{rollOf(0.5f)});
    EXPECT_FALSE(TiltFeed::samplePending());
}

TEST_F(SensorManagerTest, EveryConnectionStoresEverySampleEvenWhenDropped) {
    JavaPtr<RecordingDataListener> first = jnew<RecordingDataListener>();
    JavaPtr<RecordingDataListener> second = jnew<RecordingDataListener>();
    openTiltConnection()->setDataListener(first, 2);  // dropped by the test, still polled
    JavaPtr<SensorConnection> kept = openTiltConnection();
    kept->setDataListener(second, 2);
    for (float x : {0.1f, 0.2f}) {
        tilt(x, 0.0f);
        SensorManager::checkListeners();
    }
    ASSERT_EQ(first->received().size(), 1u);
    ASSERT_EQ(second->received().size(), 1u);
    EXPECT_EQ(first->received()[0].values[1], (std::vector<double>{rollOf(0.1f), rollOf(0.2f)}));
    EXPECT_EQ(second->received()[0].values[1], first->received()[0].values[1]);
}

TEST_F(SensorManagerTest, ThrowingListenerGetsTheBatchAgainWithTheLoss) {
    JavaPtr<SensorConnection> connection = openTiltConnection();
    JavaPtr<RecordingDataListener> listener = jnew<RecordingDataListener>();
    int calls = 0;
    listener->onReceive = [&] {
        if (++calls == 1) throw java::lang::IllegalStateException();
    };
    connection->setDataListener(listener, 2);
    tilt(0.1f, 0.0f);
    SensorManager::checkListeners();
    tilt(0.2f, 0.0f);
    EXPECT_THROW(SensorManager::checkListeners(), java::lang::IllegalStateException);
    tilt(0.3f, 0.0f);  // the batch is full: this one is lost
    SensorManager::checkListeners();
    const std::vector<Delivery> received = listener->received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_FALSE(received[0].dataLost);
    EXPECT_TRUE(received[1].dataLost);
    EXPECT_EQ(received[1].values[1], (std::vector<double>{rollOf(0.1f), rollOf(0.2f)}));
}

TEST_F(SensorManagerTest, MetConditionIsReportedOnceWithTheSample) {
    JavaPtr<SensorConnection> connection = openTiltConnection();  // not collecting, no listener
    JavaPtr<JArray<JavaPtr<ChannelInfo>>> infos = connection->getSensorInfo()->getChannelInfos();
    JavaPtr<Channel> roll = connection->getChannel(infos->data[1]);
    EXPECT_EQ(connection->getChannel(infos->data[1]), roll);
    JavaPtr<AboveCondition> above = jnew<AboveCondition>(0.5);
    JavaPtr<RecordingConditionListener> listener = jnew<RecordingConditionListener>();
    roll->addCondition(listener, above);

    tilt(0.2f, 0.9f);  // pitch is high, roll is not
    SensorManager::checkListeners();
    EXPECT_TRUE(listener->calls.empty());
    clock.advance(20);
    tilt(0.9f, 0.0f);
    SensorManager::checkListeners();
    ASSERT_EQ(listener->calls.size(), 1u);
    const MetCall& call = listener->calls[0];
    EXPECT_EQ(call.connection, connection.counted());
    EXPECT_EQ(call.condition, above.counted());
    EXPECT_EQ(call.data->getChannelInfo(), infos->data[1]);
    ASSERT_EQ(call.data->getDoubleValues()->length, 1);
    EXPECT_EQ(call.data->getDoubleValues()->data[0], rollOf(0.9f));
    EXPECT_EQ(call.data->getTimestamp(0), clock.time());
    EXPECT_EQ(call.data->getUncertainty(0), 0.0f);
    EXPECT_TRUE(call.data->isValid(0));
    EXPECT_EQ(roll->getConditions(listener)->length, 0);

    tilt(0.9f, 0.0f);
    SensorManager::checkListeners();
    EXPECT_EQ(listener->calls.size(), 1u);
}

TEST_F(SensorManagerTest, PairsAddedByAListenerWaitForTheNextSample) {
    JavaPtr<SensorConnection> connection = openTiltConnection();
    JavaPtr<Channel> pitch = connection->getChannel(connection->getSensorInfo()->getChannelInfos()->data[0]);
    JavaPtr<RecordingConditionListener> listener = jnew<RecordingConditionListener>();
    // Each report adds a new condition that is met at once: walked as the pairs change, the poll would
    // never come back.
    listener->onMet = [&](const JavaPtr<Condition>&) {
        pitch->addCondition(listener, JavaPtr<Condition>(jnew<AboveCondition>(-10.0)));
    };
    pitch->addCondition(listener, JavaPtr<Condition>(jnew<AboveCondition>(-10.0)));
    for (int sample = 1; sample <= 3; ++sample) {
        tilt(0.0f, 0.1f);
        SensorManager::checkListeners();
        EXPECT_EQ(listener->calls.size(), static_cast<size_t>(sample));
        EXPECT_EQ(pitch->getConditions(listener)->length, 1);
    }
    SensorManager::checkListeners();  // no sample, no test
    EXPECT_EQ(listener->calls.size(), 3u);
}

TEST_F(SensorManagerTest, ConditionsOfAForeignChannelDescriptionAreNotKept) {
    JavaPtr<SensorConnection> connection = openTiltConnection();
    JavaPtr<ChannelInfo> foreign = jnew<channelinfo_internal>(1);
    JavaPtr<Channel> channel = connection->getChannel(foreign);
    EXPECT_EQ(channel->getChannelInfo(), foreign);
    EXPECT_NE(connection->getChannel(foreign), channel);
    EXPECT_NE(connection->getChannel(nullptr), connection->getChannel(nullptr));
}
