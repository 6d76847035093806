// The operating-system side of the shell: one interface for whatever hosts the program (a window,
// or nothing for tests and scripted runs). The shell talks to the host only through this; each back
// end is its own source file, and no other code sees the library beneath it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

// What the host delivers to the shell. Every call arrives on the host's main thread, the thread that
// called Host::run. Coordinates are in points of the screen (see HostScreen).
class HostEvents {
public:
    virtual ~HostEvents() = default;

    // The loop is running: the shell builds its system and starts the application.
    virtual void launched() = 0;
    virtual void touchDown(int x, int y) = 0;
    virtual void touchDragged(int x, int y) = 0;
    virtual void touchUp(int x, int y) = 0;
    virtual void keyPressed(int keyCode) = 0;
    virtual void keyReleased(int keyCode) = 0;
    // Whether a high-level screen is shown: it takes every key and typed text, whatever the host's key
    // mode.
    virtual bool highLevelScreenShown() { return false; }
    // An accelerometer sample in g.
    virtual void accelerated(double x, double y, double z) = 0;
    // The screen turned: the new size in points.
    virtual void sizeChanged(int width, int height) = 0;
    virtual void paused() = 0;
    virtual void resumed() = 0;
    // The user or the system ends the program. No input follows; the loop goes on running the tasks
    // posted with runOnMain (so the tear-down can still reach the main thread) until quit() ends it.
    virtual void terminating() = 0;
};

// The screen as the device reports it.
struct HostScreen {
    int widthPoints = 0;
    int heightPoints = 0;
    // Pixels per point: 2 on a high-resolution screen.
    int scale = 1;
    std::string modelName;
    std::string machineName;
};

class Host {
public:
    virtual ~Host() = default;

    // Runs the application loop on the calling thread, which becomes the main thread, until quit();
    // answers the status given to quit.
    virtual int run(HostEvents& events) = 0;
    // Asks the loop to end with this status; safe from any thread.
    virtual void quit(int status) = 0;

    // Runs fn on the main thread. With wait, returns after it ran (or at once when the loop has
    // ended and fn never will); a waiting call made on the main thread runs fn inline, so waiting can
    // never deadlock. Without wait, fn is queued, even from the main thread.
    virtual void runOnMain(std::function<void()> fn, bool wait) = 0;
    virtual bool isMainThread() const = 0;

    virtual HostScreen screen() const = 0;

    // Hands over a finished frame of width x height pixel words (bytes R, G, B, A), rows `stride`
    // words apart. Copies and returns at once from any thread; the main thread shows the latest
    // frame handed over, alpha ignored.
    virtual void presentFrame(const std::uint32_t* pixels, int width, int height, int stride) = 0;
    // Any thread: the frame handed over last is still the picture; nothing to upload or present. A
    // host that waits for a settled screen counts it as one more showing of that frame.
    virtual void frameUnchanged() {}
    // Shows the launch picture, a PNG file (the shell chooses it; a name without extension is looked
    // for with "@2x.png", then ".png" added), until the first frame arrives. False when it cannot be
    // read: the screen stays black.
    virtual bool showLaunchImage(const std::string& path) = 0;
    virtual void vibrate(int milliseconds) = 0;
    // Opens a web address with the desktop's handler; false when nothing could open it.
    virtual bool openUrl(const std::string& url) = 0;
    // Any thread: the program cannot go on and ends; the message is its reason in one line for the user,
    // already on stderr. A host with a window shows it there before its loop returns: a program
    // started from a desktop has no terminal.
    virtual void showFailure(const std::string&) {}
};

// The host the shell uses; null until the program (or a test) installs one.
Host* currentHost();
void setCurrentHost(Host* host);

}  // namespace platform
