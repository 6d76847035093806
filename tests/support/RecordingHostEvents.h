// A stand-in for the shell on the far side of a Host: records every event as a line of text, checks
// that each one arrives on the host's main thread, and can end the loop when told to terminate.
#pragma once

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "platform/host/Host.h"

namespace testsupport {

class RecordingHostEvents : public platform::HostEvents {
public:
    // With quitOnTerminating, terminating() asks the host to quit with status 0, as the shell does once
    // its tear-down is done.
    explicit RecordingHostEvents(platform::Host& host, bool quitOnTerminating = true)
        : m_host(host), m_quitOnTerminating(quitOnTerminating) {}

    void launched() override { record("launched"); }
    void touchDown(int x, int y) override { record("down " + pair(x, y)); }
    void touchDragged(int x, int y) override { record("drag " + pair(x, y)); }
    void touchUp(int x, int y) override { record("up " + pair(x, y)); }
    void keyPressed(int keyCode) override { record("key-press " + std::to_string(keyCode)); }
    void keyReleased(int keyCode) override { record("key-release " + std::to_string(keyCode)); }
    bool highLevelScreenShown() override { return screenShown.load(); }
    void accelerated(double x, double y, double z) override {
        record("tilt " + number(x) + " " + number(y) + " " + number(z));
    }
    void sizeChanged(int width, int height) override { record("size " + pair(width, height)); }
    void paused() override { record("paused"); }
    void resumed() override { record("resumed"); }
    void terminating() override {
        record("terminating");
        if (m_quitOnTerminating) m_host.quit(0);
    }

    // What highLevelScreenShown answers the host.
    std::atomic<bool> screenShown{false};

    std::vector<std::string> log() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_log;
    }
    // The lines that start with prefix, in order.
    std::vector<std::string> linesStartingWith(const std::string& prefix) const {
        std::vector<std::string> lines;
        for (const std::string& line : log()) {
            if (line.rfind(prefix, 0) == 0) lines.push_back(line);
        }
        return lines;
    }
    int eventsOffMainThread() const {
        std::lock_guard<std::mutex> guard(m_lock);
        return m_offMainThread;
    }

private:
    static std::string pair(int a, int b) { return std::to_string(a) + " " + std::to_string(b); }
    static std::string number(double value) {
        char text[32];
        std::snprintf(text, sizeof text, "%.3f", value);
        return text;
    }
    void record(std::string line) {
        const bool onMain = m_host.isMainThread();
        std::lock_guard<std::mutex> guard(m_lock);
        if (!onMain) ++m_offMainThread;
        m_log.push_back(std::move(line));
    }

    platform::Host& m_host;
    const bool m_quitOnTerminating;
    // Guards the log and the count.
    mutable std::mutex m_lock;
    std::vector<std::string> m_log;
    int m_offMainThread = 0;
};

}  // namespace testsupport
