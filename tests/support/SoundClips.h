// Small sound clips for the audio tests: a sine tone as 16-bit PCM, and WAV files written byte by
// byte (so a test can cut or spoil exactly the part it means to).
#pragma once

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/codecs/SoundDecoder.h"

namespace testsupport {

inline platform::DecodedSound sineTone(int sampleRate, int channels, size_t frames, double amplitude = 0.25,
                                       double frequency = 440.0) {
    platform::DecodedSound sound;
    sound.format = platform::PcmFormat{sampleRate, channels, 16};
    sound.samples.resize(frames * channels);
    for (size_t f = 0; f < frames; ++f) {
        double value = amplitude * 32767.0 * std::sin(2.0 * M_PI * frequency * double(f) / sampleRate);
        for (int c = 0; c < channels; ++c)
            sound.samples[f * channels + c] = static_cast<int16_t>(std::lround(value));
    }
    return sound;
}

inline void putLittleEndian(std::vector<uint8_t>& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// A canonical 44-byte-header PCM WAV file. The data chunk starts at byte 44.
inline std::vector<uint8_t> wavBytes(const platform::DecodedSound& sound) {
    const uint32_t dataBytes = static_cast<uint32_t>(sound.samples.size() * 2);
    const uint32_t channels = static_cast<uint32_t>(sound.format.channels);
    const uint32_t rate = static_cast<uint32_t>(sound.format.sampleRate);
    std::vector<uint8_t> out;
    for (char c : std::string("RIFF")) out.push_back(static_cast<uint8_t>(c));
    putLittleEndian(out, 36 + dataBytes, 4);
    for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
    putLittleEndian(out, 16, 4);
    putLittleEndian(out, 1, 2);  // PCM
    putLittleEndian(out, channels, 2);
    putLittleEndian(out, rate, 4);
    putLittleEndian(out, rate * channels * 2, 4);
    putLittleEndian(out, channels * 2, 2);
    putLittleEndian(out, 16, 2);
    for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
    putLittleEndian(out, dataBytes, 4);
    for (int16_t s : sound.samples) putLittleEndian(out, static_cast<uint16_t>(s), 2);
    return out;
}

inline constexpr size_t kWavHeaderBytes = 44;

}  // namespace testsupport
