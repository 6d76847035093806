#include "engine/CanvasClock.h"

#include <atomic>

#include "library/System.h"

namespace engine {

namespace {

std::atomic<CanvasClock::Source> source{nullptr};

}  // namespace

long long CanvasClock::currentTimeMillis() {
    Source s = source.load(std::memory_order_acquire);
    return s != nullptr ? s() : java::lang::System::currentTimeMillis();
}

void CanvasClock::setSource(Source s) {
    source.store(s, std::memory_order_release);
}

bool CanvasClock::isTestSource() {
    return source.load(std::memory_order_acquire) != nullptr;
}

}  // namespace engine
