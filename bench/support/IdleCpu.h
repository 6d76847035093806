// What the idle benchmarks share: the process's CPU time and the wall-time window they idle for.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <cstdlib>

namespace benchsupport {

// User and system time of the whole process so far, in seconds.
inline double processCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// 10 s, or QUILL_IDLE_SECONDS (the smoke run's shorter window).
inline std::chrono::milliseconds idleWindow() {
    const char* text = std::getenv("QUILL_IDLE_SECONDS");
    const double seconds = text != nullptr ? std::atof(text) : 10.0;
    return std::chrono::milliseconds(static_cast<long long>((seconds > 0 ? seconds : 10.0) * 1000));
}

}  // namespace benchsupport
