// javax.microedition.sensor.Channel: one channel of an open sensor connection, holding the
// (listener, condition) pairs that the sensor poll tests against every new sample.
#pragma once

#include "runtime/JArray.h"
#include "runtime/String.h"
#include "sensor/ChannelInfo.h"
#include "sensor/Condition.h"
#include "sensor/ConditionListener.h"

namespace javax::microedition::sensor {

class Channel : public virtual java::lang::Smart {
    TESL_INTERFACE(Channel, "javax.microedition.sensor.Channel", java::lang::Smart)
public:
    virtual void addCondition(const JavaPtr<ConditionListener>& listener,
                              const JavaPtr<Condition>& condition) = 0;
    virtual JavaPtr<ChannelInfo> getChannelInfo() = 0;
    virtual JavaPtr<java::lang::String> getChannelUrl() = 0;
    virtual JavaPtr<JArray<JavaPtr<Condition>>> getConditions(const JavaPtr<ConditionListener>& listener) = 0;
    virtual void removeAllConditions() = 0;
    virtual void removeCondition(const JavaPtr<ConditionListener>& listener,
                                 const JavaPtr<Condition>& condition) = 0;
    virtual void removeConditionListener(const JavaPtr<ConditionListener>& listener) = 0;
    ~Channel() override = default;
};

}  // namespace javax::microedition::sensor
