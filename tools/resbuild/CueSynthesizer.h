// The quiz's 21 sound cues (resources 292 to 312), synthesised from tones, chirps and noise: each
// under a second of 16-bit mono PCM, written as a WAV file.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/codecs/SoundDecoder.h"

namespace resbuild {

class CueSynthesizer {
public:
    static constexpr int kFirstCueId = 292;
    static constexpr int kCueCount = 21;
    static constexpr int kSampleRate = 22050;

    // The PCM of cue index 0..20 (resource id kFirstCueId + index).
    static platform::DecodedSound synthesize(int index);
    // The same as a WAV file; empty if the encoder refuses it.
    static std::vector<uint8_t> wavFile(int index);
};

}  // namespace resbuild
