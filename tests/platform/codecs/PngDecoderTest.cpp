#include "platform/codecs/PngDecoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "tests/support/EncodedImages.h"
#include "tests/support/TruncatedFiles.h"

using platform::decodePNG;
using testsupport::encodePng;
using testsupport::expectEveryTruncatedPrefixFails;
using testsupport::PngSpec;

namespace {

struct Rgba {
    uint8_t r, g, b, a;
    bool operator==(const Rgba&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Rgba& p) {
    return out << "(" << int(p.r) << ", " << int(p.g) << ", " << int(p.b) << ", " << int(p.a) << ")";
}

struct Decoded {
    std::unique_ptr<uint32_t, decltype(&std::free)> pixels{nullptr, &std::free};
    int32_t width = -1;
    int32_t height = -1;

    Rgba at(int x, int y) const {
        Rgba p;
        std::memcpy(&p, pixels.get() + static_cast<size_t>(y) * width + x, 4);
        return p;
    }
};

Decoded decode(const std::vector<uint8_t>& file, size_t length) {
    Decoded d;
    d.pixels.reset(decodePNG(file.data(), length, &d.width, &d.height));
    return d;
}

Decoded decode(const std::vector<uint8_t>& file) {
    return decode(file, file.size());
}

// A test image of logical samples, its expected decoded pixels worked out without libpng.
struct Case {
    const char* name;
    int colourType;
    int bitDepth;
    bool interlaced;
    bool transparency;  // a tRNS chunk: palette alphas or a colour key
};

constexpr int kSide = 9;  // enough for every pass of the interlace

int channelsOf(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY:
        case PNG_COLOR_TYPE_PALETTE:
            return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        default:
            return 4;
    }
}

unsigned sampleAt(int x, int y, int channel, int bitDepth) {
    unsigned v = static_cast<unsigned>(x * 7919 + y * 104729 + channel * 31337 + x * y * 17);
    return v & ((1u << bitDepth) - 1);
}

uint8_t toEightBits(unsigned sample, int bitDepth) {
    if (bitDepth == 16) return static_cast<uint8_t>(sample >> 8);
    return static_cast<uint8_t>(sample * 255 / ((1u << bitDepth) - 1));
}

std::vector<png_color> testPalette(int entries) {
    std::vector<png_color> palette;
    for (int i = 0; i < entries; ++i) {
        palette.push_back({uint8_t(i * 13 + 1), uint8_t(255 - i * 7), uint8_t(i * 29 + 100)});
    }
    return palette;
}

std::pair<PngSpec, std::vector<Rgba>> build(const Case& c) {
    PngSpec spec;
    spec.width = kSide;
    spec.height = kSide;
    spec.bitDepth = c.bitDepth;
    spec.colourType = c.colourType;
    spec.interlaced = c.interlaced;
    int channels = channelsOf(c.colourType);
    if (c.colourType == PNG_COLOR_TYPE_PALETTE) {
        spec.palette = testPalette(1 << c.bitDepth);
        // Shorter than the palette: the entries past it stay opaque.
        if (c.transparency) {
            for (int i = 0; i < (1 << c.bitDepth) - 1; ++i) spec.paletteAlpha.push_back(uint8_t(i * 37));
        }
    } else if (c.transparency) {
        // The key is the colour of pixel (0, 0), so at least that pixel turns transparent.
        spec.hasColourKey = true;
        spec.colourKey.gray = static_cast<png_uint_16>(sampleAt(0, 0, 0, c.bitDepth));
        spec.colourKey.red = static_cast<png_uint_16>(sampleAt(0, 0, 0, c.bitDepth));
        spec.colourKey.green = static_cast<png_uint_16>(sampleAt(0, 0, 1, c.bitDepth));
        spec.colourKey.blue = static_cast<png_uint_16>(sampleAt(0, 0, 2, c.bitDepth));
    }

    std::vector<Rgba> expected;
    for (int y = 0; y < kSide; ++y) {
        std::vector<uint8_t> row((kSide * channels * c.bitDepth + 7) / 8);
        for (int x = 0; x < kSide; ++x) {
            unsigned s[4];
            for (int ch = 0; ch < channels; ++ch) {
                s[ch] = sampleAt(x, y, ch, c.bitDepth);
                if (c.colourType == PNG_COLOR_TYPE_PALETTE) s[ch] %= (1u << c.bitDepth);
                size_t bit = static_cast<size_t>(x * channels + ch) * c.bitDepth;
                if (c.bitDepth == 16) {
                    row[bit / 8] = uint8_t(s[ch] >> 8);
                    row[bit / 8 + 1] = uint8_t(s[ch]);
                } else {
                    row[bit / 8] |= uint8_t(s[ch] << (8 - c.bitDepth - bit % 8));
                }
            }
            Rgba p{};
            switch (c.colourType) {
                case PNG_COLOR_TYPE_PALETTE: {
                    png_color colour = spec.palette[s[0]];
                    uint8_t alpha = s[0] < spec.paletteAlpha.size() ? spec.paletteAlpha[s[0]] : 255;
                    p = {colour.red, colour.green, colour.blue, alpha};
                    break;
                }
                case PNG_COLOR_TYPE_GRAY: {
                    uint8_t g = toEightBits(s[0], c.bitDepth);
                    bool keyed = spec.hasColourKey && s[0] == spec.colourKey.gray;
                    p = {g, g, g, uint8_t(keyed ? 0 : 255)};
                    break;
                }
                case PNG_COLOR_TYPE_GRAY_ALPHA: {
                    uint8_t g = toEightBits(s[0], c.bitDepth);
                    p = {g, g, g, toEightBits(s[1], c.bitDepth)};
                    break;
                }
                case PNG_COLOR_TYPE_RGB: {
                    bool keyed = spec.hasColourKey && s[0] == spec.colourKey.red &&
                                 s[1] == spec.colourKey.green && s[2] == spec.colourKey.blue;
                    p = {toEightBits(s[0], c.bitDepth), toEightBits(s[1], c.bitDepth),
                         toEightBits(s[2], c.bitDepth), uint8_t(keyed ? 0 : 255)};
                    break;
                }
                default:
                    p = {toEightBits(s[0], c.bitDepth), toEightBits(s[1], c.bitDepth),
                         toEightBits(s[2], c.bitDepth), toEightBits(s[3], c.bitDepth)};
            }
            expected.push_back(p);
        }
        spec.rows.push_back(row);
    }
    return {spec, expected};
}

const Case kCases[] = {
    {"grey 1", PNG_COLOR_TYPE_GRAY, 1, false, false},
    {"grey 2", PNG_COLOR_TYPE_GRAY, 2, false, false},
    {"grey 4", PNG_COLOR_TYPE_GRAY, 4, false, false},
    {"grey 8", PNG_COLOR_TYPE_GRAY, 8, false, false},
    {"grey 16", PNG_COLOR_TYPE_GRAY, 16, false, false},
    {"grey 4 keyed", PNG_COLOR_TYPE_GRAY, 4, false, true},
    {"grey 16 keyed", PNG_COLOR_TYPE_GRAY, 16, false, true},
    {"grey 2 interlaced", PNG_COLOR_TYPE_GRAY, 2, true, false},
    {"grey 8 interlaced", PNG_COLOR_TYPE_GRAY, 8, true, false},
    {"grey+alpha 8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, false},
    {"grey+alpha 16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false, false},
    {"grey+alpha 8 interlaced", PNG_COLOR_TYPE_GRAY_ALPHA, 8, true, false},
    {"rgb 8", PNG_COLOR_TYPE_RGB, 8, false, false},
    {"rgb 16", PNG_COLOR_TYPE_RGB, 16, false, false},
    {"rgb 8 keyed", PNG_COLOR_TYPE_RGB, 8, false, true},
    {"rgb 16 keyed", PNG_COLOR_TYPE_RGB, 16, false, true},
    {"rgb 8 interlaced", PNG_COLOR_TYPE_RGB, 8, true, false},
    {"rgb 16 interlaced", PNG_COLOR_TYPE_RGB, 16, true, false},
    {"rgba 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false, false},
    {"rgba 16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false, false},
    {"rgba 8 interlaced", PNG_COLOR_TYPE_RGB_ALPHA, 8, true, false},
    {"palette 1", PNG_COLOR_TYPE_PALETTE, 1, false, false},
    {"palette 2", PNG_COLOR_TYPE_PALETTE, 2, false, false},
    {"palette 4", PNG_COLOR_TYPE_PALETTE, 4, false, false},
    {"palette 8", PNG_COLOR_TYPE_PALETTE, 8, false, false},
    {"palette 2 with tRNS", PNG_COLOR_TYPE_PALETTE, 2, false, true},
    {"palette 8 with tRNS", PNG_COLOR_TYPE_PALETTE, 8, false, true},
    {"palette 4 with tRNS interlaced", PNG_COLOR_TYPE_PALETTE, 4, true, true},
};

TEST(PngDecoder, EveryColourTypeDepthAndInterlaceDecodesToEightBitRgba) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        auto [spec, expected] = build(c);
        Decoded d = decode(encodePng(spec));
        ASSERT_NE(d.pixels, nullptr);
        ASSERT_EQ(d.width, kSide);
        ASSERT_EQ(d.height, kSide);
        int transparent = 0;
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                ASSERT_EQ(d.at(x, y), expected[static_cast<size_t>(y) * kSide + x])
                    << "at " << x << ", " << y;
                transparent += d.at(x, y).a == 0;
            }
        }
        // The fixture must actually exercise the transparency it claims to.
        if (c.transparency) {
            EXPECT_GT(transparent, 0);
        }
    }
}

TEST(PngDecoder, EveryTruncatedPrefixFailsCleanly) {
    for (bool interlaced : {false, true}) {
        auto file = encodePng(build({"rgba 8", PNG_COLOR_TYPE_RGB_ALPHA, 8, interlaced, false}).first);
        ASSERT_NE(decode(file).pixels, nullptr);
        expectEveryTruncatedPrefixFails(file,
                                        [](const std::vector<uint8_t>& prefix) { return decode(prefix); });
    }
}

TEST(PngDecoder, BytesAfterTheImageAreIgnored) {
    auto file = encodePng(build({"rgb 8", PNG_COLOR_TYPE_RGB, 8, false, false}).first);
    auto longer = file;
    longer.insert(longer.end(), {'t', 'r', 'a', 'i', 'l'});
    Decoded d = decode(longer);
    ASSERT_NE(d.pixels, nullptr);
    EXPECT_EQ(d.width, kSide);
}

std::vector<uint8_t> fileWithHeader(uint32_t width, uint32_t height) {
    std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<uint8_t> ihdr = {uint8_t(width >> 24),
                                 uint8_t(width >> 16),
                                 uint8_t(width >> 8),
                                 uint8_t(width),
                                 uint8_t(height >> 24),
                                 uint8_t(height >> 16),
                                 uint8_t(height >> 8),
                                 uint8_t(height),
                                 8,
                                 PNG_COLOR_TYPE_RGB_ALPHA,
                                 0,
                                 0,
                                 0};
    for (auto chunk :
         {testsupport::pngChunk("IHDR", ihdr), testsupport::pngChunk("IDAT", {0x78, 0x9C, 0x03, 0x00}),
          testsupport::pngChunk("IEND", {})}) {
        file.insert(file.end(), chunk.begin(), chunk.end());
    }
    return file;
}

TEST(PngDecoder, OversizedHeadersAreRefused) {
    struct {
        uint32_t width, height;
    } sizes[] = {{16385, 1}, {1, 16385}, {16384, 16384}, {8193, 8192}, {0x7FFFFFFF, 0x7FFFFFFF}, {0, 4}};
    for (auto size : sizes) {
        Decoded d = decode(fileWithHeader(size.width, size.height));
        EXPECT_EQ(d.pixels, nullptr) << size.width << " x " << size.height;
        EXPECT_EQ(d.width, 0);
    }
    // The same hand-made file at a size within the limits gets as far as the (empty) image data.
    EXPECT_EQ(decode(fileWithHeader(2, 2)).pixels, nullptr);
}

TEST(PngDecoder, CorruptImageDataAndOtherFormatsGiveNull) {
    auto file = encodePng(build({"rgb 8", PNG_COLOR_TYPE_RGB, 8, false, false}).first);
    // The last byte of the IDAT chunk's CRC sits just before the 12-byte IEND chunk.
    auto badCrc = file;
    badCrc[badCrc.size() - 13] ^= 0x55;
    EXPECT_EQ(decode(badCrc).pixels, nullptr);

    const std::vector<uint8_t> jpegStart = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F'};
    EXPECT_EQ(decode(jpegStart).pixels, nullptr);
    EXPECT_FALSE(platform::isPngSignature(jpegStart.data(), jpegStart.size()));
    EXPECT_TRUE(platform::isPngSignature(file.data(), 8));
    EXPECT_FALSE(platform::isPngSignature(file.data(), 7));
}

}  // namespace
