#include "sensor/SensorClock.h"

#include <atomic>

#include "library/System.h"

namespace javax::microedition::sensor {

namespace {

std::atomic<SensorClock::Source> clockSource{nullptr};

}  // namespace

long long SensorClock::currentTimeMillis() {
    Source source = clockSource.load(std::memory_order_acquire);
    return source ? source() : java::lang::System::currentTimeMillis();
}

void SensorClock::setSource(Source source) {
    clockSource.store(source, std::memory_order_release);
}

}  // namespace javax::microedition::sensor
