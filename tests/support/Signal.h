// A one-way signal between test threads. Its wait is bounded only to turn a hang into a failure; the
// bound sits below the test watchdog's so the failing wait is the one reported.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace testsupport {

class Signal {
public:
    // Notifies under the lock: a waiter may destroy the signal as soon as it sees it raised.
    void raise() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_raised = true;
        m_changed.notify_all();
    }
    void reset() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_raised = false;
    }
    bool wait(std::chrono::milliseconds limit = std::chrono::seconds(200)) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, limit, [this] { return m_raised; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_raised = false;
};

}  // namespace testsupport
