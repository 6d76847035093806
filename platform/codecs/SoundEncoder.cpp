#include "platform/codecs/SoundEncoder.h"

#include <sndfile.h>

#include "platform/codecs/MemorySoundFile.h"

namespace platform {
namespace {

int sndfileFormat(SoundFileType type) {
    switch (type) {
        case SoundFileType::WavPcm16:
            return SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        case SoundFileType::WavImaAdpcm:
            return SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM;
        case SoundFileType::AiffPcm16:
            return SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
        case SoundFileType::CafPcm16:
            return SF_FORMAT_CAF | SF_FORMAT_PCM_16;
        case SoundFileType::CafAlac16:
            return SF_FORMAT_CAF | SF_FORMAT_ALAC_16;
        case SoundFileType::OggVorbis:
            return SF_FORMAT_OGG | SF_FORMAT_VORBIS;
        case SoundFileType::Mp3:
            return SF_FORMAT_MPEG | SF_FORMAT_MPEG_LAYER_III;
    }
    return 0;
}

}  // namespace

std::optional<std::vector<uint8_t>> encodeSound(const DecodedSound& sound, SoundFileType type) {
    std::vector<uint8_t> bytes;
    MemorySoundFile target{{}, &bytes, 0};
    SF_INFO info{};
    info.samplerate = sound.format.sampleRate;
    info.channels = sound.format.channels;
    info.format = sndfileFormat(type);
    if (!sf_format_check(&info)) return std::nullopt;
    SNDFILE* file = sf_open_virtual(&MemorySoundFile::callbacks(), SFM_WRITE, &info, &target);
    if (file == nullptr) return std::nullopt;
    sf_count_t frames = static_cast<sf_count_t>(sound.frames());
    bool written = sf_writef_short(file, sound.samples.data(), frames) == frames;
    // Closing writes the trailing headers and flushes the encoders.
    bool closed = sf_close(file) == 0;
    if (!written || !closed) return std::nullopt;
    return bytes;
}

}  // namespace platform
