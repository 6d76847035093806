// Bitmap-font text through the font slots: slot choice, measuring with the width table or the glyph
// cells, and glyphs drawn from a tiny font group made by the writer, checked pixel by pixel.
#include <gtest/gtest.h>

#include <array>

#include "graphics/Font.h"
#include "tests/engine/TextFixtures.h"
#include "tests/graphics/FontFixtures.h"
#include "tests/support/graphics/PixelCanvas.h"
#include "tools/FontGroupWriter.h"
#include "tools/ImageResourceWriter.h"

namespace {

using namespace texttest;
using fontfixtures::glyphFromRows;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using restools::FontGroup;
using restools::FontGroupWriter;
using testsupport::jstr;
using testsupport::PixelCanvas;
using testsupport::showsPicture;

constexpr int kTopLeft = Graphics::TOP | Graphics::LEFT;

// Line height 4: 'A' two columns from row 1, 'B' one full-height column, U+8000 three columns on the
// last row. Advances (width + 1): A 3, B 2, U+8000 4; the space 2.
FontGroup tinyGroup(int letterSpacing = 0) {
    FontGroup font;
    font.fontHeight = 4;
    font.spaceAdvance = 2;
    font.letterSpacing = letterSpacing;
    font.glyphs.push_back(glyphFromRows('A', 2, 1, {"##", "#."}));
    font.glyphs.push_back(glyphFromRows('B', 1, 0, {"#", "#", "#", "#"}));
    font.glyphs.push_back(glyphFromRows(0x8000, 3, 3, {"###"}));
    return font;
}

FontGroupWriter::Resources written(const FontGroup& font) {
    FontGroupWriter::Resources resources;
    std::string error;
    EXPECT_TRUE(FontGroupWriter::write(font, &resources, &error)) << error;
    return resources;
}

// The box of lit pixels: left, top, right, bottom, or all -1.
std::array<int, 4> inkBox(const PixelCanvas& canvas) {
    std::array<int, 4> box{-1, -1, -1, -1};
    for (int y = 0; y < canvas.height(); ++y) {
        for (int x = 0; x < canvas.width(); ++x) {
            if (canvas.at(x, y) == PixelCanvas::kBackground) continue;
            if (box[0] < 0 || x < box[0]) box[0] = x;
            if (box[1] < 0) box[1] = y;
            box[2] = std::max(box[2], x);
            box[3] = y;
        }
    }
    return box;
}

class BitmapText : public TextResourceFixture {
protected:
    // Installs the groups as loose resources and answers the first id of each, quiz layout.
    std::vector<int> installQuizFonts(const std::vector<FontGroup>& fonts) {
        restools::ResourceMapWriter map;
        std::vector<int> ids;
        for (const FontGroup& font : fonts)
            ids.push_back(FontGroupWriter::addQuizFont(map, -1, written(font)));
        install(map);
        return ids;
    }
    int loadTinyFont() {
        const int slot = canvas->loadBitmapFont(installQuizFonts({tinyGroup()})[0], -1);
        EXPECT_EQ(slot, 0);
        return slot;
    }
};

TEST_F(BitmapText, GlyphsStartAtThePenWithTheirVerticalOffset) {
    const int slot = loadTinyFont();
    PixelCanvas screen(10, 6);
    auto g = screen.makeGraphics();
    canvas->setFont(g, slot);
    EXPECT_EQ(HookCanvas::set_font, slot);
    canvas->drawString(g, jstr("AB"), 1, 1, kTopLeft, -1);
    EXPECT_TRUE(showsPicture(
        screen, {"..........", "....#.....", ".##.#.....", ".#..#.....", "....#.....", ".........."}));
}

TEST_F(BitmapText, AGlyphInsetInItsCellStillStartsAtThePen) {
    // One glyph 'A' of 2 x 2 pixels stored one column and one row into a 4 x 4 cell.
    auto resources = written(tinyGroup());
    restools::CellTable cells{1, 1, {{1, 1, 2, 2}}};
    std::vector<uint8_t> indices(16, 0);
    for (int i : {5, 6, 9}) indices[i] = 15;
    std::string error;
    resources.glyphSheet = restools::ImageResourceWriter::indexed(
        4, 4, indices, 16, restools::PixelEncoding::Plain, &cells, &error);
    ASSERT_FALSE(resources.glyphSheet.empty()) << error;
    resources.characterTable = {0x00, 0x01, 0x00, 0x02, 0x00, 'A'};
    restools::ResourceMapWriter map;
    const int res = FontGroupWriter::addQuizFont(map, -1, resources);
    install(map);
    const int slot = canvas->loadBitmapFont(res, -1);
    ASSERT_EQ(slot, 0);
    PixelCanvas screen(6, 4);
    auto g = screen.makeGraphics();
    canvas->setFont(g, slot);
    canvas->drawString(g, jstr("AA"), 0, 0, kTopLeft, -1);
    EXPECT_TRUE(showsPicture(screen, {"......", "##.##.", "#..#..", "......"}));
}

TEST_F(BitmapText, SpacesMissingGlyphsAndFixedSpacingAdvanceThePen) {
    const int slot = loadTinyFont();
    struct Case {
        const char* name;
        std::u16string text;
        int spacing;
        std::vector<std::string_view> picture;
    };
    const Case cases[] = {
        {"a missing glyph leaves no gap", u"A\u0101B", -1, {".##.#....", ".#..#....", "....#...."}},
        {"a space advances by its width", u"A B", -1, {".##...#..", ".#....#..", "......#.."}},
        {"fixed spacing", u"AB", 5, {".##...#..", ".#....#..", "......#.."}},
        {"fixed spacing for the space too", u" B", 4, {".....#...", ".....#...", ".....#..."}},
    };
    for (const Case& c : cases) {
        PixelCanvas screen(9, 3);
        auto g = screen.makeGraphics();
        canvas->setFont(g, slot);
        canvas->drawString(g, units(c.text), 1, -1, kTopLeft, c.spacing);
        EXPECT_TRUE(showsPicture(screen, {c.picture[0], c.picture[1], c.picture[2]})) << c.name;
    }
}

TEST_F(BitmapText, AnchorsMoveTheTextByItsAdvancesAndTheLineHeight) {
    const int slot = loadTinyFont();
    struct Case {
        const char* name;
        int anchor;
        int spacing;
        int left, top;
    };
    // "AB" advances 3 + 2 = 5; the ink starts at A's left column and B's top row.
    const Case cases[] = {
        {"top left", kTopLeft, -1, 6, 6},
        {"hcenter: half the advances", Graphics::HCENTER | Graphics::TOP, -1, 4, 6},
        {"right: all the advances", Graphics::RIGHT | Graphics::TOP, -1, 1, 6},
        {"vcenter: half the line height", Graphics::LEFT | Graphics::VCENTER, -1, 6, 4},
        {"bottom: the whole line height", Graphics::LEFT | Graphics::BOTTOM, -1, 6, 2},
        {"both centres", Graphics::HCENTER | Graphics::VCENTER, -1, 4, 4},
        {"hcenter with fixed spacing", Graphics::HCENTER | Graphics::TOP, 4, 2, 6},
    };
    for (const Case& c : cases) {
        PixelCanvas screen(14, 14);
        auto g = screen.makeGraphics();
        canvas->setFont(g, slot);
        canvas->drawString(g, jstr("AB"), 6, 6, c.anchor, c.spacing);
        const auto box = inkBox(screen);
        EXPECT_EQ(box[0], c.left) << c.name;
        EXPECT_EQ(box[1], c.top) << c.name;
    }
}

TEST_F(BitmapText, TextBelowFiveQuartersOfTheScreenIsCulled) {
    const int slot = loadTinyFont();
    const int limit = (5 * kScreenHeight) >> 2;
    for (int y : {limit, limit + 1}) {
        PixelCanvas screen(4, limit + 8);
        auto g = screen.makeGraphics();
        canvas->setFont(g, slot);
        canvas->drawString(g, jstr("B"), 0, y, kTopLeft, -1);
        EXPECT_EQ(inkBox(screen)[1], y == limit ? limit : -1) << y;
    }
}

TEST_F(BitmapText, CharactersFromU8000AreFound) {
    const int slot = loadTinyFont();
    EXPECT_EQ(canvas->getBitmapFontCharacterIndex(slot, 0x8000), 2);
    EXPECT_EQ(canvas->getBitmapFontCharacterIndex(slot, 0xFFFF), -1);
    EXPECT_EQ(canvas->getCharWidth(slot, 0x8000), 4);
    PixelCanvas screen(5, 4);
    auto g = screen.makeGraphics();
    canvas->setFont(g, slot);
    canvas->drawString(g, units(u"\u8000"), 1, 0, kTopLeft, -1);
    EXPECT_TRUE(showsPicture(screen, {".....", ".....", ".....", ".###."}));
}

TEST_F(BitmapText, WidthsComeFromTheWidthTableOrTheCellsWithLetterSpacing) {
    restools::ResourceMapWriter map;
    const int quizPlain = FontGroupWriter::addQuizFont(map, -1, written(tinyGroup(0)));
    const int enginePlain = FontGroupWriter::addEngineFont(map, -1, written(tinyGroup(0)));
    const int quizTight = FontGroupWriter::addQuizFont(map, -1, written(tinyGroup(-1)));
    const int engineTight = FontGroupWriter::addEngineFont(map, -1, written(tinyGroup(-1)));
    install(map);
    struct Case {
        const char* name;
        int res;
        bool engine;
        // Space, 'A', 'B', a missing character.
        std::array<int, 4> widths;
    };
    const Case cases[] = {
        {"width table", quizPlain, false, {2, 3, 2, 0}},
        {"cell widths", enginePlain, true, {2, 2, 1, 0}},
        {"width table, spacing -1", quizTight, false, {1, 2, 1, 0}},
        {"cell widths, spacing -1", engineTight, true, {1, 1, 0, 0}},
    };
    for (const Case& c : cases) {
        const int slot =
            c.engine ? canvas->_FuSeD_mThD_1_loadBitmapFont(c.res, -1) : canvas->loadBitmapFont(c.res, -1);
        ASSERT_EQ(slot, 0) << c.name;
        const unsigned short chars[] = {' ', 'A', 'B', 'Z'};
        for (int i = 0; i < 4; ++i) {
            const int width = c.engine ? canvas->_FuSeD_mThD_1_getCharWidth(slot, chars[i])
                                       : canvas->getCharWidth(slot, chars[i]);
            EXPECT_EQ(width, c.widths[i]) << c.name << " " << char(chars[i]);
        }
        EXPECT_EQ(canvas->getFontHeight(slot), 4) << c.name;
        canvas->unloadFont(slot);
    }
}

TEST_F(BitmapText, StringWidthsSumTheAdvances) {
    const int slot = loadTinyFont();
    EXPECT_EQ(canvas->getStringWidth(slot, jstr("")), 0);
    EXPECT_EQ(canvas->getStringWidth(slot, jstr("A BZ")), 3 + 2 + 2);
    auto chars = jnew<JArray<unsigned short>>(2);
    chars->data[0] = 'B';
    chars->data[1] = 'B';
    EXPECT_EQ(canvas->getCharsWidth(slot, chars), 4);
    EXPECT_EQ(canvas->getMaxStringWidths(slot, jnew<JArray<JavaPtr<java::lang::String>>>(0)), 0);
    auto lines = jnew<JArray<JavaPtr<java::lang::String>>>(2);
    lines->data[0] = jstr("AB");
    lines->data[1] = jstr("A A");
    EXPECT_EQ(canvas->getMaxStringWidths(slot, lines), 8);
}

TEST_F(BitmapText, TheSameFontKeepsItsSlotAndAThirdIsRefused) {
    const auto ids = installQuizFonts({tinyGroup(0), tinyGroup(-1), tinyGroup(1)});
    EXPECT_EQ(canvas->loadBitmapFont(ids[0], -1), 0);
    EXPECT_EQ(canvas->loadBitmapFont(ids[0], -1), 0);
    EXPECT_EQ(canvas->loadBitmapFont(ids[1], -1), 1);
    EXPECT_EQ(slotsInUse(), 2);
    EXPECT_EQ(canvas->loadBitmapFont(ids[2], -1), -1);
    EXPECT_EQ(slotsInUse(), 2) << "the refused font's sheet is released";
    EXPECT_EQ(canvas->loadSystemFont(Font::FACE_PROPORTIONAL, 0, Font::SIZE_SMALL, 0), -1);
    EXPECT_EQ(canvas->getCharWidth(1, ' '), 1);

    canvas->unloadFont(1);
    EXPECT_EQ(slotsInUse(), 1);
    EXPECT_EQ(canvas->loadBitmapFont(ids[2], -1), 1);
    EXPECT_EQ(canvas->getCharWidth(1, ' '), 3);
}

TEST_F(BitmapText, SplitStringsStackByTheLineSpacing) {
    const int slot = loadTinyFont();
    auto lines = jnew<JArray<JavaPtr<java::lang::String>>>(2);
    lines->data[0] = jstr("A");
    lines->data[1] = jstr("B");
    for (int anchor : {kTopLeft, Graphics::LEFT | Graphics::BOTTOM}) {
        PixelCanvas screen(3, 10);
        auto g = screen.makeGraphics();
        canvas->setFont(g, slot);
        canvas->drawSplitString(g, lines, 0, anchor == kTopLeft ? 0 : 10, anchor, 5);
        EXPECT_TRUE(
            showsPicture(screen, {"...", "##.", "#..", "...", "...", "#..", "#..", "#..", "#..", "..."}))
            << anchor;
    }
}

TEST_F(BitmapText, PlatformFontSlotsDrawWithTheGraphicsFont) {
    ASSERT_TRUE(fontfixtures::loadFont(fontfixtures::writeFont(fontfixtures::tinyFont())));
    const int slot = canvas->loadSystemFont(Font::FACE_PROPORTIONAL, 0, Font::SIZE_SMALL, 0xFFFFFF);
    EXPECT_EQ(slot, 0);
    EXPECT_EQ(canvas->loadSystemFont(Font::FACE_PROPORTIONAL, 0, Font::SIZE_SMALL, 0xFFFFFF), 0);
    EXPECT_EQ(canvas->loadSystemFont(Font::FACE_PROPORTIONAL, 0, Font::SIZE_SMALL, 0xFF0000), 1);
    const auto font = Font::getFont(Font::FACE_PROPORTIONAL, 0, Font::SIZE_SMALL);
    EXPECT_EQ(canvas->getCharWidth(slot, 'B'), font->charWidth('B'));
    EXPECT_EQ(canvas->getFontHeight(slot), font->getHeight());

    PixelCanvas expected(16, 8);
    auto reference = expected.makeGraphics();
    reference->setColor(0xFFFFFF);
    reference->setFont(font);
    reference->drawString(jstr("AiB"), 1, 1, kTopLeft);

    // A String ignores offset and length when drawn proportionally.
    PixelCanvas screen(16, 8);
    auto g = screen.makeGraphics();
    canvas->setFont(g, slot);
    canvas->drawCharsOrString(g, jstr("AiB"), nullptr, 1, 1, 1, 1, kTopLeft, -1);
    EXPECT_EQ(screen.ascii(), expected.ascii());

    // Fixed spacing places each character at its own pen position.
    PixelCanvas spaced(16, 8);
    auto spacedGraphics = spaced.makeGraphics();
    canvas->setFont(spacedGraphics, slot);
    canvas->drawString(spacedGraphics, jstr("iB"), 1, 1, kTopLeft, 6);
    PixelCanvas spacedExpected(16, 8);
    auto each = spacedExpected.makeGraphics();
    each->setColor(0xFFFFFF);
    each->setFont(font);
    each->drawChar('i', 1, 1, kTopLeft);
    each->drawChar('B', 7, 1, kTopLeft);
    EXPECT_EQ(spaced.ascii(), spacedExpected.ascii());
}

}  // namespace
