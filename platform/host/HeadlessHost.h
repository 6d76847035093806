// The host without a window: the program's --headless mode, and what every test and script runs the
// system in. The thread that calls run() becomes the main thread; every other thread (a test, the
// script runner) drives it through the calls below, which reach the shell on the main thread as a
// window's input would. It keeps the latest frame shown, with its number and hash, and writes it as
// PNG.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/FrameMailbox.h"
#include "platform/host/Host.h"
#include "platform/host/MainTaskQueue.h"

namespace platform {

// The latest frame shown, as a copy the caller owns. Pixel words as handed over (alpha untouched).
struct HeadlessFrame {
    std::vector<uint32_t> pixels;
    int width = 0;
    int height = 0;
    // The number of frames handed over up to this one; 0 when none was shown yet.
    uint64_t sequence = 0;
    // hashFrameRgb of the pixels.
    uint64_t hash = 0;
};

class HeadlessHost : public Host {
public:
    explicit HeadlessHost(const HostScreen& screen);
    ~HeadlessHost() override;
    HeadlessHost(const HeadlessHost&) = delete;
    HeadlessHost& operator=(const HeadlessHost&) = delete;

    // Host. run() may be called once per host.
    int run(HostEvents& events) override;
    void quit(int status) override;
    void runOnMain(std::function<void()> fn, bool wait) override;
    bool isMainThread() const override;
    HostScreen screen() const override;
    void presentFrame(const std::uint32_t* pixels, int width, int height, int stride) override;
    // Counts as one more showing of the latest frame (for waitForStableFrames), but only while that
    // frame is the last one handed over.
    void frameUnchanged() override;
    bool showLaunchImage(const std::string& path) override;
    void vibrate(int milliseconds) override;
    // Records the address (see openedUrls) instead of opening it; false for an address that is not one.
    bool openUrl(const std::string& url) override;
    // Recorded (see failuresShown): without a window, stderr's line is all the user gets.
    void showFailure(const std::string& message) override;

    // Waiting, from any thread but the main thread. Each answers whether the condition came true
    // within the limit; all give up at once when the loop has ended.
    bool waitUntilRunning(std::chrono::milliseconds limit);
    // Until the frame shown is the count-th handed over or a later one.
    bool waitForFrames(uint64_t count, std::chrono::milliseconds limit);
    // Until presentations() reaches count.
    bool waitForPresentations(uint64_t count, std::chrono::milliseconds limit);
    // Until the last count frames shown (count >= 1) are identical in what they show; a report that
    // the latest frame is still the picture (frameUnchanged) counts as one more such frame, so a settled
    // screen that hands over nothing new is stable too.
    bool waitForStableFrames(int count, std::chrono::milliseconds limit);
    // Until run() has returned; its status is then in exitStatus.
    bool waitUntilFinished(std::chrono::milliseconds limit);
    std::optional<int> exitStatus() const;

    // Input, as a window would deliver it: delivered on the main thread before the call returns.
    // Positions are output pixels (what a snapshot shows); they reach the shell in points, divided
    // by the screen's scale. Each answers false, delivering nothing, when the loop is not running, the
    // program is terminating, or a position lies outside the output.
    bool touchDown(int x, int y);
    bool touchDrag(int x, int y);
    bool touchUp(int x, int y);
    // Down and up at one position.
    bool tap(int x, int y);
    bool keyPress(int keyCode);
    bool keyRelease(int keyCode);
    // An accelerometer sample in g (face up is 0, 0, -1).
    bool tilt(double x, double y, double z);
    bool pause();
    bool resume();
    // The screen turned to this output size in pixels (each a positive multiple of the scale).
    bool changeSize(int widthPixels, int heightPixels);
    // The user closes the program: the shell's terminating(); the loop runs on until quit().
    bool terminate();
    // Whether terminate() was called: the program is being ended from outside. From any thread.
    bool terminationRequested() const;

    // The latest frame shown; from any thread.
    uint64_t frameCount() const;
    // Frames shown plus reports that the latest frame still stands (frameUnchanged): the heartbeat of a
    // screen that is settled and hands over nothing new. From any thread.
    uint64_t presentations() const;
    // Frames handed over so far, shown or not: waitForFrames(handedOverFrames()) returns once the
    // screen shows the last of them (or a later one).
    uint64_t handedOverFrames() const { return m_mailbox.publishedFrames(); }
    uint64_t frameHash() const;
    HeadlessFrame latestFrame() const;
    // The colour at output pixel (x, y) of the latest frame as 0xRRGGBB (alpha ignored); nothing when
    // no frame was shown or the pixel lies outside it.
    std::optional<uint32_t> pixel(int x, int y) const;
    // The latest frame as PNG (alpha 255); empty when no frame was shown.
    std::vector<uint8_t> snapshotPNG() const;
    // Writes it durably to path; false with the reason when no frame was shown or writing fails.
    bool writeSnapshot(const std::string& path, std::string& error) const;

    // What the program asked of the host.
    std::vector<std::string> openedUrls() const;
    std::string launchImagePath() const;
    std::vector<int> vibrations() const;
    std::vector<std::string> failuresShown() const;
    // Frames refused as malformed and main-thread tasks dropped after the loop ended.
    uint64_t refusedFrames() const { return m_mailbox.refusedFrames(); }
    uint64_t droppedTasks() const { return m_tasks.droppedTasks(); }

private:
    void wake();
    void showNewFrame();
    // Runs deliver on the main thread if the loop runs and the program is not terminating.
    bool deliver(std::function<void(HostEvents&)> deliver);
    bool deliverTouch(int x, int y, void (HostEvents::*entry)(int, int));
    bool insideOutput(int x, int y) const;

    FrameMailbox m_mailbox;
    MainTaskQueue m_tasks;

    // Guards m_wakePending, which tells the loop that tasks, a frame or a quit are waiting.
    std::mutex m_wakeLock;
    std::condition_variable m_wakeSignal;
    bool m_wakePending = false;

    std::atomic<std::thread::id> m_mainThread{};
    // Main thread only, while running.
    HostEvents* m_events = nullptr;
    bool m_terminating = false;

    // Guards everything below: the loop's phase, the latest frame, the screen and the records.
    mutable std::mutex m_stateLock;
    std::condition_variable m_stateChanged;
    bool m_started = false;
    bool m_running = false;
    bool m_finished = false;
    bool m_quitRequested = false;
    bool m_terminationRequested = false;
    int m_quitStatus = 0;
    HostScreen m_screen;
    // Written only by the main thread (under the lock), so that thread alone may read it without.
    HeadlessFrame m_latest;
    // How many frames shown in a row, up to the latest, show the same picture (reports of an unchanged
    // frame included).
    int m_sameFrames = 0;
    uint64_t m_presentations = 0;
    std::vector<std::string> m_openedUrls;
    std::string m_launchImagePath;
    std::vector<int> m_vibrations;
    std::vector<std::string> m_failuresShown;
};

}  // namespace platform
