#include "tests/support/Watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace testsupport {

Watchdog::Watchdog(int seconds) {
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        m_testName = std::string(info->test_suite_name()) + "." + info->name();
    }
    m_thread = std::thread([this, seconds] {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_finished.wait_for(lock, std::chrono::seconds(seconds), [this] { return m_done; })) {
            std::fprintf(stderr, "watchdog: %s still running after %d s; aborting\n", m_testName.c_str(),
                         seconds);
            std::fflush(stderr);
            std::abort();
        }
    });
}

Watchdog::~Watchdog() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_done = true;
    }
    m_finished.notify_all();
    m_thread.join();
}

}  // namespace testsupport
