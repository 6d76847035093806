// The pixel loops under image drawing and RGB transfer: copies, binary-alpha copies and the
// translucent blend, over pixel words (bytes red, green, blue, alpha) and ARGB integers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace javax::microedition::lcdui::pixels {

// 0xAARRGGBB <-> pixel word: the lowest and third bytes change places (the same both ways).
constexpr uint32_t swapRedBlue(uint32_t v) {
    return (v & 0xFF00FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
}

// Moves each colour byte of d the fraction f / 256 (f from 1 to 255) of the way to s's, rounding
// toward d: d + floor((s - d) f / 256). d's alpha byte stays.
constexpr uint32_t moveColours(uint32_t d, uint32_t s, uint32_t f) {
    // d + floor((s - d) f / 256) == (s f + d (256 - f)) >> 8, and each sum fits 16 bits, so red and
    // blue share one multiply.
    uint32_t g = 256 - f;
    uint32_t redBlue = (((s & 0x00FF00FFu) * f + (d & 0x00FF00FFu) * g) >> 8) & 0x00FF00FFu;
    uint32_t green = (((s & 0x0000FF00u) * f + (d & 0x0000FF00u) * g) >> 8) & 0x0000FF00u;
    return (d & 0xFF000000u) | redBlue | green;
}

// Source-over of one pixel word s onto d: alpha 0 keeps d, alpha 255 gives s, any other alpha a
// moves each colour byte by floor((s - d) x (a + 1) / 256) and keeps d's alpha byte.
constexpr uint32_t blendPixel(uint32_t d, uint32_t s) {
    uint32_t a = s >> 24;
    if (a == 0) return d;
    if (a == 255) return s;
    return moveColours(d, s, a + 1);
}

// One text pixel: coverage 0 keeps d, 255 gives the colour word s, any other coverage c moves each
// colour byte by floor((s - d) x c / 256) and keeps d's alpha byte.
constexpr uint32_t coverPixel(uint32_t d, uint32_t s, uint32_t c) {
    if (c == 0) return d;
    if (c == 255) return s;
    return moveColours(d, s, c);
}

enum class BlitLoop {
    Opaque,       // every word copied
    BinaryAlpha,  // words with alpha 0 skipped, the others copied
    Translucent,  // blendPixel
};

// Draws a rows x columns block of source words (row stride sourceStride) into the destination: the
// source's first word goes to dst, and the destination moves by columnStep words per source column
// and rowStep per source row. The source must not overlap the destination.
void blit(uint32_t* dst, ptrdiff_t columnStep, ptrdiff_t rowStep, const uint32_t* src, ptrdiff_t sourceStride,
          int columns, int rows, BlitLoop loop);

// Where the transforms (0 to 7; any other value acts as 0) put the first source word of a columns x
// rows block, relative to the top left of the drawn block, and how the destination steps per source
// column and row in a buffer of the given stride. Transforms 4 to 7 exchange the drawn sides.
struct TransformWalk {
    int startX, startY;
    ptrdiff_t columnStep, rowStep;
};
TransformWalk transformWalk(int transform, int columns, int rows, ptrdiff_t stride);

// Draws a columns x rows coverage mask (coverageStride bytes per row) in the colour word s by
// coverPixel onto the destination (destinationStride words per row).
void blendCoverage(uint32_t* dst, ptrdiff_t destinationStride, const uint8_t* coverage,
                   ptrdiff_t coverageStride, int columns, int rows, uint32_t s);

// One row of ARGB integers written as pixel words: opaque, or blended by their alpha.
void writeArgbRow(uint32_t* dst, const int32_t* argb, int count, bool processAlpha);

// The widest instruction set the loops use: the best this processor and build have, or a lower one
// forced through the environment variable QUILL_PIXEL_LOOPS ("avx2", "sse2" or "scalar"; read
// once), so that the tests can run every path on any machine. Every path gives the same pixels.
// Avx512 stands for AVX-512 F, BW and VL together.
enum class LoopPath { Scalar, Sse2, Avx2, Avx512 };
LoopPath loopPath();

// One row of pixel words read back as ARGB integers, alpha included.
void readArgbRow(int32_t* argb, const uint32_t* src, int count);

}  // namespace javax::microedition::lcdui::pixels
