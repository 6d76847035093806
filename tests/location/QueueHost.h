// A host whose main thread is a plain thread running what runOnMain posts, in order, so that tests can
// see which thread a platform stand-in calls back on.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/host/Host.h"

namespace locationtest {

class QueueHost : public platform::Host {
public:
    QueueHost() : m_thread([this] { loop(); }) { platform::setCurrentHost(this); }
    ~QueueHost() override {
        platform::setCurrentHost(nullptr);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quitting = true;
        }
        m_changed.notify_all();
        m_thread.join();
    }

    std::thread::id mainThread() const { return m_thread.get_id(); }

    int run(platform::HostEvents&) override { return 0; }
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
    bool isMainThread() const override { return std::this_thread::get_id() == m_thread.get_id(); }
    platform::HostScreen screen() const override { return {}; }
    void presentFrame(const std::uint32_t*, int, int, int) override {}
    bool showLaunchImage(const std::string&) override { return false; }
    void vibrate(int) override {}
    bool openUrl(const std::string&) override { return false; }

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

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_queue;
    bool m_quitting = false;
    std::thread m_thread;
};

}  // namespace locationtest
