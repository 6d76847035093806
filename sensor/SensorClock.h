// The clock of the sensor package: System.currentTimeMillis, unless a test has put in its own source so
// that delivery periods can be stepped without sleeping.
#pragma once

namespace javax::microedition::sensor {

class SensorClock {
public:
    using Source = long long (*)();

    static long long currentTimeMillis();
    // A null source restores the system clock.
    static void setSource(Source source);
};

}  // namespace javax::microedition::sensor
