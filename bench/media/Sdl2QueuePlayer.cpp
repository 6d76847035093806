#include "bench/media/Sdl2QueuePlayer.h"

#include <SDL.h>

#include <cstring>

namespace mediabench {

using platform::DecodedSound;
using platform::PcmFormat;

namespace {

// Blocks of about 10 ms, as the paced loopback renders.
constexpr Uint16 kDeviceBlockFrames = 512;

}  // namespace

std::unique_ptr<Sdl2QueuePlayer> Sdl2QueuePlayer::open(const PcmFormat& format) {
    if (format.bitsPerChannel != 16 || format.channels < 1 || format.channels > 2) return nullptr;
    if (SDL_WasInit(SDL_INIT_AUDIO) == 0 && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return nullptr;
    SDL_AudioSpec wanted{};
    wanted.freq = format.sampleRate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(format.channels);
    wanted.samples = kDeviceBlockFrames;
    SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device == 0) {
        // No sound device: SDL's dummy driver (only chosen when asked for) consumes in real time.
        SDL_AudioQuit();
        if (SDL_AudioInit("dummy") != 0) return nullptr;
        device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (device == 0) return nullptr;
    }
    return std::unique_ptr<Sdl2QueuePlayer>(new Sdl2QueuePlayer(device));
}

Sdl2QueuePlayer::~Sdl2QueuePlayer() {
    SDL_CloseAudioDevice(m_device);
}

bool Sdl2QueuePlayer::play(std::span<const int16_t> samples) {
    SDL_PauseAudioDevice(m_device, 1);
    SDL_ClearQueuedAudio(m_device);
    if (SDL_QueueAudio(m_device, samples.data(), static_cast<Uint32>(samples.size_bytes())) != 0)
        return false;
    SDL_PauseAudioDevice(m_device, 0);
    return true;
}

void Sdl2QueuePlayer::pause() {
    SDL_PauseAudioDevice(m_device, 1);
}

uint32_t Sdl2QueuePlayer::queuedBytes() const {
    return SDL_GetQueuedAudioSize(m_device);
}

std::optional<DecodedSound> Sdl2QueuePlayer::loadWav(std::span<const uint8_t> clip) {
    SDL_RWops* stream = SDL_RWFromConstMem(clip.data(), static_cast<int>(clip.size()));
    if (stream == nullptr) return std::nullopt;
    SDL_AudioSpec spec{};
    Uint8* bytes = nullptr;
    Uint32 length = 0;
    // The stream is closed by the loader.
    if (SDL_LoadWAV_RW(stream, 1, &spec, &bytes, &length) == nullptr) return std::nullopt;
    std::optional<DecodedSound> sound;
    if (spec.format == AUDIO_S16SYS) {
        sound.emplace();
        sound->format = PcmFormat{spec.freq, spec.channels, 16};
        sound->samples.resize(length / sizeof(int16_t));
        std::memcpy(sound->samples.data(), bytes, sound->samples.size() * sizeof(int16_t));
    }
    SDL_FreeWAV(bytes);
    return sound;
}

}  // namespace mediabench
