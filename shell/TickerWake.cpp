#include "shell/TickerWake.h"

TickerWake::Alarm& TickerWake::alarm() {
    static Alarm* const kept = new Alarm;
    return *kept;
}

void TickerWake::wake() {
    wakeCount.fetch_add(1, std::memory_order_relaxed);
    Alarm& a = alarm();
    {
        std::lock_guard<std::mutex> guard(a.lock);
        a.pending = true;
    }
    a.woken.notify_one();
}

bool TickerWake::waitUntil(Clock::time_point deadline) {
    Alarm& a = alarm();
    std::unique_lock<std::mutex> guard(a.lock);
    const bool rung = a.woken.wait_until(guard, deadline, [&a] { return a.pending; });
    a.pending = false;
    return rung;
}

uint64_t TickerWake::wakes() {
    return wakeCount.load(std::memory_order_relaxed);
}
