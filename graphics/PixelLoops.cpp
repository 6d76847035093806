// Pixel loops, with four-pixel SSE2 forms where source and destination both run along a row. Every
// SIMD form computes exactly what the scalar form does.
#include "graphics/PixelLoops.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
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

// blendPixel on four pixels at once.
inline __m128i blendFour(__m128i d, __m128i s) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i alphaByte = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    __m128i a = _mm_srli_epi32(s, 24);
    __m128i f = _mm_add_epi32(a, _mm_set1_epi32(1));
    f = _mm_or_si128(f, _mm_slli_epi32(f, 16));  // the factor in both 16-bit halves of each pixel
    __m128i g = _mm_sub_epi16(_mm_set1_epi16(256), f);
    __m128i fLow = _mm_unpacklo_epi32(f, f), fHigh = _mm_unpackhi_epi32(f, f);
    __m128i gLow = _mm_unpacklo_epi32(g, g), gHigh = _mm_unpackhi_epi32(g, g);
    __m128i low = _mm_add_epi16(_mm_mullo_epi16(_mm_unpacklo_epi8(s, zero), fLow),
                                _mm_mullo_epi16(_mm_unpacklo_epi8(d, zero), gLow));
    __m128i high = _mm_add_epi16(_mm_mullo_epi16(_mm_unpackhi_epi8(s, zero), fHigh),
                                 _mm_mullo_epi16(_mm_unpackhi_epi8(d, zero), gHigh));
    __m128i blended = _mm_packus_epi16(_mm_srli_epi16(low, 8), _mm_srli_epi16(high, 8));
    // Alpha byte: d's, or 0xFF where the source is opaque (the word is then s exactly).
    __m128i opaque = _mm_cmpeq_epi32(a, _mm_set1_epi32(255));
    blended =
        _mm_or_si128(_mm_andnot_si128(alphaByte, blended), _mm_and_si128(alphaByte, _mm_or_si128(d, opaque)));
    __m128i clear = _mm_cmpeq_epi32(a, zero);
    return _mm_or_si128(_mm_and_si128(clear, d), _mm_andnot_si128(clear, blended));
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

// One row with the destination running forwards (+1) or backwards (-1).
template <BlitLoop loop, int direction>
void drawRow(uint32_t* dst, const uint32_t* src, int count) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 4 <= count; i += 4) {
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
#if defined(__SSE2__)
    const __m128i middle = _mm_set1_epi32(static_cast<int>(0xFF00FF00u));
    const __m128i lowByte = _mm_set1_epi32(0xFF);
    const __m128i alphaByte = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    for (; i + 4 <= count; i += 4) {
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

void readArgbRow(int32_t* argb, const uint32_t* src, int count) {
    for (int i = 0; i < count; ++i) argb[i] = static_cast<int32_t>(swapRedBlue(src[i]));
}

}  // namespace javax::microedition::lcdui::pixels
