// getData waiting on the caller's thread while the ticker thread polls, and the package's lists changed
// by an application thread while the poll walks them.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <future>
#include <thread>

#include "runtime/IOException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "sensor/ChannelImpl.h"
#include "tests/sensor/SensorTestSupport.h"
#include "tests/support/Eventually.h"
#include "tests/support/StringText.h"
#include "tests/support/Watchdog.h"

using namespace sensortest;

namespace {

using SensorConnectionConcurrencyTest = SensorPackageTest;
using Batch = JavaPtr<JArray<JavaPtr<Data>>>;

// Plays the platform and ticker threads until the call on the application thread has returned: each
// step takes a sample (when asked), polls and moves the clock on.
template <class Call>
Batch runWhileTicking(FakeClock& clock, bool withSamples, Call call) {
    std::future<Batch> result = std::async(std::launch::async, call);
    for (int step = 0; result.wait_for(std::chrono::milliseconds(0)) != std::future_status::ready; ++step) {
        if (withSamples) _setTilt(0.0001f * static_cast<float>(step % 10000), 0.0f, -1.0f);
        SensorManager::checkListeners();
        clock.advance(5);
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    return result.get();
}

}  // namespace

TEST_F(SensorConnectionConcurrencyTest, GetDataReturnsAFullBatchPerChannel) {
    testsupport::Watchdog watchdog;
    JavaPtr<SensorConnection> connection = openTiltConnection();
    Batch batch = runWhileTicking(clock, true, [&] { return connection->getData(5); });
    ASSERT_EQ(batch->length, 2);
    EXPECT_EQ(testsupport::narrow(batch->data[0]->getChannelInfo()->getName()), "pitch");
    EXPECT_EQ(testsupport::narrow(batch->data[1]->getChannelInfo()->getName()), "roll");
    for (const JavaPtr<Data>& data : *batch) {
        EXPECT_EQ(data->getDoubleValues()->length, 5);
        EXPECT_THROW(data->getTimestamp(0), java::lang::IllegalStateException);
        EXPECT_THROW(data->isValid(0), java::lang::IllegalStateException);
    }
    EXPECT_FALSE(connection->batchState().collecting);
    EXPECT_FALSE(connection->batchState().dataBuffer);
}

TEST_F(SensorConnectionConcurrencyTest, GetDataWithEveryPerSampleValue) {
    testsupport::Watchdog watchdog;
    JavaPtr<SensorConnection> connection = openTiltConnection();
    const long long start = clock.time();
    Batch batch = runWhileTicking(clock, true, [&] { return connection->getData(3, 0, true, true, true); });
    ASSERT_EQ(batch->length, 2);
    for (const JavaPtr<Data>& data : *batch) {
        for (int i = 0; i < 3; ++i) {
            EXPECT_GE(data->getTimestamp(i), start);
            EXPECT_EQ(data->getUncertainty(i), 0.0f);
            EXPECT_TRUE(data->isValid(i));
        }
        EXPECT_LE(data->getTimestamp(0), data->getTimestamp(2));
        EXPECT_THROW(data->getTimestamp(3), java::lang::IndexOutOfBoundsException);
        EXPECT_THROW(data->getTimestamp(-1), java::lang::IndexOutOfBoundsException);
    }
}

TEST_F(SensorConnectionConcurrencyTest, GetDataByPeriodCutsTheBatchToTheSamplesThatCame) {
    testsupport::Watchdog watchdog;
    JavaPtr<SensorConnection> connection = openTiltConnection();
    Batch batch =
        runWhileTicking(clock, true, [&] { return connection->getData(0, 100, false, false, false); });
    ASSERT_EQ(batch->length, 2);
    // How many samples came before the caller saw the due time depends on the scheduler; they are the
    // samples stored, in order, and no more.
    JavaPtr<JArray<double>> roll = batch->data[1]->getDoubleValues();
    const int32_t count = roll->length;
    EXPECT_GE(count, 1);
    EXPECT_LT(count, 256);
    EXPECT_EQ(batch->data[0]->getDoubleValues()->length, count);
    for (int32_t i = 1; i < count; ++i) EXPECT_LT(roll->data[i - 1], roll->data[i]);
    EXPECT_EQ(connection->batchState().bufferSize, 256);
}

TEST_F(SensorConnectionConcurrencyTest, GetDataByPeriodWithoutSamplesIsEmpty) {
    testsupport::Watchdog watchdog;
    JavaPtr<SensorConnection> connection = openTiltConnection();
    Batch batch =
        runWhileTicking(clock, false, [&] { return connection->getData(0, 100, false, false, false); });
    ASSERT_TRUE(batch);
    EXPECT_EQ(batch->length, 0);
}

TEST_F(SensorConnectionConcurrencyTest, CloseEndsAWaitingGetData) {
    testsupport::Watchdog watchdog;
    JavaPtr<SensorConnection> connection = openTiltConnection();
    std::future<void> waiting = std::async(std::launch::async, [&] { connection->getData(5); });
    // No sample ever comes; the wait can only end with the close. The close must find the call waiting
    // rather than refuse it at the start: it waits for the call to have armed its batch, however long
    // the machine takes to get there.
    ASSERT_TRUE(testsupport::eventually([&] { return connection->batchState().collecting; }));
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(0)), std::future_status::timeout);
    connection->close();
    EXPECT_THROW(waiting.get(), java::io::IOException);
}

