// Pixel loops, with four-pixel SSE2 forms where source and destination both run along a row, and
// eight-pixel AVX2 forms of the blends, chosen at run time. Every SIMD form computes exactly what the
// scalar form does.
#include "graphics/PixelLoops.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__)
#include <immintrin.h>
#define QUILL_AVX2_BLENDS 1
#endif

namespace javax::microedition::lcdui::pixels {

namespace {

template <BlitLoop loop>
inline uint32_t drawOne(uint32_t d, uint32_t s) {
    if constexpr (loop == BlitLoop::Opaque) {
        return s;
    } else if constexpr (loop == BlitLoop::BinaryAlpha) {
        return (s >> 24) != 0 ? s : d;
    } else {
        return blendPixel(d, s);
    }
}

#if defined(__SSE2__)

// blendPixel on two pixels widened to 16-bit lanes. Each lane becomes (d x 256 + (s - d) x f) >> 8,
// which is blendPixel's (s f + d (256 - f)) >> 8: the sum lies in 0 to 65280, so the 16-bit lanes may
// wrap on the way and still end exact. The factor is a + 1 for the colour lanes, and is chosen so
// that the special cases need no selects: 0 everywhere when a = 0 (d stays), and for the alpha lane
// 256 when a = 255 (s's alpha) and 0 otherwise (d's alpha stays).
inline __m128i blendTwo(__m128i d16, __m128i s16) {
    const __m128i one = _mm_set1_epi16(1);
    const __m128i colourLanes = _mm_set_epi16(0x0100, -1, -1, -1, 0x0100, -1, -1, -1);
    __m128i a = _mm_shufflehi_epi16(_mm_shufflelo_epi16(s16, 0xFF), 0xFF);
    __m128i f = _mm_and_si128(_mm_add_epi16(a, _mm_min_epi16(a, one)), colourLanes);
    __m128i moved = _mm_mullo_epi16(_mm_sub_epi16(s16, d16), f);
    return _mm_srli_epi16(_mm_add_epi16(_mm_slli_epi16(d16, 8), moved), 8);
}

// blendPixel on four pixels at once, skipping the arithmetic where all four are transparent or all
// opaque, as the inside and outside of most sprites are.
inline __m128i blendFour(__m128i d, __m128i s) {
    const __m128i zero = _mm_setzero_si128();
    __m128i alpha = _mm_srli_epi32(s, 24);
    int clear = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, zero));
    if (clear == 0xFFFF) return d;
    int opaque = _mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_set1_epi32(255)));
    if (opaque == 0xFFFF) return s;
    __m128i low = blendTwo(_mm_unpacklo_epi8(d, zero), _mm_unpacklo_epi8(s, zero));
    __m128i high = blendTwo(_mm_unpackhi_epi8(d, zero), _mm_unpackhi_epi8(s, zero));
    return _mm_packus_epi16(low, high);
}

template <BlitLoop loop>
inline __m128i drawFour(__m128i d, __m128i s) {
    if constexpr (loop == BlitLoop::Opaque) {
        return s;
    } else if constexpr (loop == BlitLoop::BinaryAlpha) {
        __m128i clear = _mm_cmpeq_epi32(_mm_srli_epi32(s, 24), _mm_setzero_si128());
        return _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, s));
    } else {
        return blendFour(d, s);
    }
}

