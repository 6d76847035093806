// Writes image resources in every shape the canvas's image loader reads: plain PNG files (whole or
// after a 0 byte, or behind a header with a cell table), palette PNG IDAT contents, indexed pixels of
// 1, 2, 4 or 8 bits and full-colour pixels, each run-length or plain, and palettes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace restools {

// The visible rectangle of one cell, in pixels of the whole image.
struct CellRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// across x down grid cells, their rectangles in stored order.
struct CellTable {
    int across = 0;
    int down = 0;
    std::vector<CellRect> cells;
};

enum class PixelEncoding { RunLength, Plain };

class ImageResourceWriter {
public:
    using Bytes = std::vector<uint8_t>;

    // A palette resource: 0xAARRGGBB colours stored A, R, G, B.
    static Bytes palette(const std::vector<uint32_t>& argb);
    // A PNG file as it stands (the loader knows it by its signature) or after one 0 byte.
    static Bytes plainPng(const Bytes& png);
    static Bytes pngAfterZeroByte(const Bytes& png);

    // The writers below answer the resource, or an empty vector with the reason in *error when the
    // loader would refuse it: a size not above 0 or beyond the pixel cap, pixel data of the wrong
    // length, an index beyond the colours, a cell table whose count or rectangles do not fit.
    // cells may be null (no cell table).

    // A PNG behind the header and cell table; the header's sizes are given by the caller. The table is
    // required: without it the format byte would be 0, which marks a PNG after a 0 byte.
    static Bytes pngWithHeader(const Bytes& png, int width, int height, const CellTable* cells,
                               std::string* error);
    // The IDAT contents of an 8-bit palette PNG (zlib), one index a pixel; the palette is a separate
    // resource.
    static Bytes paletteIdat(int width, int height, const std::vector<uint8_t>& indices, int colourCount,
                             const CellTable* cells, std::string* error);
    // Palette indices, one a pixel, stored in the index width colourCount selects.
    static Bytes indexed(int width, int height, const std::vector<uint8_t>& indices, int colourCount,
                         PixelEncoding encoding, const CellTable* cells, std::string* error);
    // 0xAARRGGBB pixels.
    static Bytes fullColour(int width, int height, const std::vector<uint32_t>& argb, PixelEncoding encoding,
                            const CellTable* cells, std::string* error);
};

}  // namespace restools
