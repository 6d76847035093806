// The same 640 x 960 frame (an opaque background image, a translucent overlay, 100 binary-alpha
// sprites, 40 lines of text, 200 rectangles and lines) drawn by the 2D-over-3D back end on Mesa
// (including the read-back of the finished frame) and by the software renderer, in one run. On the
// GL screen each line of text is one translucent textured quad.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench/graphics/BenchFont.h"
#include "bench/graphics/BenchImages.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "platform/gl/EglOutput.h"
#include "runtime/String.h"

namespace {

using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::ScreenSize;

constexpr int kWidth = 640, kHeight = 960;
constexpr int kSprite = 64, kSprites = 100, kTextLines = 40, kShapes = 100;

using benchimages::randomImage;

struct Scene {
    std::vector<uint32_t> frame = std::vector<uint32_t>(static_cast<size_t>(kWidth) * kHeight, 0xFF000000u);
    std::vector<uint32_t> presented = std::vector<uint32_t>(frame.size());
    JavaPtr<Graphics> graphics;
    JavaPtr<Image> background = randomImage(kWidth, kHeight, 1, false, false);
    JavaPtr<Image> overlay = randomImage(kWidth, kHeight, 2, false, true);
    JavaPtr<Image> sprite = randomImage(kSprite, kSprite, 3, true, false);
    std::vector<std::pair<int, int>> spritePositions;
    std::vector<JavaPtr<java::lang::String>> lines;
    bool throughGL;

    explicit Scene(bool gl) : throughGL(gl) {
        ScreenSize::width = kWidth;
        ScreenSize::height = kHeight;
        graphics = jnew<Graphics>();
        graphics->pixels = frame.data();
        graphics->isScreen = gl;
        std::mt19937 random(4);
        for (int i = 0; i < kSprites; ++i) {
            spritePositions.emplace_back(static_cast<int>(random() % (kWidth + kSprite)) - kSprite,
                                         static_cast<int>(random() % (kHeight + kSprite)) - kSprite);
        }
        const std::string text = "The quick brown fox jumps over the lazy dog";
        for (int i = 0; i < kTextLines; ++i)
            lines.push_back(jnew<java::lang::String>(text.substr(i % 3, 40).c_str()));
    }

    void draw() {
        Graphics& g = *graphics;
        g.drawImage(background, 0, 0, Graphics::TOP | Graphics::LEFT);
        g.drawImage(overlay, 0, 0, Graphics::TOP | Graphics::LEFT);
        for (auto [x, y] : spritePositions) g.drawImage(sprite, x, y, Graphics::TOP | Graphics::LEFT);
        for (int i = 0; i < kShapes; ++i) {
            g.setColor(0x102030 * (i + 1));
            g.fillRect((i * 37) % kWidth, (i * 53) % kHeight, 40, 24);
            g.drawLine((i * 29) % kWidth, (i * 61) % kHeight, (i * 71) % kWidth, (i * 13) % kHeight);
        }
        g.setColor(0xFFFFFF);
        const int lineHeight = BitmapFontSystem::fontHeight(0);
        for (int i = 0; i < kTextLines; ++i)
            g.drawString(lines[i], 4, 4 + i * lineHeight, Graphics::TOP | Graphics::LEFT);
        if (throughGL) {
            flushGraphics2DOver3D(nullptr);
        } else {
            std::memcpy(presented.data(), frame.data(), frame.size() * sizeof(uint32_t));
        }
    }
};

void runFrames(benchmark::State& state, bool gl) {
    if (!benchfont::loadBenchFont("coverage")) {
        state.SkipWithError("bench font missing");
        return;
    }
    if (gl) {
        platform::EglOutput::setOutputSize(kWidth, kHeight);
        std::string reason;
        if (!platform::EglOutput::probe(reason)) {
            state.SkipWithError(("no OpenGL ES 1.1: " + reason).c_str());
            return;
        }
    }
    Scene scene(gl);
    for (auto _ : state) {
        scene.draw();
        benchmark::DoNotOptimize(scene.presented.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(std::to_string(kWidth) + "x" + std::to_string(kHeight));
}

void WholeFrameThroughGL(benchmark::State& state) {
    runFrames(state, true);
}
BENCHMARK(WholeFrameThroughGL)->Unit(benchmark::kMillisecond);

void WholeFrameSoftware(benchmark::State& state) {
    runFrames(state, false);
}
BENCHMARK(WholeFrameSoftware)->Unit(benchmark::kMillisecond);

}  // namespace
