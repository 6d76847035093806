#include "platform/codecs/SoundDecoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "platform/codecs/SoundEncoder.h"
#include "tests/support/SoundClips.h"

namespace {

using platform::DecodedSound;
using platform::SoundFileType;
using testsupport::sineTone;
using testsupport::wavBytes;

double rms(const std::vector<int16_t>& samples) {
    double sum = 0;
    for (int16_t s : samples) sum += double(s) * s;
    return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

// Normalised correlation of the overlapping part: 1 for the same waveform, about 0 for unrelated ones.
double correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b) {
    size_t n = std::min(a.size(), b.size());
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < n; ++i) {
        ab += double(a[i]) * b[i];
        aa += double(a[i]) * a[i];
        bb += double(b[i]) * b[i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

struct FormatCase {
    const char* name;
    SoundFileType type;
    int sampleRate;
    int channels;
    bool lossless;
    // How far the decoded length may differ from the original (codec block sizes and padding).
    size_t frameSlack;
};

class DecodeEachFormat : public testing::TestWithParam<FormatCase> {};

TEST_P(DecodeEachFormat, DecodesAClipWrittenByTheLibrary) {
    const FormatCase& c = GetParam();
    DecodedSound original = sineTone(c.sampleRate, c.channels, static_cast<size_t>(c.sampleRate) / 4);
    auto file = platform::encodeSound(original, c.type);
    ASSERT_TRUE(file.has_value()) << "the library cannot write " << c.name;

    auto decoded = platform::decodeSound(*file);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->format, original.format);
    EXPECT_NEAR(double(decoded->frames()), double(original.frames()), double(c.frameSlack));
    if (c.lossless) {
        EXPECT_EQ(decoded->samples, original.samples);
    } else {
        EXPECT_NEAR(rms(decoded->samples), rms(original.samples), 0.15 * rms(original.samples));
        EXPECT_GT(correlation(decoded->samples, original.samples), 0.9);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DecodeEachFormat,
    testing::Values(FormatCase{"WavPcm16", SoundFileType::WavPcm16, 22050, 1, true, 0},
                    FormatCase{"WavImaAdpcm", SoundFileType::WavImaAdpcm, 22050, 1, false, 1017},
                    FormatCase{"AiffPcm16", SoundFileType::AiffPcm16, 44100, 2, true, 0},
                    FormatCase{"CafPcm16", SoundFileType::CafPcm16, 44100, 1, true, 0},
                    FormatCase{"CafAlac16", SoundFileType::CafAlac16, 44100, 2, true, 0},
                    FormatCase{"OggVorbis", SoundFileType::OggVorbis, 44100, 2, false, 0},
                    FormatCase{"Mp3", SoundFileType::Mp3, 44100, 1, false, 1152}),
    [](const auto& info) { return std::string(info.param.name); });

std::vector<uint8_t> bytesOf(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

TEST(SoundDecoder, UnreadableClipsDecodeToNothing) {
    std::vector<uint8_t> wav = wavBytes(sineTone(8000, 1, 400));
    std::vector<uint8_t> noChannels = wav;
    noChannels[22] = 0;
    std::vector<uint8_t> unknownCodec = wav;
    unknownCodec[20] = 0x34;
    unknownCodec[21] = 0x12;
    std::vector<uint8_t> headerOnly(wav.begin(), wav.begin() + testsupport::kWavHeaderBytes);
    std::vector<uint8_t> cutInHeader(wav.begin(), wav.begin() + 20);
    std::vector<uint8_t> noise(4096);
    uint32_t seed = 12345;
    for (uint8_t& b : noise) {
        seed = seed * 1103515245u + 12345u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {"empty", {}},
        {"text", bytesOf("this is not a sound clip, only a sentence that goes on for a while.")},
        {"no channels", noChannels},
        {"unknown codec", unknownCodec},
        {"header without data", headerOnly},
        {"cut inside the header", cutInHeader},
        {"noise", noise},
    };
    for (const Case& c : cases) EXPECT_FALSE(platform::decodeSound(c.bytes).has_value()) << c.name;
}

TEST(SoundDecoder, AClipCutShortDecodesTheFramesThatAreThere) {
    DecodedSound original = sineTone(44100, 2, 1000);
    std::vector<uint8_t> wav = wavBytes(original);
    // 600 whole frames and half of the next.
    wav.resize(testsupport::kWavHeaderBytes + 600 * 4 + 2);

    auto decoded = platform::decodeSound(wav);
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->frames(), 600u);
    EXPECT_TRUE(std::equal(decoded->samples.begin(), decoded->samples.end(), original.samples.begin()));
}

TEST(SoundDecoder, DecodedSizeIsCapped) {
    std::vector<uint8_t> wav = wavBytes(sineTone(8000, 1, 8000));
    EXPECT_TRUE(platform::decodeSound(wav, 16000).has_value());
    EXPECT_FALSE(platform::decodeSound(wav, 15998).has_value());
}

TEST(SoundDecoder, ClipsWiderThanStereoAreFoldedToMono) {
    DecodedSound quad;
    quad.format = platform::PcmFormat{8000, 4, 16};
    quad.samples = {100, 200, 300, 400, -4, -8, 0, 0};
    auto decoded = platform::decodeSound(wavBytes(quad));
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->format.channels, 1);
    EXPECT_EQ(decoded->samples, (std::vector<int16_t>{250, -3}));
}

}  // namespace
