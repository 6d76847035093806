#include "graphics/PixelLoops.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "tests/support/graphics/PixelWords.h"

using namespace javax::microedition::lcdui::pixels;
using testsupport::blendByChannel;

namespace {

TEST(PixelLoops, BlendMatchesTheChannelFormulaOnEveryAlpha) {
    // Exhaustive over alpha and one channel's source and destination values.
    for (uint32_t a = 0; a < 256; ++a) {
        for (uint32_t s = 0; s < 256; s += 3) {
            for (uint32_t d = 0; d < 256; d += 5) {
                uint32_t src = a << 24 | s << 16 | (255 - s) << 8 | s;
                uint32_t dst = 0x5A000000u | d << 16 | d << 8 | (255 - d);
                ASSERT_EQ(blendPixel(dst, src), blendByChannel(dst, src)) << a << " " << s << " " << d;
            }
        }
    }
    // The cases the drawing code promises.
    EXPECT_EQ(blendPixel(0x40000000u, 0x7F0000FFu) & 0xFF, 127u);
    EXPECT_EQ(blendPixel(0x40000000u, 0xFE0000FFu) & 0xFF, 254u);
    EXPECT_EQ(blendPixel(0x40000000u, 0xFE0000FFu) >> 24, 0x40u);
    EXPECT_EQ(blendPixel(0x40123456u, 0xFFABCDEFu), 0xFFABCDEFu);
}

uint32_t drawModel(uint32_t d, uint32_t s, BlitLoop loop) {
    switch (loop) {
        case BlitLoop::Opaque:
            return s;
        case BlitLoop::BinaryAlpha:
            return (s >> 24) != 0 ? s : d;
        default:
            return blendByChannel(d, s);
    }
}

// Random words with alphas bunched at 0, 255 and in between.
std::vector<uint32_t> randomWords(std::mt19937& random, size_t n) {
    std::vector<uint32_t> words(n);
    for (auto& w : words) {
        uint32_t alphaChoice = random() % 3;
        uint32_t alpha = alphaChoice == 0 ? 0 : alphaChoice == 1 ? 255 : random() & 0xFF;
        w = alpha << 24 | (random() & 0xFFFFFF);
    }
    return words;
}

TEST(PixelLoops, BlitWalksEveryStepPatternLikeThePlainLoop) {
    std::mt19937 random(7);
    constexpr int kStride = 23, kRows = 17;
    for (BlitLoop loop : {BlitLoop::Opaque, BlitLoop::BinaryAlpha, BlitLoop::Translucent}) {
        for (int columns : {1, 3, 4, 7, 13}) {
            // The eight start corners and step pairs of the transforms, for a block that fits.
            const int rows = 5;
            struct {
                int startX, startY;
                ptrdiff_t columnStep, rowStep;
            } walks[] = {{0, 0, 1, kStride},
                         {0, rows - 1, 1, -kStride},
                         {columns - 1, 0, -1, kStride},
                         {columns - 1, rows - 1, -1, -kStride},
                         {0, 0, kStride, 1},
                         {rows - 1, 0, kStride, -1},
                         {0, columns - 1, -kStride, 1},
                         {rows - 1, columns - 1, -kStride, -1}};
            for (auto walk : walks) {
                auto source = randomWords(random, static_cast<size_t>(rows) * columns);
                auto target = randomWords(random, static_cast<size_t>(kStride) * kRows);
                auto expected = target;
                ptrdiff_t start = walk.startY * kStride + walk.startX;
                for (int r = 0; r < rows; ++r) {
                    for (int c = 0; c < columns; ++c) {
                        uint32_t& d = expected[start + r * walk.rowStep + c * walk.columnStep];
                        d = drawModel(d, source[r * columns + c], loop);
                    }
                }
                blit(target.data() + start, walk.columnStep, walk.rowStep, source.data(), columns, columns,
                     rows, loop);
                ASSERT_EQ(target, expected) << "loop " << int(loop) << ", " << columns << " columns, steps "
                                            << walk.columnStep << "/" << walk.rowStep;
            }
        }
    }
}

TEST(PixelLoops, ArgbRowsConvertBothWaysAndBlend) {
    std::mt19937 random(11);
    for (int count : {1, 4, 9, 13, 31}) {
        auto argb = randomWords(random, count);
        auto target = randomWords(random, count);
        std::vector<uint32_t> opaque(target), blended(target);
        writeArgbRow(opaque.data(), reinterpret_cast<const int32_t*>(argb.data()), count, false);
        writeArgbRow(blended.data(), reinterpret_cast<const int32_t*>(argb.data()), count, true);
        std::vector<int32_t> back(count);
        readArgbRow(back.data(), blended.data(), count);
        for (int i = 0; i < count; ++i) {
            uint32_t v = argb[i];
            uint32_t pixel = 0xFF000000u | (v & 0xFF00) | ((v >> 16) & 0xFF) | ((v & 0xFF) << 16);
            EXPECT_EQ(opaque[i], pixel);
            uint32_t expectedBlend = blendByChannel(target[i], (v & 0xFF000000u) | (pixel & 0xFFFFFF));
            EXPECT_EQ(blended[i], expectedBlend);
            EXPECT_EQ(static_cast<uint32_t>(back[i]), swapRedBlue(expectedBlend));
        }
    }
}

// The test run repeats the pixel-loop tests with each lower path forced (tests/graphics/CMakeLists.txt),
// so every path is compared with the plain loops on any machine.
TEST(PixelLoops, AForcedPathIsTakenAndNoPathIsAboveTheMachines) {
    const char* forced = std::getenv("QUILL_PIXEL_LOOPS");
    const std::string name = forced != nullptr ? forced : "";
    if (name == "scalar") {
        EXPECT_EQ(loopPath(), LoopPath::Scalar);
    } else if (name == "sse2") {
        EXPECT_LE(loopPath(), LoopPath::Sse2);
    } else {
#if defined(__SSE2__)
        EXPECT_GE(loopPath(), LoopPath::Sse2);
#endif
#if defined(__x86_64__)
        EXPECT_EQ(loopPath() == LoopPath::Avx2, __builtin_cpu_supports("avx2") != 0);
#endif
    }
}

}  // namespace
