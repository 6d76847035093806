#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/HeadlessHost.h"
#include "shell/UrlRequest.h"
#include "shell/ViewHooks.h"
#include "tests/support/RecordingHostEvents.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kLimit = 5000ms;

// A headless host whose loop runs on a thread of its own, installed as the current host.
class RunningHost {
public:
    RunningHost() : m_host(screen()), m_events(m_host), m_thread([this] { m_host.run(m_events); }) {
        EXPECT_TRUE(m_host.waitUntilRunning(kLimit));
        platform::setCurrentHost(&m_host);
    }
    ~RunningHost() {
        platform::setCurrentHost(nullptr);
        m_host.quit(0);
        m_thread.join();
    }
    platform::HeadlessHost& host() { return m_host; }

private:
    static platform::HostScreen screen() {
        platform::HostScreen screen;
        screen.widthPoints = 32;
        screen.heightPoints = 48;
        screen.scale = 1;
        return screen;
    }
    platform::HeadlessHost m_host;
    testsupport::RecordingHostEvents m_events;
    std::thread m_thread;
};

platform::HeadlessHost* hookHost = nullptr;
std::atomic<int> hookRuns{0};
std::atomic<int> hookValue{-1};
std::atomic<bool> hookOnMain{false};

void recordingHook() {
    hookValue.store(_callback_value.load());
    hookOnMain.store(hookHost != nullptr && hookHost->isMainThread());
    hookRuns.fetch_add(1);
}

class ViewHooksTest : public ::testing::Test {
protected:
    void SetUp() override {
        hookHost = &m_running.host();
        hookRuns.store(0);
        hookValue.store(-1);
        hookOnMain.store(false);
        iPhone::setNativeViewHook(recordingHook);
    }
    void TearDown() override {
        iPhone::setNativeViewHook(nullptr);
        hookHost = nullptr;
    }
    RunningHost m_running;
};

TEST_F(ViewHooksTest, EachHookRecordsItsValueAndReturnsOnlyAfterTheMainThreadRanIt) {
    const struct {
        void (*hook)();
        int value;
    } cases[] = {{iPhone::textOverlayStart, 0},
                 {iPhone::textOverlayStop, 1},
                 {iPhone::viewSetup, 2},
                 {iPhone::viewReplace, 3}};
    int runs = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        hookOnMain.store(false);
        c.hook();  // from this thread, not the host's
        ++runs;
        // Checked right after the return: a hook that did not wait would not have run yet.
        EXPECT_EQ(hookRuns.load(), runs);
        EXPECT_EQ(hookValue.load(), c.value);
        EXPECT_EQ(_callback_value.load(), c.value);
        EXPECT_TRUE(hookOnMain.load());
    }
}

TEST_F(ViewHooksTest, AHookAskedForOnTheMainThreadRunsAtOnce) {
    std::atomic<int> runsSeenInside{-1};
    m_running.host().runOnMain(
        [&] {
            iPhone::viewReplace();
            runsSeenInside.store(hookRuns.load());
        },
        true);
    EXPECT_EQ(runsSeenInside.load(), 1);
    EXPECT_EQ(hookValue.load(), 3);
    EXPECT_TRUE(hookOnMain.load());
}

TEST(UrlRequestTest, OnlyAParsableAddressReachesTheHost) {
    EXPECT_FALSE(_URLplatformRequest("https://example.invalid/")) << "no host installed";
    RunningHost running;
    EXPECT_FALSE(_URLplatformRequest(nullptr));
    EXPECT_FALSE(_URLplatformRequest(""));
    EXPECT_FALSE(_URLplatformRequest("no scheme here"));
    EXPECT_TRUE(_URLplatformRequest("https://example.invalid/a?b=1;c=$(x)"));
    EXPECT_EQ(running.host().openedUrls(), std::vector<std::string>{"https://example.invalid/a?b=1;c=$(x)"});
}

}  // namespace
