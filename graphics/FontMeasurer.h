// Character widths read one at a time under a single hold of the font lock, for loops that measure until
// a width is reached, such as the word wrap: taking the lock for each character cost more than the
// measuring itself. Every width is the one Font::charWidth gives.
#pragma once

#include <mutex>

#include "graphics/BitmapFontSystem.h"
#include "graphics/Font.h"

namespace javax::microedition::lcdui {

class FontMeasurer {
public:
    // Holds the font lock until destroyed when the font measures with the bitmap font: nothing that takes
    // that lock may run meanwhile (Font's own measuring, drawing text).
    explicit FontMeasurer(const Font& font);
    FontMeasurer(const FontMeasurer&) = delete;
    FontMeasurer& operator=(const FontMeasurer&) = delete;

    int charWidth(unsigned short c) const {
        if (c < BitmapFontSystem::kDirectGlyphCount && m_directGlyph != nullptr) {
            const int glyph = m_directGlyph[c];
            return glyph < 0 ? BitmapFontSystem::kMissingCharWidth : m_glyphWidths[glyph] + 1;
        }
        return otherCharWidth(c);
    }

private:
    int otherCharWidth(unsigned short c) const;

    const Font& m_font;
    const bool m_native;
    const int m_fontIndex;
    std::unique_lock<std::mutex> m_lock;
    // Into the loaded font's tables, which the lock keeps in place; null while no font is loaded.
    const int* m_directGlyph = nullptr;
    const int* m_glyphWidths = nullptr;
};

}  // namespace javax::microedition::lcdui
