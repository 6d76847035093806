#include "sensor/Unit.h"

namespace javax::microedition::sensor {

JavaPtr<Unit> Unit::getUnit(const JavaPtr<java::lang::String>& symbol) {
    JavaPtr<Unit> unit = jnew<Unit>();
    unit->symbol = symbol;
    return unit;
}

}  // namespace javax::microedition::sensor
