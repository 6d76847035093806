// The ticker thread's alarm clock. The ticker sleeps between passes until something needs it: the
// shell's entries ring it for input, serial calls, set-current requests and the quit; the pass itself
// says how long it may sleep when nothing rings (a shown screen's timers, a playing sound, a sensor
// batch falling due).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

class TickerWake {
public:
    using Clock = std::chrono::steady_clock;

    // Any thread: the ticker runs a pass now, or right after the one it is in.
    static void wake();
    // Ticker thread: sleeps until woken or until the deadline, whichever comes first; a wake that
    // came while the ticker was busy ends the next wait at once. Answers whether it was woken.
    static bool waitUntil(Clock::time_point deadline);
    // Wakes received so far (for the benchmarks' and tests' look at what woke the ticker).
    static uint64_t wakes();

private:
    struct Alarm {
        // Guards pending; woken pairs with it.
        std::mutex lock;
        std::condition_variable woken;
        bool pending = false;
    };
    // Never destroyed: a thread left running after a tear-down that gave up may still ring it while
    // the process's static destructors run.
    static Alarm& alarm();
    static inline std::atomic<uint64_t> wakeCount{0};
};
