// Runs the application as the program does, on the headless host, but with the canvas clock and the
// frame loop in the test's hands: a temporary data directory (or a given one, for a restart), a chosen
// bundle, manual passes.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "engine/AppMidlet.h"
#include "engine/HookCanvas.h"
#include "platform/files/FileSystemPaths.h"
#include "platform/host/HeadlessHost.h"
#include "shell/ProxyMIDlet.h"
#include "shell/StartUp.h"
#include "shell/xyzApp.h"
#include "tests/support/Eventually.h"
#include "tests/support/QuizLaunch.h"
#include "tests/support/TemporaryDirectory.h"

namespace testsupport {

class QuizDriver {
public:
    static constexpr int kStepMs = HookCanvas::MS_PER_UPDATE;
    // Only catches a hang: a loaded machine under the sanitizers can take many seconds to load.
    static constexpr std::chrono::milliseconds kHangGuard = std::chrono::seconds(120);

    // bundle empty: the program's default bundle. factory null: AppMidlet. dataDirectory empty: a
    // fresh temporary one.
    explicit QuizDriver(const std::filesystem::path& bundle = {},
                        ProxyMIDlet::MIDletFactory factory = nullptr,
                        const platform::HostScreen& screen = defaultScreen(),
                        const std::filesystem::path& dataDirectory = {})
        : host(screen), app(host) {
        resetStartUpForTests();
        std::string error;
        EXPECT_TRUE(platform::setUpFileSystemPaths(
            bundle.empty() ? nullptr : bundle.c_str(),
            dataDirectory.empty() ? data.path().c_str() : dataDirectory.c_str(), error))
            << error;
        prepareQuizLaunch(factory != nullptr ? factory : &AppMidlet::create, true);
        platform::setCurrentHost(&host);
        loop = std::thread([this] { status = host.run(app); });
        EXPECT_TRUE(host.waitUntilRunning(kHangGuard));
        EXPECT_TRUE(eventually(&quizReadyForPasses));
    }
    ~QuizDriver() {
        finish();
        platform::setCurrentHost(nullptr);
        endQuizLaunch();
    }

    static platform::HostScreen defaultScreen() {
        platform::HostScreen screen;
        screen.widthPoints = 320;
        screen.heightPoints = 480;
        screen.scale = 1;
        return screen;
    }

    JavaPtr<HookCanvas> canvas() { return AppMidlet::canvas(); }

    // n passes of the loop, the clock one step further before each.
    void runPasses(int n) {
        for (int i = 0; i < n; ++i) {
            quizManualClock().fetch_add(kStepMs);
            JavaPtr<HookCanvas> c = canvas();
            if (c) c->runOnce();
        }
    }
    // Until the screen shows the last frame painted so far: a frame is shown on the host's main thread
    // some time after the pass that painted it.
    bool waitUntilShown() { return host.waitForFrames(host.handedOverFrames(), kHangGuard); }
    // Press, two passes, release, two passes (at screen points).
    void tap(int x, int y) {
        host.touchDown(x, y);
        runPasses(2);
        host.touchUp(x, y);
        runPasses(2);
    }
    bool waitForLoading(std::chrono::milliseconds limit = kHangGuard) {
        return HookCanvas::waitForLoading(limit.count());
    }
    std::optional<uint32_t> pixel(int x, int y) const { return host.pixel(x, y); }

    // Terminates (if still running) and answers the program's exit status.
    int finish() {
        if (loop.joinable()) {
            host.terminate();
            EXPECT_TRUE(host.waitUntilFinished(kHangGuard));
            loop.join();
        }
        return AppMidlet::exitStatusFor(status);
    }
    // Waits for the application to end by itself; its exit status.
    int waitForExit() {
        if (loop.joinable()) {
            EXPECT_TRUE(host.waitUntilFinished(kHangGuard));
            loop.join();
        }
        return AppMidlet::exitStatusFor(status);
    }

    platform::HeadlessHost host;

private:
    TemporaryDirectory data;
    xyzApp app;
    std::thread loop;
    int status = -1;
};

}  // namespace testsupport
