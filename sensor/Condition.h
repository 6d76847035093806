// javax.microedition.sensor.Condition: a test on a channel value, implemented by applications. The
// operator names are vocabulary for those implementations; the package itself only calls isMet.
#pragma once

#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::sensor {

class Condition : public virtual java::lang::Smart {
    TESL_INTERFACE(Condition, "javax.microedition.sensor.Condition", java::lang::Smart)
public:
    virtual bool isMet(double value) = 0;
    ~Condition() override = default;

    static void Condition_staticInit();
    static void Condition_staticDestroy();

    static JavaPtr<java::lang::String> OP_EQUALS;
    static JavaPtr<java::lang::String> OP_GREATER_THAN;
    static JavaPtr<java::lang::String> OP_GREATER_THAN_OR_EQUALS;
    static JavaPtr<java::lang::String> OP_LESS_THAN;
    static JavaPtr<java::lang::String> OP_LESS_THAN_OR_EQUALS;
};

}  // namespace javax::microedition::sensor
