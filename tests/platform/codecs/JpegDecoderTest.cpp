#include "platform/codecs/JpegDecoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "tests/support/EncodedImages.h"
#include "tests/support/TruncatedFiles.h"

using testsupport::encodeJpeg;
using testsupport::expectEveryTruncatedPrefixFails;
using testsupport::JpegSpec;
using testsupport::rgbJpegSpec;

namespace {

struct Decoded {
    std::unique_ptr<int32_t, decltype(&std::free)> pixels{nullptr, &std::free};
    int width = -7;
    int height = -7;
    uint32_t at(int x, int y) const { return static_cast<uint32_t>(pixels.get()[y * width + x]); }
};

Decoded decode(const std::vector<uint8_t>& file) {
    Decoded d;
    d.pixels.reset(_decodeJPEGtoRGB(file.data(), static_cast<int>(file.size()), &d.width, &d.height));
    return d;
}

// JPEG is lossy: channels within a few steps of the source.
::testing::AssertionResult closeTo(uint32_t actual, uint32_t expected, int tolerance = 6) {
    if ((actual >> 24) != 0xFF)
        return ::testing::AssertionFailure() << std::hex << actual << " is not opaque";
    for (int shift : {16, 8, 0}) {
        int a = (actual >> shift) & 0xFF, e = (expected >> shift) & 0xFF;
        if (std::abs(a - e) > tolerance) {
            return ::testing::AssertionFailure() << std::hex << actual << " differs from " << expected;
        }
    }
    return ::testing::AssertionSuccess();
}

// Flat 16 x 16 quadrants of a 32 x 32 image: flat blocks survive compression almost exactly, away
// from the edges where the subsampled colour is blended.
constexpr int kSide = 32;

std::vector<uint32_t> quadrants() {
    const uint32_t colours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080};
    std::vector<uint32_t> rgb;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) rgb.push_back(colours[(y / 16) * 2 + x / 16]);
    }
    return rgb;
}

bool nearQuadrantEdge(int x, int y) {
    return std::abs(x - 16) <= 2 || std::abs(y - 16) <= 2;
}

TEST(JpegDecoder, TwoRedPixelsDecodeToOpaqueRedWords) {
    Decoded d = decode(encodeJpeg(rgbJpegSpec(2, 1, {0xFF0000, 0xFF0000})));
    ASSERT_NE(d.pixels, nullptr);
    EXPECT_EQ(d.width, 2);
    EXPECT_EQ(d.height, 1);
    EXPECT_TRUE(closeTo(d.at(0, 0), 0xFFFF0000));
    EXPECT_TRUE(closeTo(d.at(1, 0), 0xFFFF0000));
}

TEST(JpegDecoder, ColourGreyProgressiveAndInkFilesKeepTheirPixels) {
    auto rgb = quadrants();
    JpegSpec baseline = rgbJpegSpec(kSide, kSide, rgb);
    JpegSpec progressive = baseline;
    progressive.progressive = true;
    JpegSpec grey;
    grey.width = kSide;
    grey.height = kSide;
    grey.colourSpace = JCS_GRAYSCALE;
    grey.components = 1;
    // Four-colour files store the inks inverted, as Adobe's writers do (and mark them so).
    JpegSpec ink = grey;
    ink.colourSpace = JCS_CMYK;
    ink.components = 4;
    ink.samples.clear();
    std::vector<uint32_t> greyExpected;
    for (uint32_t v : rgb) {
        uint8_t r = uint8_t(v >> 16), g = uint8_t(v >> 8), b = uint8_t(v);
        uint8_t level = uint8_t((r + g + b) / 3);
        grey.samples.push_back(level);
        greyExpected.push_back(0xFF000000u | level * 0x010101u);
        // Ink with no black: each ink is the absence of its light.
        ink.samples.insert(ink.samples.end(), {r, g, b, 255});
    }
    struct {
        const char* name;
        JpegSpec spec;
        std::vector<uint32_t> expected;
    } cases[] = {{"baseline", baseline, rgb},
                 {"progressive", progressive, rgb},
                 {"grey", grey, greyExpected},
                 {"ink", ink, rgb}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded d = decode(encodeJpeg(c.spec));
        ASSERT_NE(d.pixels, nullptr);
        ASSERT_EQ(d.width, kSide);
        ASSERT_EQ(d.height, kSide);
        for (int y = 0; y < kSide; ++y) {
            for (int x = 0; x < kSide; ++x) {
                if (nearQuadrantEdge(x, y)) continue;
                ASSERT_TRUE(closeTo(d.at(x, y), 0xFF000000u | c.expected[y * kSide + x])) << x << ", " << y;
            }
        }
    }
}

TEST(JpegDecoder, EveryTruncatedPrefixFailsCleanly) {
    for (bool progressive : {false, true}) {
        JpegSpec spec = rgbJpegSpec(kSide, kSide, quadrants());
        spec.progressive = progressive;
        auto file = encodeJpeg(spec);
        ASSERT_NE(decode(file).pixels, nullptr);
        expectEveryTruncatedPrefixFails(file,
                                        [](const std::vector<uint8_t>& prefix) { return decode(prefix); });
    }
}

TEST(JpegDecoder, OversizedFramesAndOtherDataGiveNull) {
    auto file = encodeJpeg(rgbJpegSpec(2, 1, {0xFF0000, 0xFF0000}));
    size_t frame = 0;
    for (size_t i = 2; i + 1 < file.size(); ++i) {
        if (file[i] == 0xFF && (file[i + 1] == 0xC0 || file[i + 1] == 0xC2)) {
            frame = i;
            break;
        }
    }
    ASSERT_NE(frame, 0u);
    // Frame header: marker, length (2), precision (1), height (2), width (2).
    struct {
        uint16_t width, height;
    } sizes[] = {{16385, 1}, {1, 16385}, {16384, 16384}, {9000, 9000}};
    for (auto size : sizes) {
        auto big = file;
        big[frame + 5] = uint8_t(size.height >> 8);
        big[frame + 6] = uint8_t(size.height);
        big[frame + 7] = uint8_t(size.width >> 8);
        big[frame + 8] = uint8_t(size.width);
        Decoded d = decode(big);
        EXPECT_EQ(d.pixels, nullptr) << size.width << " x " << size.height;
        EXPECT_EQ(d.width, 0);
        EXPECT_EQ(d.height, 0);
    }

    const std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13};
    Decoded d = decode(png);
    EXPECT_EQ(d.pixels, nullptr);
    EXPECT_EQ(d.width, 0);
    int width = -7, height = -7;
    EXPECT_EQ(_decodeJPEGtoRGB(nullptr, 10, &width, &height), nullptr);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(_decodeJPEGtoRGB(file.data(), -1, &width, &height), nullptr);
    EXPECT_EQ(height, 0);
}

}  // namespace
