// javax.microedition.sensor.ConditionListener: told, on the ticker thread, when a condition it was
// paired with on a channel is met; the pair is then removed.
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::sensor {

class Condition;
class Data;
class SensorConnection;

class ConditionListener : public virtual java::lang::Smart {
    TESL_INTERFACE(ConditionListener, "javax.microedition.sensor.ConditionListener", java::lang::Smart)
public:
    virtual void conditionMet(const JavaPtr<SensorConnection>& connection, const JavaPtr<Data>& data,
                              const JavaPtr<Condition>& condition) = 0;
    ~ConditionListener() override = default;
};

}  // namespace javax::microedition::sensor
