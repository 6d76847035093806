// Pixel loops, with four-pixel SSE2 forms where source and destination both run along a row, and
// eight-pixel AVX2 and sixteen-pixel AVX-512 forms of the blends, chosen at run time. Every SIMD form
// computes exactly what the scalar form does.
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
#define QUILL_WIDE_BLENDS 1
#define QUILL_AVX2 __attribute__((target("avx2")))
#define QUILL_AVX512 __attribute__((target("avx512f,avx512bw,avx512vl")))
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

// The SIMD blends keep each pixel in place and split it into two pairs of 16-bit lanes: red and blue
// (the low byte of each lane, masked out) and green and alpha (the high byte, shifted down). A lane
// of destination d, source s and factor f (0 to 256, in both lanes of the pixel) becomes
// (d x 256 + (s - d) x f) >> 8, which is moveColours' (s f + d (256 - f)) >> 8: the sum lies in 0 to
// 65280, so the 16-bit lanes may wrap on the way and still end exact, and d x 256 is d shifted left
// in the lane without masking. Green and alpha keep the high byte of the sum in place. The alpha lane
// takes f & 256 only: s's alpha when f is 256, d's otherwise. So f = 0 keeps d whole, f = 256 gives s
// whole, and no selects are needed for either:
//   images: f = a + min(a, 1)        (0 for a = 0, a + 1 otherwise, 256 for a = 255)
//   text:   f = c + sat(c - 254)     (c, and 256 for c = 255)
constexpr uint32_t kLowBytes = 0x00FF00FFu;
constexpr uint32_t kHighBytes = 0xFF00FF00u;
constexpr uint32_t kAlphaLaneFactor = 0x0100FFFFu;  // the factor's mask: all of it for green, 256 for alpha

#if defined(__SSE2__)

inline __m128i splat(uint32_t v) {
    return _mm_set1_epi32(static_cast<int>(v));
}

// The SSE2 form saves three steps: d + floor((s - d) x f / 256) lies in 0 to 255, so each byte's
// move may be added to d with wrap-around, and the move is bits 8 to 15 of the lane's (s - d) x f,
// which the 16-bit product's wrap leaves exact.
inline __m128i moveFour(__m128i d, __m128i sRedBlue, __m128i sGreenAlpha, __m128i f) {
    __m128i redBlue = _mm_mullo_epi16(_mm_sub_epi16(sRedBlue, _mm_and_si128(d, splat(kLowBytes))), f);
    __m128i greenAlpha = _mm_mullo_epi16(_mm_sub_epi16(sGreenAlpha, _mm_srli_epi16(d, 8)),
                                         _mm_and_si128(f, splat(kAlphaLaneFactor)));
    return _mm_add_epi8(
        d, _mm_or_si128(_mm_srli_epi16(redBlue, 8), _mm_and_si128(greenAlpha, splat(kHighBytes))));
}

// The images' factor a + min(a, 1) of 16-bit alphas.
inline __m128i alphaFactors(__m128i alphas) {
    return _mm_add_epi16(alphas, _mm_min_epi16(alphas, _mm_set1_epi16(1)));
}

// Whether any alpha byte of packed green and alpha bytes is translucent: alpha + 127 less 126,
// saturating, is negative for alpha 1 to 254 alone.
inline bool anyTranslucent(__m128i greenAlphaBytes) {
    const __m128i shifted = _mm_add_epi8(greenAlphaBytes, _mm_set1_epi16(0x7F00));
    return (_mm_movemask_epi8(_mm_subs_epi8(shifted, _mm_set1_epi16(0x7E00))) & 0xAAAA) != 0;
}

// blendPixel on four pixels of alpha 0 or 255, given the movemask bits of the alphas' top bits:
// s where they are set, d elsewhere. All of one kind, as in the inside and outside of most sprites,
// need no arithmetic.
inline __m128i pickFour(__m128i d, __m128i s, int opaque) {
    if (opaque == 0) return d;
    if (opaque == 0x8888) return s;
    const __m128i mask = _mm_srai_epi32(s, 31);
    return _mm_or_si128(_mm_and_si128(mask, s), _mm_andnot_si128(mask, d));
}

