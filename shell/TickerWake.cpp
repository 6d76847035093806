#include "shell/TickerWake.h"

void TickerWake::wake() {
    wakeCount.fetch_add(1, std::memory_order_relaxed);
    {
        std::lock_guard<std::mutex> guard(lock);
        pending = true;
    }
    woken.notify_one();
}

bool TickerWake::waitUntil(Clock::time_point deadline) {
    std::unique_lock<std::mutex> guard(lock);
    const bool rung = woken.wait_until(guard, deadline, [] { return pending; });
    pending = false;
    return rung;
}

uint64_t TickerWake::wakes() {
    return wakeCount.load(std::memory_order_relaxed);
}
