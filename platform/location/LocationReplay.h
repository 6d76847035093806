// The desktop's location service: replays a location script (LocationScript.h) through the registered
// feed on the host's main thread (inline when no host is installed). Script time runs only while the
// service is started, so a stop pauses the replay and the next start resumes it. Without a script the
// service starts and stops and no fix arrives.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/location/LocationScript.h"
#include "platform/location/LocationService.h"

namespace platform {

class LocationReplay : public LocationService {
public:
    // Milliseconds of a clock that never goes back.
    using Clock = long long (*)();

    // The one the program uses.
    static LocationReplay& instance();

    LocationReplay() = default;
    // Ends the replay thread.
    ~LocationReplay() override;
    LocationReplay(const LocationReplay&) = delete;
    LocationReplay& operator=(const LocationReplay&) = delete;

    // Reads a script file; refused lines are reported on standard error with their numbers and skipped.
    // False, with the reason in *error, when the file cannot be read (the script is then unchanged).
    // The replay starts over from the script's first line.
    bool loadScript(const std::string& path, std::string* error = nullptr);
    void setFixes(std::vector<ScriptedFix> fixes);

    void start() override;
    void stop() override;

    // A null clock is the steady clock. After stepping its own clock a test calls wake().
    void setClock(Clock clock);
    void wake();
    // Fixes handed on so far, and the script's clock: milliseconds run while started.
    size_t delivered();
    long long scriptTime();

private:
    long long now() const;
    // With m_mutex held: script milliseconds passed while started.
    long long scriptTimeLocked() const;
    void replayLoop();
    static void deliver(const ScriptedFix& fix);

    // Guards everything below; never held while a fix is handed on.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<ScriptedFix> m_fixes;
    size_t m_next = 0;
    bool m_running = false;
    bool m_quitting = false;
    long long m_scriptTimeAtStop = 0;
    long long m_startedAt = 0;
    Clock m_clock = nullptr;
    // Made by the first start.
    std::thread m_thread;
};

// The program's --location-script flag: loads the file into the program's replay. False, with the
// reason on standard error, when it cannot be read.
bool setLocationScriptFile(const std::string& path);

}  // namespace platform