// blendPixel on four pixels of any alphas, given s's green and alpha lanes and the factors.
inline __m128i mixFour(__m128i d, __m128i s, __m128i sGreenAlpha, __m128i f) {
    return moveFour(d, _mm_and_si128(s, splat(kLowBytes)), sGreenAlpha, f);
}

// blendPixel on four pixels at once, skipping the arithmetic where all four are transparent or all
// opaque, as the inside and outside of most sprites are.
inline __m128i blendFour(__m128i d, __m128i s) {
    const __m128i alpha = _mm_srli_epi32(s, 24);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, _mm_setzero_si128())) == 0xFFFF) return d;
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(alpha, splat(255))) == 0xFFFF) return s;
    return mixFour(d, s, _mm_srli_epi16(s, 8), alphaFactors(_mm_or_si128(alpha, _mm_slli_epi32(alpha, 16))));
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

// Blends whole groups of eight along a row, two fours under one check; answers how many pixels it did.
// Eight transparent pixels are not written at all, eight opaque ones without reading the destination.
inline int blendRowSse2(uint32_t* dst, const uint32_t* src, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i s0 = load(src + i), s1 = load(src + i + 4);
        const __m128i sGreenAlpha0 = _mm_srli_epi16(s0, 8), sGreenAlpha1 = _mm_srli_epi16(s1, 8);
        // The eight pixels' green and alpha bytes in one register serve the checks and then give the
        // eight factors at once.
        const __m128i greenAlphaBytes = _mm_packus_epi16(sGreenAlpha0, sGreenAlpha1);
        if (anyTranslucent(greenAlphaBytes)) {
            const __m128i f = alphaFactors(_mm_srli_epi16(greenAlphaBytes, 8));
            store(dst + i, mixFour(load(dst + i), s0, sGreenAlpha0, _mm_unpacklo_epi16(f, f)));
            store(dst + i + 4, mixFour(load(dst + i + 4), s1, sGreenAlpha1, _mm_unpackhi_epi16(f, f)));
            continue;
        }
        const int opaque = _mm_movemask_epi8(greenAlphaBytes) & 0xAAAA;
        if (opaque == 0) continue;
        if (opaque == 0xAAAA) {
            store(dst + i, s0);
            store(dst + i + 4, s1);
            continue;
        }
        store(dst + i, pickFour(load(dst + i), s0, _mm_movemask_epi8(s0) & 0x8888));
        store(dst + i + 4, pickFour(load(dst + i + 4), s1, _mm_movemask_epi8(s1) & 0x8888));
    }
    return i;
}

// coverPixel on four pixels from column i on while four remain; answers where it stopped.
inline int coverFours(uint32_t* dst, const uint8_t* coverage, int i, int count, uint32_t s) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i sRedBlue = splat(s & kLowBytes), sGreenAlpha = splat((s >> 8) & kLowBytes);
    for (; i + 4 <= count; i += 4) {
        int four;
        std::memcpy(&four, coverage + i, 4);
        if (four == 0) continue;
        if (four == -1) {
            store(dst + i, splat(s));
            continue;
        }
        __m128i c = _mm_unpacklo_epi8(_mm_cvtsi32_si128(four), zero);
        c = _mm_unpacklo_epi16(c, c);
        __m128i f = _mm_add_epi16(c, _mm_subs_epu16(c, _mm_set1_epi16(254)));
        store(dst + i, moveFour(load(dst + i), sRedBlue, sGreenAlpha, f));
    }
    return i;
}

#endif

#if defined(QUILL_WIDE_BLENDS)

