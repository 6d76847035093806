// The program closed while the quiz still starts up or loads: the tear-down waits for the thread that
// reads the bundle before it frees what that thread reads with, and a read that fails because of the
// tear-down is no missing file. The frame loop runs on its own thread on the real clock, as in the
// program; a bundle file's first open is held until the tear-down has begun, then fails.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>

#include "engine/AppMidlet.h"
#include "engine/HookCanvas.h"
#include "platform/files/FileOperations.h"
#include "platform/files/FileSystemPaths.h"
#include "platform/host/HeadlessHost.h"
#include "shell/StartUp.h"
#include "shell/xyzApp.h"
#include "tests/support/Eventually.h"
#include "tests/support/QuizDriver.h"
#include "tests/support/QuizLaunch.h"
#include "tests/support/QuizStatics.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

// Every file operation goes to the system, except the first open of one named file: it waits until
// released, then fails with EIO.
class HeldOpen {
public:
    explicit HeldOpen(std::string name) : m_name(std::move(name)) {
        active() = this;
        platform::setFileOperations(&table());
    }
    ~HeldOpen() {
        release();
        platform::setFileOperations(nullptr);
        active() = nullptr;
    }

    bool waitUntilReached() {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, testsupport::QuizDriver::kHangGuard, [this] { return m_reached; });
    }
    void release() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_released = true;
        m_changed.notify_all();
    }

private:
    static HeldOpen*& active() {
        static HeldOpen* current = nullptr;
        return current;
    }

    bool holds(const char* path) {
        const std::string whole(path);
        if (whole.size() < m_name.size() ||
            whole.compare(whole.size() - m_name.size(), m_name.size(), m_name) != 0)
            return false;
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_reached) return false;
        m_reached = true;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_released; });
        return true;
    }

    static const platform::FileOperations& table() {
        static const platform::FileOperations held = [] {
            platform::FileOperations operations = platform::systemFileOperations();
            operations.open = [](const char* path, int flags, mode_t mode) {
                if (active()->holds(path)) {
                    errno = EIO;
                    return -1;
                }
                return platform::systemFileOperations().open(path, flags, mode);
            };
            return operations;
        }();
        return held;
    }

    const std::string m_name;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_released = false;
};

// The bundle file, and which thread reads it: "topics.dat" in the start-up step on the frame loop's
// thread, "shuffle_db.dat" in the first load on the loading thread.
class StartUpTearDown : public testing::TestWithParam<const char*> {};

TEST_P(StartUpTearDown, WaitsForTheReadingThreadAndReportsNothingMissing) {
    testsupport::TemporaryDirectory data;
    resetStartUpForTests();
    testsupport::resetQuizRunStatics();
    std::string error;
    ASSERT_TRUE(platform::setUpFileSystemPaths(QUILL_TEST_BUNDLE_DIR, data.path().c_str(), error)) << error;
    HeldOpen held(GetParam());
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    {
        platform::HeadlessHost host(testsupport::QuizDriver::defaultScreen());
        xyzApp app(host);
        testsupport::prepareQuizLaunch(&AppMidlet::create, false);
        platform::setCurrentHost(&host);
        int status = -1;
        std::thread loop([&] { status = host.run(app); });
        EXPECT_TRUE(held.waitUntilReached());

        host.terminate();
        EXPECT_TRUE(testsupport::eventually([] { return tickerPhase() != TickerPhase::running; }));
        // The bundle's file is still being read: the tear-down waits for the reading thread (or, given
        // up on it, keeps what it reads with), where freeing would pull the statics from under it.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        EXPECT_TRUE(runtimeThreadsLeftRunning());
        held.release();

        EXPECT_TRUE(host.waitUntilFinished(testsupport::QuizDriver::kHangGuard));
        loop.join();
        EXPECT_EQ(AppMidlet::exitStatusFor(status), xyzApp::kExitClean);
        EXPECT_FALSE(HookCanvas::thread_failed.load());
        platform::setCurrentHost(nullptr);
        testsupport::endQuizLaunch();
    }
    const std::string said = testing::internal::GetCapturedStdout() + testing::internal::GetCapturedStderr();
    // The failures above were said into the capture too.
    if (HasFailure()) std::cerr << said;
    EXPECT_EQ(said.find("cannot start"), std::string::npos) << said;
    EXPECT_EQ(said.find("missing"), std::string::npos) << said;
    testsupport::resetQuizRunStatics();
}

INSTANTIATE_TEST_SUITE_P(BundleReads, StartUpTearDown, testing::Values("topics.dat", "shuffle_db.dat"));

}  // namespace
