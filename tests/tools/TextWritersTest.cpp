// The font group writer's resources byte by byte, and the groups it refuses to write.
#include <gtest/gtest.h>

#include "tests/graphics/FontFixtures.h"
#include "tools/FontGroupWriter.h"
#include "tools/ResourceMapWriter.h"

namespace {

using fontfixtures::glyphFromRows;
using restools::FontGroup;
using restools::FontGroupWriter;

FontGroup twoGlyphs() {
    FontGroup font;
    font.fontHeight = 3;
    font.spaceAdvance = 5;
    font.letterSpacing = -2;
    font.columns = 1;
    font.glyphs.push_back(glyphFromRows('x', 2, 1, {"#.", ".#"}));
    font.glyphs.push_back(glyphFromRows(0xFFFE, 1, 0, {"#", "#", "#"}));
    return font;
}

TEST(FontGroupWriter, TablesHoldCountsCodesAndAdvancesBigEndian) {
    FontGroupWriter::Resources out;
    std::string error;
    ASSERT_TRUE(FontGroupWriter::write(twoGlyphs(), &out, &error)) << error;
    // Count 2; spacing -2 in the high byte, space 5 in the low; the codes.
    EXPECT_EQ(out.characterTable, (std::vector<uint8_t>{0x00, 0x02, 0xFE, 0x05, 0x00, 'x', 0xFF, 0xFE}));
    EXPECT_EQ(out.widthTable, (std::vector<uint8_t>{0x00, 0x03, 0x00, 0x02}));
    // 16 levels of the colour, alpha first, from transparent to opaque.
    ASSERT_EQ(out.palette.size(), 16u * 4);
    EXPECT_EQ(std::vector<uint8_t>(out.palette.begin(), out.palette.begin() + 4),
              (std::vector<uint8_t>{0x00, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(std::vector<uint8_t>(out.palette.end() - 4, out.palette.end()),
              (std::vector<uint8_t>{0xFF, 0xFF, 0xFF, 0xFF}));
    // An encoded-pixel image (format 2) with a cell table: 2 x 6, one cell across, two down; the first
    // glyph's record starts one row into its cell.
    const std::vector<uint8_t> header = {0x82, 0x00, 0x02, 0x00, 0x06, 0x00, 0x01, 0x00, 0x02,
                                         0x00, 0x00, 0x00, 0x01, 0x00, 0x02, 0x00, 0x02, 0x00,
                                         0x00, 0x00, 0x03, 0x00, 0x01, 0x00, 0x03};
    ASSERT_GT(out.glyphSheet.size(), header.size());
    EXPECT_EQ(std::vector<uint8_t>(out.glyphSheet.begin(), out.glyphSheet.begin() + header.size()), header);
}

TEST(FontGroupWriter, GroupsTakeConsecutiveIds) {
    FontGroupWriter::Resources out;
    std::string error;
    ASSERT_TRUE(FontGroupWriter::write(twoGlyphs(), &out, &error)) << error;
    restools::ResourceMapWriter map;
    map.addLooseResource({1});
    EXPECT_EQ(FontGroupWriter::addQuizFont(map, -1, out), 1);
    EXPECT_EQ(FontGroupWriter::addEngineFont(map, map.addBlock(0), out), 5);
    EXPECT_EQ(map.resourceCount(), 8);
}

TEST(FontGroupWriter, RefusesGroupsTheCanvasCannotRead) {
    struct Case {
        const char* name;
        void (*spoil)(FontGroup&);
    };
    const Case cases[] = {
        {"no glyphs", [](FontGroup& f) { f.glyphs.clear(); }},
        {"a repeated code", [](FontGroup& f) { f.glyphs[1].code = 'x'; }},
        {"a mask below the line", [](FontGroup& f) { f.glyphs[0].yOffset = 2; }},
        {"a mask of the wrong size", [](FontGroup& f) { f.glyphs[0].coverage.pop_back(); }},
        {"space advance above 255", [](FontGroup& f) { f.spaceAdvance = 256; }},
        {"letter spacing below -128", [](FontGroup& f) { f.letterSpacing = -129; }},
        {"advances for some glyphs", [](FontGroup& f) { f.advances = {3}; }},
        {"no line height", [](FontGroup& f) { f.fontHeight = 0; }},
        {"a sheet beyond 32767 pixels", [](FontGroup& f) { f.fontHeight = 20000; }},
    };
    for (const Case& c : cases) {
        FontGroup font = twoGlyphs();
        c.spoil(font);
        FontGroupWriter::Resources out;
        std::string error;
        EXPECT_FALSE(FontGroupWriter::write(font, &out, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

}  // namespace
