// The wall clock of the screens and the location poll: System.currentTimeMillis, unless a test has put
// in its own source, so that repeats, timeouts and animations are stepped instead of slept through.
#pragma once

namespace java::lang {

class DeviceClock {
public:
    using Source = long long (*)();

    static long long currentTimeMillis();
    // A null source restores the system clock.
    static void setSource(Source source);
};

}  // namespace java::lang