inline __m128i load(const void* p) {
    return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

inline void store(void* p, __m128i v) {
    _mm_storeu_si128(static_cast<__m128i*>(p), v);
}

#endif

#if defined(QUILL_AVX2_BLENDS)

// The same arithmetic as blendTwo and blendFour, on eight pixels.
__attribute__((target("avx2"))) inline __m256i blendEight(__m256i d, __m256i s) {
    const __m256i zero = _mm256_setzero_si256();
    __m256i alpha = _mm256_srli_epi32(s, 24);
    if (static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi32(alpha, zero))) == 0xFFFFFFFFu) return d;
    __m256i opaque = _mm256_cmpeq_epi32(alpha, _mm256_set1_epi32(255));
    if (static_cast<uint32_t>(_mm256_movemask_epi8(opaque)) == 0xFFFFFFFFu) return s;
    const __m256i one = _mm256_set1_epi16(1);
    const __m256i colourLanes =
        _mm256_set_epi16(0x0100, -1, -1, -1, 0x0100, -1, -1, -1, 0x0100, -1, -1, -1, 0x0100, -1, -1, -1);
    __m256i halves[2];
    for (int half = 0; half < 2; ++half) {
        __m256i d16 = half == 0 ? _mm256_unpacklo_epi8(d, zero) : _mm256_unpackhi_epi8(d, zero);
        __m256i s16 = half == 0 ? _mm256_unpacklo_epi8(s, zero) : _mm256_unpackhi_epi8(s, zero);
        __m256i a = _mm256_shufflehi_epi16(_mm256_shufflelo_epi16(s16, 0xFF), 0xFF);
        __m256i f = _mm256_and_si256(_mm256_add_epi16(a, _mm256_min_epi16(a, one)), colourLanes);
        __m256i moved = _mm256_mullo_epi16(_mm256_sub_epi16(s16, d16), f);
        halves[half] = _mm256_srli_epi16(_mm256_add_epi16(_mm256_slli_epi16(d16, 8), moved), 8);
    }
    return _mm256_packus_epi16(halves[0], halves[1]);
}

// Blends whole groups of eight along a row; answers how many pixels it did.
__attribute__((target("avx2"))) int blendRowAvx2(uint32_t* dst, const uint32_t* src, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(out, blendEight(_mm256_loadu_si256(out), s));
    }
    return i;
}

// writeArgbRow on whole groups of eight; answers how many values it did.
__attribute__((target("avx2"))) int writeArgbRowAvx2(uint32_t* dst, const int32_t* argb, int count,
                                                     bool processAlpha) {
    // Bytes B, G, R, A of each value become R, G, B, A.
    const __m256i swap = _mm256_setr_epi8(2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15, 2, 1, 0, 3, 6,
                                          5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
    const __m256i alphaByte = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        __m256i pixels =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(argb + i)), swap);
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(out, processAlpha ? blendEight(_mm256_loadu_si256(out), pixels)
                                              : _mm256_or_si256(pixels, alphaByte));
    }
    return i;
}

#endif

LoopPath chooseLoopPath() {
    LoopPath best = LoopPath::Scalar;
#if defined(__SSE2__)
    best = LoopPath::Sse2;
#endif
#if defined(QUILL_AVX2_BLENDS)
    if (__builtin_cpu_supports("avx2")) best = LoopPath::Avx2;
#endif
    const char* forced = std::getenv("QUILL_PIXEL_LOOPS");
    if (forced == nullptr) return best;
    const std::string_view name = forced;
    const LoopPath wanted = name == "scalar" ? LoopPath::Scalar : name == "sse2" ? LoopPath::Sse2 : best;
    return std::min(wanted, best);
}

inline bool useAvx2() {
    return loopPath() == LoopPath::Avx2;
}

inline bool useSse2() {
    return loopPath() >= LoopPath::Sse2;
}

// One row with the destination running forwards (+1) or backwards (-1).
template <BlitLoop loop, int direction>
void drawRow(uint32_t* dst, const uint32_t* src, int count) {
    int i = 0;
#if defined(QUILL_AVX2_BLENDS)
    if constexpr (loop == BlitLoop::Translucent && direction > 0) {
        if (useAvx2()) i = blendRowAvx2(dst, src, count);
    }
#endif
#if defined(__SSE2__)
    const bool sse2 = useSse2();
    for (; sse2 && i + 4 <= count; i += 4) {
        __m128i s = load(src + i);
        if constexpr (direction > 0) {
            uint32_t* out = dst + i;
            if constexpr (loop == BlitLoop::Opaque) {
                store(out, s);
            } else {
                store(out, drawFour<loop>(load(out), s));
            }
        } else {
            uint32_t* out = dst - i - 3;
            s = _mm_shuffle_epi32(s, _MM_SHUFFLE(0, 1, 2, 3));
            if constexpr (loop == BlitLoop::Opaque) {
                store(out, s);
            } else {
                store(out, drawFour<loop>(load(out), s));
            }
        }
    }
#endif
    for (; i < count; ++i) {
        uint32_t* out = dst + static_cast<ptrdiff_t>(direction) * i;
        *out = drawOne<loop>(*out, src[i]);
    }
}