// A whole frame and image outrun the second-level cache, and the processor's own prefetching leaves
// the blends waiting on the third; asking for the lines 1 KB ahead brings them to the speed of a
// plain pass over the same memory (bench/graphics: TranslucentBlitTrafficFloor). Prefetches never
// fault, so running past the end of a buffer is harmless.
inline void prefetchAhead(const uint32_t* p) {
    _mm_prefetch(reinterpret_cast<const char*>(reinterpret_cast<uintptr_t>(p) + 1024), _MM_HINT_T0);
}

QUILL_AVX2 inline __m256i splat8(uint32_t v) {
    return _mm256_set1_epi32(static_cast<int>(v));
}

// moveFour on eight pixels.
QUILL_AVX2 inline __m256i moveEight(__m256i d, __m256i sRedBlue, __m256i sGreenAlpha, __m256i f) {
    __m256i redBlue = _mm256_add_epi16(
        _mm256_slli_epi16(d, 8),
        _mm256_mullo_epi16(_mm256_sub_epi16(sRedBlue, _mm256_and_si256(d, splat8(kLowBytes))), f));
    __m256i greenAlpha =
        _mm256_add_epi16(_mm256_and_si256(d, splat8(kHighBytes)),
                         _mm256_mullo_epi16(_mm256_sub_epi16(sGreenAlpha, _mm256_srli_epi16(d, 8)),
                                            _mm256_and_si256(f, splat8(kAlphaLaneFactor))));
    return _mm256_or_si256(_mm256_srli_epi16(redBlue, 8), _mm256_and_si256(greenAlpha, splat8(kHighBytes)));
}

// blendFour on eight pixels.
QUILL_AVX2 inline __m256i blendEight(__m256i d, __m256i s) {
    const __m256i alphaBytes = splat8(0xFF000000u);
    if (_mm256_testz_si256(s, alphaBytes)) return d;
    if (_mm256_testc_si256(s, alphaBytes)) return s;
    // Each pixel's alpha byte into both of its 16-bit lanes.
    const __m256i spreadAlpha = _mm256_setr_epi8(3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1,
                                                 3, -1, 3, -1, 7, -1, 7, -1, 11, -1, 11, -1, 15, -1, 15, -1);
    __m256i a = _mm256_shuffle_epi8(s, spreadAlpha);
    __m256i f = _mm256_add_epi16(a, _mm256_min_epi16(a, _mm256_set1_epi16(1)));
    return moveEight(d, _mm256_and_si256(s, splat8(kLowBytes)), _mm256_srli_epi16(s, 8), f);
}

// Blends whole groups of eight along a row; answers how many pixels it did.
QUILL_AVX2 int blendRowAvx2(uint32_t* dst, const uint32_t* src, int count) {
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        prefetchAhead(src + i);
        prefetchAhead(dst + i);
        __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(out, blendEight(_mm256_loadu_si256(out), s));
    }
    return i;
}

// Bytes B, G, R, A of each ARGB value become R, G, B, A.
#define QUILL_SWAP_RED_BLUE 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15

// writeArgbRow on whole groups of eight; answers how many values it did.
QUILL_AVX2 int writeArgbRowAvx2(uint32_t* dst, const int32_t* argb, int count, bool processAlpha) {
    const __m256i swap = _mm256_setr_epi8(QUILL_SWAP_RED_BLUE, QUILL_SWAP_RED_BLUE);
    int i = 0;
    for (; i + 8 <= count; i += 8) {
        prefetchAhead(reinterpret_cast<const uint32_t*>(argb + i));
        prefetchAhead(dst + i);
        __m256i pixels =
            _mm256_shuffle_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(argb + i)), swap);
        __m256i* out = reinterpret_cast<__m256i*>(dst + i);
        _mm256_storeu_si256(out, processAlpha ? blendEight(_mm256_loadu_si256(out), pixels)
                                              : _mm256_or_si256(pixels, splat8(0xFF000000u)));
    }
    return i;
}

