// Image drawing and RGB transfer beside pixman (and memcpy) on the same memory. Each pair is checked
// for the same pixels before it is timed: exactly for copies, within rounding for pixman's
// premultiplied OVER.
#include <benchmark/benchmark.h>
#include <immintrin.h>
#include <pixman.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"

namespace {

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;

constexpr int kWidth = 640, kHeight = 960;
constexpr int kSquare = 480;  // the transformed image, which fits the target either way round

struct Target {
    std::vector<uint32_t> words = std::vector<uint32_t>(static_cast<size_t>(kWidth) * kHeight, 0xFF102030u);
    JavaPtr<Graphics> graphics;
    pixman_image_t* opaque;  // the same memory, labelled opaque for pixman's fast paths

    Target() {
        graphics = jnew<Graphics>();
        graphics->width = kWidth;
        graphics->height = kHeight;
        graphics->pixels = words.data();
        graphics->setClip(0, 0, kWidth, kHeight);
        opaque = pixman_image_create_bits(PIXMAN_x8b8g8r8, kWidth, kHeight, words.data(), kWidth * 4);
    }
    ~Target() { pixman_image_unref(opaque); }
    void fill(uint32_t word) { std::fill(words.begin(), words.end(), word); }
};

uint32_t randomColour(std::mt19937& random) {
    return random() & 0xFFFFFF;
}

// ARGB values with the given alphas: opaque, binary (a disc on transparency) or any alpha.
enum class Alpha { Opaque, Binary, Any };

std::vector<uint32_t> argbValues(int w, int h, Alpha alpha, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint32_t> values(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            uint32_t a = 0xFF;
            if (alpha == Alpha::Binary) {
                int dx = 2 * x - w, dy = 2 * y - h;
                a = dx * dx + dy * dy < w * h ? 0xFF : 0;
            } else if (alpha == Alpha::Any) {
                a = 1 + random() % 254;
            }
            values[static_cast<size_t>(y) * w + x] = a << 24 | randomColour(random);
        }
    }
    return values;
}

JavaPtr<Image> imageOf(const std::vector<uint32_t>& argb, int w, int h) {
    auto array = jnew<JArray<int>>(w * h);
    std::memcpy(array->data, argb.data(), argb.size() * 4);
    return Image::createRGBImage(array, w, h, true);
}

// Multiplies each word's three colour bytes by its alpha, as pixman's formats with alpha want them.
void premultiply(std::vector<uint32_t>& words) {
    for (auto& w : words) {
        uint32_t a = w >> 24;
        uint32_t out = a << 24;
        for (int shift : {0, 8, 16}) out |= (((w >> shift) & 0xFF) * a + 127) / 255 << shift;
        w = out;
    }
}

// The image's pixels premultiplied, as pixman's a8b8g8r8 wants them.
struct PremultipliedCopy {
    std::vector<uint32_t> words;
    pixman_image_t* image;
    PremultipliedCopy(const Image& source, pixman_format_code_t format)
        : words(source.m_pixels, source.m_pixels + static_cast<size_t>(source.m_width) * source.m_height) {
        if (PIXMAN_FORMAT_A(format) != 0) premultiply(words);
        image = pixman_image_create_bits(format, source.m_width, source.m_height, words.data(),
                                         source.m_width * 4);
    }
    ~PremultipliedCopy() { pixman_image_unref(image); }
};

// Largest difference of any colour byte between two buffers.
int largestDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    int largest = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        for (int shift : {0, 8, 16}) {
            largest = std::max(largest, std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)));
        }
    }
    return largest;
}

bool sameColours(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    return largestDifference(a, b) == 0;
}

void setBytes(benchmark::State& state, int64_t pixelsPerIteration) {
    state.SetBytesProcessed(state.iterations() * pixelsPerIteration * 4);
}

// Times pixman compositing the source's top-left width x height onto the target's.
void timeComposite(benchmark::State& state, pixman_op_t op, pixman_image_t* source, Target& target, int width,
                   int height) {
    for (auto _ : state) {
        pixman_image_composite32(op, source, nullptr, target.opaque, 0, 0, 0, 0, 0, 0, width, height);
        benchmark::ClobberMemory();
    }
    setBytes(state, int64_t{width} * height);
}

// ---- opaque blit ----

const JavaPtr<Image>& opaqueScreen() {
    static JavaPtr<Image> image = imageOf(argbValues(kWidth, kHeight, Alpha::Opaque, 1), kWidth, kHeight);
    return image;
}

