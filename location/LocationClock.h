// The clock of the location package: System.currentTimeMillis, unless a test has put in its own source
// so that intervals, timeouts and ages can be stepped without sleeping.
#pragma once

namespace javax::microedition::location {

class LocationClock {
public:
    using Source = long long (*)();

    static long long currentTimeMillis();
    // A null source restores the system clock.
    static void setSource(Source source);
};

}  // namespace javax::microedition::location
