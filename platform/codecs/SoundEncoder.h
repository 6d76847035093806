// Encodes 16-bit PCM into a sound file in memory: makes clips of every format the decoder reads, for
// the tests and the benchmarks.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/codecs/SoundDecoder.h"

namespace platform {

enum class SoundFileType { WavPcm16, WavImaAdpcm, AiffPcm16, CafPcm16, CafAlac16, OggVorbis, Mp3 };

// Empty when the library cannot write that type in that format.
std::optional<std::vector<uint8_t>> encodeSound(const DecodedSound& sound, SoundFileType type);

}  // namespace platform
