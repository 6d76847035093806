#include "platform/location/LocationReplay.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "platform/host/Host.h"

namespace platform {

namespace {

long long steadyMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A wait never sleeps longer than this without looking at the clock again, so that a clock a test steps
// is seen even if the test forgets wake().
constexpr long long kLongestSleepMs = 100;

}  // namespace

LocationReplay& LocationReplay::instance() {
    static LocationReplay replay;
    return replay;
}

LocationReplay::~LocationReplay() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quitting = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

bool LocationReplay::loadScript(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "location script " + path + ": cannot be read: " + std::strerror(errno);
        return false;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        if (error) *error = "location script " + path + ": read failed";
        return false;
    }
    LocationScript script = parseLocationScript(text);
    for (const std::string& problem : script.problems)
        std::fprintf(stderr, "location script %s: %s, skipped\n", path.c_str(), problem.c_str());
    setFixes(std::move(script.fixes));
    return true;
}

void LocationReplay::setFixes(std::vector<ScriptedFix> fixes) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_fixes = std::move(fixes);
        m_next = 0;
        m_scriptTimeAtStop = 0;
        m_startedAt = now();
    }
    m_changed.notify_all();
}

long long LocationReplay::now() const {
    return m_clock ? m_clock() : steadyMillis();
}

long long LocationReplay::scriptTimeLocked() const {
    return m_scriptTimeAtStop + (m_running ? now() - m_startedAt : 0);
}

void LocationReplay::start() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_running || m_quitting) return;
        m_running = true;
        m_startedAt = now();
        if (!m_thread.joinable()) m_thread = std::thread([this] { replayLoop(); });
    }
    m_changed.notify_all();
}

void LocationReplay::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_running) return;
        m_scriptTimeAtStop = scriptTimeLocked();
        m_running = false;
    }
    m_changed.notify_all();
}

void LocationReplay::setClock(Clock clock) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        // Script time so far is kept; it goes on from the new clock's present.
        m_scriptTimeAtStop = scriptTimeLocked();
        m_clock = clock;
        m_startedAt = now();
    }
    m_changed.notify_all();
}

void LocationReplay::wake() {
    m_changed.notify_all();
}

size_t LocationReplay::delivered() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_next;
}

long long LocationReplay::scriptTime() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return scriptTimeLocked();
}

void LocationReplay::replayLoop() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_quitting) {
        if (!m_running || m_next >= m_fixes.size()) {
            m_changed.wait(lock);
            continue;
        }
        const long long wait = m_fixes[m_next].timeMs - scriptTimeLocked();
        if (wait > 0) {
            m_changed.wait_for(lock, std::chrono::milliseconds(std::min(wait, kLongestSleepMs)));
            continue;
        }
        const ScriptedFix fix = m_fixes[m_next++];
        lock.unlock();
        deliver(fix);
        lock.lock();
    }
}

void LocationReplay::deliver(const ScriptedFix& fix) {
    // The feed is looked up when the fix runs, so that one withdrawn meanwhile receives nothing.
    auto hand = [fix] {
        LocationFeed feed = locationFeed();
        if (feed == nullptr) return;
        feed(fix.latitude, fix.longitude, fix.horizontalAccuracy, fix.altitude, fix.verticalAccuracy, 0.0,
             fix.hasDescription ? fix.description.c_str() : nullptr);
    };
    // Not waited for: a main thread that is itself stopping the service must never wait on this thread.
    if (Host* host = currentHost()) {
        host->runOnMain(hand, false);
    } else {
        hand();
    }
}

bool setLocationScriptFile(const std::string& path) {
    std::string error;
    if (LocationReplay::instance().loadScript(path, &error)) return true;
    std::fprintf(stderr, "%s\n", error.c_str());
    return false;
}

}  // namespace platform
