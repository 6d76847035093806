// The one lock of the high-level screens. The platform main thread (input), the ticker thread (the
// LCDUI tick: layout, buffered input) and the application's threads (titles, commands, tickers, touch
// areas) all change the same screen state; each takes this lock around its work.
//
// Order: the paint lock (a canvas's repaint, shell/Canvas.h) before this lock, and this lock before the
// display's own mutex; never the other way round. So nothing that holds this lock paints.
//
// Application code (command, item command and item state listeners, serial calls) never runs under it:
// the screens hand such calls to callOutside, which runs them at once on a thread that holds the lock
// nowhere, and otherwise keeps them, in order, until that thread's outermost hold ends.
#pragma once

#include <functional>
#include <mutex>

namespace javax::microedition::lcdui {

class LCDUILock {
public:
    // The lock itself: a recursive mutex, as a listener's call back into a screen used to nest. Lockable,
    // so std::lock_guard and std::unique_lock take it.
    static LCDUILock& mutex();

    void lock();
    bool try_lock();
    // Releasing the outermost hold runs the application calls kept meanwhile, after the mutex is free.
    void unlock();

    // Whether the calling thread holds the lock.
    static bool heldByCurrentThread();
    // Runs call now when the calling thread does not hold the lock (a throw reaches the caller); else
    // keeps it for the end of the thread's outermost hold, where a throw is logged and the next call runs.
    static void callOutside(std::function<void()> call);

private:
    LCDUILock() = default;

    std::recursive_mutex m_mutex;
};

using LCDUIGuard = std::lock_guard<LCDUILock>;

}  // namespace javax::microedition::lcdui
