// The sound output that platform players play through: voices, each playing one buffer of 16-bit
// PCM. Back ends: OpenALOutput (a sound device, or a loopback device) and the tests' fake.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>

namespace platform {

// The format of a decoded clip: interleaved signed 16-bit samples.
struct PcmFormat {
    int sampleRate = 0;
    int channels = 0;
    int bitsPerChannel = 16;
    bool operator==(const PcmFormat&) const = default;
};

// Names of voices and buffers; 0 names none.
using AudioVoice = uint32_t;
using AudioBuffer = uint32_t;

enum class AudioStatus {
    Ok,
    // The session is inactive or its device went away: nothing will play on this output.
    SessionNotActive,
    Failed,
};

// A voice is Initial when it has been made or rewound, Playing, Paused, or Stopped once its buffer
// has been played out.
enum class VoiceState { Initial, Playing, Paused, Stopped };

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    virtual AudioVoice newVoice(const PcmFormat& format) = 0;
    // Stops the voice and frees it with any buffer still attached.
    virtual void disposeVoice(AudioVoice voice) = 0;
    // A buffer holding the samples, in the format of the voice it is made for.
    virtual AudioBuffer newBuffer(AudioVoice voice, std::span<const int16_t> samples) = 0;
    // Takes the buffer off the voice (stopping it) and frees it.
    virtual void freeBuffer(AudioVoice voice, AudioBuffer buffer) = 0;

    // Hands the buffer to a voice that is not playing, to be played from its first frame.
    virtual AudioStatus enqueue(AudioVoice voice, AudioBuffer buffer) = 0;
    // Plays from the start, or on from where a pause left the voice.
    virtual AudioStatus start(AudioVoice voice) = 0;
    virtual AudioStatus pause(AudioVoice voice) = 0;
    // Stops at once and rewinds: the voice becomes Initial with its buffer still attached.
    virtual AudioStatus stop(AudioVoice voice) = 0;
    virtual AudioStatus setGain(AudioVoice voice, float gain) = 0;
    // Empty when the voice cannot be asked.
    virtual std::optional<VoiceState> state(AudioVoice voice) = 0;

    // An inactive output refuses enqueues with SessionNotActive; voices already playing go on.
    virtual void setActive(bool active) = 0;
    // Called once, on a thread of the output's own, when its device goes away.
    virtual void setDisconnectHandler(std::function<void()> handler) = 0;
};

}  // namespace platform
