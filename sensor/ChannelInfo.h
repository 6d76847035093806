// javax.microedition.sensor.ChannelInfo: the description of one channel of a sensor.
#pragma once

#include "runtime/JArray.h"
#include "runtime/String.h"
#include "sensor/MeasurementRange.h"
#include "sensor/Unit.h"

namespace javax::microedition::sensor {

class ChannelInfo : public virtual java::lang::Smart {
    TESL_INTERFACE(ChannelInfo, "javax.microedition.sensor.ChannelInfo", java::lang::Smart)
public:
    static constexpr int32_t TYPE_DOUBLE = 1;
    static constexpr int32_t TYPE_INT = 2;
    static constexpr int32_t TYPE_OBJECT = 4;

    virtual float getAccuracy() = 0;
    virtual int32_t getDataType() = 0;
    virtual JavaPtr<JArray<JavaPtr<MeasurementRange>>> getMeasurementRanges() = 0;
    virtual JavaPtr<java::lang::String> getName() = 0;
    virtual int32_t getScale() = 0;
    virtual JavaPtr<Unit> getUnit() = 0;
    ~ChannelInfo() override = default;
};

}  // namespace javax::microedition::sensor
