// The process's audio session: the one output that every platform player plays through, opened at
// first use, and the interruption listener told when the system takes sound away and gives it back.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio/AudioOutput.h"

namespace platform {

class AudioSession {
public:
    using InterruptionListener = void (*)(void* userData, uint32_t state);
    static constexpr uint32_t kEndInterruption = 0;
    static constexpr uint32_t kBeginInterruption = 1;
    enum class Category { None, AmbientSound, MediaPlayback };

    // The output, opened at the first call: the sound device, or when none opens (a machine without
    // sound) a loopback device paced in real time, so that clips still end on time. Null when
    // neither opens; the next call tries again.
    static std::shared_ptr<AudioOutput> output();
    // Puts another output in place (tests; a device that went away). Voices made on the old one
    // stay there until their players free them.
    static void setOutput(std::shared_ptr<AudioOutput> output);

    // Installs the interruption listener and opens the output. False when no output opens.
    static bool initialize(InterruptionListener listener, void* userData);
    static void setCategory(Category category);
    static Category category();
    // An inactive session's output refuses new buffers.
    static void setActive(bool active);
    static bool isActive();

    // The entry the system calls when audio is interrupted (kBeginInterruption) and when the
    // interruption ends (kEndInterruption): passes the state to the listener.
    static void interruption(uint32_t state);

    // Drops the output, the listener and the category (the end of the process, and tests).
    static void shutdown();

private:
    // The output's device went away: the players are interrupted, a new output takes its place,
    // and the interruption ends.
    static void outputDisconnected(const AudioOutput* output);
    static void adopt(const std::shared_ptr<AudioOutput>& output);
};

}  // namespace platform