void OpaqueBlitDrawImage(benchmark::State& state) {
    Target target;
    const auto& image = opaqueScreen();
    target.graphics->drawImage(image, 0, 0, 0);
    if (std::memcmp(target.words.data(), image->m_pixels, target.words.size() * 4) != 0) {
        state.SkipWithError("drawImage did not copy the image");
    }
    for (auto _ : state) {
        target.graphics->drawImage(image, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    setBytes(state, int64_t{kWidth} * kHeight);
}
BENCHMARK(OpaqueBlitDrawImage);

void OpaqueBlitMemcpy(benchmark::State& state) {
    Target target;
    const auto& image = opaqueScreen();
    for (auto _ : state) {
        std::memcpy(target.words.data(), image->m_pixels, target.words.size() * 4);
        benchmark::ClobberMemory();
    }
    setBytes(state, int64_t{kWidth} * kHeight);
}
BENCHMARK(OpaqueBlitMemcpy);

void OpaqueBlitPixmanSrc(benchmark::State& state) {
    Target target;
    PremultipliedCopy source(*opaqueScreen(), PIXMAN_x8b8g8r8);
    pixman_image_composite32(PIXMAN_OP_SRC, source.image, nullptr, target.opaque, 0, 0, 0, 0, 0, 0, kWidth,
                             kHeight);
    if (!sameColours(target.words, source.words)) state.SkipWithError("pixman did not copy the image");
    timeComposite(state, PIXMAN_OP_SRC, source.image, target, kWidth, kHeight);
}
BENCHMARK(OpaqueBlitPixmanSrc);

// ---- the eight transforms ----

const JavaPtr<Image>& opaqueSquare() {
    static JavaPtr<Image> image = imageOf(argbValues(kSquare, kSquare, Alpha::Opaque, 2), kSquare, kSquare);
    return image;
}

// Destination pixel centre to source pixel centre, for each transform.
pixman_transform_t transformFor(int transform) {
    const pixman_fixed_t one = pixman_fixed_1, size = pixman_int_to_fixed(kSquare);
    // Rows (a, b, e) and (c, d, f): source x = a X + b Y + e, source y = c X + d Y + f.
    pixman_fixed_t m[8][6] = {
        {one, 0, 0, 0, one, 0},         {one, 0, 0, 0, -one, size},     {-one, 0, size, 0, one, 0},
        {-one, 0, size, 0, -one, size}, {0, one, 0, one, 0, 0},         {0, one, 0, -one, 0, size},
        {0, -one, size, one, 0, 0},     {0, -one, size, -one, 0, size},
    };
    pixman_transform_t t;
    const pixman_fixed_t* r = m[transform];
    t.matrix[0][0] = r[0], t.matrix[0][1] = r[1], t.matrix[0][2] = r[2];
    t.matrix[1][0] = r[3], t.matrix[1][1] = r[4], t.matrix[1][2] = r[5];
    t.matrix[2][0] = 0, t.matrix[2][1] = 0, t.matrix[2][2] = one;
    return t;
}

// Makes pixman read the source through the transform, sampling the nearest pixel as drawRegion does.
void setTransform(PremultipliedCopy& source, int transform) {
    pixman_transform_t t = transformFor(transform);
    pixman_image_set_transform(source.image, &t);
    pixman_image_set_filter(source.image, PIXMAN_FILTER_NEAREST, nullptr, 0);
}

void TransformDrawRegion(benchmark::State& state) {
    int transform = static_cast<int>(state.range(0));
    Target ours, theirs;
    const auto& image = opaqueSquare();
    PremultipliedCopy source(*image, PIXMAN_x8b8g8r8);
    setTransform(source, transform);
    ours.graphics->drawRegion(image, 0, 0, kSquare, kSquare, transform, 0, 0, 0);
    pixman_image_composite32(PIXMAN_OP_SRC, source.image, nullptr, theirs.opaque, 0, 0, 0, 0, 0, 0, kSquare,
                             kSquare);
    if (!sameColours(ours.words, theirs.words)) state.SkipWithError("drawRegion and pixman disagree");
    for (auto _ : state) {
        ours.graphics->drawRegion(image, 0, 0, kSquare, kSquare, transform, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    setBytes(state, int64_t{kSquare} * kSquare);
}
BENCHMARK(TransformDrawRegion)->DenseRange(0, 7);

void TransformPixmanSrc(benchmark::State& state) {
    int transform = static_cast<int>(state.range(0));
    Target theirs;
    PremultipliedCopy source(*opaqueSquare(), PIXMAN_x8b8g8r8);
    setTransform(source, transform);
    timeComposite(state, PIXMAN_OP_SRC, source.image, theirs, kSquare, kSquare);
}
BENCHMARK(TransformPixmanSrc)->DenseRange(0, 7);

// ---- translucent blit ----

const JavaPtr<Image>& translucentScreen() {
    static JavaPtr<Image> image = imageOf(argbValues(kWidth, kHeight, Alpha::Any, 3), kWidth, kHeight);
    return image;
}

void TranslucentBlitDrawImage(benchmark::State& state) {
    Target ours, theirs;
    const auto& image = translucentScreen();
    PremultipliedCopy source(*image, PIXMAN_a8b8g8r8);
    ours.graphics->drawImage(image, 0, 0, 0);
    pixman_image_composite32(PIXMAN_OP_OVER, source.image, nullptr, theirs.opaque, 0, 0, 0, 0, 0, 0, kWidth,
                             kHeight);
    int difference = largestDifference(ours.words, theirs.words);
    state.counters["max_diff_vs_pixman"] = difference;
    if (difference > 2) state.SkipWithError("the blend and pixman's OVER disagree");
    for (auto _ : state) {
        ours.graphics->drawImage(image, 0, 0, 0);
        benchmark::ClobberMemory();
    }
    setBytes(state, int64_t{kWidth} * kHeight);
}
BENCHMARK(TranslucentBlitDrawImage);

void TranslucentBlitPixmanOver(benchmark::State& state) {
    Target theirs;
    PremultipliedCopy source(*translucentScreen(), PIXMAN_a8b8g8r8);
    timeComposite(state, PIXMAN_OP_OVER, source.image, theirs, kWidth, kHeight);
}
BENCHMARK(TranslucentBlitPixmanOver);

// The least any blend of the frame can cost on this machine: every source and destination word read
// and the destination written, with the widest vectors the processor has and no arithmetic to speak
// of. memcpy moves as much (its writes read the destination lines in first).
__attribute__((target("avx512f"))) void xorIntoAvx512(uint32_t* dst, const uint32_t* src, size_t count) {
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        __m512i* out = reinterpret_cast<__m512i*>(dst + i);
        _mm512_storeu_si512(out, _mm512_xor_si512(_mm512_loadu_si512(out), _mm512_loadu_si512(src + i)));
    }
    for (; i < count; ++i) dst[i] ^= src[i];
}

__attribute__((target("avx2"))) void xorIntoAvx2(uint32_t* dst, const uint32_t* src, size_t count) {
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(out,
                            _mm256_xor_si256(_mm256_loadu_si256(out),
                                             _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i))));
    }
    for (; i < count; ++i) dst[i] ^= src[i];
}

