#include "location/LocationClock.h"

#include <atomic>

#include "library/System.h"

namespace javax::microedition::location {

namespace {

std::atomic<LocationClock::Source> clockSource{nullptr};

}  // namespace

long long LocationClock::currentTimeMillis() {
    Source source = clockSource.load(std::memory_order_acquire);
    return source ? source() : java::lang::System::currentTimeMillis();
}

void LocationClock::setSource(Source source) {
    clockSource.store(source, std::memory_order_release);
}

}  // namespace javax::microedition::location