TEST_F(SensorConnectionConcurrencyTest, ApplicationChangesListsWhileThePollRuns) {
    testsupport::Watchdog watchdog;
    std::atomic<bool> stop{false};
    JavaPtr<RecordingDataListener> listener = jnew<RecordingDataListener>();
    JavaPtr<SensorConnection> steady = openTiltConnection();
    steady->setDataListener(listener, 4);

    std::thread platform([&] {
        for (int i = 0; !stop.load(); ++i) {
            const float x = 0.001f * static_cast<float>(i % 900);
            _setTilt(x, -x, -1.0f);
            std::this_thread::yield();
        }
    });
    std::thread application([&] {
        JavaPtr<SensorInfo> sensor = SensorManager::findAllSensors()->data[0];
        for (int round = 0; round < 300; ++round) {
            JavaPtr<SensorConnection> connection = openTiltConnection();
            JavaPtr<RecordingDataListener> own = jnew<RecordingDataListener>();
            connection->setDataListener(own, 1 + round % 3, round % 2 ? 5 : 0, round % 2, false, true);
            JavaPtr<Channel> roll = connection->getChannel(sensor->getChannelInfos()->data[1]);
            JavaPtr<RecordingConditionListener> conditions = jnew<RecordingConditionListener>();
            roll->addCondition(conditions, JavaPtr<Condition>(jnew<AboveCondition>(0.2)));
            JavaPtr<RecordingSensorListener> sensors = jnew<RecordingSensorListener>();
            SensorManager::addSensorListener(sensors, sensor);
            std::this_thread::yield();
            roll->removeConditionListener(conditions);
            SensorManager::removeSensorListener(sensors);
            connection->removeDataListener();
            connection->close();
        }
        stop = true;
    });
    while (!stop.load()) {
        SensorManager::checkListeners();
        clock.advance(1);
    }
    application.join();
    platform.join();
    // However the threads were scheduled, four more samples complete at least one batch.
    for (float x : {0.1f, 0.2f, 0.3f, 0.4f}) {
        _setTilt(x, -x, -1.0f);
        SensorManager::checkListeners();
    }

    // Every batch is whole: four samples per channel, each one sample's pitch and roll.
    const std::vector<Delivery> received = listener->received();
    EXPECT_FALSE(received.empty());
    for (const Delivery& delivery : received) {
        ASSERT_EQ(delivery.values.size(), 2u);
        ASSERT_EQ(delivery.values[0].size(), 4u);
        ASSERT_EQ(delivery.values[1].size(), 4u);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(delivery.values[0][i], -delivery.values[1][i]);
    }
    ASSERT_TRUE(SensorManager::allConnections);
    EXPECT_EQ(SensorManager::allConnections->length, 1);
    EXPECT_EQ(SensorManager::allSensorListeners->length, 0);
}