void xorInto(uint32_t* dst, const uint32_t* src, size_t count) {
    if (__builtin_cpu_supports("avx512f")) {
        xorIntoAvx512(dst, src, count);
    } else if (__builtin_cpu_supports("avx2")) {
        xorIntoAvx2(dst, src, count);
    } else {
        for (size_t i = 0; i < count; ++i) dst[i] ^= src[i];
    }
}

void TranslucentBlitTrafficFloor(benchmark::State& state) {
    Target target;
    const auto& image = translucentScreen();
    for (auto _ : state) {
        xorInto(target.words.data(), image->m_pixels, target.words.size());
        benchmark::ClobberMemory();
    }
    setBytes(state, int64_t{kWidth} * kHeight);
}
BENCHMARK(TranslucentBlitTrafficFloor);

// ---- 100 binary-alpha sprites under a clip ----

constexpr int kSprite = 64, kSprites = 100;
constexpr int kClipX = 16, kClipY = 16, kClipWidth = kWidth - 32, kClipHeight = kHeight - 32;

std::vector<std::pair<int, int>> spritePositions() {
    std::mt19937 random(4);
    std::vector<std::pair<int, int>> positions;
    for (int i = 0; i < kSprites; ++i) {
        positions.emplace_back(static_cast<int>(random() % (kWidth + kSprite)) - kSprite,
                               static_cast<int>(random() % (kHeight + kSprite)) - kSprite);
    }
    return positions;
}

const JavaPtr<Image>& sprite() {
    static JavaPtr<Image> image = imageOf(argbValues(kSprite, kSprite, Alpha::Binary, 5), kSprite, kSprite);
    return image;
}

// Clips the target to the area the sprites are drawn in.
void clipToSpriteArea(Target& target) {
    pixman_region32_t clip;
    pixman_region32_init_rect(&clip, kClipX, kClipY, kClipWidth, kClipHeight);
    pixman_image_set_clip_region32(target.opaque, &clip);
    pixman_region32_fini(&clip);
}

