// Decodes the bytes of the bitmap font resource into the tables that text is measured and drawn
// with. Every count, box and run is checked against the data: a file that could make drawing read
// or write outside a table is rejected whole, with a reason for the log.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace javax::microedition::lcdui {

struct BitmapFontTables {
    // 1 or 8: bits per glyph pixel as stored in packedPixelData.
    int bpp = 1;
    int fontHeight = 0;
    // Per glyph index (cells + 1 entries): the width of its box, which is also its advance less the
    // one pixel of spacing, and where its box starts below the top of the text line.
    std::vector<int32_t> charWidths;
    std::vector<int32_t> charYOffset;
    // Characters + 1 entries, sorted by code: code in bits 0-15, glyph index in bits 16-31.
    std::vector<int32_t> charToIndex;
    // fontHeight words per glyph at 1 bit per pixel (bit k of a row is column k), 8 x fontHeight
    // words at 8 bits (byte k & 3 of word k >> 2 is column k).
    std::vector<uint32_t> packedPixelData;
};

class BitmapFontDecoder {
public:
    // The packed glyph table is capped at this many words (64 MiB), far above any font a screen
    // can use, so that a few corrupt header bytes cannot ask for gigabytes.
    static constexpr long long kMaxPackedWords = 1LL << 24;

    // Fills *tables and returns true, or returns false with a short reason (a static string) and
    // *tables unspecified.
    static bool decode(const uint8_t* data, size_t size, BitmapFontTables* tables, const char** reason);
};

}  // namespace javax::microedition::lcdui
