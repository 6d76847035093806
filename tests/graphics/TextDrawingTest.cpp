#include <gtest/gtest.h>

#include <array>

#include "graphics/BitmapFontSystem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "runtime/StringIndexOutOfBoundsException.h"
#include "tests/graphics/FontFixtures.h"
#include "tests/support/graphics/PixelCanvas.h"

using java::lang::String;
using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using testsupport::PixelCanvas;
using testsupport::showsPicture;
using namespace fontfixtures;

namespace {

constexpr uint32_t kOpaqueWhite = 0xFFFFFFFFu;

// The box of pixels that differ from the background: left, top, right, bottom (inclusive), or all -1.
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

class TextDrawingTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(loadFont(writeFont(tinyFont()))); }
};

TEST_F(TextDrawingTest, GlyphsAreDrawnAtTheirOffsetsWithOnePixelOfSpacing) {
    PixelCanvas canvas(16, 8);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    g->drawString(jnew<String>("AiB"), 1, 1, Graphics::TOP | Graphics::LEFT);
    EXPECT_TRUE(showsPicture(
        canvas, {"................", ".......####.....", "..#....#...#....", ".#.#.#.####.....",
                 ".###.#.#...#....", ".#.....#...#....", ".......####.....", "................"}));
}

TEST_F(TextDrawingTest, AnchorsMoveTheTextByItsWidthAndTheFontHeight) {
    struct Case {
        int anchor;
        int left, top;
    };
    // "BB" measures 12 and the font is 6 high; the ink starts at the text's top left corner.
    const Case cases[] = {
        {0, 20, 20},
        {Graphics::LEFT | Graphics::TOP, 20, 20},
        {Graphics::LEFT | Graphics::BASELINE, 20, 20},
        {Graphics::HCENTER, 14, 20},
        {Graphics::RIGHT, 8, 20},
        {Graphics::HCENTER | Graphics::RIGHT, 14, 20},
        {Graphics::VCENTER, 20, 17},
        {Graphics::BOTTOM, 20, 14},
        {Graphics::VCENTER | Graphics::BOTTOM, 20, 11},
        {Graphics::HCENTER | Graphics::BOTTOM, 14, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.anchor);
        PixelCanvas canvas(40, 40);
        JavaPtr<Graphics> g = canvas.makeGraphics();
        g->setColor(0xFFFFFF);
        g->drawString(jnew<String>("BB"), 20, 20, c.anchor);
        EXPECT_EQ(inkBox(canvas), (std::array<int, 4>{c.left, c.top, c.left + 10, c.top + 5}));
    }
    PixelCanvas canvas(40, 40);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    g->translate(3, -2);
    g->drawString(jnew<String>("BB"), 20, 20, Graphics::HCENTER | Graphics::BOTTOM);
    EXPECT_EQ(inkBox(canvas), (std::array<int, 4>{17, 12, 27, 17}));
}

// Coverage 128, 1, 254, 255 and 0 in one row.
fonttools::FontDescription coverageRowFont() {
    fonttools::FontDescription font;
    font.fontHeight = 1;
    fonttools::GlyphMask glyph;
    glyph.code = 'c';
    glyph.width = 5;
    glyph.height = 1;
    glyph.coverage = {128, 1, 254, 255, 0};
    font.glyphs.push_back(glyph);
    return font;
}

uint32_t pixelOf(int red, int green, int blue, int alpha) {
    return static_cast<uint32_t>(red) | static_cast<uint32_t>(green) << 8 |
           static_cast<uint32_t>(blue) << 16 | static_cast<uint32_t>(alpha) << 24;
}

