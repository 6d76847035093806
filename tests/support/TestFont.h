// The screens' test font, written with the font writer of tools/: every printable Latin-1 character a
// glyph of 5 columns (an advance of 6 with the pixel of spacing), line height 10, space advance 6. Each
// glyph is a 5 x 8 frame from row 1 with the character code's bits inside, so glyphs differ and frames
// stay stable. Suites that use it link fontwriter and graphics.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "graphics/BitmapFontSystem.h"
#include "tools/BitmapFontWriter.h"

namespace testsupport {

constexpr int kTestFontHeight = 10;
constexpr int kTestFontAdvance = 6;

inline fonttools::FontDescription testFontDescription() {
    fonttools::FontDescription font;
    font.fontHeight = kTestFontHeight;
    font.spaceAdvance = kTestFontAdvance - 1;
    auto addGlyph = [&](unsigned short code) {
        fonttools::GlyphMask glyph;
        glyph.code = code;
        glyph.width = kTestFontAdvance - 1;
        glyph.height = 8;
        glyph.yOffset = 1;
        for (int y = 0; y < glyph.height; ++y) {
            for (int x = 0; x < glyph.width; ++x) {
                bool set = y == 0 || y == glyph.height - 1 || x == 0 || x == glyph.width - 1;
                // Rows 1..6, columns 1..3: bit (row - 1) of the code in the middle column, the outer
                // columns empty, so the low six bits show.
                if (!set && x == 2) set = ((code >> (y - 1)) & 1) != 0;
                glyph.coverage.push_back(set ? 255 : 0);
            }
        }
        font.glyphs.push_back(std::move(glyph));
    };
    for (unsigned short c = 0x21; c <= 0x7E; ++c) addGlyph(c);
    for (unsigned short c = 0xA1; c <= 0xFF; ++c) addGlyph(c);
    return font;
}

inline const std::vector<uint8_t>& testFontBytes() {
    static const std::vector<uint8_t> bytes = [] {
        std::string error;
        std::vector<uint8_t> written = fonttools::writeBitmapFont(testFontDescription(), {}, &error);
        if (written.empty()) throw std::runtime_error("test font not written: " + error);
        return written;
    }();
    return bytes;
}

// Makes the test font the system's bitmap font; false when the font system refused it.
inline bool loadTestFont() {
    const std::vector<uint8_t>& bytes = testFontBytes();
    return javax::microedition::lcdui::BitmapFontSystem::initFromData(bytes.data(), bytes.size());
}

}  // namespace testsupport
