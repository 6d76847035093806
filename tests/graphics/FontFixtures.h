// Font files for the graphics tests: a tiny hand-made font written through the font writer, and a
// byte builder for files the writer would refuse to make.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "graphics/BitmapFontSystem.h"
#include "tools/BitmapFontWriter.h"

namespace fontfixtures {

// Big-endian bytes, for hand-made and corrupt files.
struct ByteBuilder {
    std::vector<uint8_t> bytes;
    ByteBuilder& u8(int value) {
        bytes.push_back(static_cast<uint8_t>(value & 0xFF));
        return *this;
    }
    ByteBuilder& s16(int value) {
        u8(value >> 8);
        return u8(value);
    }
    ByteBuilder& box(int x, int y, int width, int height) { return s16(x).s16(y).s16(width).s16(height); }
};

// A glyph whose mask is given as text rows: '.' is 0, '#' is 255 and the digits 1 to 9 are 1 to 9
// tenths of 255 (so '5' is 127, below the one-bit threshold, and '6' is 153, above it).
inline fonttools::GlyphMask glyphFromRows(unsigned short code, int width, int yOffset,
                                          const std::vector<std::string>& rows) {
    fonttools::GlyphMask glyph;
    glyph.code = code;
    glyph.width = width;
    glyph.yOffset = yOffset;
    glyph.height = static_cast<int>(rows.size());
    for (const std::string& row : rows) {
        for (int x = 0; x < width; ++x) {
            char c = x < static_cast<int>(row.size()) ? row[x] : '.';
            glyph.coverage.push_back(c == '#'   ? 255
                                     : c == '.' ? 0
                                                : static_cast<uint8_t>((c - '0') * 255 / 10));
        }
    }
    return glyph;
}

// Line height 6; 'A' (width 3, four rows from row 1, with grey levels), 'B' (width 5, full height),
// 'i' (width 1, two rows from row 2), space advance 2.
inline fonttools::FontDescription tinyFont() {
    fonttools::FontDescription font;
    font.fontHeight = 6;
    font.columns = 2;
    font.spaceAdvance = 2;
    font.glyphs.push_back(glyphFromRows('A', 3, 1, {".#.", "#5#", "###", "6.3"}));
    font.glyphs.push_back(glyphFromRows('B', 5, 0, {"####.", "#...#", "####.", "#...#", "#...#", "####."}));
    font.glyphs.push_back(glyphFromRows('i', 1, 2, {"#", "9"}));
    return font;
}

inline std::vector<uint8_t> writeFont(const fonttools::FontDescription& font,
                                      fonttools::EncodingSettings settings = {}) {
    std::string error;
    std::vector<uint8_t> bytes = fonttools::writeBitmapFont(font, settings, &error);
    if (bytes.empty()) throw std::runtime_error("fixture font not written: " + error);
    return bytes;
}

inline bool loadFont(const std::vector<uint8_t>& bytes) {
    return javax::microedition::lcdui::BitmapFontSystem::initFromData(bytes.data(), bytes.size());
}

// Unpacks a whole glyph (its width x font height) as loaded.
inline std::vector<uint8_t> loadedGlyph(unsigned short code) {
    using javax::microedition::lcdui::BitmapFontSystem;
    int glyph = BitmapFontSystem::findGlyph(0, code);
    if (glyph < 0) return {};
    int width = BitmapFontSystem::glyphWidth(0, glyph);
    int height = BitmapFontSystem::fontHeight(0);
    std::vector<uint8_t> mask(static_cast<size_t>(width) * height);
    BitmapFontSystem::unpackGlyph(0, glyph, 0, 0, width, height, mask.data());
    return mask;
}

}  // namespace fontfixtures
