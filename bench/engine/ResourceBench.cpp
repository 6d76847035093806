// The canvas's image path beside its baselines, in one run: a 640 x 960 full-colour run-length image
// loaded through the in-memory PNG (run-length decoding, the stored-block PNG, the platform decoder)
// beside libpng decoding the same pixels from an ordinary compressed PNG, the path a plain PNG resource
// takes; and the writer's checksums beside zlib's crc32 and adler32 over the same bytes.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <random>
#include <vector>

#include "engine/HookCanvas.h"
#include "graphics/Image.h"
#include "tools/ImageResourceWriter.h"

namespace {

using Bytes = std::vector<uint8_t>;
using javax::microedition::lcdui::Image;

constexpr int kWidth = 640;
constexpr int kHeight = 960;

// Art-like pixels: horizontal runs of 1 to 40 pixels in colours from a set of 48, all opaque.
const std::vector<uint32_t>& picture() {
    static const std::vector<uint32_t> pixels = [] {
        std::mt19937 random(960);
        std::vector<uint32_t> colours(48);
        for (uint32_t& c : colours) c = 0xFF000000u | (random() & 0xFFFFFF);
        std::vector<uint32_t> out;
        out.reserve(static_cast<size_t>(kWidth) * kHeight);
        while (out.size() < static_cast<size_t>(kWidth) * kHeight) {
            uint32_t colour = colours[random() % colours.size()];
            for (size_t run = 1 + random() % 40; run > 0 && out.size() < out.capacity(); --run)
                out.push_back(colour);
        }
        return out;
    }();
    return pixels;
}

JavaPtr<JArray<signed char>> toArray(const Bytes& bytes) {
    JavaPtr<JArray<signed char>> array = jnewArray<signed char>(static_cast<int>(bytes.size()));
    std::memcpy(array->data, bytes.data(), bytes.size());
    return array;
}

// A canvas whose resource 0 is the run-length image, without the bundle.
class BenchCanvas : public HookCanvas {
    TESL_CLASS(BenchCanvas, "bench.BenchCanvas", HookCanvas)
public:
    BenchCanvas() noexcept {}
    BenchCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        std::string error;
        resource = toArray(restools::ImageResourceWriter::fullColour(
            kWidth, kHeight, picture(), restools::PixelEncoding::RunLength, nullptr, &error));
        return this;
    }
    JavaPtr<JArray<signed char>> getResourceByteArray(int32_t id) override {
        return id == 0 ? resource : nullptr;
    }
    JavaPtr<JArray<signed char>> resource;
};

void BM_LoadRunLengthImageThroughInMemoryPng(benchmark::State& state) {
    JavaPtr<BenchCanvas> canvas = jnew<BenchCanvas>();
    for (auto _ : state) {
        int slot = canvas->loadImageID(0, -1, HookCanvas::LOADIMAGETRANSFORM_NONE, false);
        if (!canvas->image_cache->data[slot]->data[0]) state.SkipWithError("the image did not load");
        canvas->unloadImageID(slot);
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_LoadRunLengthImageThroughInMemoryPng)->Unit(benchmark::kMillisecond);

// Baseline: the same pixels as an ordinary compressed PNG (libpng's writer, default compression),
// decoded as a plain PNG resource is.
void BM_BaselineLibpngDecodeCompressedPng(benchmark::State& state) {
    Bytes rgb;
    for (uint32_t c : picture()) rgb.insert(rgb.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)});
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = kWidth;
    image.height = kHeight;
    image.format = PNG_FORMAT_RGB;
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, rgb.data(), 0, nullptr);
    Bytes png(size);
    png_image_write_to_memory(&image, png.data(), &size, 0, rgb.data(), 0, nullptr);
    png.resize(size);
    JavaPtr<JArray<signed char>> bytes = toArray(png);
    for (auto _ : state) {
        JavaPtr<Image> decoded = Image::createImage(bytes, 0, bytes->length);
        if (!decoded) state.SkipWithError("the PNG did not decode");
        benchmark::DoNotOptimize(decoded.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
    state.counters["png_bytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_BaselineLibpngDecodeCompressedPng)->Unit(benchmark::kMillisecond);

const JavaPtr<JArray<signed char>>& checksumBytes() {
    static const JavaPtr<JArray<signed char>> bytes = [] {
        JavaPtr<JArray<signed char>> b = jnewArray<signed char>(1 << 20);
        std::mt19937 random(32);
        for (int i = 0; i < b->length; ++i) b->data[i] = static_cast<signed char>(random());
        return b;
    }();
    return bytes;
}

void BM_PngCalcCrc(benchmark::State& state) {
    const JavaPtr<JArray<signed char>>& bytes = checksumBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(HookCanvas::pngCalcCrc(bytes, bytes->length, bytes->length));
    state.SetBytesProcessed(state.iterations() * bytes->length);
}
BENCHMARK(BM_PngCalcCrc);

void BM_BaselineZlibCrc32(benchmark::State& state) {
    const JavaPtr<JArray<signed char>>& bytes = checksumBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            crc32(0, reinterpret_cast<const Bytef*>(bytes->data), static_cast<uInt>(bytes->length)));
    state.SetBytesProcessed(state.iterations() * bytes->length);
}
BENCHMARK(BM_BaselineZlibCrc32);

void BM_PngCalcAdler(benchmark::State& state) {
    const JavaPtr<JArray<signed char>>& bytes = checksumBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(HookCanvas::pngCalcAdler(bytes, bytes->length, bytes->length, 0));
    state.SetBytesProcessed(state.iterations() * bytes->length);
}
BENCHMARK(BM_PngCalcAdler);

void BM_BaselineZlibAdler32(benchmark::State& state) {
    const JavaPtr<JArray<signed char>>& bytes = checksumBytes();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            adler32(1, reinterpret_cast<const Bytef*>(bytes->data), static_cast<uInt>(bytes->length)));
    state.SetBytesProcessed(state.iterations() * bytes->length);
}
BENCHMARK(BM_BaselineZlibAdler32);

// The whole writer (its inline checksums included) over the decoded 640 x 960 pixels.
void BM_PngCreateByteArrayFullColour(benchmark::State& state) {
    JavaPtr<BenchCanvas> canvas = jnew<BenchCanvas>();
    JavaPtr<JArray<signed char>> pixels = canvas->decodeImage(canvas->resource, 5, kWidth, kHeight);
    for (auto _ : state) benchmark::DoNotOptimize(canvas->pngCreateByteArray(kWidth, kHeight, pixels).get());
    state.SetBytesProcessed(state.iterations() * int64_t{kWidth} * kHeight * 3);
}
BENCHMARK(BM_PngCreateByteArrayFullColour)->Unit(benchmark::kMillisecond);

}  // namespace
