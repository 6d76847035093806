#include "tools/resbuild/CueSynthesizer.h"

#include <algorithm>
#include <cmath>

#include "platform/codecs/SoundEncoder.h"

namespace resbuild {

namespace {

enum class Wave { Sine, Square, Noise };

// One sound inside a cue: a frequency sweep from startHz to endHz, shaped by a short attack and a
// decay to silence at its end.
struct Voice {
    double start;  // seconds
    double length;
    double startHz;
    double endHz;
    Wave wave;
    double level;  // 0..1
};

struct Cue {
    double length;
    std::vector<Voice> voices;
};

// Notes of the chimes, in Hz.
constexpr double C5 = 523.25, E5 = 659.25, G5 = 783.99, C6 = 1046.5, A4 = 440.0, E4 = 329.63, C4 = 261.63;

std::vector<Cue> makeCues() {
    using W = Wave;
    return {
        {0.5,
         {{0.0, 0.08, 880, 880, W::Square, 0.3},
          {0.16, 0.08, 880, 880, W::Square, 0.3},
          {0.32, 0.08, 880, 880, W::Square, 0.3}}},  // almost out of time
        {0.45, {{0.0, 0.18, 660, 660, W::Sine, 0.5}, {0.2, 0.25, 440, 440, W::Sine, 0.5}}},  // confirm screen
        {0.5,
         {{0.0, 0.15, C5, C5, W::Sine, 0.45},
          {0.1, 0.15, E5, E5, W::Sine, 0.45},
          {0.2, 0.3, G5, G5, W::Sine, 0.45}}},  // correct
        {0.7,
         {{0.0, 0.15, C5, C5, W::Sine, 0.4},
          {0.1, 0.15, E5, E5, W::Sine, 0.4},
          {0.2, 0.2, G5, G5, W::Sine, 0.4},
          {0.35, 0.35, C6 * 2, C6 * 2, W::Sine, 0.25}}},  // correct with a hint or skip
        {0.6, {{0.0, 0.6, 600, 200, W::Square, 0.25}}},   // demoted
        {0.9,
         {{0.0, 0.15, C5, C5, W::Square, 0.2},
          {0.15, 0.15, E5, E5, W::Square, 0.2},
          {0.3, 0.15, G5, G5, W::Square, 0.2},
          {0.45, 0.45, C6, C6, W::Sine, 0.45}}},  // game over, won
        {0.8,
         {{0.0, 0.2, G5 / 2, G5 / 2, W::Sine, 0.45},
          {0.2, 0.2, E4, E4, W::Sine, 0.45},
          {0.4, 0.4, C4, C4 * 0.95, W::Sine, 0.45}}},  // game over, lost
        {0.4, {{0.0, 0.14, 150, 140, W::Square, 0.3}, {0.2, 0.2, 140, 120, W::Square, 0.3}}},     // incorrect
        {0.5, {{0.0, 0.5, 1200, 1200, W::Sine, 0.35}, {0.05, 0.45, 1800, 1800, W::Sine, 0.15}}},  // hint
        {0.4, {{0.0, 0.4, 0, 0, W::Noise, 0.3}, {0.0, 0.3, 300, 1200, W::Sine, 0.2}}},            // skip
        {0.8, {{0.0, 0.45, 300, 900, W::Sine, 0.4}, {0.45, 0.35, C6, C6, W::Sine, 0.35}}},        // promoted
        {0.12, {{0.0, 0.12, A4, A4 * 1.5, W::Sine, 0.5}}},                             // question 1
        {0.12, {{0.0, 0.12, C5, C5 * 1.5, W::Sine, 0.5}}},                             // question 2
        {0.12, {{0.0, 0.12, E5, E5 * 1.5, W::Sine, 0.5}}},                             // question 3
        {0.12, {{0.0, 0.12, G5, G5 * 1.5, W::Sine, 0.5}}},                             // question 4
        {0.3, {{0.0, 0.3, 0, 0, W::Noise, 0.2}, {0.0, 0.3, 200, 500, W::Sine, 0.2}}},  // question box slide
        {0.35, {{0.0, 0.35, 0, 0, W::Noise, 0.35}}},                                   // transition
        {0.6,
         {{0.0, 0.1, 2600, 2600, W::Sine, 0.3},
          {0.12, 0.1, 3100, 3100, W::Sine, 0.3},
          {0.24, 0.1, 2900, 2900, W::Sine, 0.3},
          {0.36, 0.2, 3500, 3500, W::Sine, 0.3}}},  // stars 1
        {0.6,
         {{0.0, 0.1, 3300, 3300, W::Sine, 0.3},
          {0.12, 0.1, 2800, 2800, W::Sine, 0.3},
          {0.24, 0.1, 3600, 3600, W::Sine, 0.3},
          {0.36, 0.2, 3000, 3000, W::Sine, 0.3}}},           // stars 2
        {0.03, {{0.0, 0.03, 0, 0, W::Noise, 0.25}}},         // click on the background
        {0.04, {{0.0, 0.04, 2000, 1500, W::Square, 0.25}}},  // click on a button
    };
}

}  // namespace

platform::DecodedSound CueSynthesizer::synthesize(int index) {
    static const std::vector<Cue> cues = makeCues();
    const Cue& cue = cues.at(static_cast<size_t>(index));
    size_t frames = static_cast<size_t>(cue.length * kSampleRate);
    std::vector<double> mix(frames, 0.0);
    // A fixed generator, so that every build writes the same noise.
    uint32_t noise = 0x2545F491u + static_cast<uint32_t>(index);
    for (const Voice& voice : cue.voices) {
        size_t first = static_cast<size_t>(voice.start * kSampleRate);
        size_t count = static_cast<size_t>(voice.length * kSampleRate);
        double phase = 0;
        for (size_t i = 0; i < count && first + i < frames; ++i) {
            double t = static_cast<double>(i) / count;
            double hz = voice.startHz + (voice.endHz - voice.startHz) * t;
            phase += 2 * M_PI * hz / kSampleRate;
            double value;
            switch (voice.wave) {
                case Wave::Sine:
                    value = std::sin(phase);
                    break;
                case Wave::Square:
                    value = std::sin(phase) >= 0 ? 0.6 : -0.6;
                    break;
                default:
                    noise = noise * 1664525u + 1013904223u;
                    value = static_cast<double>(noise >> 8) / (1 << 23) - 1.0;
                    break;
            }
            double attack = std::min(1.0, static_cast<double>(i) / (0.005 * kSampleRate));
            double envelope = attack * (1.0 - t) * (1.0 - t);
            mix[first + i] += value * envelope * voice.level;
        }
    }
    platform::DecodedSound sound;
    sound.format.sampleRate = kSampleRate;
    sound.format.channels = 1;
    sound.samples.reserve(frames);
    for (double value : mix) {
        sound.samples.push_back(static_cast<int16_t>(std::lround(std::clamp(value, -1.0, 1.0) * 32000)));
    }
    return sound;
}

std::vector<uint8_t> CueSynthesizer::wavFile(int index) {
    return platform::encodeSound(synthesize(index), platform::SoundFileType::WavPcm16)
        .value_or(std::vector<uint8_t>{});
}

}  // namespace resbuild
