// javax.microedition.sensor.DataListener: handed each batch of a listening connection, on the ticker
// thread, one Data per channel.
#pragma once

#include "runtime/JArray.h"
#include "sensor/Data.h"

namespace javax::microedition::sensor {

class SensorConnection;

class DataListener : public virtual java::lang::Smart {
    TESL_INTERFACE(DataListener, "javax.microedition.sensor.DataListener", java::lang::Smart)
public:
    virtual void dataReceived(const JavaPtr<SensorConnection>& connection,
                              const JavaPtr<JArray<JavaPtr<Data>>>& data, bool isDataLost) = 0;
    ~DataListener() override = default;
};

}  // namespace javax::microedition::sensor
