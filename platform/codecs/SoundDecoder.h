// Decodes a whole sound clip held in memory into one buffer of 16-bit PCM.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/audio/AudioOutput.h"

namespace platform {

struct DecodedSound {
    PcmFormat format;
    // Interleaved frames, format.channels samples each.
    std::vector<int16_t> samples;

    size_t frames() const { return format.channels > 0 ? samples.size() / format.channels : 0; }
};

// Clips decode to at most this many bytes of PCM (about three minutes of 44.1 kHz stereo).
inline constexpr size_t kMaxDecodedSoundBytes = size_t{32} << 20;

// Recognises the container and codec from the bytes themselves (WAV, AIFF, CAF, Ogg Vorbis, MP3 and
// the other formats libsndfile reads). Empty when the clip cannot be read, has no frames, or would
// decode to more than maxDecodedBytes. A clip cut short decodes to the frames that are there.
std::optional<DecodedSound> decodeSound(std::span<const uint8_t> clip,
                                        size_t maxDecodedBytes = kMaxDecodedSoundBytes);

}  // namespace platform
