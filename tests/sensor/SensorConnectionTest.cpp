// The sensor connection's states, arming and its refusals, and the Data objects of a batch.
#include <gtest/gtest.h>

#include "runtime/IOException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "sensor/DataImpl.h"
#include "sensor/channelinfo_internal.h"
#include "tests/sensor/SensorTestSupport.h"

using namespace sensortest;

namespace {

struct SensorConnectionTest : SensorPackageTest {
    JavaPtr<SensorConnection> connection = openTiltConnection();
    JavaPtr<RecordingDataListener> listener = jnew<RecordingDataListener>();
};

}  // namespace

TEST_F(SensorConnectionTest, StatesFollowListenerAndClose) {
    EXPECT_EQ(connection->getState(), SensorConnection::STATE_OPENED);
    connection->setDataListener(listener, 10);
    EXPECT_EQ(connection->getState(), SensorConnection::STATE_LISTENING);
    EXPECT_TRUE(connection->batchState().collecting);
    connection->setDataListener(listener, 5);  // re-arming a listening connection is allowed
    EXPECT_EQ(connection->batchState().bufferSize, 5);
    connection->removeDataListener();
    EXPECT_EQ(connection->getState(), SensorConnection::STATE_OPENED);
    EXPECT_FALSE(connection->batchState().dataListener);
    EXPECT_FALSE(connection->batchState().collecting);
    connection->close();
    EXPECT_EQ(connection->getState(), SensorConnection::STATE_CLOSED);
}

TEST_F(SensorConnectionTest, RefusedCallsChangeNothing) {
    EXPECT_THROW(connection->setDataListener(nullptr, 10), java::lang::NullPointerException);
    // More than the sensor holds would be allocated on the ticker thread.
    EXPECT_THROW(connection->setDataListener(listener, 257), java::lang::IllegalArgumentException);
    EXPECT_THROW(connection->getData(257), java::lang::IllegalArgumentException);
    EXPECT_THROW(connection->getData(0), java::lang::IllegalArgumentException);
    EXPECT_THROW(connection->getData(0, -5, false, false, false), java::lang::IllegalArgumentException);
    EXPECT_EQ(connection->getState(), SensorConnection::STATE_OPENED);
    EXPECT_FALSE(connection->batchState().collecting);
    EXPECT_FALSE(connection->batchState().dataListener);

    connection->setDataListener(listener, 256);
    EXPECT_THROW(connection->getData(5), java::lang::IllegalStateException);
    EXPECT_EQ(connection->getState(), SensorConnection::STATE_LISTENING);

    connection->close();
    EXPECT_THROW(connection->setDataListener(listener, 10), java::io::IOException);
    EXPECT_THROW(connection->getData(5), java::io::IOException);
}

TEST_F(SensorConnectionTest, ClosedConnectionStaysClosed) {
    connection->setDataListener(listener, 10);
    connection->close();
    connection->removeDataListener();
    EXPECT_EQ(connection->getState(), SensorConnection::STATE_CLOSED);
    // Had it reopened, this would wait for samples the poll no longer brings.
    EXPECT_THROW(connection->getData(1), java::io::IOException);
}

TEST_F(SensorConnectionTest, LongPeriodsAreClampedNotCut) {
    connection->setDataListener(listener, 1, (1LL << 32) + 5, false, false, false);
    EXPECT_EQ(connection->batchState().samplingPeriod, INT32_MAX);
    EXPECT_EQ(connection->batchState().nextDeliveryTime, clock.time() + INT32_MAX);
    connection->setDataListener(listener, 1, -(1LL << 32) + 5, false, false, false);
    EXPECT_EQ(connection->batchState().samplingPeriod, INT32_MIN);
}

TEST_F(SensorConnectionTest, ArmingDropsABatchLeftFromEarlierSettings) {
    connection->setDataListener(listener, 0, 1000, false, false, false);
    _setTilt(0.1f, 0.0f, -1.0f);
    SensorManager::checkListeners();  // a 256-sample batch without timestamps now holds one sample
    ASSERT_TRUE(connection->batchState().dataBuffer);
    connection->removeDataListener();
    connection->setDataListener(listener, 2, 0, true, true, true);
    EXPECT_FALSE(connection->batchState().dataBuffer);
    for (float x : {0.2f, 0.3f}) {
        _setTilt(x, 0.0f, -1.0f);
        SensorManager::checkListeners();
    }
    const std::vector<Delivery> received = listener->received();
    ASSERT_EQ(received.size(), 1u);
    for (const JavaPtr<Data>& data : received[0].data) {
        EXPECT_EQ(data->getDoubleValues()->length, 2);
        EXPECT_EQ(data->getTimestamp(1), clock.time());
        EXPECT_EQ(data->getUncertainty(1), 0.0f);
        EXPECT_TRUE(data->isValid(1));
    }
}

TEST_F(SensorConnectionTest, FullBatchIsHandedOverUncut) {
    connection->setDataListener(listener, 4);
    JavaPtr<JArray<JavaPtr<Data>>> built;
    for (int i = 0; i < 4; ++i) {
        _setTilt(0.1f * i, 0.0f, -1.0f);
        SensorManager::checkListeners();
        if (connection->batchState().dataBuffer) built = connection->batchState().dataBuffer;
    }
    // The batch the poll built is the one handed over: a full batch is not copied.
    const std::vector<Delivery> received = listener->received();
    ASSERT_EQ(received.size(), 1u);
    ASSERT_EQ(received[0].data.size(), 2u);
    EXPECT_EQ(received[0].data[0], built->data[0]);
    EXPECT_EQ(received[0].data[1], built->data[1]);
    EXPECT_EQ(received[0].values[0].size(), 4u);
}

TEST_F(SensorConnectionTest, ErrorCodesAndTexts) {
    JavaPtr<JArray<int>> codes = connection->getErrorCodes();
    ASSERT_TRUE(codes);
    EXPECT_EQ(codes->length, 0);
    EXPECT_THROW(connection->getErrorText(0), java::lang::IllegalArgumentException);
}

TEST(DataImplTest, GettersAnswerTheirOwnArraysOrRefuse) {
    JavaPtr<ChannelInfo> pitch = jnew<channelinfo_internal>(0);
    JavaPtr<JArray<double>> values = jnew<JArray<double>>(2);
    JavaPtr<JArray<long long>> timestamps = jnew<JArray<long long>>(2);
    timestamps->data[1] = 1LL << 40;
    JavaPtr<Data> withTimes = jnew<DataImpl>(pitch, values, nullptr, nullptr, timestamps, nullptr, nullptr);
    EXPECT_EQ(withTimes->getDoubleValues(), values);
    EXPECT_THROW(withTimes->getIntValues(), java::lang::IllegalStateException);
    EXPECT_THROW(withTimes->getObjectValues(), java::lang::IllegalStateException);
    EXPECT_EQ(withTimes->getTimestamp(1), 1LL << 40);
    EXPECT_THROW(withTimes->getTimestamp(2), java::lang::IndexOutOfBoundsException);
    EXPECT_THROW(withTimes->getTimestamp(-1), java::lang::IndexOutOfBoundsException);
    // The null test comes first.
    EXPECT_THROW(withTimes->getUncertainty(-1), java::lang::IllegalStateException);
    EXPECT_THROW(withTimes->isValid(0), java::lang::IllegalStateException);
    EXPECT_EQ(withTimes->getChannelInfo(), pitch);
    EXPECT_TRUE(jcast<Data>(JavaPtr<java::lang::Object>(jcast<java::lang::Object>(withTimes))));
}
