#include "platform/codecs/SoundDecoder.h"

#include <sndfile.h>

#include <algorithm>
#include <memory>

#include "platform/codecs/MemorySoundFile.h"

namespace platform {
namespace {

constexpr int kMaxChannels = 64;
constexpr int kMaxSampleRate = 768000;
constexpr sf_count_t kFramesPerRead = 4096;

struct SoundFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};

// Sound cues are mono or stereo; a wider clip is folded to mono rather than refused.
void foldToMono(std::vector<int16_t>& samples, int channels) {
    size_t frames = samples.size() / channels;
    for (size_t f = 0; f < frames; ++f) {
        int sum = 0;
        for (int c = 0; c < channels; ++c) sum += samples[f * channels + c];
        samples[f] = static_cast<int16_t>(sum / channels);
    }
    samples.resize(frames);
}

}  // namespace

std::optional<DecodedSound> decodeSound(std::span<const uint8_t> clip, size_t maxDecodedBytes) {
    if (clip.empty() || clip.data() == nullptr) return std::nullopt;
    MemorySoundFile source{clip, nullptr, 0};
    // A zeroed format asks the library to recognise the clip from its bytes.
    SF_INFO info{};
    std::unique_ptr<SNDFILE, SoundFileCloser> file(
        sf_open_virtual(&MemorySoundFile::callbacks(), SFM_READ, &info, &source));
    if (!file) return std::nullopt;
    if (info.channels < 1 || info.channels > kMaxChannels || info.samplerate < 1 ||
        info.samplerate > kMaxSampleRate)
        return std::nullopt;

    const size_t maxSamples = maxDecodedBytes / sizeof(int16_t);
    DecodedSound sound;
    sound.format = PcmFormat{info.samplerate, info.channels, 16};
    if (info.frames > 0 && static_cast<uint64_t>(info.frames) * info.channels <= maxSamples)
        sound.samples.reserve(static_cast<size_t>(info.frames) * info.channels);
    // The frame count in a header may be wrong (a clip cut short, a stream without one): read to the end.
    std::vector<int16_t> chunk(static_cast<size_t>(kFramesPerRead * info.channels));
    for (;;) {
        sf_count_t got = sf_readf_short(file.get(), chunk.data(), kFramesPerRead);
        if (got <= 0) break;
        size_t samples = static_cast<size_t>(got) * info.channels;
        if (sound.samples.size() + samples > maxSamples) return std::nullopt;
        sound.samples.insert(sound.samples.end(), chunk.begin(), chunk.begin() + samples);
    }
    if (sound.samples.empty()) return std::nullopt;
    if (info.channels > 2) {
        foldToMono(sound.samples, info.channels);
        sound.format.channels = 1;
    }
    return sound;
}

}  // namespace platform