template <BlitLoop loop>
void blitWith(uint32_t* dst, ptrdiff_t columnStep, ptrdiff_t rowStep, const uint32_t* src,
              ptrdiff_t sourceStride, int columns, int rows) {
    // Whole rows of a buffer as wide as the image: one block.
    if (loop == BlitLoop::Opaque && columnStep == 1 && rowStep == columns && sourceStride == columns) {
        std::memcpy(dst, src, static_cast<size_t>(columns) * static_cast<size_t>(rows) * 4);
        return;
    }
    for (int r = 0; r < rows; ++r, dst += rowStep, src += sourceStride) {
        if (columnStep == 1) {
            if constexpr (loop == BlitLoop::Opaque) {
                std::memcpy(dst, src, static_cast<size_t>(columns) * 4);
            } else {
                drawRow<loop, 1>(dst, src, columns);
            }
        } else if (columnStep == -1) {
            drawRow<loop, -1>(dst, src, columns);
        } else {
            uint32_t* out = dst;
            for (int c = 0; c < columns; ++c, out += columnStep) *out = drawOne<loop>(*out, src[c]);
        }
    }
}

}  // namespace

void blit(uint32_t* dst, ptrdiff_t columnStep, ptrdiff_t rowStep, const uint32_t* src, ptrdiff_t sourceStride,
          int columns, int rows, BlitLoop loop) {
    if (columns <= 0 || rows <= 0) return;
    switch (loop) {
        case BlitLoop::Opaque:
            blitWith<BlitLoop::Opaque>(dst, columnStep, rowStep, src, sourceStride, columns, rows);
            break;
        case BlitLoop::BinaryAlpha:
            blitWith<BlitLoop::BinaryAlpha>(dst, columnStep, rowStep, src, sourceStride, columns, rows);
            break;
        case BlitLoop::Translucent:
            blitWith<BlitLoop::Translucent>(dst, columnStep, rowStep, src, sourceStride, columns, rows);
            break;
    }
}

TransformWalk transformWalk(int transform, int columns, int rows, ptrdiff_t stride) {
    bool exchanged = transform >= 4 && transform <= 7;
    int right = (exchanged ? rows : columns) - 1;
    int bottom = (exchanged ? columns : rows) - 1;
    switch (transform) {
        case 1:
            return {0, bottom, 1, -stride};
        case 2:
            return {right, 0, -1, stride};
        case 3:
            return {right, bottom, -1, -stride};
        case 4:
            return {0, 0, stride, 1};
        case 5:
            return {right, 0, stride, -1};
        case 6:
            return {0, bottom, -stride, 1};
        case 7:
            return {right, bottom, -stride, -1};
        default:
            return {0, 0, 1, stride};
    }
}

void writeArgbRow(uint32_t* dst, const int32_t* argb, int count, bool processAlpha) {
    int i = 0;
#if defined(QUILL_AVX2_BLENDS)
    if (useAvx2()) i = writeArgbRowAvx2(dst, argb, count, processAlpha);
#endif
#if defined(__SSE2__)
    const __m128i middle = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i alphaByte = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const bool sse2 = useSse2();
    for (; sse2 && i + 4 <= count; i += 4) {
        __m128i v = load(argb + i);
        __m128i swapped = _mm_or_si128(
            _mm_or_si128(_mm_and_si128(v, middle), _mm_and_si128(_mm_srli_epi32(v, 16), lowByte)),
            _mm_slli_epi32(_mm_and_si128(v, lowByte), 16));
        if (processAlpha) {
            store(dst + i, blendFour(load(dst + i), swapped));
        } else {
            store(dst + i, _mm_or_si128(swapped, alphaByte));
        }
    }
#endif
    for (; i < count; ++i) {
        uint32_t pixel = swapRedBlue(static_cast<uint32_t>(argb[i]));
        dst[i] = processAlpha ? blendPixel(dst[i], pixel) : (pixel | 0xFF000000u);
    }
}

LoopPath loopPath() {
    static const LoopPath path = chooseLoopPath();
    return path;
}

void readArgbRow(int32_t* argb, const uint32_t* src, int count) {
    for (int i = 0; i < count; ++i) argb[i] = static_cast<int32_t>(swapRedBlue(src[i]));
}

}  // namespace javax::microedition::lcdui::pixels
