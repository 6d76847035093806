#include "shell/PaintingThreads.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "library/Thread.h"

namespace javax::microedition::lcdui {

namespace {

struct NotedThread {
    std::thread::id id;
    bool ended = false;
};

// The list and each entry's ended flag, guarded by mutex and signalled on ended. Never freed: a
// thread's exit may mark its entry while the process's statics are being destroyed.
struct Registry {
    std::mutex mutex;
    std::condition_variable ended;
    std::vector<std::shared_ptr<NotedThread>> noted;
    // Each reset starts a new generation, so a thread noted in an earlier launch is noted again. Read
    // without the lock on every paint; changed under it.
    std::atomic<uint64_t> generation{1};
};

Registry& registry() {
    static Registry* shared = new Registry;
    return *shared;
}

// Marks the thread's entry ended as the thread exits, after everything it ran has returned.
struct ThreadMark {
    std::shared_ptr<NotedThread> entry;
    uint64_t generation = 0;
    ~ThreadMark() {
        if (!entry) return;
        Registry& r = registry();
        std::lock_guard<std::mutex> lock(r.mutex);
        entry->ended = true;
        r.ended.notify_all();
    }
};

thread_local ThreadMark mark;

}  // namespace

void PaintingThreads::noteCurrentThread() {
    Registry& r = registry();
    if (mark.generation == r.generation.load()) return;
    // Asked outside the lock: the thread pool has a lock of its own.
    const bool runtimeThread = static_cast<bool>(java::lang::Thread::currentThread());
    std::lock_guard<std::mutex> lock(r.mutex);
    mark.generation = r.generation.load();
    if (!runtimeThread) return;
    mark.entry = std::make_shared<NotedThread>();
    mark.entry->id = std::this_thread::get_id();
    r.noted.push_back(mark.entry);
}

bool PaintingThreads::waitForOthers(std::chrono::milliseconds limit) {
    Registry& r = registry();
    const std::thread::id self = std::this_thread::get_id();
    std::unique_lock<std::mutex> lock(r.mutex);
    const bool allEnded = r.ended.wait_for(lock, limit, [&] {
        return std::all_of(r.noted.begin(), r.noted.end(),
                           [&](const auto& t) { return t->ended || t->id == self; });
    });
    // The calling thread goes too: it waits for the others because it will not paint again.
    std::erase_if(r.noted, [&](const auto& t) { return t->ended || t->id == self; });
    return allEnded;
}

void PaintingThreads::reset() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.generation.fetch_add(1);
    r.noted.clear();
}

int PaintingThreads::count() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return static_cast<int>(r.noted.size());
}

}  // namespace javax::microedition::lcdui
