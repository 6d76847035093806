// javax.microedition.sensor.Unit: the unit a channel's values are in. There is no table of units: every
// getUnit call makes a new one.
#pragma once

#include "runtime/String.h"

namespace javax::microedition::sensor {

class Unit : public java::lang::Object {
    TESL_CLASS(Unit, "javax.microedition.sensor.Unit", java::lang::Object)
public:
    Unit() noexcept {}
    ~Unit() override = default;

    static JavaPtr<Unit> getUnit(const JavaPtr<java::lang::String>& symbol);
    JavaPtr<java::lang::String> toString() override { return symbol; }

    JavaPtr<java::lang::String> symbol;
};

}  // namespace javax::microedition::sensor