TEST_F(TextDrawingTest, CoverageMovesEachColourByTheFractionCOver256AndKeepsAlpha) {
    ASSERT_TRUE(loadFont(writeFont(coverageRowFont(), {fonttools::FontEncoding::Coverage, 0, 8})));
    struct Case {
        int colour;
        uint32_t background;
        std::array<uint32_t, 5> expected;
    };
    const Case cases[] = {
        // White over black: floor(255 c / 256); full coverage writes the opaque colour.
        {0xFFFFFF,
         pixelOf(0, 0, 0, 0x80),
         {pixelOf(127, 127, 127, 0x80), pixelOf(0, 0, 0, 0x80), pixelOf(253, 253, 253, 0x80), kOpaqueWhite,
          pixelOf(0, 0, 0, 0x80)}},
        // Black over white: the floor of a negative product rounds away from the destination.
        {0x000000,
         pixelOf(255, 255, 255, 0x40),
         {pixelOf(127, 127, 127, 0x40), pixelOf(254, 254, 254, 0x40), pixelOf(1, 1, 1, 0x40),
          pixelOf(0, 0, 0, 255), pixelOf(255, 255, 255, 0x40)}},
        // Each channel on its own.
        {0xFF8000,
         pixelOf(0x10, 0x20, 0x30, 0),
         {pixelOf(135, 80, 24, 0), pixelOf(0x10, 0x20, 0x2F, 0), pixelOf(253, 127, 0, 0),
          pixelOf(255, 128, 0, 255), pixelOf(0x10, 0x20, 0x30, 0)}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colour);
        PixelCanvas canvas(5, 1, c.background);
        JavaPtr<Graphics> g = canvas.makeGraphics();
        g->setColor(c.colour);
        g->drawChar('c', 0, 0, 0);
        for (int x = 0; x < 5; ++x) EXPECT_EQ(canvas.at(x, 0), c.expected[x]) << "column " << x;
    }
}

TEST_F(TextDrawingTest, ClippedTextEqualsUnclippedTextInsideTheClip) {
    ASSERT_TRUE(loadFont(writeFont(tinyFont(), {fonttools::FontEncoding::Coverage, 0, 8})));
    struct Case {
        int x, y, clipX, clipY, clipWidth, clipHeight;
    };
    // Clips cutting through glyphs on every side, text hanging off every edge of the buffer, and a
    // clip that misses the text.
    const Case cases[] = {{2, 2, 4, 3, 9, 2},    {2, 2, 0, 0, 24, 12},  {-3, 1, 0, 0, 24, 12},
                          {15, 8, 0, 0, 24, 12}, {5, -4, 0, 0, 24, 12}, {2, 2, 7, 0, 1, 12},
                          {2, 2, 0, 4, 24, 1},   {2, 2, 20, 9, 4, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " clip " << c.clipX << "," << c.clipY << " "
                                        << c.clipWidth << "x" << c.clipHeight);
        PixelCanvas reference(24, 12);
        JavaPtr<Graphics> whole = reference.makeGraphics();
        whole->setColor(0xFFFFFF);
        whole->drawString(jnew<String>("BA?iB"), c.x, c.y, 0);

        PixelCanvas clipped(24, 12);
        JavaPtr<Graphics> g = clipped.makeGraphics();
        g->setColor(0xFFFFFF);
        g->setClip(c.clipX, c.clipY, c.clipWidth, c.clipHeight);
        g->drawString(jnew<String>("BA?iB"), c.x, c.y, 0);
        for (int y = 0; y < 12; ++y) {
            for (int x = 0; x < 24; ++x) {
                bool inside =
                    x >= c.clipX && x < c.clipX + c.clipWidth && y >= c.clipY && y < c.clipY + c.clipHeight;
                ASSERT_EQ(clipped.at(x, y), inside ? reference.at(x, y) : PixelCanvas::kBackground)
                    << x << "," << y;
            }
        }
    }
}

TEST_F(TextDrawingTest, TextAfterMissingCharactersIsCutAtTheBufferEdge) {
    // "???B" measures 3 x 10 + 6 = 36 and fits the 40 pixels from x = 4, but draws its B from x = 37.
    PixelCanvas canvas(40, 6);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    g->drawString(jnew<String>("???B"), 4, 0, 0);
    EXPECT_TRUE(showsPicture(
        canvas, {".....................................###", ".....................................#..",
                 ".....................................###", ".....................................#..",
                 ".....................................#..", ".....................................###"}));
}

TEST_F(TextDrawingTest, GlyphBoxesReachingBelowTheLineAreCutAtTheBufferEdge) {
    // One column of two cells, 2 pixels high: 'g' has its box one row into the next cell, so it
    // draws one row below the line.
    ByteBuilder file;
    file.u8(0).s16(1).s16(4).s16(1).s16(2).box(0, 1, 1, 2).box(0, 0, 0, 0).u8(0).u8(0xF3);
    file.s16(1).u8(0).u8(1).s16('g');
    ASSERT_TRUE(loadFont(file.bytes));
    PixelCanvas canvas(3, 4);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    g->drawString(jnew<String>("g"), 1, 2, 0);
    EXPECT_TRUE(showsPicture(canvas, {"...", "...", "...", ".#."}));
}

