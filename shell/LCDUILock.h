// The one lock of the high-level screens. The platform main thread (input), the ticker thread (the
// LCDUI tick: layout, buffered input) and the application's threads (titles, commands, tickers, touch
// areas) all change the same screen state; each takes this lock around its work.
//
// Lock order, the one statement of it (shell/Canvas.h and the screens refer here):
//   the paint lock (Canvas::paintMutex, shell/PaintLock.h), then this lock, then the display's own
//   mutexes and the host's; never the other way round. So nothing that holds this lock paints: a
//   repaint asked for under it waits for the next tick.
//
// Application code runs with neither library lock held, on the thread named:
// - command, item command and item state listeners, and an alert's timeout: the thread of the key,
//   touch or tick that caused them (platform main thread, or the ticker thread for the tick's replay and
//   timeouts), once that thread holds no library lock (callOutside);
// - a custom item's paint: the thread that repaints its form (the ticker thread's tick), before the
//   paint takes either lock; it draws into an image of its own, which the paint then places;
// - a custom item's size queries: the thread that lays its form out, just before the layout, with the
//   lock let go (callUnheld); the layout then uses those answers;
// - a custom item's traverse: the thread that moves the highlight, with the lock let go; the answer is
//   used only while the item is still the form's highlighted item;
// - a custom item's keys, touches, traverseOut, sizeChanged, showNotify and hideNotify: kept, and run as
//   listener calls are;
// - destructors of what a screen lets go of (dropped forms and their items, replaced listeners): where
//   the last reference goes, after the thread's holds end (dropOutside);
// - serial calls: after the repaint that ran them has let go of the paint lock.
// The one exception is a Canvas's own paint, which draws into the shared screen and so runs inside the
// paint lock (never inside this one).
#pragma once

#include <functional>
#include <mutex>
#include <type_traits>
#include <utility>

namespace javax::microedition::lcdui {

class LCDUILock {
public:
    // The lock itself: recursive, as a listener's call back into a screen used to nest; a thread's nested
    // holds are counted, and only its outermost takes the mutex. Lockable, so std::lock_guard and
    // std::unique_lock take it.
    static LCDUILock& mutex();

    void lock();
    bool try_lock();
    // Releasing the outermost hold runs the application calls kept meanwhile, after the mutex is free
    // (unless the thread still holds the paint lock: then they wait for that one too).
    void unlock();

    // Whether the calling thread holds the lock.
    static bool heldByCurrentThread();
    // Whether the calling thread holds this lock or the paint lock.
    static bool anyHeldByCurrentThread();
    // Runs call now when the calling thread holds neither lock (a throw reaches the caller); else keeps
    // it for the end of the thread's last hold of either, where a throw is logged and the next call runs.
    static void callOutside(std::function<void()> call);
    // Lets the last reference in held go where no lock is held: at once, or with the kept calls.
    template <class T>
    static void dropOutside(T held) {
        if constexpr (requires { held.empty(); }) {
            if (held.empty()) return;
        } else {
            if (!held) return;
        }
        callOutside([kept = std::move(held)]() mutable { kept = T(); });
    }
    // Runs call with every hold of this thread on this lock let go, and takes them back after (a throw
    // too). The paint lock, when held, stays held. Whatever the caller read under the lock may have
    // changed when call returns: the caller checks again before it uses the answer.
    template <class F>
    static decltype(auto) callUnheld(F&& call) {
        struct Retake {
            int depth;
            ~Retake() { takeBack(depth); }
        } retake{letGo()};
        return std::forward<F>(call)();
    }

    // The paint lock's side (PaintLock only): a hold taken, a hold ended.
    static void notePaintHold();
    static void notePaintRelease();

private:
    LCDUILock() = default;

    // Releases all of this thread's holds and returns how many there were; the kept calls run first
    // when no paint lock is held either.
    static int letGo();
    static void takeBack(int depth);

    // Held by the thread whose holds (counted per thread) are above zero.
    std::mutex m_mutex;
};

using LCDUIGuard = std::lock_guard<LCDUILock>;

}  // namespace javax::microedition::lcdui
