// The application delegate: receives the host's events on the main thread, launches the runtime,
// feeds the entries and, at the end, waits for the ticker's tear-down before ending the host's loop.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "platform/host/Host.h"

class xyzApp : public platform::HostEvents {
public:
    // Exit statuses the delegate ends the loop with.
    static constexpr int kExitClean = 0;
    // The tear-down did not finish in time, or a thread that paints would not end.
    static constexpr int kExitTearDownTimedOut = 2;
    static constexpr int kExitLaunchFailed = 3;
    // How long termination waits for the ticker's tear-down.
    static constexpr std::chrono::milliseconds kTearDownWait{3000};

    explicit xyzApp(platform::Host& host);
    ~xyzApp() override;
    xyzApp(const xyzApp&) = delete;
    xyzApp& operator=(const xyzApp&) = delete;

    void launched() override;
    void touchDown(int x, int y) override;
    void touchDragged(int x, int y) override;
    void touchUp(int x, int y) override;
    void keyPressed(int keyCode) override;
    void keyReleased(int keyCode) override;
    bool highLevelScreenShown() override;
    void accelerated(double x, double y, double z) override;
    void sizeChanged(int width, int height) override;
    void paused() override;
    void resumed() override;
    void terminating() override;

    // Frees the frame buffers once, and only when no runtime thread can still draw into them.
    void cleanup();
    // The launch image chosen for the screen: a name in the bundle.
    static std::string launchImageName(bool highResolution, bool isIPad, int outputWidth, int outputHeight);

private:
    void tickerFinished();

    platform::Host& m_host;
    bool m_cleanupHasBeenRun = false;
    bool m_launched = false;
    size_t m_bufferWords = 0;
    std::mutex m_mutex;
    std::condition_variable m_finishedSignal;
    bool m_finished = false;
    std::thread m_watchdog;
};
