#include "graphics/FontMeasurer.h"

namespace javax::microedition::lcdui {

FontMeasurer::FontMeasurer(const Font& font)
    : m_font(font),
      m_native(font.usesNativeText()),
      m_fontIndex(BitmapFontSystem::getFontIndex(font.fontByte())) {
    if (m_native) return;
    m_lock = std::unique_lock<std::mutex>(BitmapFontSystem::fontMutex());
    if (!BitmapFontSystem::isLoaded()) return;
    m_directGlyph = BitmapFontSystem::m_directGlyph->data[m_fontIndex]->data;
    m_glyphWidths = BitmapFontSystem::m_charWidths->data[m_fontIndex]->data;
}

int FontMeasurer::otherCharWidth(unsigned short c) const {
    // The platform's font keeps no tables of ours and takes no lock of ours.
    if (m_native) return m_font.charWidth(c);
    const int glyph = BitmapFontSystem::findGlyphLocked(m_fontIndex, c);
    return glyph < 0 ? BitmapFontSystem::kMissingCharWidth
                     : BitmapFontSystem::glyphWidth(m_fontIndex, glyph) + 1;
}

}  // namespace javax::microedition::lcdui
