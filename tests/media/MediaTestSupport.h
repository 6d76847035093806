// Fixtures of the platform player tests: the outputs a player can be tested on (the fake on a
// virtual clock and a loopback rendered by the test), and the stand-in for the media manager's walk
// over its players when an interruption begins.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <vector>

#include "media/player_internalPF.h"
#include "platform/audio/AudioSession.h"
#include "platform/audio/OpenALOutput.h"
#include "tests/support/FakeAudioOutput.h"
#include "tests/support/SoundClips.h"

namespace mediatest {

using namespace std::chrono_literals;
using javax::microedition::media::player_internalPF;

constexpr int kClipRate = platform::OpenALOutput::kLoopbackSampleRate;

// A WAV clip of a tone lasting the given time.
inline std::vector<uint8_t> toneClip(std::chrono::milliseconds length, int channels = 1) {
    return testsupport::wavBytes(
        testsupport::sineTone(kClipRate, channels, static_cast<size_t>(kClipRate * length.count() / 1000)));
}

enum class OutputKind { Fake, Loopback };

inline const char* nameOf(OutputKind kind) {
    return kind == OutputKind::Fake ? "Fake" : "Loopback";
}

// One output of either kind, put in place as the session's output.
class TestOutput {
public:
    explicit TestOutput(OutputKind kind) : m_kind(kind) {
        if (kind == OutputKind::Fake) {
            m_fake = std::make_shared<testsupport::FakeAudioOutput>();
            m_output = m_fake;
        } else {
            m_loopback = platform::OpenALOutput::openLoopback(platform::OpenALOutput::Pacing::ByCaller);
            m_output = m_loopback;
        }
    }

    bool ready() const { return m_output != nullptr; }
    OutputKind kind() const { return m_kind; }
    const std::shared_ptr<platform::AudioOutput>& output() const { return m_output; }
    testsupport::FakeAudioOutput* fake() const { return m_fake.get(); }

    // Plays time on; answers the loudest sample heard (always 0 on the fake).
    int advance(std::chrono::milliseconds time) {
        if (m_fake) {
            m_fake->advance(time);
            return 0;
        }
        size_t frames = static_cast<size_t>(kClipRate * time.count() / 1000);
        int loudest = 0;
        std::vector<int16_t> block;
        while (frames > 0) {
            size_t n = std::min<size_t>(frames, 256);
            block.assign(n * 2, 0);
            m_loopback->render(block);
            for (int16_t s : block) loudest = std::max(loudest, std::abs(int(s)));
            frames -= n;
        }
        return loudest;
    }

private:
    OutputKind m_kind;
    std::shared_ptr<testsupport::FakeAudioOutput> m_fake;
    std::shared_ptr<platform::OpenALOutput> m_loopback;
    std::shared_ptr<platform::AudioOutput> m_output;
};

// The players an interruption pauses, standing in for the media manager's table.
class InterruptionWalk {
public:
    static void add(player_internalPF* player) {
        std::lock_guard<std::mutex> guard(lock());
        players().push_back(player);
    }
    static void clear() {
        std::lock_guard<std::mutex> guard(lock());
        players().clear();
    }
    static void install() { javax::microedition::media::interruptionPauseAllPlayers.store(&pauseAll); }

private:
    // What each player's interruptPause does.
    static void pauseAll() {
        std::lock_guard<std::mutex> guard(lock());
        for (player_internalPF* player : players()) {
            player->pausePlayback();
            player->markInterrupted();
        }
    }
    static std::mutex& lock() {
        static std::mutex m;
        return m;
    }
    static std::vector<player_internalPF*>& players() {
        static std::vector<player_internalPF*> list;
        return list;
    }
};

// Leaves the process's audio state as a fresh process has it.
inline void resetAudioState() {
    platform::AudioSession::shutdown();
    _initialised_audio_session.store(0);
    _in_an_interrupt.store(0);
    javax::microedition::media::interruptionPauseAllPlayers.store(nullptr);
    InterruptionWalk::clear();
}

}  // namespace mediatest
