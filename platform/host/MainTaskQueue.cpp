#include "platform/host/MainTaskQueue.h"

#include <cstdio>
#include <exception>
#include <utility>

namespace platform {

// Where a waiting poster learns that its task ran (or never will).
struct MainTaskQueue::Completion {
    // Guards the fields below.
    std::mutex lock;
    std::condition_variable done;
    bool finished = false;
    bool ran = false;
    std::exception_ptr failure;

    void finish(bool taskRan, std::exception_ptr error) {
        {
            std::lock_guard<std::mutex> guard(lock);
            finished = true;
            ran = taskRan;
            failure = std::move(error);
        }
        done.notify_all();
    }
};

namespace {

void reportFailure(const std::exception_ptr& failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "quill: a main-thread task failed: %s\n", error.what());
    } catch (...) {
        std::fprintf(stderr, "quill: a main-thread task failed with an exception\n");
    }
}

}  // namespace

MainTaskQueue::MainTaskQueue(std::function<void()> wake) : m_wake(std::move(wake)) {}

MainTaskQueue::~MainTaskQueue() {
    close();
    discardPending();
}

bool MainTaskQueue::post(std::function<void()> fn, bool wait) {
    Task task{std::move(fn), wait ? std::make_shared<Completion>() : nullptr};
    std::shared_ptr<Completion> completion = task.completion;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_closed) {
            ++m_dropped;
            return false;
        }
        m_tasks.push_back(std::move(task));
    }
    if (m_wake) m_wake();
    if (!completion) return true;
    std::unique_lock<std::mutex> guard(completion->lock);
    completion->done.wait(guard, [&] { return completion->finished; });
    if (completion->failure) std::rethrow_exception(completion->failure);
    return completion->ran;
}

int MainTaskQueue::runPending() {
    std::deque<Task> batch;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        batch.swap(m_tasks);
    }
    int ran = 0;
    for (Task& task : batch) {
        std::exception_ptr failure;
        try {
            task.fn();
        } catch (...) {
            failure = std::current_exception();
        }
        ++ran;
        if (task.completion) {
            task.completion->finish(true, failure);
        } else if (failure) {
            // Nobody waits for this task: say so rather than lose the exception or end the loop.
            reportFailure(failure);
            std::lock_guard<std::mutex> guard(m_lock);
            ++m_failed;
        }
    }
    return ran;
}

void MainTaskQueue::close() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_closed = true;
}

void MainTaskQueue::discardPending() {
    std::deque<Task> dropped;
    {
        std::lock_guard<std::mutex> guard(m_lock);
        dropped.swap(m_tasks);
        m_dropped += dropped.size();
    }
    for (Task& task : dropped) {
        if (task.completion) task.completion->finish(false, nullptr);
    }
}

void MainTaskQueue::reopen() {
    std::lock_guard<std::mutex> guard(m_lock);
    m_closed = false;
}

uint64_t MainTaskQueue::droppedTasks() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_dropped;
}

uint64_t MainTaskQueue::failedTasks() const {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_failed;
}

}  // namespace platform
