// The clock of the application canvas: System.currentTimeMillis, unless a test has put in its own
// source, so that the frame loop can be stepped without waiting.
#pragma once

namespace engine {

class CanvasClock {
public:
    using Source = long long (*)();

    static long long currentTimeMillis();
    // A null source restores the system clock.
    static void setSource(Source source);
    // True while a test source is in: waits between passes then return at once.
    static bool isTestSource();
};

}  // namespace engine
