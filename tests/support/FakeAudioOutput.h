// An audio output on a virtual clock: voices play only as the test advances time, and each answer
// can be made to fail. Shows what the platform player asked of its output.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>

#include "platform/audio/AudioOutput.h"

namespace testsupport {

class FakeAudioOutput : public platform::AudioOutput {
public:
    struct Voice {
        platform::PcmFormat format;
        platform::AudioBuffer attached = 0;
        platform::VoiceState state = platform::VoiceState::Initial;
        long long playedMicroseconds = 0;
        std::optional<float> gain;
        int starts = 0;
    };

    // Plays every playing voice on by the given time; a voice whose buffer runs out stops.
    void advance(std::chrono::microseconds time) {
        std::lock_guard<std::mutex> guard(m_lock);
        for (auto& [name, voice] : m_voices) {
            if (voice.state != platform::VoiceState::Playing) continue;
            voice.playedMicroseconds += time.count();
            if (framesPlayed(voice) >= bufferFrames(voice)) voice.state = platform::VoiceState::Stopped;
        }
    }
    // Calls the disconnect handler, as an output's own thread would.
    void disconnect() {
        std::function<void()> handler;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            m_disconnected = true;
            handler = m_disconnectHandler;
        }
        if (handler) handler();
    }

    // Failures to answer from now on.
    void failNewVoices(bool fail) {
        with([&] { m_failNewVoice = fail; });
    }
    void answerEnqueue(platform::AudioStatus status) {
        with([&] { m_enqueueAnswer = status; });
    }
    void answerStart(platform::AudioStatus status) {
        with([&] { m_startAnswer = status; });
    }

    std::optional<Voice> voice(platform::AudioVoice name) {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_voices.find(name);
        if (found == m_voices.end()) return std::nullopt;
        return found->second;
    }
    size_t voiceCount() {
        return with([&] { return m_voices.size(); });
    }
    size_t bufferCount() {
        return with([&] { return m_buffers.size(); });
    }
    bool isActive() {
        return with([&] { return m_active; });
    }

    platform::AudioVoice newVoice(const platform::PcmFormat& format) override {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_failNewVoice) return 0;
        platform::AudioVoice name = m_nextName++;
        m_voices[name].format = format;
        return name;
    }
    void disposeVoice(platform::AudioVoice voice) override {
        std::lock_guard<std::mutex> guard(m_lock);
        m_voices.erase(voice);
        std::erase_if(m_buffers, [&](const auto& entry) { return entry.second.voice == voice; });
    }
    platform::AudioBuffer newBuffer(platform::AudioVoice voice, std::span<const int16_t> samples) override {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_voices.find(voice);
        if (found == m_voices.end() || samples.empty()) return 0;
        platform::AudioBuffer name = m_nextName++;
        m_buffers[name] = Buffer{voice, samples.size() / found->second.format.channels};
        return name;
    }
    void freeBuffer(platform::AudioVoice voice, platform::AudioBuffer buffer) override {
        std::lock_guard<std::mutex> guard(m_lock);
        auto found = m_buffers.find(buffer);
        if (found == m_buffers.end() || found->second.voice != voice) return;
        if (auto v = m_voices.find(voice); v != m_voices.end() && v->second.attached == buffer) {
            v->second.attached = 0;
            v->second.state = platform::VoiceState::Initial;
        }
        m_buffers.erase(found);
    }
    platform::AudioStatus enqueue(platform::AudioVoice voice, platform::AudioBuffer buffer) override {
        std::lock_guard<std::mutex> guard(m_lock);
        if (!m_active || m_disconnected) return platform::AudioStatus::SessionNotActive;
        if (m_enqueueAnswer != platform::AudioStatus::Ok) return m_enqueueAnswer;
        auto v = m_voices.find(voice);
        auto b = m_buffers.find(buffer);
        if (v == m_voices.end() || b == m_buffers.end() || b->second.voice != voice ||
            v->second.state == platform::VoiceState::Playing ||
            v->second.state == platform::VoiceState::Paused)
            return platform::AudioStatus::Failed;
        v->second.attached = buffer;
        v->second.state = platform::VoiceState::Initial;
        v->second.playedMicroseconds = 0;
        return platform::AudioStatus::Ok;
    }
    platform::AudioStatus start(platform::AudioVoice voice) override {
        std::lock_guard<std::mutex> guard(m_lock);
        auto v = m_voices.find(voice);
        if (v == m_voices.end()) return platform::AudioStatus::Failed;
        if (m_disconnected) return platform::AudioStatus::SessionNotActive;
        if (m_startAnswer != platform::AudioStatus::Ok) return m_startAnswer;
        Voice& played = v->second;
        ++played.starts;
        if (played.state == platform::VoiceState::Stopped) played.playedMicroseconds = 0;
        // A voice without a buffer has nothing to play and stops at once.
        played.state = played.attached != 0 ? platform::VoiceState::Playing : platform::VoiceState::Stopped;
        return platform::AudioStatus::Ok;
    }
    platform::AudioStatus pause(platform::AudioVoice voice) override {
        return change(voice, [](Voice& v) {
            if (v.state == platform::VoiceState::Playing) v.state = platform::VoiceState::Paused;
        });
    }
    platform::AudioStatus stop(platform::AudioVoice voice) override {
        return change(voice, [](Voice& v) {
            v.state = platform::VoiceState::Initial;
            v.playedMicroseconds = 0;
        });
    }
    platform::AudioStatus setGain(platform::AudioVoice voice, float gain) override {
        return change(voice, [&](Voice& v) { v.gain = gain; });
    }
    std::optional<platform::VoiceState> state(platform::AudioVoice voice) override {
        std::lock_guard<std::mutex> guard(m_lock);
        auto v = m_voices.find(voice);
        if (v == m_voices.end()) return std::nullopt;
        return v->second.state;
    }
    void setActive(bool active) override {
        with([&] { m_active = active; });
    }
    void setDisconnectHandler(std::function<void()> handler) override {
        with([&] { m_disconnectHandler = std::move(handler); });
    }

private:
    struct Buffer {
        platform::AudioVoice voice;
        size_t frames;
    };

    template <class F>
    auto with(F f) -> decltype(f()) {
        std::lock_guard<std::mutex> guard(m_lock);
        return f();
    }
    template <class F>
    platform::AudioStatus change(platform::AudioVoice voice, F f) {
        std::lock_guard<std::mutex> guard(m_lock);
        auto v = m_voices.find(voice);
        if (v == m_voices.end()) return platform::AudioStatus::Failed;
        f(v->second);
        return platform::AudioStatus::Ok;
    }
    static long long framesPlayed(const Voice& v) {
        return v.playedMicroseconds * v.format.sampleRate / 1000000;
    }
    long long bufferFrames(const Voice& v) const {
        auto b = m_buffers.find(v.attached);
        return b == m_buffers.end() ? 0 : static_cast<long long>(b->second.frames);
    }

    std::mutex m_lock;
    std::map<platform::AudioVoice, Voice> m_voices;
    std::map<platform::AudioBuffer, Buffer> m_buffers;
    platform::AudioVoice m_nextName = 1;
    bool m_failNewVoice = false;
    platform::AudioStatus m_enqueueAnswer = platform::AudioStatus::Ok;
    platform::AudioStatus m_startAnswer = platform::AudioStatus::Ok;
    bool m_active = true;
    bool m_disconnected = false;
    std::function<void()> m_disconnectHandler;
};

}  // namespace testsupport
