#include "tools/resbuild/QuizFonts.h"

#include <cstring>

#include "engine/ResourceLayout.h"
#include "tools/resbuild/BundleBuilder.h"
#include "tools/resbuild/GlyphRenderer.h"

namespace resbuild {

namespace {

using Bytes = std::vector<uint8_t>;

int readS16(const Bytes& bytes, size_t at) {
    return static_cast<int16_t>(bytes.at(at) << 8 | bytes.at(at + 1));
}

// The font group writer stores its sheet as 16-entry run-length indices. Read that sheet back and store
// the same glyphs with the wanted number of palette entries, levels spread over the new range.
void restoreSheet(restools::FontGroupWriter::Resources& font, const QuizFontSpec& spec) {
    namespace layout = resourcelayout;
    const Bytes& sheet = font.glyphSheet;
    constexpr int kWrittenLevels = 16;
    if (spec.paletteColours == kWrittenLevels && spec.encoding == restools::PixelEncoding::RunLength) return;
    int width = readS16(sheet, layout::kImageWidthOffset),
        height = readS16(sheet, layout::kImageHeightOffset);
    restools::CellTable cells;
    size_t at = layout::kImageHeaderBytes;
    cells.across = readS16(sheet, at);
    cells.down = readS16(sheet, at + 2);
    at += layout::kCellTableHeaderBytes;
    for (int i = 0; i < cells.across * cells.down; ++i, at += layout::kCellRecordBytes) {
        cells.cells.push_back(
            {readS16(sheet, at), readS16(sheet, at + 2), readS16(sheet, at + 4), readS16(sheet, at + 6)});
    }
    if (sheet.at(at++) != layout::kEncodingRunLength)
        throw BuildError("the font sheet is not run-length coded");
    std::vector<uint8_t> indices;
    size_t pixels = static_cast<size_t>(width) * height;
    while (indices.size() < pixels) {
        uint8_t run = sheet.at(at++);
        indices.insert(indices.end(), (run & 0x0F) + 1, static_cast<uint8_t>(run >> 4));
    }
    int top = spec.paletteColours - 1;
    for (uint8_t& index : indices)
        index = static_cast<uint8_t>((index * top + (kWrittenLevels - 1) / 2) / (kWrittenLevels - 1));
    std::string error;
    font.glyphSheet = restools::ImageResourceWriter::indexed(width, height, indices, spec.paletteColours,
                                                             spec.encoding, &cells, &error);
    if (font.glyphSheet.empty()) throw BuildError("font sheet: " + error);
    std::vector<uint32_t> palette;
    for (int level = 0; level <= top; ++level) {
        palette.push_back(static_cast<uint32_t>(level * 255 / top) << 24 | (spec.colour & 0xFFFFFF));
    }
    font.palette = restools::ImageResourceWriter::palette(palette);
}

}  // namespace

restools::FontGroupWriter::Resources QuizFonts::render(const std::string& fontPath,
                                                       const QuizFontSpec& spec) {
    GlyphRenderer renderer(fontPath, spec.lineHeight);
    fonttools::FontDescription rendered = renderer.renderLatin1();
    restools::FontGroup group;
    group.fontHeight = rendered.fontHeight;
    group.spaceAdvance = rendered.spaceAdvance + 1;
    group.colour = spec.colour;
    for (fonttools::GlyphMask& glyph : rendered.glyphs) {
        if (spec.numbersOnly && std::strchr(kNumberCharacters, glyph.code) == nullptr) continue;
        group.glyphs.push_back(std::move(glyph));
    }
    restools::FontGroupWriter::Resources out;
    std::string error;
    if (!restools::FontGroupWriter::write(group, &out, &error)) throw BuildError("font: " + error);
    restoreSheet(out, spec);
    return out;
}

}  // namespace resbuild
