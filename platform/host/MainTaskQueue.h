// Work posted to a host's main thread from any thread: the queue behind Host::runOnMain, shared by the
// back ends. The host wakes its loop with the wake function and runs the queue there; a poster that
// waits is released when its task has run, or when the queue closes without running it.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

namespace platform {

class MainTaskQueue {
public:
    // wake is called (outside the lock) after each post, from the posting thread.
    explicit MainTaskQueue(std::function<void()> wake);
    MainTaskQueue(const MainTaskQueue&) = delete;
    MainTaskQueue& operator=(const MainTaskQueue&) = delete;
    ~MainTaskQueue();

    // Queues fn. With wait, blocks until the main thread ran it; an exception it threw is rethrown
    // here. Never call with wait on the main thread itself (the host runs such a task inline). Answers
    // false, and drops the task, when the queue is closed (counted in droppedTasks).
    bool post(std::function<void()> fn, bool wait);

    // Main thread: runs the tasks queued before this call, in order; answers how many ran. A task that
    // throws with no poster waiting has its exception reported on standard error and counted.
    int runPending();

    // Refuses later posts; what is queued stays for a last runPending. Open again with reopen.
    void close();
    void reopen();
    // Drops what is queued, releasing its waiters (their post answers false).
    void discardPending();

    uint64_t droppedTasks() const;
    uint64_t failedTasks() const;

private:
    struct Completion;
    struct Task {
        std::function<void()> fn;
        std::shared_ptr<Completion> completion;
    };

    std::function<void()> m_wake;
    // Guards m_tasks, m_closed and the counters.
    mutable std::mutex m_lock;
    std::deque<Task> m_tasks;
    bool m_closed = false;
    uint64_t m_dropped = 0;
    uint64_t m_failed = 0;
};

}  // namespace platform
