// A wall clock that moves only when a test steps it, installed as the screens' clock seam for the life
// of the object.
#pragma once

#include <atomic>

#include "library/DeviceClock.h"

namespace testsupport {

class SteppedClock {
public:
    explicit SteppedClock(long long startMs = 1'000'000) {
        now().store(startMs);
        java::lang::DeviceClock::setSource(&read);
    }
    ~SteppedClock() { java::lang::DeviceClock::setSource(nullptr); }
    SteppedClock(const SteppedClock&) = delete;
    SteppedClock& operator=(const SteppedClock&) = delete;

    void advance(long long ms) { now().fetch_add(ms); }
    long long millis() const { return now().load(); }

private:
    static std::atomic<long long>& now() {
        static std::atomic<long long> value{0};
        return value;
    }
    static long long read() { return now().load(); }
};

}  // namespace testsupport
