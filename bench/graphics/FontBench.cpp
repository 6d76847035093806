// Text drawing: 20 lines of 40 characters in a 1-bit and an 8-bit DejaVu Sans font (16 pixels, made by
// fontmaker at build time), beside pixman compositing the same glyph masks onto the same buffer.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench/graphics/BenchFont.h"
#include "graphics/BitmapFontSystem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "runtime/String.h"

using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::Graphics;

namespace {

constexpr int kLines = 20;
constexpr int kCharacters = 40;
constexpr int kWidth = 640;
constexpr int kHeight = 400;
constexpr uint32_t kWhite = 0xFFFFFF;

using benchfont::loadBenchFont;

// Printable ASCII and spaces from a fixed sequence, so every run draws the same text.
std::vector<std::vector<unsigned short>> benchText() {
    std::vector<std::vector<unsigned short>> lines(kLines);
    uint32_t state = 12345;
    for (auto& line : lines) {
        for (int i = 0; i < kCharacters; ++i) {
            state = state * 1103515245u + 12345u;
            const uint32_t pick = (state >> 16) % 100;
            line.push_back(pick < 15 ? ' ' : static_cast<unsigned short>(0x21 + pick % 94));
        }
    }
    return lines;
}

struct GraphicsText {
    std::vector<uint32_t> buffer = std::vector<uint32_t>(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
    JavaPtr<Graphics> graphics = jnew<Graphics>();
    std::vector<JavaPtr<java::lang::String>> lines;

    GraphicsText() {
        graphics->pixels = buffer.data();
        graphics->width = kWidth;
        graphics->height = kHeight;
        graphics->setClip(0, 0, kWidth, kHeight);
        graphics->setColor(kWhite);
        for (const auto& units : benchText())
            lines.push_back(jnew<java::lang::String>(units.data(), static_cast<int>(units.size())));
    }
    void draw() {
        const int lineHeight = BitmapFontSystem::fontHeight(0);
        for (int i = 0; i < kLines; ++i)
            graphics->drawString(lines[i], 2, 2 + i * lineHeight, Graphics::TOP | Graphics::LEFT);
    }
};

std::vector<uint32_t> drawOnce() {
    GraphicsText text;
    text.draw();
    return text.buffer;
}

void drawWithGraphics(benchmark::State& state, const char* fontName) {
    if (!loadBenchFont(fontName)) {
        state.SkipWithError("bench font missing");
        return;
    }
    GraphicsText text;
    for (auto _ : state) {
        text.draw();
        benchmark::DoNotOptimize(text.buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kLines * kCharacters);
}

// The same layout as drawString (advance = width + 1, 11 for a missing character), worked out once;
// pixman then composites each line's glyphs through an a8 mask.
void drawWithPixman(benchmark::State& state, const char* fontName) {
    if (!loadBenchFont(fontName)) {
        state.SkipWithError("bench font missing");
        return;
    }
    const int lineHeight = BitmapFontSystem::fontHeight(0);
    std::vector<uint32_t> buffer(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
    pixman_image_t* destination =
        pixman_image_create_bits(PIXMAN_a8b8g8r8, kWidth, kHeight, buffer.data(), kWidth * 4);
    pixman_color_t white{0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF};
    pixman_image_t* source = pixman_image_create_solid_fill(&white);
    pixman_glyph_cache_t* cache = pixman_glyph_cache_create();

    // One a8 image per glyph, unpacked from the loaded font: the masks drawString blends.
    std::vector<std::vector<uint8_t>> storage;
    pixman_glyph_cache_freeze(cache);
    const JArray<int>& table = *BitmapFontSystem::m_charToIndex->data[0];
    for (int entry : table) {
        const int glyph = static_cast<int>(static_cast<uint32_t>(entry) >> 16);
        const int width = std::max(1, std::min(BitmapFontSystem::glyphWidth(0, glyph), 32));
        const int stride = (width + 3) & ~3;
        std::vector<uint8_t> unpacked(static_cast<size_t>(width) * lineHeight);
        BitmapFontSystem::unpackGlyph(0, glyph, 0, 0, width, lineHeight, unpacked.data());
        storage.emplace_back(static_cast<size_t>(stride) * lineHeight, 0);
        for (int row = 0; row < lineHeight; ++row)
            std::copy_n(unpacked.begin() + row * width, width, storage.back().begin() + row * stride);
        pixman_image_t* image = pixman_image_create_bits(
            PIXMAN_a8, width, lineHeight, reinterpret_cast<uint32_t*>(storage.back().data()), stride);
        pixman_glyph_cache_insert(cache, nullptr, reinterpret_cast<void*>(static_cast<uintptr_t>(glyph + 1)),
                                  0, -BitmapFontSystem::glyphYOffset(0, glyph), image);
        pixman_image_unref(image);
    }
    pixman_glyph_cache_thaw(cache);

    std::vector<std::vector<pixman_glyph_t>> lines;
    int y = 2;
    for (const auto& units : benchText()) {
        std::vector<pixman_glyph_t> glyphs;
        int x = 2;
        for (unsigned short c : units) {
            const int glyph = BitmapFontSystem::findGlyph(0, c);
            if (glyph < 0) {
                x += BitmapFontSystem::kMissingCharAdvance;
                continue;
            }
            glyphs.push_back(pixman_glyph_t{
                x, y,
                pixman_glyph_cache_lookup(cache, nullptr,
                                          reinterpret_cast<void*>(static_cast<uintptr_t>(glyph + 1)))});
            x += BitmapFontSystem::glyphWidth(0, glyph) + 1;
        }
        lines.push_back(std::move(glyphs));
        y += lineHeight;
    }

    auto compositeAll = [&] {
        for (auto& glyphs : lines) {
            pixman_box32_t extents;
            pixman_glyph_get_extents(cache, static_cast<int>(glyphs.size()), glyphs.data(), &extents);
            pixman_composite_glyphs(PIXMAN_OP_OVER, source, destination, PIXMAN_a8, extents.x1, extents.y1,
                                    extents.x1, extents.y1, extents.x1, extents.y1, extents.x2 - extents.x1,
                                    extents.y2 - extents.y1, cache, static_cast<int>(glyphs.size()),
                                    glyphs.data());
        }
    };
    // Both draw the same text: pixels further apart than pixman's rounding (one step per channel) are
    // counted, and should be none.
    compositeAll();
    const std::vector<uint32_t> reference = drawOnce();
    int differing = 0;
    for (size_t i = 0; i < buffer.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            const int a = static_cast<int>((buffer[i] >> shift) & 0xFF);
            const int b = static_cast<int>((reference[i] >> shift) & 0xFF);
            if (std::abs(a - b) > 1) {
                ++differing;
                break;
            }
        }
    }
    state.counters["differing_pixels"] = differing;

    for (auto _ : state) {
        compositeAll();
        benchmark::DoNotOptimize(buffer.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kLines * kCharacters);
    pixman_glyph_cache_destroy(cache);
    pixman_image_unref(source);
    pixman_image_unref(destination);
}

}  // namespace

BENCHMARK_CAPTURE(drawWithGraphics, OneBit, "plain")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(drawWithPixman, OneBitMasks, "plain")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(drawWithGraphics, EightBit, "coverage")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(drawWithPixman, EightBitMasks, "coverage")->Unit(benchmark::kMicrosecond);
