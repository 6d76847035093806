// A clock the sensor tests step by hand, so that delivery periods are tested without sleeping.
#pragma once

#include <atomic>

#include "sensor/SensorClock.h"

namespace sensortest {

using namespace javax::microedition::sensor;

// Installs itself as the sensor package's clock for the life of the object.
class FakeClock {
public:
    explicit FakeClock(long long start = 1'000'000) {
        now().store(start);
        SensorClock::setSource(&read);
    }
    ~FakeClock() { SensorClock::setSource(nullptr); }
    FakeClock(const FakeClock&) = delete;
    FakeClock& operator=(const FakeClock&) = delete;

    void advance(long long milliseconds) { now().fetch_add(milliseconds); }
    void set(long long milliseconds) { now().store(milliseconds); }
    long long time() const { return now().load(); }

private:
    static std::atomic<long long>& now() {
        static std::atomic<long long> value{0};
        return value;
    }
    static long long read() { return now().load(); }
};

}  // namespace sensortest
