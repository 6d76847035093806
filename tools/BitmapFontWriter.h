// Writes bitmap font files (the "tsbmpfnt" resource) from glyph coverage masks: the glyph sheet, its
// boxes, the run-length coding and the character list. The font tool and the tests both use it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fonttools {

struct GlyphMask {
    unsigned short code = 0;
    // Columns of the glyph box, which are also its advance less the one pixel of spacing; at most 32.
    int width = 0;
    // Rows of the mask and where its first row lies below the top of the text line.
    int height = 0;
    int yOffset = 0;
    // width x height coverage values, row by row; 0 is empty, 255 full.
    std::vector<uint8_t> coverage;
};

struct FontDescription {
    int fontHeight = 0;
    // Glyph cells per sheet row; 0 picks a near-square grid.
    int columns = 0;
    // The space is not a glyph of the file: the reader appends it with this advance (less spacing).
    int spaceAdvance = 0;
    std::vector<GlyphMask> glyphs;
};

// The three encodings a reader takes:
// - Plain: a zero byte where the marker would be, 4-bit values in one-byte runs, one bit per pixel
//   when read.
// - Coverage: marker with version 0 and 8 value bits, (value, count) byte pairs, 8-bit coverage.
// - Custom: marker with any other version or value bits, one bit per pixel when read. Runs are
//   (value, count) pairs when the value bits are 8, one-byte runs otherwise.
enum class FontEncoding { Plain, Coverage, Custom };

struct EncodingSettings {
    FontEncoding encoding = FontEncoding::Plain;
    int version = 0;
    int valueBits = 4;
};

// Coverage at or above this is a set pixel in the one-bit encodings.
constexpr int kOneBitThreshold = 128;
constexpr int kMaxGlyphWidth = 32;

// The file bytes, or an empty vector with the reason in *error when the description cannot be written
// (a glyph wider than 32, a mask taller than the font, more than 32767 glyphs, settings the reader
// would take for another encoding, ...).
std::vector<uint8_t> writeBitmapFont(const FontDescription& font, const EncodingSettings& settings,
                                     std::string* error);

// The two bytes the reader turns into an advance: the first taken as signed plus the second as
// unsigned. Advances from -128 to 382 can be written.
bool encodeSpaceAdvance(int advance, uint8_t* high, uint8_t* low);

}  // namespace fonttools
