#include "sensor/SensorClock.h"

#include <atomic>
#include <chrono>

namespace javax::microedition::sensor {

namespace {

std::atomic<SensorClock::Source> clockSource{nullptr};

}  // namespace

long long SensorClock::systemTimeMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

long long SensorClock::currentTimeMillis() {
    Source source = clockSource.load(std::memory_order_acquire);
    return source ? source() : systemTimeMillis();
}

void SensorClock::setSource(Source source) {
    clockSource.store(source, std::memory_order_release);
}

}  // namespace javax::microedition::sensor
