#include "shell/LCDUILock.h"

#include <cstdio>
#include <deque>
#include <exception>
#include <utility>

#include "runtime/String.h"
#include "runtime/Throwable.h"

namespace javax::microedition::lcdui {

namespace {

// What one thread knows of its own holds; no other thread reads it.
struct ThreadHolds {
    int depth = 0;
    // Holds of the paint lock; kept calls wait for these to end too.
    int paintDepth = 0;
    // The kept calls are being run: a hold that ends inside one of them leaves the rest to this run.
    bool running = false;
    std::deque<std::function<void()>> kept;
};

ThreadHolds& holds() {
    thread_local ThreadHolds perThread;
    return perThread;
}

void logThrown(const char* what, const char* message) {
    std::fprintf(stderr, "quill: an application call threw %s: %s\n", what, message);
}

// Runs every kept call in the order it was kept, calls kept by those calls included. The lock is free.
void runKept(ThreadHolds& mine) {
    mine.running = true;
    struct RunningScope {
        ThreadHolds& mine;
        ~RunningScope() { mine.running = false; }
    } running{mine};
    while (!mine.kept.empty()) {
        std::function<void()> call = std::move(mine.kept.front());
        mine.kept.pop_front();
        // Nobody waits for these calls to return a throw to: the user's key or the tick that caused
        // them has been handled already. The throw is told, and the calls behind it still run.
        try {
            call();
        } catch (java::lang::Throwable& e) {
            JavaPtr<java::lang::String> message = e.getMessage();
            logThrown(e.getClassTypeName(), message ? toUtf8(message).c_str() : "(no message)");
        } catch (std::exception& e) {
            logThrown("a C++ exception", e.what());
        } catch (...) {
            logThrown("an unknown exception", "(no message)");
        }
    }
}

void runKeptIfFree(ThreadHolds& mine) {
    if (mine.depth == 0 && mine.paintDepth == 0 && !mine.running && !mine.kept.empty()) runKept(mine);
}

}  // namespace

LCDUILock& LCDUILock::mutex() {
    static LCDUILock lock;
    return lock;
}

void LCDUILock::lock() {
    m_mutex.lock();
    ++holds().depth;
}

bool LCDUILock::try_lock() {
    if (!m_mutex.try_lock()) return false;
    ++holds().depth;
    return true;
}

void LCDUILock::unlock() {
    ThreadHolds& mine = holds();
    --mine.depth;
    m_mutex.unlock();
    runKeptIfFree(mine);
}

bool LCDUILock::heldByCurrentThread() {
    return holds().depth > 0;
}

bool LCDUILock::anyHeldByCurrentThread() {
    const ThreadHolds& mine = holds();
    return mine.depth > 0 || mine.paintDepth > 0;
}

void LCDUILock::callOutside(std::function<void()> call) {
    if (!call) return;
    ThreadHolds& mine = holds();
    if (mine.depth == 0 && mine.paintDepth == 0) {
        call();
        return;
    }
    mine.kept.push_back(std::move(call));
}

void LCDUILock::notePaintHold() {
    ++holds().paintDepth;
}

void LCDUILock::notePaintRelease() {
    ThreadHolds& mine = holds();
    --mine.paintDepth;
    runKeptIfFree(mine);
}

int LCDUILock::letGo() {
    ThreadHolds& mine = holds();
    const int depth = mine.depth;
    mine.depth = 0;
    for (int i = 0; i < depth; ++i) mutex().m_mutex.unlock();
    // Calls kept before the application's call run before it, as they would have at the hold's end.
    runKeptIfFree(mine);
    return depth;
}

void LCDUILock::takeBack(int depth) {
    for (int i = 0; i < depth; ++i) mutex().m_mutex.lock();
    holds().depth += depth;
}

}  // namespace javax::microedition::lcdui
