// Renders a TrueType font at one line height into the glyph masks of a bitmap font, and measures text
// set in it: the fonts of the bundle and the content's layout check share these advances.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tools/BitmapFontWriter.h"
#include "tools/FreeTypeGlyphSource.h"

namespace resbuild {

class GlyphRenderer {
public:
    // Throws std::runtime_error when the font cannot be opened.
    GlyphRenderer(const std::string& fontPath, int lineHeight);

    // Every character of the ISO-8859-1 set that the font has, from 0x21 (the space is the reader's).
    fonttools::FontDescription renderLatin1();
    // Pixel advance of a character as the bitmap font draws it: its box plus one pixel of spacing.
    int advance(unsigned char code);
    int textWidth(const std::string& latin1);
    // Greedy word wrap at maxWidth pixels; a word wider than a line stands alone on its line.
    std::vector<std::string> wrap(const std::string& latin1, int maxWidth);
    bool hasGlyph(unsigned char code) const { return m_source.hasGlyph(code); }

private:
    fonttools::FreeTypeGlyphSource m_source;
    int m_advances[256];
};

}  // namespace resbuild
