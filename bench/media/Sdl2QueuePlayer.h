// A minimal SDL2 queue player: the baseline the audio benchmarks measure the platform player
// against, and nothing else links SDL2. It plays one buffer of 16-bit PCM on SDL's default audio device, or
// on its dummy device (paced in real time, silent) where the machine has no sound.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "platform/codecs/SoundDecoder.h"

namespace mediabench {

class Sdl2QueuePlayer {
public:
    // Null when SDL opens no audio device for the format.
    static std::unique_ptr<Sdl2QueuePlayer> open(const platform::PcmFormat& format);
    ~Sdl2QueuePlayer();
    Sdl2QueuePlayer(const Sdl2QueuePlayer&) = delete;
    Sdl2QueuePlayer& operator=(const Sdl2QueuePlayer&) = delete;

    // Drops what is queued, queues the samples and starts the device.
    bool play(std::span<const int16_t> samples);
    void pause();
    // Bytes queued and not yet taken by the device.
    uint32_t queuedBytes() const;

    // SDL's own WAV reader over a clip in memory, 16-bit PCM only: the decoder's baseline.
    static std::optional<platform::DecodedSound> loadWav(std::span<const uint8_t> clip);

private:
    explicit Sdl2QueuePlayer(uint32_t device) : m_device(device) {}
    uint32_t m_device;
};

}  // namespace mediabench
