#include "graphics/Font.h"

#include <gtest/gtest.h>

#include "graphics/BitmapFontSystem.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/StringIndexOutOfBoundsException.h"
#include "tests/graphics/FontFixtures.h"
#include "tests/support/ClassRegistry.h"

using java::lang::String;
using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::Font;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::Font);

namespace {

class FontTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(fontfixtures::loadFont(fontfixtures::writeFont(fontfixtures::tinyFont())));
    }
};

TEST_F(FontTest, ClassIdAndCasts) {
    EXPECT_EQ(static_cast<uint32_t>(Font::TESLclassTypeID), 0xf4d095b8u);
    JavaPtr<Font> font = Font::getDefaultFont();
    EXPECT_EQ(font->castAsTypeID(Font::TESLclassTypeID), font.get());
    EXPECT_NE(font->castAsTypeID(static_cast<int>(0x3f697993u)), nullptr);
    EXPECT_NE(font->castAsTypeID(static_cast<int>(0xe140a4f5u)), nullptr);
    EXPECT_EQ(font->castAsTypeID(0x1234), nullptr);
}

TEST_F(FontTest, GetFontAcceptsOnlyTheConstants) {
    struct Case {
        int face, style, size;
        bool accepted;
    };
    for (Case c :
         {Case{0, 7, 0, true}, Case{32, 0, 8, true}, Case{64, 5, 16, true}, Case{0, 8, 0, false},
          Case{1, 0, 0, false}, Case{32, 0, 24, false}, Case{96, 0, 0, false}, Case{0, -1, 0, false}}) {
        SCOPED_TRACE(testing::Message() << c.face << " " << c.style << " " << c.size);
        if (c.accepted) {
            JavaPtr<Font> font = Font::getFont(c.face, c.style, c.size);
            EXPECT_EQ(font->getFace(), c.face);
            EXPECT_EQ(font->getStyle(), c.style);
            EXPECT_EQ(font->getSize(), c.size);
        } else {
            EXPECT_THROW(Font::getFont(c.face, c.style, c.size), java::lang::IllegalArgumentException);
        }
    }
}

TEST_F(FontTest, StyleBitsAndSpecifierFonts) {
    JavaPtr<Font> all = Font::getFont(Font::FACE_PROPORTIONAL, 7, Font::SIZE_LARGE);
    EXPECT_TRUE(all->isBold());
    EXPECT_TRUE(all->isItalic());
    EXPECT_TRUE(all->isUnderlined());
    EXPECT_FALSE(all->isPlain());
    EXPECT_TRUE(Font::getFont(64, 0, 16)->isPlain());

    JavaPtr<Font> input = Font::getFont(Font::FONT_INPUT_TEXT);
    EXPECT_EQ(input->getFace(), Font::FACE_SYSTEM);
    EXPECT_TRUE(input->isPlain());
    EXPECT_EQ(input->getSize(), Font::SIZE_MEDIUM);
    EXPECT_FALSE(Font::getDefaultFont() == Font::getDefaultFont());
}

TEST_F(FontTest, EverySizeHasTheBitmapFontsHeightAndBaselineAtTheTop) {
    for (int size : {Font::SIZE_SMALL, Font::SIZE_MEDIUM, Font::SIZE_LARGE}) {
        JavaPtr<Font> font = Font::getFont(0, 0, size);
        EXPECT_EQ(font->getHeight(), 6);
        EXPECT_EQ(font->getBaselinePosition(), 0);
    }
}

TEST_F(FontTest, WidthsAddOnePixelPerKnownCharacterAndTenPerMissingOne) {
    JavaPtr<Font> font = Font::getDefaultFont();
    struct Case {
        const char* text;
        int width;
    };
    // A 3 wide, B 5, i 1, space advance 2; '?' is not in the font.
    for (Case c : {Case{"", 0}, Case{"A", 4}, Case{"?", 10}, Case{"A?", 14}, Case{"B i", 6 + 3 + 2},
                   Case{"\\u00e9", 10}}) {
        EXPECT_EQ(font->stringWidth(jnew<String>(c.text)), c.width) << c.text;
    }
    EXPECT_EQ(font->charWidth('B'), 6);
    EXPECT_EQ(font->charWidth(0xFFFF), 10);
    EXPECT_EQ(font->substringWidth(jnew<String>("iiAB"), 2, 2), 10);
}

TEST_F(FontTest, BadRangesAndNullTextThrow) {
    JavaPtr<Font> font = Font::getDefaultFont();
    JavaPtr<String> text = jnew<String>("iiAB");
    for (auto [offset, len] : {std::pair{3, 2}, {-1, 1}, {5, 0}, {0, -1}, {1, 0x7FFFFFFF}}) {
        EXPECT_THROW(font->substringWidth(text, offset, len), java::lang::StringIndexOutOfBoundsException)
            << offset << " " << len;
    }
    EXPECT_EQ(font->substringWidth(text, 4, 0), 0);
    EXPECT_THROW(font->stringWidth(nullptr), java::lang::NullPointerException);
    EXPECT_THROW(font->substringWidth(nullptr, 0, 0), java::lang::NullPointerException);

    JavaPtr<JArray<unsigned short>> chars = jnew<JArray<unsigned short>>(3);
    chars->data[0] = 'A';
    chars->data[1] = 'B';
    chars->data[2] = '?';
    EXPECT_EQ(font->charsWidth(chars, 1, 2), 16);
    EXPECT_EQ(font->charsWidth(chars, 7, 0), 0);
    EXPECT_EQ(font->charsWidth(nullptr, 0, -1), 0);
    EXPECT_THROW(font->charsWidth(chars, 2, 2), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(font->charsWidth(chars, -1, 1), java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(font->charsWidth(nullptr, 0, 1), java::lang::NullPointerException);
}

TEST_F(FontTest, WithoutALoadedFontEveryCharacterMeasuresAsMissing) {
    std::vector<uint8_t> nothing;
    EXPECT_FALSE(BitmapFontSystem::initFromData(nothing.data(), 0));
    JavaPtr<Font> font = Font::getDefaultFont();
    EXPECT_EQ(font->stringWidth(jnew<String>("AB ")), 30);
    EXPECT_EQ(font->getHeight(), 0);
}

}  // namespace
