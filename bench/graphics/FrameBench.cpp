// A whole 640 x 960 frame as the application draws one (a full-screen opaque background image, a
// translucent full-screen overlay, 100 binary-alpha sprites, 40 lines of text, then the flush copy
// to the presented buffer) beside 8 full-screen pixman OVER composites on the same size.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/graphics/BenchFont.h"
#include "bench/graphics/BenchImages.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/String.h"

namespace {

using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

constexpr int kWidth = 640, kHeight = 960;
constexpr int kSprite = 64, kSprites = 100, kTextLines = 40, kCompositesPerFrame = 8;

using benchimages::randomImage;

struct Scene {
    std::vector<uint32_t> frame = std::vector<uint32_t>(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
    std::vector<uint32_t> presented = std::vector<uint32_t>(frame.size());
    JavaPtr<Graphics> graphics = jnew<Graphics>();
    JavaPtr<Image> background = randomImage(kWidth, kHeight, 1, false, false);
    JavaPtr<Image> overlay = randomImage(kWidth, kHeight, 2, false, true);
    JavaPtr<Image> sprite = randomImage(kSprite, kSprite, 3, true, false);
    std::vector<std::pair<int, int>> spritePositions;
    std::vector<JavaPtr<java::lang::String>> lines;

    Scene() {
        graphics->pixels = frame.data();
        graphics->width = kWidth;
        graphics->height = kHeight;
        graphics->setClip(0, 0, kWidth, kHeight);
        std::mt19937 random(4);
        for (int i = 0; i < kSprites; ++i) {
            spritePositions.emplace_back(static_cast<int>(random() % (kWidth + kSprite)) - kSprite,
                                         static_cast<int>(random() % (kHeight + kSprite)) - kSprite);
        }
        const std::string text = "The quick brown fox jumps over the lazy dog";
        for (int i = 0; i < kTextLines; ++i) {
            lines.push_back(jnew<java::lang::String>(text.substr(i % 3, 40).c_str()));
        }
    }

    void draw() {
        graphics->drawImage(background, 0, 0, Graphics::TOP | Graphics::LEFT);
        graphics->drawImage(overlay, 0, 0, Graphics::TOP | Graphics::LEFT);
        for (auto [x, y] : spritePositions) graphics->drawImage(sprite, x, y, Graphics::TOP | Graphics::LEFT);
        graphics->setColor(0xFFFFFF);
        const int lineHeight = BitmapFontSystem::fontHeight(0);
        for (int i = 0; i < kTextLines; ++i) {
            graphics->drawString(lines[i], 4, 4 + i * lineHeight, Graphics::TOP | Graphics::LEFT);
        }
        std::memcpy(presented.data(), frame.data(), frame.size() * sizeof(uint32_t));
    }
};

void setFrameCounters(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(kWidth) + "x" + std::to_string(kHeight));
}

void WholeFrame(benchmark::State& state) {
    if (!benchfont::loadBenchFont("coverage")) {
        state.SkipWithError("bench font missing");
        return;
    }
    Scene scene;
    for (auto _ : state) {
        scene.draw();
        benchmark::DoNotOptimize(scene.presented.data());
        benchmark::ClobberMemory();
    }
    setFrameCounters(state);
}
BENCHMARK(WholeFrame);

void WholeFramePixmanOverComposites(benchmark::State& state) {
    // A premultiplied translucent source over an opaque target, both full screen.
    std::mt19937 random(2);
    std::vector<uint32_t> source(static_cast<size_t>(kWidth) * kHeight);
    for (auto& word : source) {
        const uint32_t a = 1 + random() % 254;
        uint32_t out = a << 24;
        for (int shift : {0, 8, 16}) out |= ((((random() >> shift) & 0xFF) * a + 127) / 255) << shift;
        word = out;
    }
    std::vector<uint32_t> target(source.size(), 0xFF102030u);
    pixman_image_t* from =
        pixman_image_create_bits(PIXMAN_a8b8g8r8, kWidth, kHeight, source.data(), kWidth * 4);
    pixman_image_t* to =
        pixman_image_create_bits(PIXMAN_x8b8g8r8, kWidth, kHeight, target.data(), kWidth * 4);
    for (auto _ : state) {
        for (int i = 0; i < kCompositesPerFrame; ++i) {
            pixman_image_composite32(PIXMAN_OP_OVER, from, nullptr, to, 0, 0, 0, 0, 0, 0, kWidth, kHeight);
        }
        benchmark::ClobberMemory();
    }
    pixman_image_unref(from);
    pixman_image_unref(to);
    setFrameCounters(state);
}
BENCHMARK(WholeFramePixmanOverComposites);

}  // namespace
