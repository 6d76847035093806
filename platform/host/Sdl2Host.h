// The host with a window, on SDL2: the program a person runs. The window is the screen's pixels (points
// times scale) times a zoom, smaller only when the desktop is; frames are shown through a streaming
// texture scaled into it (letterboxed, whole multiples). Without a display it refuses to open rather
// than run in one of SDL's invisible drivers, unless that driver is asked for by name.
// The mouse and the first finger are the touch screen, the arrow keys tilt the device (or, in MIDP
// keys mode and always while a high-level screen is shown, are the phone's keys; such a screen also
// gets typed text as keyboard keys), minimising pauses, and closing the window, SIGINT or SIGTERM end
// the program. SDL stays inside this back end: the header names none of its types.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/FrameMailbox.h"
#include "platform/host/Host.h"
#include "platform/host/MainTaskQueue.h"
#include "platform/host/UrlOpener.h"

namespace platform {

struct Sdl2HostOptions {
    HostScreen screen;
    // Window pixels per frame pixel; 1 or more.
    int zoom = 1;
    // The window's title: the application's name.
    std::string title;
    // Keys go to the key entries as the phone's key codes, instead of tilting the device.
    bool midpKeys = false;
    // The program that opens web addresses.
    std::string urlOpener = "xdg-open";
};

class Sdl2Host : public Host {
public:
    // Opens the window. The calling thread must be the one that later calls run(): SDL's video works
    // on one thread. Null when no window can be opened, with error set to one line for the user.
    static std::unique_ptr<Sdl2Host> open(const Sdl2HostOptions& options, std::string& error);
    ~Sdl2Host() override;
    Sdl2Host(const Sdl2Host&) = delete;
    Sdl2Host& operator=(const Sdl2Host&) = delete;

    int run(HostEvents& events) override;
    void quit(int status) override;
    void runOnMain(std::function<void()> fn, bool wait) override;
    bool isMainThread() const override;
    HostScreen screen() const override;
    void presentFrame(const std::uint32_t* pixels, int width, int height, int stride) override;
    bool showLaunchImage(const std::string& path) override;
    // A desktop has nothing to vibrate; the request is counted.
    void vibrate(int milliseconds) override;
    bool openUrl(const std::string& url) override;
    // Kept until the loop has ended, then shown in a message box over the window.
    void showFailure(const std::string& message) override;

    // Main thread: the window's picture as it is shown now, 0xRRGGBB per window pixel, row by row;
    // empty when it cannot be read. For tests and screenshots of a real window.
    std::vector<uint32_t> readWindowPixels(int& width, int& height);
    // SDL's id of the window, for tests that push events at it.
    uint32_t windowId() const;
    uint64_t vibrations() const { return m_vibrations.load(); }

private:
    struct Window;
    explicit Sdl2Host(const Sdl2HostOptions& options);

    void wake();
    void handleEvent(const void* event);
    void deliverTilt();
    void showFrame(const uint32_t* pixels, int width, int height);
    void render();

    const Sdl2HostOptions m_options;
    std::unique_ptr<Window> m_window;
    FrameMailbox m_mailbox;
    MainTaskQueue m_tasks;
    UrlOpener m_urlOpener;
    const std::thread::id m_mainThread;
    uint32_t m_wakeEvent = 0;
    // Set while a wake event waits in SDL's queue, so that a burst of posts sends one.
    std::atomic<bool> m_wakePending{false};
    // A driver that shows nothing (offscreen, dummy) has no way for SDL to sleep until an event: its
    // waits poll every millisecond. There the loop at rest sleeps on m_restSignal, which wake() rings,
    // and looks at SDL's queue when it wakes (events pushed by others wait at most kInvisibleRestWaitMs).
    bool m_invisibleDriver = false;
    std::mutex m_restLock;  // guards m_restRung
    std::condition_variable m_restSignal;
    bool m_restRung = false;
    std::atomic<bool> m_quitClaimed{false};
    std::atomic<bool> m_quitRequested{false};
    std::atomic<int> m_quitStatus{0};
    std::atomic<uint64_t> m_vibrations{0};
    std::mutex m_failureLock;  // guards m_failure
    std::string m_failure;
    std::atomic<bool> m_running{false};
    // Main thread only.
    HostEvents* m_events = nullptr;
    bool m_terminating = false;
    bool m_paused = false;
    bool m_frameShown = false;
    bool m_needsRender = true;
};

}  // namespace platform
