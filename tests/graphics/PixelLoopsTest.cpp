#include "graphics/PixelLoops.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// Every alpha over a sweep of source and destination values, in rows that the wide loops take in
// whole groups: the alpha alone, and among alphas 0 and 255, four groups of eight at a time: the alpha
// beside both, once in a group otherwise opaque, once in one otherwise transparent, and absent from a
// group of 0 and 255. Forwards, backwards and as ARGB values.
TEST(PixelLoops, TranslucentRowsMatchTheChannelFormulaOnEveryAlpha) {
    // -1 stands for the alpha under test.
    static constexpr int kAmong[32] = {-1, 0, 255, -1, -1, 255, 0, -1, 255, 255, 255, 255, 255, -1, 255, 255,
                                       0,  0, 0,   0,  0,  -1,  0, 0,  0,   255, 0,   255, 255, 0,  0,   255};
    const struct {
        const char* name;
        uint32_t (*alphaAt)(uint32_t a, size_t column);
    } arrangements[] = {
        {"alone", [](uint32_t a, size_t) { return a; }},
        {"among 0 and 255",
         [](uint32_t a, size_t column) {
             const int alpha = kAmong[column % 32];
             return alpha < 0 ? a : static_cast<uint32_t>(alpha);
         }},
    };
    for (const auto& arrangement : arrangements) {
        for (uint32_t a = 0; a < 256; ++a) {
            // One row of every pair.
            std::vector<uint32_t> source, target, expected;
            for (uint32_t s = 0; s < 256; s += 5) {
                for (uint32_t d = 0; d < 256; d += 5) {
                    const uint32_t alpha = arrangement.alphaAt(a, source.size());
                    source.push_back(alpha << 24 | s << 16 | (255 - s) << 8 | (s ^ d));
                    target.push_back(0x81000000u | d << 16 | d << 8 | (255 - d));
                    expected.push_back(blendByChannel(target.back(), source.back()));
                }
            }
            SCOPED_TRACE(testing::Message() << arrangement.name << ", alpha " << a);
            const int count = static_cast<int>(source.size());
            auto drawn = target;
            blit(drawn.data(), 1, 0, source.data(), 0, count, 1, BlitLoop::Translucent);
            ASSERT_EQ(drawn, expected) << "forwards";

            const std::vector<uint32_t> reversed(source.rbegin(), source.rend());
            drawn = target;
            blit(drawn.data() + count - 1, -1, 0, reversed.data(), 0, count, 1, BlitLoop::Translucent);
            ASSERT_EQ(drawn, expected) << "backwards";

            std::vector<int32_t> argb;
            for (uint32_t word : source) argb.push_back(static_cast<int32_t>(swapRedBlue(word)));
            drawn = target;
            writeArgbRow(drawn.data(), argb.data(), count, true);
            ASSERT_EQ(drawn, expected) << "ARGB row";
        }
    }
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

// Each colour byte moves by floor((s - d) x c / 256), the floor taken on the signed product; the
// destination keeps its alpha. Coverage 255 writes the colour word whole.
uint32_t coverByChannel(uint32_t d, uint32_t s, int c) {
    if (c == 0) return d;
    if (c == 255) return s;
    uint32_t out = d & 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        int sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
        int product = (sc - dc) * c;
        int floored = product >= 0 ? product / 256 : -((-product + 255) / 256);
        out |= static_cast<uint32_t>(dc + floored) << shift;
    }
    return out;
}

// Coverage in runs, as glyph rows have it: blank, solid, and edges of any value in between.
std::vector<uint8_t> randomCoverage(std::mt19937& random, size_t n) {
    std::vector<uint8_t> coverage(n);
    for (size_t i = 0; i < n;) {
        const uint32_t kind = random() % 3;
        const size_t run = std::min<size_t>(n - i, 1 + random() % 20);
        for (size_t k = 0; k < run; ++k, ++i) {
            coverage[i] = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<uint8_t>(random());
        }
    }
    return coverage;
}