// blendCoverage eight pixels at a time, the rest of each row four at a time and then one by one.
QUILL_AVX2 void blendCoverageAvx2(uint32_t* dst, ptrdiff_t destinationStride, const uint8_t* coverage,
                                  ptrdiff_t coverageStride, int columns, int rows, uint32_t s) {
    const __m256i sRedBlue = splat8(s & kLowBytes), sGreenAlpha = splat8((s >> 8) & kLowBytes);
    // Coverage bytes 0 to 3 in the low half and 4 to 7 in the high half, each into both 16-bit lanes of
    // its pixel.
    const __m256i spreadCoverage = _mm256_setr_epi8(0, -1, 0, -1, 1, -1, 1, -1, 2, -1, 2, -1, 3, -1, 3, -1, 4,
                                                    -1, 4, -1, 5, -1, 5, -1, 6, -1, 6, -1, 7, -1, 7, -1);
    for (int r = 0; r < rows; ++r, dst += destinationStride, coverage += coverageStride) {
        int i = 0;
        for (; i + 8 <= columns; i += 8) {
            uint64_t eight;
            std::memcpy(&eight, coverage + i, 8);
            if (eight == 0) continue;
            __m256i* out = reinterpret_cast<__m256i*>(dst + i);
            if (eight == ~uint64_t{0}) {
                _mm256_storeu_si256(out, splat8(s));
                continue;
            }
            __m256i c =
                _mm256_shuffle_epi8(_mm256_set1_epi64x(static_cast<long long>(eight)), spreadCoverage);
            __m256i f = _mm256_add_epi16(c, _mm256_subs_epu16(c, _mm256_set1_epi16(254)));
            _mm256_storeu_si256(out, moveEight(_mm256_loadu_si256(out), sRedBlue, sGreenAlpha, f));
        }
        i = coverFours(dst, coverage, i, columns, s);
        for (; i < columns; ++i) dst[i] = coverPixel(dst[i], s, coverage[i]);
    }
}

QUILL_AVX512 inline __m512i splat16(uint32_t v) {
    return _mm512_set1_epi32(static_cast<int>(v));
}

// moveFour on sixteen pixels.
QUILL_AVX512 inline __m512i moveSixteen(__m512i d, __m512i sRedBlue, __m512i sGreenAlpha, __m512i f) {
    __m512i redBlue = _mm512_add_epi16(
        _mm512_slli_epi16(d, 8),
        _mm512_mullo_epi16(_mm512_sub_epi16(sRedBlue, _mm512_and_si512(d, splat16(kLowBytes))), f));
    __m512i greenAlpha =
        _mm512_add_epi16(_mm512_and_si512(d, splat16(kHighBytes)),
                         _mm512_mullo_epi16(_mm512_sub_epi16(sGreenAlpha, _mm512_srli_epi16(d, 8)),
                                            _mm512_and_si512(f, splat16(kAlphaLaneFactor))));
    // (red and blue >> 8) | (green and alpha & high bytes), in one instruction.
    return _mm512_ternarylogic_epi32(_mm512_srli_epi16(redBlue, 8), greenAlpha, splat16(kHighBytes), 0xF8);
}

// blendPixel on the active ones of sixteen pixels; the others are neither read nor written (and are
// 0 in s). Sixteen without a translucent pixel, as in most of a sprite, take a masked copy instead.
QUILL_AVX512 inline void blendSixteen(uint32_t* dst, __m512i s, __mmask16 active) {
    // Alpha 1 to 254: s - 0x01000000 below 0xFE000000.
    const __mmask16 translucent =
        _mm512_mask_cmplt_epu32_mask(active, _mm512_sub_epi32(s, splat16(0x01000000u)), splat16(0xFE000000u));
    if (translucent == 0) {
        _mm512_mask_storeu_epi32(dst, _mm512_mask_cmpge_epu32_mask(active, s, splat16(0xFF000000u)), s);
        return;
    }
    // Each pixel's alpha byte into both of its 16-bit lanes.
    const __m512i spreadAlpha = _mm512_set4_epi32(0x800F800F, 0x800B800B, 0x80078007, 0x80038003);
    __m512i a = _mm512_shuffle_epi8(s, spreadAlpha);
    __m512i f = _mm512_add_epi16(a, _mm512_min_epi16(a, _mm512_set1_epi16(1)));
    __m512i d = _mm512_maskz_loadu_epi32(active, dst);
    _mm512_mask_storeu_epi32(
        dst, active, moveSixteen(d, _mm512_and_si512(s, splat16(kLowBytes)), _mm512_srli_epi16(s, 8), f));
}

