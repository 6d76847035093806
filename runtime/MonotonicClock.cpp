#include "runtime/MonotonicClock.h"

namespace {

constexpr long kNanosPerSecond = 1000000000L;

}  // namespace

long long monotonicMillis() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

timespec monotonicDeadlineAfter(long long ms) {
    timespec deadline;
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    // Whole seconds and the remainder apart, so that no product can overflow.
    deadline.tv_sec += static_cast<time_t>(ms / 1000);
    deadline.tv_nsec += static_cast<long>(ms % 1000) * 1000000L;
    if (deadline.tv_nsec >= kNanosPerSecond) {
        deadline.tv_nsec -= kNanosPerSecond;
        deadline.tv_sec += 1;
    } else if (deadline.tv_nsec < 0) {
        deadline.tv_nsec += kNanosPerSecond;
        deadline.tv_sec -= 1;
    }
    if (deadline.tv_sec < 0) {
        deadline.tv_sec = 0;
        deadline.tv_nsec = 0;
    }
    return deadline;
}
