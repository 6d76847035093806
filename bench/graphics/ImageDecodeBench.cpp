// PNG decoding through Image beside libpng's own simplified reader, on the same file.
#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <random>
#include <vector>

#include "graphics/Image.h"
#include "tests/support/EncodedImages.h"

namespace {

using javax::microedition::lcdui::Image;

constexpr int kWidth = 640, kHeight = 960;

// A screen-sized picture with smooth areas, edges and some noise, with alpha.
const std::vector<uint8_t>& screenPng() {
    static const std::vector<uint8_t> file = [] {
        testsupport::PngSpec spec;
        spec.width = kWidth;
        spec.height = kHeight;
        spec.colourType = PNG_COLOR_TYPE_RGB_ALPHA;
        std::mt19937 random(3);
        for (int y = 0; y < kHeight; ++y) {
            std::vector<uint8_t> row;
            for (int x = 0; x < kWidth; ++x) {
                bool inside = ((x / 40) + (y / 40)) % 3 == 0;
                uint8_t noise = static_cast<uint8_t>(random() % 8);
                row.insert(row.end(),
                           {uint8_t(x * 255 / kWidth + noise), uint8_t(y * 255 / kHeight),
                            uint8_t(inside ? 200 : 40 + noise), uint8_t(inside ? 255 : (x + y) & 0xFF)});
            }
            spec.rows.push_back(row);
        }
        return testsupport::encodePng(spec);
    }();
    return file;
}

bool decodeWithLibpng(const std::vector<uint8_t>& file, std::vector<uint8_t>& out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
    image.format = PNG_FORMAT_RGBA;
    out.resize(PNG_IMAGE_SIZE(image));
    bool read = png_image_finish_read(&image, nullptr, out.data(), 0, nullptr) != 0;
    png_image_free(&image);
    return read;
}

void PngDecodeImage(benchmark::State& state) {
    const auto& file = screenPng();
    auto bytes = jnew<JArray<signed char>>(static_cast<int>(file.size()));
    std::memcpy(bytes->data, file.data(), file.size());
    std::vector<uint8_t> reference;
    JavaPtr<Image> check = Image::createImage(bytes, 0, bytes->length);
    if (!decodeWithLibpng(file, reference) || !check ||
        std::memcmp(check->m_pixels, reference.data(), reference.size()) != 0) {
        state.SkipWithError("the two decoders disagree");
        return;
    }
    for (auto _ : state) {
        JavaPtr<Image> image = Image::createImage(bytes, 0, bytes->length);
        benchmark::DoNotOptimize(image.get());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(PngDecodeImage)->Unit(benchmark::kMillisecond);

void PngDecodeLibpngSimplified(benchmark::State& state) {
    const auto& file = screenPng();
    std::vector<uint8_t> out;
    for (auto _ : state) {
        if (!decodeWithLibpng(file, out)) state.SkipWithError("libpng could not read the file");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(PngDecodeLibpngSimplified)->Unit(benchmark::kMillisecond);

}  // namespace