// The active lanes of sixteen: the first count, at most sixteen.
QUILL_AVX512 inline __mmask16 firstLanes(int count) {
    return count >= 16 ? __mmask16{0xFFFF} : static_cast<__mmask16>((1u << count) - 1);
}

// A whole row blended, the last part under a mask.
QUILL_AVX512 void blendRowAvx512(uint32_t* dst, const uint32_t* src, int count) {
    int i = 0;
    for (; i + 16 <= count; i += 16) {
        prefetchAhead(src + i);
        prefetchAhead(dst + i);
        blendSixteen(dst + i, _mm512_loadu_si512(src + i), 0xFFFF);
    }
    if (i < count) {
        const __mmask16 active = firstLanes(count - i);
        blendSixteen(dst + i, _mm512_maskz_loadu_epi32(active, src + i), active);
    }
}

// A whole writeArgbRow, the last part under a mask.
QUILL_AVX512 void writeArgbRowAvx512(uint32_t* dst, const int32_t* argb, int count, bool processAlpha) {
    const __m512i swap = _mm512_set4_epi32(0x0F0C0D0E, 0x0B08090A, 0x07040506, 0x03000102);
    for (int i = 0; i < count; i += 16) {
        prefetchAhead(reinterpret_cast<const uint32_t*>(argb + i));
        prefetchAhead(dst + i);
        __mmask16 active = firstLanes(count - i);
        __m512i pixels = _mm512_shuffle_epi8(_mm512_maskz_loadu_epi32(active, argb + i), swap);
        if (processAlpha) {
            blendSixteen(dst + i, pixels, active);
        } else {
            _mm512_mask_storeu_epi32(dst + i, active, _mm512_or_si512(pixels, splat16(0xFF000000u)));
        }
    }
}

// blendCoverage sixteen pixels at a time, the last part of each row under a mask: most glyph rows
// are one step.
QUILL_AVX512 void blendCoverageAvx512(uint32_t* dst, ptrdiff_t destinationStride, const uint8_t* coverage,
                                      ptrdiff_t coverageStride, int columns, int rows, uint32_t s) {
    const __m512i colour = splat16(s);
    const __m512i sRedBlue = splat16(s & kLowBytes), sGreenAlpha = splat16((s >> 8) & kLowBytes);
    // Coverage bytes 4j to 4j + 3 in the j-th quarter.
    const __m512i spreadCoverage = _mm512_set_epi32(
        0x800F800F, 0x800E800E, 0x800D800D, 0x800C800C, 0x800B800B, 0x800A800A, 0x80098009, 0x80088008,
        0x80078007, 0x80068006, 0x80058005, 0x80048004, 0x80038003, 0x80028002, 0x80018001, 0x80008000);
    for (int r = 0; r < rows; ++r, dst += destinationStride, coverage += coverageStride) {
        for (int i = 0; i < columns; i += 16) {
            const __mmask16 active = firstLanes(columns - i);
            const __m128i bytes = _mm_maskz_loadu_epi8(active, coverage + i);
            if (_mm_test_all_zeros(bytes, bytes)) continue;
            if (_mm_mask_cmpeq_epi8_mask(active, bytes, _mm_set1_epi8(-1)) == active) {
                _mm512_mask_storeu_epi32(dst + i, active, colour);
                continue;
            }
            // Each byte into both 16-bit lanes of its pixel.
            __m512i c = _mm512_shuffle_epi8(_mm512_maskz_broadcast_i32x4(0xFFFF, bytes), spreadCoverage);
            __m512i f = _mm512_add_epi16(c, _mm512_subs_epu16(c, _mm512_set1_epi16(254)));
            __m512i d = _mm512_maskz_loadu_epi32(active, dst + i);
            _mm512_mask_storeu_epi32(dst + i, active, moveSixteen(d, sRedBlue, sGreenAlpha, f));
        }
    }
}