void drawSpritesOurs(Target& target, const std::vector<std::pair<int, int>>& positions) {
    for (auto [x, y] : positions) target.graphics->drawImage(sprite(), x, y, 0);
}

void drawSpritesPixman(Target& target, pixman_image_t* source,
                       const std::vector<std::pair<int, int>>& positions) {
    for (auto [x, y] : positions) {
        pixman_image_composite32(PIXMAN_OP_OVER, source, nullptr, target.opaque, 0, 0, 0, 0, x, y, kSprite,
                                 kSprite);
    }
}

void SpritesDrawImage(benchmark::State& state) {
    Target ours, theirs;
    auto positions = spritePositions();
    PremultipliedCopy source(*sprite(), PIXMAN_a8b8g8r8);
    clipToSpriteArea(theirs);
    ours.graphics->setClip(kClipX, kClipY, kClipWidth, kClipHeight);
    drawSpritesOurs(ours, positions);
    drawSpritesPixman(theirs, source.image, positions);
    if (!sameColours(ours.words, theirs.words)) state.SkipWithError("the sprites and pixman's disagree");
    for (auto _ : state) {
        drawSpritesOurs(ours, positions);
        benchmark::ClobberMemory();
    }
    setBytes(state, int64_t{kSprites} * kSprite * kSprite);
}
BENCHMARK(SpritesDrawImage);

void SpritesPixmanOver(benchmark::State& state) {
    Target theirs;
    auto positions = spritePositions();
    PremultipliedCopy source(*sprite(), PIXMAN_a8b8g8r8);
    clipToSpriteArea(theirs);
    for (auto _ : state) {
        drawSpritesPixman(theirs, source.image, positions);
        benchmark::ClobberMemory();
    }
    setBytes(state, int64_t{kSprites} * kSprite * kSprite);
}
BENCHMARK(SpritesPixmanOver);

// ---- drawRGB ----

JavaPtr<JArray<int>> argbArray(Alpha alpha) {
    auto values = argbValues(kWidth, kHeight, alpha, 6);
    auto array = jnew<JArray<int>>(kWidth * kHeight);
    std::memcpy(array->data, values.data(), values.size() * 4);
    return array;
}

void DrawRgb(benchmark::State& state) {
    bool processAlpha = state.range(0) != 0;
    Target ours, theirs;
    auto array = argbArray(processAlpha ? Alpha::Any : Alpha::Opaque);
    // pixman reads the same integers as a8r8g8b8 words, premultiplied for OVER.
    std::vector<uint32_t> words(reinterpret_cast<uint32_t*>(array->data),
                                reinterpret_cast<uint32_t*>(array->data) + array->length);
    if (processAlpha) premultiply(words);
    pixman_image_t* source =
        pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight, words.data(), kWidth * 4);
    ours.graphics->drawRGB(array, 0, kWidth, 0, 0, kWidth, kHeight, processAlpha);
    pixman_image_composite32(processAlpha ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, source, nullptr, theirs.opaque, 0,
                             0, 0, 0, 0, 0, kWidth, kHeight);
    int difference = largestDifference(ours.words, theirs.words);
    state.counters["max_diff_vs_pixman"] = difference;
    if (difference > (processAlpha ? 2 : 0)) state.SkipWithError("drawRGB and pixman disagree");
    for (auto _ : state) {
        ours.graphics->drawRGB(array, 0, kWidth, 0, 0, kWidth, kHeight, processAlpha);
        benchmark::ClobberMemory();
    }
    pixman_image_unref(source);
    setBytes(state, int64_t{kWidth} * kHeight);
}
BENCHMARK(DrawRgb)->Arg(0)->Arg(1);

void DrawRgbPixman(benchmark::State& state) {
    bool processAlpha = state.range(0) != 0;
    Target theirs;
    auto array = argbArray(processAlpha ? Alpha::Any : Alpha::Opaque);
    pixman_image_t* source = pixman_image_create_bits(PIXMAN_a8r8g8b8, kWidth, kHeight,
                                                      reinterpret_cast<uint32_t*>(array->data), kWidth * 4);
    timeComposite(state, processAlpha ? PIXMAN_OP_OVER : PIXMAN_OP_SRC, source, theirs, kWidth, kHeight);
    pixman_image_unref(source);
}
BENCHMARK(DrawRgbPixman)->Arg(0)->Arg(1);

}  // namespace
