// Rectangle fills beside memset and pixman_fill on the same memory, at the two screen sizes.
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

#include "graphics/Graphics.h"

using javax::microedition::lcdui::Graphics;

namespace {

struct Frame {
    Frame(int w, int h) : width(w), height(h), words(static_cast<size_t>(w) * h, 0xFF000000u) {
        graphics = jnew<Graphics>();
        graphics->width = w;
        graphics->height = h;
        graphics->setClip(0, 0, w, h);
        graphics->pixels = words.data();
        graphics->setColor(0x336699);
    }
    int width, height;
    std::vector<uint32_t> words;
    JavaPtr<Graphics> graphics;
};

void setFrameCounters(benchmark::State& state, const Frame& frame) {
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * frame.width * frame.height * 4);
    state.SetLabel(std::to_string(frame.width) + "x" + std::to_string(frame.height));
}

void FullFrameFillRect(benchmark::State& state) {
    Frame frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        frame.graphics->fillRect(0, 0, frame.width, frame.height);
        benchmark::ClobberMemory();
    }
    setFrameCounters(state, frame);
}
BENCHMARK(FullFrameFillRect)->Args({320, 480})->Args({640, 960});

void FullFrameMemset(benchmark::State& state) {
    Frame frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        std::memset(frame.words.data(), 0x66, frame.words.size() * sizeof(uint32_t));
        benchmark::ClobberMemory();
    }
    setFrameCounters(state, frame);
}
BENCHMARK(FullFrameMemset)->Args({320, 480})->Args({640, 960});

void FullFramePixmanFill(benchmark::State& state) {
    Frame frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        pixman_fill(frame.words.data(), frame.width, 32, 0, 0, frame.width, frame.height, 0xFF996633u);
        benchmark::ClobberMemory();
    }
    setFrameCounters(state, frame);
}
BENCHMARK(FullFramePixmanFill)->Args({320, 480})->Args({640, 960});

struct SmallRect {
    int x, y, w, h;
};

// 200 rectangles of 1 to 48 pixels a side, some reaching past the frame's edges.
std::vector<SmallRect> smallRects(int width, int height) {
    std::mt19937 random(42);
    std::vector<SmallRect> rects;
    for (int i = 0; i < 200; ++i) {
        int w = std::uniform_int_distribution<int>(1, 48)(random);
        int h = std::uniform_int_distribution<int>(1, 48)(random);
        rects.push_back({std::uniform_int_distribution<int>(-16, width - 1)(random),
                         std::uniform_int_distribution<int>(-16, height - 1)(random), w, h});
    }
    return rects;
}

void SmallRectsFillRect(benchmark::State& state) {
    Frame frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto rects = smallRects(frame.width, frame.height);
    for (auto _ : state) {
        for (const SmallRect& r : rects) frame.graphics->fillRect(r.x, r.y, r.w, r.h);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 200);
}
BENCHMARK(SmallRectsFillRect)->Args({320, 480})->Args({640, 960});

// pixman_fill does not clip: each rectangle is cut to the frame first, as fillRect does inside.
void SmallRectsPixmanFill(benchmark::State& state) {
    Frame frame(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto rects = smallRects(frame.width, frame.height);
    for (auto _ : state) {
        for (const SmallRect& r : rects) {
            const int left = std::max(r.x, 0), top = std::max(r.y, 0);
            const int right = std::min(r.x + r.w, frame.width), bottom = std::min(r.y + r.h, frame.height);
            if (left < right && top < bottom) {
                pixman_fill(frame.words.data(), frame.width, 32, left, top, right - left, bottom - top,
                            0xFF996633u);
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * 200);
}
BENCHMARK(SmallRectsPixmanFill)->Args({320, 480})->Args({640, 960});

}  // namespace