#endif

LoopPath chooseLoopPath() {
    LoopPath best = LoopPath::Scalar;
#if defined(__SSE2__)
    best = LoopPath::Sse2;
#endif
#if defined(QUILL_WIDE_BLENDS)
    if (__builtin_cpu_supports("avx2")) best = LoopPath::Avx2;
    if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") &&
        __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vl")) {
        best = LoopPath::Avx512;
    }
#endif
    const char* forced = std::getenv("QUILL_PIXEL_LOOPS");
    if (forced == nullptr) return best;
    const std::string_view name = forced;
    const LoopPath wanted = name == "scalar" ? LoopPath::Scalar
                            : name == "sse2" ? LoopPath::Sse2
                            : name == "avx2" ? LoopPath::Avx2
                                             : best;
    return std::min(wanted, best);
}

// One row with the destination running forwards (+1) or backwards (-1).
template <BlitLoop loop, int direction>
void drawRow(uint32_t* dst, const uint32_t* src, int count) {
    int i = 0;
    [[maybe_unused]] const LoopPath path = loopPath();
#if defined(QUILL_WIDE_BLENDS)
    if constexpr (loop == BlitLoop::Translucent && direction > 0) {
        if (path == LoopPath::Avx512) {
            blendRowAvx512(dst, src, count);
            return;
        }
        if (path == LoopPath::Avx2) i = blendRowAvx2(dst, src, count);
    }
#endif
#if defined(__SSE2__)
    if constexpr (loop == BlitLoop::Translucent && direction > 0) {
        if (path == LoopPath::Sse2) i = blendRowSse2(dst, src, count);
    }
    const bool sse2 = path >= LoopPath::Sse2;
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

void blendCoverage(uint32_t* dst, ptrdiff_t destinationStride, const uint8_t* coverage,
                   ptrdiff_t coverageStride, int columns, int rows, uint32_t s) {
    if (columns <= 0 || rows <= 0) return;
    const LoopPath path = loopPath();
#if defined(QUILL_WIDE_BLENDS)
    if (path == LoopPath::Avx512) {
        blendCoverageAvx512(dst, destinationStride, coverage, coverageStride, columns, rows, s);
        return;
    }
    if (path == LoopPath::Avx2) {
        blendCoverageAvx2(dst, destinationStride, coverage, coverageStride, columns, rows, s);
        return;
    }
#endif
    for (int r = 0; r < rows; ++r, dst += destinationStride, coverage += coverageStride) {
        int i = 0;
#if defined(__SSE2__)
        if (path >= LoopPath::Sse2) i = coverFours(dst, coverage, 0, columns, s);
#endif
        for (; i < columns; ++i) dst[i] = coverPixel(dst[i], s, coverage[i]);
    }
}

void writeArgbRow(uint32_t* dst, const int32_t* argb, int count, bool processAlpha) {
    int i = 0;
    const LoopPath path = loopPath();
#if defined(QUILL_WIDE_BLENDS)
    if (path == LoopPath::Avx512) {
        writeArgbRowAvx512(dst, argb, count, processAlpha);
        return;
    }
    if (path == LoopPath::Avx2) i = writeArgbRowAvx2(dst, argb, count, processAlpha);
#endif
#if defined(__SSE2__)
    const __m128i middle = splat(0xFF00FF00u);
    const __m128i lowByte = splat(0xFF);
    const __m128i alphaByte = splat(0xFF000000u);
    for (; path >= LoopPath::Sse2 && i + 4 <= count; i += 4) {
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
