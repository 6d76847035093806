// A host for tests that need one: it runs main-thread work inline on the calling thread and records
// what the shell asked of it (vibrations, addresses opened, frames handed over).
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "platform/host/Host.h"

namespace testsupport {

class RecordingHost : public platform::Host {
public:
    // Installs itself as the current host for its lifetime.
    RecordingHost() { platform::setCurrentHost(this); }
    ~RecordingHost() override { platform::setCurrentHost(nullptr); }
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    int run(platform::HostEvents& events) override {
        events.launched();
        return 0;
    }
    void quit(int) override {}
    void runOnMain(std::function<void()> fn, bool) override { fn(); }
    bool isMainThread() const override { return true; }
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
    std::mutex m_mutex;
};

}  // namespace testsupport
