// A watchdog for threaded tests: when the test has not finished within its limit, it says which
// test hung and aborts the process, so that a deadlock fails the run instead of stalling it. It only
// catches hangs: a contended test on a loaded machine under the sanitizers can take minutes, so the
// limit stays just below the test runner's own (300 s), where it still names the test.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

namespace testsupport {

class Watchdog {
public:
    explicit Watchdog(int seconds = 240);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

private:
    std::string m_testName;
    std::mutex m_mutex;
    std::condition_variable m_finished;
    bool m_done = false;
    std::thread m_thread;
};

}  // namespace testsupport