// The wide loops work on groups of 4, 8 or 16 pixels with the rest under a mask or one by one: every
// width and every start against a row of memory, with sources whose alphas come in runs (so that
// whole groups are transparent or opaque), matches the model and leaves the words around it alone.
TEST(PixelLoops, RowsOfEveryWidthAndStartMatchTheModelsAndStayInside) {
    std::mt19937 random(19);
    constexpr int kMargin = 20;
    auto runsOfAlpha = [&](size_t n) {
        auto words = randomWords(random, n);
        for (size_t i = 0; i + 1 < n; ++i) {
            if (random() % 4 != 0) words[i + 1] = (words[i] & 0xFF000000u) | (words[i + 1] & 0xFFFFFF);
        }
        return words;
    };
    for (int start = 0; start < 17; ++start) {
        for (int width = 0; width <= 70; ++width) {
            const size_t size = static_cast<size_t>(start + width + kMargin);
            SCOPED_TRACE(testing::Message() << "start " << start << ", width " << width);

            auto source = runsOfAlpha(static_cast<size_t>(width) + 1);
            auto target = randomWords(random, size);
            for (ptrdiff_t direction : {1, -1}) {
                auto drawn = target, expected = target;
                const ptrdiff_t first = direction > 0 ? start : start + width - 1;
                for (int c = 0; c < width; ++c) {
                    uint32_t& d = expected[first + c * direction];
                    d = blendByChannel(d, source[c]);
                }
                blit(drawn.data() + first, direction, 0, source.data(), width, width, 1,
                     BlitLoop::Translucent);
                ASSERT_EQ(drawn, expected) << "translucent blit, direction " << direction;
            }

            auto argb = runsOfAlpha(static_cast<size_t>(width) + 1);
            for (bool processAlpha : {false, true}) {
                auto drawn = target, expected = target;
                for (int c = 0; c < width; ++c) {
                    uint32_t pixel = swapRedBlue(argb[c]);
                    expected[start + c] =
                        processAlpha ? blendByChannel(expected[start + c], pixel) : pixel | 0xFF000000u;
                }
                writeArgbRow(drawn.data() + start, reinterpret_cast<const int32_t*>(argb.data()), width,
                             processAlpha);
                ASSERT_EQ(drawn, expected) << "ARGB row, processAlpha " << processAlpha;
            }

            // Two rows of coverage with a stride past the width, and a colour whose alpha is not 255.
            constexpr int kRows = 2;
            const int coverageStride = width + 3;
            auto coverage = randomCoverage(random, static_cast<size_t>(coverageStride) * kRows);
            const uint32_t colour = static_cast<uint32_t>(random());
            const ptrdiff_t stride = static_cast<ptrdiff_t>(size);
            auto drawn = randomWords(random, size * kRows);
            auto expected = drawn;
            for (int r = 0; r < kRows; ++r) {
                for (int c = 0; c < width; ++c) {
                    uint32_t& d = expected[r * stride + start + c];
                    d = coverByChannel(d, colour, coverage[r * coverageStride + c]);
                }
            }
            blendCoverage(drawn.data() + start, stride, coverage.data(), coverageStride, width, kRows,
                          colour);
            ASSERT_EQ(drawn, expected) << "coverage, colour " << std::hex << colour;
        }
    }
}

// Every coverage value over a sweep of source and destination values, one row per source so that
// the wide loops do the work; the other channels and the alpha bytes watch.
TEST(PixelLoops, CoverageMatchesTheChannelFormulaOnEveryValue) {
    for (int c = 0; c < 256; ++c) {
        const std::vector<uint8_t> coverage(52, static_cast<uint8_t>(c));
        for (uint32_t s = 0; s < 256; s += 3) {
            const uint32_t colour = 0x3C000000u | s << 16 | (255 - s) << 8 | s;
            std::vector<uint32_t> target, expected;
            for (uint32_t d = 0; d < 256; d += 5) {
                target.push_back(0x81000000u | d << 16 | d << 8 | (255 - d));
                expected.push_back(coverByChannel(target.back(), colour, c));
            }
            blendCoverage(target.data(), 0, coverage.data(), 0, static_cast<int>(target.size()), 1, colour);
            ASSERT_EQ(target, expected) << "coverage " << c << ", source " << s;
        }
    }
    EXPECT_EQ(coverPixel(0x40000000u, 0x00FFFFFFu, 128), 0x407F7F7Fu);
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
    } else if (name == "avx2") {
        EXPECT_LE(loopPath(), LoopPath::Avx2);
#if defined(__x86_64__)
        EXPECT_EQ(loopPath() == LoopPath::Avx2, __builtin_cpu_supports("avx2") != 0);
#endif
    } else {
#if defined(__SSE2__)
        EXPECT_GE(loopPath(), LoopPath::Sse2);
#endif
#if defined(__x86_64__)
        const bool avx2 = __builtin_cpu_supports("avx2") != 0;
        const bool avx512 = avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                            __builtin_cpu_supports("avx512vl");
        EXPECT_EQ(loopPath() == LoopPath::Avx512, avx512);
        EXPECT_EQ(loopPath() == LoopPath::Avx2, avx2 && !avx512);
#endif
    }
}

}  // namespace
