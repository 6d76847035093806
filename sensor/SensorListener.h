// javax.microedition.sensor.SensorListener: told once per registration that its sensor is available.
#pragma once

#include "sensor/SensorInfo.h"

namespace javax::microedition::sensor {

class SensorListener : public virtual java::lang::Smart {
    TESL_INTERFACE(SensorListener, "javax.microedition.sensor.SensorListener", java::lang::Smart)
public:
    virtual void sensorAvailable(const JavaPtr<SensorInfo>& info) = 0;
    ~SensorListener() override = default;
};

}  // namespace javax::microedition::sensor
