// The bitmap font replaced while another thread draws and measures text with it: each string comes out
// drawn and measured in one font or the other, never in tables that are being swapped or freed.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/ScreenSize.h"
#include "tests/graphics/FontFixtures.h"
#include "tests/support/TestFont.h"
#include "tests/support/Watchdog.h"
#include "tests/support/graphics/PixelCanvas.h"

using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::ScreenSize;
using testsupport::PixelCanvas;

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 12;

// PixelCanvas::makeGraphics sets the display size for the moment it creates the graphics, which
// threads must not do at once: the size is set once before they start.
std::string drawn(const JavaPtr<java::lang::String>& text) {
    PixelCanvas canvas(kWidth, kHeight);
    JavaPtr<Graphics> g = jnew<Graphics>();
    g->pixels = canvas.pixels();
    g->setColor(0xFFFFFF);
    g->drawString(text, 0, 0, Graphics::TOP | Graphics::LEFT);
    return canvas.ascii();
}

int measured(const JavaPtr<java::lang::String>& text) {
    return Font::getDefaultFont()->stringWidth(text);
}

TEST(BitmapFontSystemConcurrency, TextDrawnWhileTheFontIsReplacedComesOutInOneFontOrTheOther) {
    testsupport::Watchdog watchdog;
    const int savedWidth = ScreenSize::width;
    const int savedHeight = ScreenSize::height;
    ScreenSize::width = kWidth;
    ScreenSize::height = kHeight;
    // The two fonts number their glyphs differently and differ in size, so an index found in one and
    // looked up in the other's tables draws or measures something neither font shows.
    const std::vector<uint8_t> tiny = fontfixtures::writeFont(fontfixtures::tinyFont());
    const std::vector<uint8_t>& large = testsupport::testFontBytes();
    // Latin-1 characters are found through the direct table, others by searching the sorted one.
    const unsigned short units[] = {'B', 'A', 'i', 'B', ' ', 0x0100, 'i', 'A'};
    const JavaPtr<java::lang::String> text = jnew<java::lang::String>(units, 8);
    ASSERT_TRUE(fontfixtures::loadFont(tiny));
    const std::string tinyPicture = drawn(text);
    const int tinyWidth = measured(text);
    ASSERT_TRUE(fontfixtures::loadFont(large));
    const std::string largePicture = drawn(text);
    const int largeWidth = measured(text);
    ASSERT_NE(tinyPicture, largePicture);
    ASSERT_NE(tinyWidth, largeWidth);

    std::atomic<bool> stop{false};
    std::atomic<int> strings{0};
    int oddPictures = 0;
    int oddWidths = 0;
    std::thread user([&] {
        while (!stop.load()) {
            const std::string picture = drawn(text);
            if (picture != tinyPicture && picture != largePicture) ++oddPictures;
            const int width = measured(text);
            if (width != tinyWidth && width != largeWidth) ++oddWidths;
            strings.fetch_add(1);
        }
    });
    // Replaces the font for as long as it takes the other thread to draw a good number of strings.
    int replacements = 0;
    bool loaded = true;
    while (loaded && (replacements < 200 || strings.load() < 200)) {
        loaded = fontfixtures::loadFont(replacements % 2 == 0 ? tiny : large);
        ++replacements;
    }
    stop = true;
    user.join();
    ScreenSize::width = savedWidth;
    ScreenSize::height = savedHeight;
    EXPECT_TRUE(loaded) << "replacement " << replacements;
    EXPECT_EQ(oddPictures, 0);
    EXPECT_EQ(oddWidths, 0);
}

}  // namespace
