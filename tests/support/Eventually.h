// Waits for something that threads or real-time outputs bring about, polling with a generous deadline.
#pragma once

#include <chrono>
#include <thread>

namespace testsupport {

// True once condition() holds; false if it still does not after the limit.
template <class Condition>
bool eventually(Condition condition, std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    auto deadline = std::chrono::steady_clock::now() + limit;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

}  // namespace testsupport
