// The clock of the sensor package, in milliseconds of wall-clock time. Tests put in their own source so
// that delivery periods can be stepped without sleeping.
#pragma once

namespace javax::microedition::sensor {

class SensorClock {
public:
    using Source = long long (*)();

    static long long currentTimeMillis();
    // A null source restores the system clock.
    static void setSource(Source source);
    static long long systemTimeMillis();
};

}  // namespace javax::microedition::sensor