TEST_F(TextDrawingTest, SpaceWiderThanAGlyphAdvancesInFullAndDrawsNothing) {
    fonttools::FontDescription font = tinyFont();
    font.spaceAdvance = 40;
    ASSERT_TRUE(loadFont(writeFont(font)));
    PixelCanvas canvas(90, 8);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    g->drawString(jnew<String>("  i"), 2, 0, 0);
    EXPECT_EQ(inkBox(canvas), (std::array<int, 4>{2 + 82, 2, 2 + 82, 3}));
    EXPECT_EQ(Font::getDefaultFont()->stringWidth(jnew<String>("  i")), 84);
}

TEST_F(TextDrawingTest, CharsAndCharDrawLikeTheStringOfThoseCharacters) {
    PixelCanvas expected(20, 8);
    JavaPtr<Graphics> reference = expected.makeGraphics();
    reference->setColor(0xFFFFFF);
    reference->drawString(jnew<String>("iB"), 1, 1, Graphics::RIGHT);
    reference->drawString(jnew<String>("A"), 10, 1, 0);

    PixelCanvas canvas(20, 8);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    JavaPtr<JArray<unsigned short>> chars = jnew<JArray<unsigned short>>(4);
    for (int i = 0; i < 4; ++i) chars->data[i] = "AiBA"[i];
    g->drawChars(chars, 1, 2, 1, 1, Graphics::RIGHT);
    g->drawChar('A', 10, 1, 0);
    g->drawChars(chars, 0, 0, 0, 0, 0);
    g->drawChars(nullptr, 0, -1, 0, 0, 0);
    EXPECT_EQ(canvas.ascii(), expected.ascii());
    for (auto [offset, length] : {std::pair{3, 2}, {-1, 1}, {5, 1}}) {
        EXPECT_THROW(g->drawChars(chars, offset, length, 0, 0, 0),
                     java::lang::ArrayIndexOutOfBoundsException);
    }
    EXPECT_THROW(g->drawChars(nullptr, 0, 1, 0, 0, 0), java::lang::NullPointerException);
    EXPECT_EQ(canvas.ascii(), expected.ascii());
}

TEST_F(TextDrawingTest, BadRangesAndNullStringsThrowAndDrawNothing) {
    PixelCanvas canvas(20, 8);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    JavaPtr<String> text = jnew<String>("AiB");
    for (auto [offset, len] : {std::pair{2, 2}, {-1, 1}, {4, 0}, {0, -1}}) {
        EXPECT_THROW(g->drawSubstring(text, offset, len, 0, 0, 0),
                     java::lang::StringIndexOutOfBoundsException);
    }
    EXPECT_THROW(g->drawString(nullptr, 0, 0, 0), java::lang::NullPointerException);
    EXPECT_THROW(g->drawSubstring(nullptr, 0, 0, 0, 0, 0), java::lang::NullPointerException);
    g->drawSubstring(text, 3, 0, 0, 0, 0);
    EXPECT_EQ(inkBox(canvas)[0], -1);
    g->drawSubstring(text, 1, 1, 0, 0, 0);
    EXPECT_EQ(inkBox(canvas), (std::array<int, 4>{0, 2, 0, 3}));
}

TEST_F(TextDrawingTest, WithoutALoadedFontNothingIsDrawn) {
    std::vector<uint8_t> truncated = writeFont(tinyFont());
    truncated.resize(truncated.size() / 2);
    EXPECT_FALSE(loadFont(truncated));
    PixelCanvas canvas(20, 8);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    g->drawString(jnew<String>("AiB"), 0, 0, 0);
    g->drawChar('A', 0, 0, Graphics::HCENTER | Graphics::VCENTER);
    EXPECT_EQ(inkBox(canvas)[0], -1);
}

TEST_F(TextDrawingTest, GraphicsStartsSmallAndANullFontMeansTheDefaultFont) {
    PixelCanvas canvas(20, 8);
    JavaPtr<Graphics> g = canvas.makeGraphics();
    ASSERT_TRUE(g->getFont());
    EXPECT_EQ(g->getFont()->getSize(), Font::SIZE_SMALL);
    EXPECT_TRUE(g->getFont()->isPlain());
    EXPECT_EQ(g->getFont()->getFace(), Font::FACE_SYSTEM);

    g->setFont(nullptr);
    ASSERT_TRUE(g->getFont());
    EXPECT_EQ(g->getFont()->getSize(), Font::SIZE_MEDIUM);
    g->setColor(0xFFFFFF);
    g->drawString(jnew<String>("i"), 0, 8, Graphics::BOTTOM);
    EXPECT_EQ(inkBox(canvas), (std::array<int, 4>{0, 4, 0, 5}));
}

}  // namespace
