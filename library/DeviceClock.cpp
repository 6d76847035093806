#include "library/DeviceClock.h"

#include <atomic>

#include "library/System.h"

namespace java::lang {

namespace {

std::atomic<DeviceClock::Source> clockSource{nullptr};

}  // namespace

long long DeviceClock::currentTimeMillis() {
    Source source = clockSource.load(std::memory_order_acquire);
    return source ? source() : System::currentTimeMillis();
}

void DeviceClock::setSource(Source source) {
    clockSource.store(source, std::memory_order_release);
}

}  // namespace java::lang
