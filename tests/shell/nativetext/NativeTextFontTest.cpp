// Fonts and text drawing in the configuration that renders the system font natively: the graphics
// library of this executable is built with that switch on.
#include <gtest/gtest.h>

#include <vector>

#include "graphics/BitmapFontSystem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/ScreenSize.h"
#include "platform/text/NativeText.h"
#include "tests/support/TemporaryDirectory.h"

using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::ScreenSize;

namespace {

constexpr int W = 120;
constexpr int H = 60;
constexpr uint32_t kBackground = 0xFF000000u;

JavaPtr<java::lang::String> text(const char* s) {
    return jnew<java::lang::String>(s);
}

class NativeTextFont : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setNativeFontDirectory("/usr/share/fonts/truetype/dejavu");
        if (!_hasNativeFont(0)) GTEST_SKIP() << "DejaVu Sans is not installed";
        pixels.assign(static_cast<size_t>(W) * H, kBackground);
        const int savedWidth = ScreenSize::width;
        const int savedHeight = ScreenSize::height;
        ScreenSize::width = W;
        ScreenSize::height = H;
        g = jnew<Graphics>();
        ScreenSize::width = savedWidth;
        ScreenSize::height = savedHeight;
        g->pixels = pixels.data();
        g->setColor(0xFFFFFF);
    }

    // The bounding box of every pixel that changed: {left, top, right, bottom}, right and bottom
    // exclusive; all 0 when none did.
    std::vector<int> inkBox() const {
        int left = W, top = H, right = 0, bottom = 0;
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                if (pixels[static_cast<size_t>(y) * W + x] != kBackground) {
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
        return right == 0 ? std::vector<int>{0, 0, 0, 0} : std::vector<int>{left, top, right, bottom};
    }

    std::vector<uint32_t> pixels;
    JavaPtr<Graphics> g;
};

TEST_F(NativeTextFont, FontsMeasureWithTheSystemFontOfTheirSizeAndStyle) {
    int previous = 0;
    for (int size : {Font::SIZE_SMALL, Font::SIZE_MEDIUM, Font::SIZE_LARGE}) {
        JavaPtr<Font> font = Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, size);
        EXPECT_EQ(font->getHeight(), _getNativeFontHeight(size)) << "size " << size;
        EXPECT_GT(font->getHeight(), previous) << "size " << size;
        previous = font->getHeight();
    }
    JavaPtr<Font> bold =
        Font::getFont(Font::FACE_SYSTEM, Font::STYLE_BOLD | Font::STYLE_ITALIC, Font::SIZE_MEDIUM);
    JavaPtr<java::lang::String> word = text("Quillet");
    EXPECT_EQ(bold->stringWidth(word),
              _getNativeStringWidth(word->unitData(), word->length(), Font::STYLE_BOLD));
    EXPECT_EQ(bold->substringWidth(word, 2, 3),
              _getNativeStringWidth(word->unitData() + 2, 3, Font::STYLE_BOLD));
    EXPECT_EQ(bold->charWidth(u'W'), bold->stringWidth(text("W")));
}

TEST_F(NativeTextFont, AnchorsPlaceTheMeasuredBox) {
    g->setFont(Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_LARGE));
    const JavaPtr<Font> font = g->getFont();
    JavaPtr<java::lang::String> word = text("Hallo");
    const int width = font->stringWidth(word);
    const int height = font->getHeight();
    g->drawString(word, 60, 50, Graphics::HCENTER | Graphics::BOTTOM);
    const std::vector<int> box = inkBox();
    EXPECT_GE(box[0], 60 - (width >> 1) - 1);
    EXPECT_LT(box[0], 60);
    EXPECT_GT(box[2], 60);
    EXPECT_LE(box[2], 60 - (width >> 1) + width + 1);
    EXPECT_GE(box[1], 50 - height);
    EXPECT_LE(box[3], 50);
}

TEST_F(NativeTextFont, TextDrawsOnlyInsideTheClip) {
    g->setFont(Font::getFont(Font::FACE_SYSTEM, Font::STYLE_BOLD, Font::SIZE_LARGE));
    g->translate(5, 3);
    g->setClip(10, 5, 30, 12);  // absolute 15..45 x 8..20
    g->drawString(text("WWWWWWWW"), 0, 0, Graphics::TOP | Graphics::LEFT);
    const std::vector<int> box = inkBox();
    ASSERT_NE(box[2], 0) << "part of the text is inside the clip";
    EXPECT_GE(box[0], 15);
    EXPECT_GE(box[1], 8);
    EXPECT_LE(box[2], 45);
    EXPECT_LE(box[3], 20);
}

TEST_F(NativeTextFont, WithoutTheFontFileTextTakesTheBitmapPath) {
    testsupport::TemporaryDirectory empty;
    platform::setNativeFontDirectory(empty.path().string());
    testing::internal::CaptureStderr();
    JavaPtr<Font> font = Font::getDefaultFont();
    EXPECT_EQ(font->getHeight(),
              BitmapFontSystem::fontHeight(BitmapFontSystem::getFontIndex(font->fontByte())));
    g->drawString(text("Hallo"), 10, 10, Graphics::TOP | Graphics::LEFT);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_NE(messages.find("bitmap font"), std::string::npos) << messages;
    ASSERT_FALSE(BitmapFontSystem::isLoaded()) << "this executable loads no bitmap font";
    EXPECT_EQ(inkBox(), (std::vector<int>{0, 0, 0, 0}))
        << "the bitmap path without a bitmap font draws nothing";
    platform::setNativeFontDirectory("/usr/share/fonts/truetype/dejavu");
}

}  // namespace
