// The audio output on OpenAL Soft: one device and context, one source per voice and one OpenAL
// buffer per buffer. The device is either the system's sound device or a loopback device, which
// renders into memory: paced in real time by a thread of its own (a machine without sound), or
// rendered by its owner (tests that need a deterministic end of playback).
#pragma once

#include <memory>
#include <span>

#include "platform/audio/AudioOutput.h"

namespace platform {

class OpenALOutput final : public AudioOutput {
public:
    enum class Pacing { RealTime, ByCaller };
    static constexpr int kLoopbackSampleRate = 44100;
    static constexpr int kLoopbackChannels = 2;

    // Null when no sound device opens.
    static std::unique_ptr<OpenALOutput> openDevice();
    // Null when OpenAL offers no loopback device.
    static std::unique_ptr<OpenALOutput> openLoopback(Pacing pacing, int sampleRate = kLoopbackSampleRate);
    ~OpenALOutput() override;

    bool isLoopback() const;
    int sampleRate() const;

    // Loopback paced by its caller: mixes the next out.size() / 2 stereo frames into out.
    bool render(std::span<int16_t> out);
    // Loopback paced in real time: sees every block of stereo frames mixed, on the render thread.
    void setRenderObserver(std::function<void(std::span<const int16_t>)> observer);

    AudioVoice newVoice(const PcmFormat& format) override;
    void disposeVoice(AudioVoice voice) override;
    AudioBuffer newBuffer(AudioVoice voice, std::span<const int16_t> samples) override;
    void freeBuffer(AudioVoice voice, AudioBuffer buffer) override;
    AudioStatus enqueue(AudioVoice voice, AudioBuffer buffer) override;
    AudioStatus start(AudioVoice voice) override;
    AudioStatus pause(AudioVoice voice) override;
    AudioStatus stop(AudioVoice voice) override;
    AudioStatus setGain(AudioVoice voice, float gain) override;
    std::optional<VoiceState> state(AudioVoice voice) override;
    void setActive(bool active) override;
    void setDisconnectHandler(std::function<void()> handler) override;

private:
    struct Device;
    // Makes one source call on a voice this output made, under the device's lock and context: Failed
    // for an unknown voice or an OpenAL error.
    template <class SourceCall>
    AudioStatus callOnVoice(AudioVoice voice, SourceCall call);
    explicit OpenALOutput(std::unique_ptr<Device> device);
    std::unique_ptr<Device> m_device;
};

}  // namespace platform
