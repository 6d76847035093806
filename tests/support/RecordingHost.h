// The host for tests that need one: it records what the shell asked of it (vibrations, addresses
// opened, frames handed over) and runs main-thread work either inline on the calling thread or, for
// tests that must see which thread a platform stand-in calls back on, on a thread of its own.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/host/Host.h"

namespace testsupport {

class RecordingHost : public platform::Host {
public:
    enum class MainThread {
        // Every thread counts as the main thread; runOnMain runs its work inline.
        Caller,
        // A plain thread of the host's own runs what runOnMain posts, in order; only it is the main
        // thread.
        Own,
    };

    // Installs itself as the current host for its lifetime.
    explicit RecordingHost(MainThread mainThread = MainThread::Caller) {
        if (mainThread == MainThread::Own) m_thread = std::thread([this] { loop(); });
        platform::setCurrentHost(this);
    }
    ~RecordingHost() override {
        platform::setCurrentHost(nullptr);
        if (!m_thread.joinable()) return;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quitting = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // The host's own main thread; with MainThread::Caller, no thread.
    std::thread::id mainThread() const { return m_thread.get_id(); }

    int run(platform::HostEvents& events) override {
        events.launched();
        return 0;
    }
    void quit(int) override {}
    void runOnMain(std::function<void()> fn, bool wait) override {
        if (isMainThread()) {
            fn();
            return;
        }
        bool done = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_queue.push_back([this, fn = std::move(fn), &done, wait] {
                fn();
                if (!wait) return;
                std::lock_guard<std::mutex> doneLock(m_mutex);
                done = true;
            });
        }
        m_changed.notify_all();
        if (!wait) return;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [&] { return done; });
    }
    bool isMainThread() const override {
        return !m_thread.joinable() || std::this_thread::get_id() == m_thread.get_id();
    }
    platform::HostScreen screen() const override { return screenAnswer; }
    void presentFrame(const std::uint32_t*, int, int, int) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++framesPresented;
    }
    bool showLaunchImage(const std::string&) override { return false; }
    void vibrate(int milliseconds) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        vibrations.push_back(milliseconds);
    }
    bool openUrl(const std::string& url) override {
        std::lock_guard<std::mutex> lock(m_mutex);
        urlsOpened.push_back(url);
        return openUrlAnswer;
    }

    platform::HostScreen screenAnswer{320, 480, 1, "iPhone", "iPhone3,1"};
    bool openUrlAnswer = true;
    int framesPresented = 0;
    std::vector<int> vibrations;
    std::vector<std::string> urlsOpened;

private:
    void loop() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_changed.wait(lock, [this] { return m_quitting || !m_queue.empty(); });
            if (m_queue.empty()) return;
            std::function<void()> next = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            next();
            m_changed.notify_all();
            lock.lock();
        }
    }

    // Guards the records above and the queue below.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_queue;
    bool m_quitting = false;
    std::thread m_thread;
};

}  // namespace testsupport
