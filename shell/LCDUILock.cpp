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
    // Made on the first kept call. Plain fields, so that they outlive the thread's other thread_locals:
    // a form freed by a static's destructor at exit still finds them.
    std::deque<std::function<void()>>* kept = nullptr;
    // The thread is ending: a call that would be kept runs at once.
    bool ending = false;
};

thread_local ThreadHolds perThread;

// Frees the kept list when the thread ends.
struct KeptListOwner {
    ~KeptListOwner() {
        perThread.ending = true;
        delete std::exchange(perThread.kept, nullptr);
    }
};

ThreadHolds& holds() {
    return perThread;
}

bool keep(ThreadHolds& mine, std::function<void()>& call) {
    if (mine.ending) return false;
    if (mine.kept == nullptr) {
        thread_local KeptListOwner owner;
        (void)owner;
        mine.kept = new std::deque<std::function<void()>>();
    }
    mine.kept->push_back(std::move(call));
    return true;
}

bool anyKept(const ThreadHolds& mine) {
    return mine.kept != nullptr && !mine.kept->empty();
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
    while (anyKept(mine)) {
        std::function<void()> call = std::move(mine.kept->front());
        mine.kept->pop_front();
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
    if (mine.depth == 0 && mine.paintDepth == 0 && !mine.running && anyKept(mine)) runKept(mine);
}

}  // namespace

LCDUILock& LCDUILock::mutex() {
    static LCDUILock lock;
    return lock;
}

// A thread holds the mutex once however deep its holds nest: a nested hold only counts, so that the
// many small operations a layout or a paint calls under its own hold cost no mutex call each.
void LCDUILock::lock() {
    ThreadHolds& mine = holds();
    if (mine.depth == 0) m_mutex.lock();
    ++mine.depth;
}

bool LCDUILock::try_lock() {
    ThreadHolds& mine = holds();
    if (mine.depth == 0 && !m_mutex.try_lock()) return false;
    ++mine.depth;
    return true;
}

void LCDUILock::unlock() {
    ThreadHolds& mine = holds();
    if (--mine.depth > 0) return;
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
    if ((mine.depth == 0 && mine.paintDepth == 0) || !keep(mine, call)) call();
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
    if (depth > 0) mutex().m_mutex.unlock();
    // Calls kept before the application's call run before it, as they would have at the hold's end.
    runKeptIfFree(mine);
    return depth;
}

void LCDUILock::takeBack(int depth) {
    if (depth == 0) return;
    ThreadHolds& mine = holds();
    // A hold taken inside the call and still open would already hold the mutex.
    if (mine.depth == 0) mutex().m_mutex.lock();
    mine.depth += depth;
}

}  // namespace javax::microedition::lcdui
