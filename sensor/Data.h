// javax.microedition.sensor.Data: the samples of one channel in one batch, with a timestamp, an
// uncertainty and a validity per sample when they were asked for.
#pragma once

#include "runtime/JArray.h"
#include "sensor/ChannelInfo.h"

namespace javax::microedition::sensor {

class Data : public virtual java::lang::Smart {
    TESL_INTERFACE(Data, "javax.microedition.sensor.Data", java::lang::Smart)
public:
    virtual JavaPtr<ChannelInfo> getChannelInfo() = 0;
    virtual JavaPtr<JArray<double>> getDoubleValues() = 0;
    virtual JavaPtr<JArray<int>> getIntValues() = 0;
    virtual JavaPtr<JArray<JavaPtr<java::lang::Object>>> getObjectValues() = 0;
    virtual long long getTimestamp(int index) = 0;
    virtual float getUncertainty(int index) = 0;
    virtual bool isValid(int index) = 0;
    ~Data() override = default;
};

}  // namespace javax::microedition::sensor
