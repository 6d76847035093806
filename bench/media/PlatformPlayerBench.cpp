// The platform player's costs beside baselines run in the same process: decoding a clip (against
// SDL's own WAV reader), and the start latency, from playSoundData to the first non-silent frame the
// real-time loopback mixes (against a minimal SDL2 queue player, from its play to the device taking
// its first block).
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <random>
#include <thread>

#include "bench/media/Sdl2QueuePlayer.h"
#include "media/player_internalPF.h"
#include "platform/audio/AudioSession.h"
#include "platform/audio/OpenALOutput.h"
#include "platform/codecs/SoundDecoder.h"
#include "platform/codecs/SoundEncoder.h"

namespace {

using Clock = std::chrono::steady_clock;
using platform::SoundFileType;

constexpr int kRate = 44100;

// Both outputs mix in blocks of about 10 ms; starting at a random point of the block keeps the loop
// from locking onto the output's rhythm (and measuring always the best or the worst case).
void waitRandomPhase(std::minstd_rand& random) {
    std::this_thread::sleep_for(std::chrono::microseconds(random() % 12000));
}

platform::DecodedSound tone(long long milliseconds) {
    platform::DecodedSound sound;
    sound.format = platform::PcmFormat{kRate, 2, 16};
    size_t frames = static_cast<size_t>(kRate * milliseconds / 1000);
    sound.samples.resize(frames * 2);
    for (size_t f = 0; f < frames; ++f) {
        auto value = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 440.0 * double(f) / kRate));
        sound.samples[2 * f] = sound.samples[2 * f + 1] = value;
    }
    return sound;
}

void decode(benchmark::State& state, SoundFileType type) {
    auto clip = platform::encodeSound(tone(state.range(0)), type);
    if (!clip) {
        state.SkipWithError("the library cannot write this type");
        return;
    }
    for (auto _ : state) {
        auto sound = platform::decodeSound(*clip);
        benchmark::DoNotOptimize(sound);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * clip->size()));
}

void BM_DecodeWav(benchmark::State& state) {
    decode(state, SoundFileType::WavPcm16);
}
void BM_DecodeOggVorbis(benchmark::State& state) {
    decode(state, SoundFileType::OggVorbis);
}
void BM_DecodeMp3(benchmark::State& state) {
    decode(state, SoundFileType::Mp3);
}

void BM_BaselineSdlLoadWav(benchmark::State& state) {
    auto clip = platform::encodeSound(tone(state.range(0)), SoundFileType::WavPcm16);
    for (auto _ : state) {
        auto sound = mediabench::Sdl2QueuePlayer::loadWav(*clip);
        if (!sound) state.SkipWithError("SDL cannot read the clip");
        benchmark::DoNotOptimize(sound);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * clip->size()));
}

BENCHMARK(BM_DecodeWav)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BaselineSdlLoadWav)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeOggVorbis)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DecodeMp3)->Arg(200)->Arg(1000)->Arg(5000)->Unit(benchmark::kMicrosecond);

// Sees the loopback's mixed blocks and stamps the first loud one after being armed.
struct FirstSound {
    std::mutex lock;
    std::condition_variable heard;
    bool armed = false;
    std::optional<Clock::time_point> at;

    void see(std::span<const int16_t> block) {
        bool loud = false;
        for (int16_t s : block) loud = loud || std::abs(int(s)) > 64;
        std::lock_guard<std::mutex> guard(lock);
        if (armed && loud && !at) {
            at = Clock::now();
            heard.notify_all();
        }
    }
};

void BM_StartLatencyLoopback(benchmark::State& state) {
    auto loopback = platform::OpenALOutput::openLoopback(platform::OpenALOutput::Pacing::RealTime);
    if (!loopback) {
        state.SkipWithError("no loopback device");
        return;
    }
    FirstSound first;
    loopback->setRenderObserver([&](std::span<const int16_t> block) { first.see(block); });
    platform::AudioSession::setOutput(std::shared_ptr<platform::AudioOutput>(std::move(loopback)));
    auto clip = *platform::encodeSound(tone(200), SoundFileType::WavPcm16);
    javax::microedition::media::player_internalPF player;
    player.setSoundData(clip.data(), static_cast<long long>(clip.size()));

    std::minstd_rand random(7);
    for (auto _ : state) {
        // Start from silence: the previous play's fade must be over.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        waitRandomPhase(random);
        {
            std::lock_guard<std::mutex> guard(first.lock);
            first.at.reset();
            first.armed = true;
        }
        Clock::time_point started = Clock::now();
        if (!player.playSoundData()) state.SkipWithError("the player did not start");
        std::unique_lock<std::mutex> guard(first.lock);
        if (!first.heard.wait_for(guard, std::chrono::seconds(2), [&] { return first.at.has_value(); })) {
            state.SkipWithError("nothing was heard");
            break;
        }
        state.SetIterationTime(std::chrono::duration<double>(*first.at - started).count());
        first.armed = false;
        guard.unlock();
        player.seekToTime(0);
    }
    player.destroy();
    platform::AudioSession::shutdown();
}

void BM_BaselineStartLatencySdl2Queue(benchmark::State& state) {
    platform::DecodedSound pcm = tone(200);
    auto sdl = mediabench::Sdl2QueuePlayer::open(pcm.format);
    if (!sdl) {
        state.SkipWithError("SDL opens no audio device");
        return;
    }
    const uint32_t total = static_cast<uint32_t>(pcm.samples.size() * sizeof(int16_t));
    std::minstd_rand random(7);
    for (auto _ : state) {
        waitRandomPhase(random);
        Clock::time_point started = Clock::now();
        if (!sdl->play(pcm.samples)) state.SkipWithError("SDL did not queue the clip");
        auto deadline = started + std::chrono::seconds(2);
        while (sdl->queuedBytes() >= total && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - started).count());
        sdl->pause();
    }
}

BENCHMARK(BM_StartLatencyLoopback)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BaselineStartLatencySdl2Queue)->UseManualTime()->Iterations(100)->Unit(benchmark::kMillisecond);

}  // namespace
