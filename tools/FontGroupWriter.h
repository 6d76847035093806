// Writes a bitmap-font group of the canvas from glyph masks (such as fontwriter's, rendered by the
// FreeType glyph source): the character table, the width table, the glyph sheet (an indexed image with
// one cell per glyph) and its palette. The quiz's fonts take all four at consecutive resource ids; the
// engine's two-resource fonts take the character table, the sheet and the palette.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/BitmapFontWriter.h"

namespace restools {

class ResourceMapWriter;

struct FontGroup {
    // The line height, which is also the height of every glyph cell.
    int fontHeight = 0;
    // Advance of a space, 0 to 255, and the letter spacing added to every advance, -128 to 127.
    int spaceAdvance = 0;
    int letterSpacing = 0;
    // Glyph cells per sheet row; 0 picks a near-square grid.
    int columns = 0;
    // 0xRRGGBB of the glyphs; a mask's coverage becomes their alpha in 16 steps.
    uint32_t colour = 0xFFFFFF;
    // Codes must be distinct; a mask's yOffset places it below the top of the line.
    std::vector<fonttools::GlyphMask> glyphs;
    // Each glyph's advance before letter spacing; empty: each mask's width + 1, as fontwriter counts.
    std::vector<int> advances;
};

class FontGroupWriter {
public:
    using Bytes = std::vector<uint8_t>;

    struct Resources {
        Bytes characterTable;
        Bytes widthTable;
        Bytes glyphSheet;
        Bytes palette;
    };

    // False with the reason in *error when the canvas could not read the group back: no glyphs, more
    // than 32765, a repeated code, a mask that does not fit its cell or the line, advances or spacing
    // out of range, a sheet too large.
    static bool write(const FontGroup& font, Resources* out, std::string* error);

    // Add the resources at consecutive ids in the block (-1: loose files) and answer the first id,
    // the one the canvas's loaders take: character table, width table, sheet, palette for the quiz's
    // loader; character table, sheet, palette for the engine's.
    static int addQuizFont(ResourceMapWriter& map, int block, const Resources& font);
    static int addEngineFont(ResourceMapWriter& map, int block, const Resources& font);
};

}  // namespace restools
