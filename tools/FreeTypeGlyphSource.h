// Renders the glyphs of a TrueType or OpenType font with FreeType into coverage masks sized for one
// line height, ready for the bitmap font writer.
#pragma once

#include <string>
#include <vector>

#include "tools/BitmapFontWriter.h"

namespace fonttools {

class FreeTypeGlyphSource {
public:
    FreeTypeGlyphSource();
    ~FreeTypeGlyphSource();
    FreeTypeGlyphSource(const FreeTypeGlyphSource&) = delete;
    FreeTypeGlyphSource& operator=(const FreeTypeGlyphSource&) = delete;

    // Opens the font and scales it so that ascent plus descent is lineHeight pixels.
    bool open(const std::string& path, int lineHeight, std::string* error);
    // Shrinks the scale, by at most a quarter, until every one of these characters fits the line
    // with hinting (accents on capitals and descenders often overshoot by a pixel), and puts the
    // baseline under the tallest. False when even the smallest scale tried does not fit them all.
    bool fitLine(const std::vector<unsigned int>& codes);

    bool hasGlyph(unsigned int code) const;
    // The glyph of a character: its box starts at the pen position (or at the leftmost pixel when
    // that lies left of the pen) and spans the advance less one pixel of spacing; pixels outside
    // the line or past 32 columns are cut (*clipped says so).
    bool render(unsigned int code, GlyphMask* glyph, bool* clipped, std::string* error);
    // The pen advance of a character in whole pixels.
    int advance(unsigned int code);

    int lineHeight() const { return m_lineHeight; }

private:
    bool setScale(long requestedHeight);

    struct Handles;
    Handles* m_handles;
    int m_lineHeight = 0;
    int m_baseline = 0;
};

}  // namespace fonttools
