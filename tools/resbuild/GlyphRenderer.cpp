#include "tools/resbuild/GlyphRenderer.h"

#include <stdexcept>

#include "tools/resbuild/WordWrap.h"

namespace resbuild {

GlyphRenderer::GlyphRenderer(const std::string& fontPath, int lineHeight) {
    std::string error;
    if (!m_source.open(fontPath, lineHeight, &error)) throw std::runtime_error(fontPath + ": " + error);
    std::vector<unsigned int> present;
    for (unsigned int code = 0x21; code <= 0xFF; ++code) {
        if ((code < 0x7F || code > 0xA0) && m_source.hasGlyph(code)) present.push_back(code);
    }
    m_source.fitLine(present);
    for (int code = 0; code < 256; ++code) m_advances[code] = -1;
}

fonttools::FontDescription GlyphRenderer::renderLatin1() {
    fonttools::FontDescription font;
    font.fontHeight = m_source.lineHeight();
    font.spaceAdvance = m_source.advance(0x20) - 1;
    for (unsigned int code = 0x21; code <= 0xFF; ++code) {
        if ((code >= 0x7F && code <= 0xA0) || !m_source.hasGlyph(code)) continue;
        fonttools::GlyphMask glyph;
        bool clipped = false;
        std::string error;
        if (!m_source.render(code, &glyph, &clipped, &error)) throw std::runtime_error(error);
        font.glyphs.push_back(std::move(glyph));
    }
    return font;
}

int GlyphRenderer::advance(unsigned char code) {
    if (m_advances[code] < 0) m_advances[code] = m_source.advance(code);
    return m_advances[code];
}

int GlyphRenderer::textWidth(const std::string& latin1) {
    int width = 0;
    for (char c : latin1) width += advance(static_cast<unsigned char>(c));
    return width;
}

std::vector<std::string> GlyphRenderer::wrap(const std::string& latin1, int maxWidth) {
    return wrapWords(latin1, maxWidth, [this](const std::string& candidate) { return textWidth(candidate); });
}

}  // namespace resbuild
