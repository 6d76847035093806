// javax.microedition.sensor.SensorManager: the sensor list, the sensor listeners' registrations, the
// open connections, the "sensor:" connection factory, and the sensor poll that the ticker thread runs
// once per pass.
#pragma once

#include <mutex>

#include "library/Connection.h"
#include "runtime/JArray.h"
#include "runtime/String.h"
#include "sensor/SensorInfo.h"
#include "sensor/SensorListener.h"

namespace javax::microedition::sensor {

class sensorconnection_internal;
struct TiltSample;

class SensorManager : public java::lang::Object {
    TESL_CLASS(SensorManager, "javax.microedition.sensor.SensorManager", java::lang::Object)
public:
    SensorManager() noexcept {}
    ~SensorManager() override = default;

    // The sensor list itself, made on the first call: what a caller stores into it, the manager sees.
    static JavaPtr<JArray<JavaPtr<SensorInfo>>> findAllSensors();
    // Sensors whose quantity or context type equals the argument; a null argument is no criterion, and
    // two null arguments answer the sensor list itself.
    static JavaPtr<JArray<JavaPtr<SensorInfo>>> findSensors(const JavaPtr<java::lang::String>& quantity,
                                                            const JavaPtr<java::lang::String>& contextType);
    static JavaPtr<JArray<JavaPtr<SensorInfo>>> findSensors(const JavaPtr<java::lang::String>& url);

    static void addSensorListener(const JavaPtr<SensorListener>& listener, const JavaPtr<SensorInfo>& info);
    static void addSensorListener(const JavaPtr<SensorListener>& listener,
                                  const JavaPtr<java::lang::String>& quantity);
    static void removeSensorListener(const JavaPtr<SensorListener>& listener);

    // The factory of Connector::open: a new connection for the tilt sensor's URL in any mode but
    // write-only, null for anything else.
    static JavaPtr<javax::microedition::io::Connection> openConnection(JavaPtr<java::lang::String> url,
                                                                       int mode, bool timeouts);
    static void removeConnection(const JavaPtr<javax::microedition::io::Connection>& connection);

    // The sensor poll: tells new sensor-listener registrations, hands the latest tilt sample to the open
    // connections, tests their channels' conditions and delivers due batches.
    static void checkListeners();
    // Milliseconds until the poll next has something to do without a new sample: a tilt sample not
    // yet taken (0), or the earliest batch that holds samples and falls due by its sampling period;
    // -1 when only a new sample or registration can give it work.
    static long long millisUntilDue();

    // Registers openConnection with Connector for "sensor:" names, and withdraws it.
    static void SensorManager_staticInit();
    static void SensorManager_staticDestroy();

    // Element index of the list, or null when there is none.
    static JavaPtr<SensorInfo> sensorAt(const JavaPtr<JArray<JavaPtr<SensorInfo>>>& sensors, int index);

    static JavaPtr<JArray<JavaPtr<SensorInfo>>> allSensors;
    // One registration per index across the four arrays.
    static JavaPtr<JArray<JavaPtr<SensorListener>>> allSensorListeners;
    static JavaPtr<JArray<JavaPtr<SensorInfo>>> allSensorListenerInfos;
    static JavaPtr<JArray<JavaPtr<java::lang::String>>> allSensorListenerQuantities;
    static JavaPtr<JArray<bool>> allSensorListenerAvailabilities;
    static JavaPtr<JArray<JavaPtr<javax::microedition::io::Connection>>> allConnections;

private:
    // With listsMutex held: appends a registration of the listener for the sensor or the quantity (the
    // other one null), unless the listener is already registered at an index where sameTarget(index).
    template <class SameTarget>
    static void addRegistrationLocked(const JavaPtr<SensorListener>& listener,
                                      const JavaPtr<SensorInfo>& info,
                                      const JavaPtr<java::lang::String>& quantity, SameTarget sameTarget);
    static void tellSensorListeners();
    static void pollConnections();
    static void testConditions(const JavaPtr<sensorconnection_internal>& connection,
                               const JavaPtr<JArray<JavaPtr<ChannelInfo>>>& channelInfos,
                               const TiltSample& sample);
    static void deliverBatch(const JavaPtr<sensorconnection_internal>& connection);

    // Guards the six lists above (the references and their elements). Never held while an application's
    // listener, condition or sensor is called, nor while a list is released.
    static std::mutex& listsMutex();
};

}  // namespace javax::microedition::sensor
