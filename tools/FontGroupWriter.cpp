// The font group's four resources. Each glyph's pixels start at the left edge of its cell (its pen
// position), its vertical offset kept in the cell record, so the canvas draws it at the pen.
#include "tools/FontGroupWriter.h"

#include <algorithm>
#include <cmath>
#include <set>

#include "tools/ImageResourceWriter.h"
#include "tools/ResourceMapWriter.h"

namespace restools {

namespace {

constexpr int kLevels = 16;

void putS16(FontGroupWriter::Bytes& out, int value) {
    out.push_back(static_cast<uint8_t>(value >> 8));
    out.push_back(static_cast<uint8_t>(value));
}

int addResource(ResourceMapWriter& map, int block, const FontGroupWriter::Bytes& bytes) {
    return block < 0 ? map.addLooseResource(bytes) : map.addPackedResource(block, bytes);
}

bool refuse(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

}  // namespace

bool FontGroupWriter::write(const FontGroup& font, Resources* out, std::string* error) {
    const int count = static_cast<int>(font.glyphs.size());
    if (count == 0) return refuse(error, "a font needs at least one glyph");
    // The character table holds the count, the spacing entry and one code per glyph in 32767 shorts.
    if (count > INT16_MAX - 2) return refuse(error, "more than 32765 glyphs");
    if (font.fontHeight <= 0 || font.fontHeight > INT16_MAX)
        return refuse(error, "a line height outside 1..32767");
    if (font.spaceAdvance < 0 || font.spaceAdvance > 255)
        return refuse(error, "a space advance outside 0..255");
    if (font.letterSpacing < -128 || font.letterSpacing > 127)
        return refuse(error, "a letter spacing outside -128..127");
    if (!font.advances.empty() && font.advances.size() != font.glyphs.size())
        return refuse(error, "advances given for some glyphs only");

    std::set<unsigned short> codes;
    int cellWidth = 1;
    for (const fonttools::GlyphMask& glyph : font.glyphs) {
        const std::string which = "glyph U+" + std::to_string(glyph.code);
        if (!codes.insert(glyph.code).second) return refuse(error, which + " appears twice");
        if (glyph.width < 0 || glyph.height < 0 ||
            glyph.coverage.size() != static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height))
            return refuse(error, which + " has a mask of the wrong size");
        if (glyph.yOffset < 0 || glyph.yOffset + glyph.height > font.fontHeight)
            return refuse(error, which + " does not fit the line height");
        cellWidth = std::max(cellWidth, glyph.width);
    }
    for (size_t i = 0; i < font.advances.size(); ++i) {
        if (font.advances[i] < INT16_MIN || font.advances[i] > INT16_MAX)
            return refuse(error, "an advance outside the 16-bit range");
    }

    const int across = font.columns > 0 ? std::min(font.columns, count)
                                        : static_cast<int>(std::ceil(std::sqrt(double(count))));
    const int down = (count + across - 1) / across;
    const int64_t width = int64_t{across} * cellWidth;
    const int64_t height = int64_t{down} * font.fontHeight;
    if (width > INT16_MAX || height > INT16_MAX) return refuse(error, "the glyph sheet exceeds 32767 pixels");

    Resources result;
    putS16(result.characterTable, count);
    putS16(result.characterTable, (font.letterSpacing & 0xFF) << 8 | font.spaceAdvance);
    for (const fonttools::GlyphMask& glyph : font.glyphs) putS16(result.characterTable, glyph.code);
    for (int i = 0; i < count; ++i)
        putS16(result.widthTable, font.advances.empty() ? font.glyphs[i].width + 1 : font.advances[i]);

    std::vector<uint8_t> indices(static_cast<size_t>(width * height), 0);
    CellTable cells;
    cells.across = across;
    cells.down = down;
    for (int i = 0; i < across * down; ++i) {
        const int left = (i % across) * cellWidth;
        const int top = (i / across) * font.fontHeight;
        if (i >= count) {
            cells.cells.push_back({left, top, 0, 0});
            continue;
        }
        const fonttools::GlyphMask& glyph = font.glyphs[i];
        cells.cells.push_back({left, top + glyph.yOffset, glyph.width, glyph.height});
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                const int coverage = glyph.coverage[static_cast<size_t>(row * glyph.width + column)];
                indices[static_cast<size_t>((top + glyph.yOffset + row) * width + left + column)] =
                    static_cast<uint8_t>((coverage * (kLevels - 1) + 127) / 255);
            }
        }
    }
    result.glyphSheet =
        ImageResourceWriter::indexed(static_cast<int>(width), static_cast<int>(height), indices, kLevels,
                                     PixelEncoding::RunLength, &cells, error);
    if (result.glyphSheet.empty()) return false;
    std::vector<uint32_t> palette;
    for (int level = 0; level < kLevels; ++level)
        palette.push_back(static_cast<uint32_t>(level * 255 / (kLevels - 1)) << 24 |
                          (font.colour & 0xFFFFFF));
    result.palette = ImageResourceWriter::palette(palette);
    *out = std::move(result);
    return true;
}

int FontGroupWriter::addQuizFont(ResourceMapWriter& map, int block, const Resources& font) {
    auto add = [&](const Bytes& bytes) { return addResource(map, block, bytes); };
    const int first = add(font.characterTable);
    add(font.widthTable);
    add(font.glyphSheet);
    add(font.palette);
    return first;
}

int FontGroupWriter::addEngineFont(ResourceMapWriter& map, int block, const Resources& font) {
    auto add = [&](const Bytes& bytes) { return addResource(map, block, bytes); };
    const int first = add(font.characterTable);
    add(font.glyphSheet);
    add(font.palette);
    return first;
}

}  // namespace restools
