// The tilt sensor opened by URL through Connector, once the manager has registered its factory.
#include <gtest/gtest.h>

#include "library/Connector.h"
#include "runtime/ConnectionNotFoundException.h"
#include "sensor/sensorconnection_internal.h"
#include "tests/sensor/SensorTestSupport.h"
#include "tests/support/StringText.h"

using namespace sensortest;
using javax::microedition::io::Connection;
using javax::microedition::io::ConnectionNotFoundException;
using javax::microedition::io::Connector;
using testsupport::jstr;

namespace {

struct SensorConnectorTest : SensorPackageTest {
    SensorConnectorTest() { SensorManager::SensorManager_staticInit(); }
    JavaPtr<java::lang::String> url = jstr("sensor:plane_angle;context_type=device;model=iPhone");
};

}  // namespace

TEST_F(SensorConnectorTest, TiltSensorUrlOpensAConnectionInAnyModeButWrite) {
    JavaPtr<Connection> plain = Connector::open(url);
    JavaPtr<Connection> read = Connector::open(url, Connector::READ);
    JavaPtr<Connection> readWrite = Connector::open(url, Connector::READ_WRITE, true);
    for (const JavaPtr<Connection>& connection : {plain, read, readWrite}) {
        JavaPtr<sensorconnection_internal> sensor = jcast<sensorconnection_internal>(connection);
        ASSERT_TRUE(sensor);
        EXPECT_EQ(sensor->getState(), SensorConnection::STATE_OPENED);
    }
    EXPECT_NE(plain, read);
    EXPECT_EQ(SensorManager::allConnections->length, 3);
    EXPECT_THROW(Connector::open(url, Connector::WRITE), ConnectionNotFoundException);
    EXPECT_EQ(SensorManager::allConnections->length, 3);
}

TEST_F(SensorConnectorTest, OtherSensorNamesAreNotFound) {
    for (const char* name : {"sensor:plane_angle", "sensor:plane_angle;context_type=device;model=iphone",
                             "sensor:heat;context_type=device;model=iPhone", "sensor:", ""}) {
        SCOPED_TRACE(name);
        EXPECT_THROW(Connector::open(jstr(name)), ConnectionNotFoundException);
    }
}

TEST_F(SensorConnectorTest, TearDownWithdrawsTheFactory) {
    SensorManager::SensorManager_staticDestroy();
    EXPECT_THROW(Connector::open(url), ConnectionNotFoundException);
}
