// Text drawn from several threads at once, each into its own buffer, comes out as drawn alone:
// the glyph scratch buffer the bitmap font shares is taken by one string at a time.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/ScreenSize.h"
#include "tests/graphics/FontFixtures.h"
#include "tests/support/graphics/PixelCanvas.h"

using javax::microedition::lcdui::Graphics;
using testsupport::PixelCanvas;

namespace {

// PixelCanvas::makeGraphics sets the display size for the moment it creates the graphics, which
// threads must not do at once: the size is set once before they start.
void drawText(PixelCanvas& canvas, int variant) {
    JavaPtr<Graphics> g = jnew<Graphics>();
    g->pixels = canvas.pixels();
    g->setColor(0x203040 * (variant + 1));
    JavaPtr<java::lang::String> text = jnew<java::lang::String>(variant % 2 == 0 ? "BAiB AiA" : "iiBBA  B");
    for (int line = 0; line < 5; ++line) g->drawString(text, variant, line * 7, 0);
}

TEST(TextDrawingConcurrency, ThreadsDrawingTextAtOnceGetTheSamePixelsAsAlone) {
    ASSERT_TRUE(fontfixtures::loadFont(
        fontfixtures::writeFont(fontfixtures::tinyFont(), {fonttools::FontEncoding::Coverage, 0, 8})));
    using javax::microedition::lcdui::ScreenSize;
    const int savedWidth = ScreenSize::width;
    const int savedHeight = ScreenSize::height;
    ScreenSize::width = 48;
    ScreenSize::height = 36;
    constexpr int kThreads = 4;
    std::vector<std::string> expected;
    for (int t = 0; t < kThreads; ++t) {
        PixelCanvas canvas(48, 36);
        drawText(canvas, t);
        expected.push_back(canvas.ascii());
    }
    std::vector<std::thread> threads;
    std::vector<int> mismatches(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &expected, &mismatches] {
            for (int round = 0; round < 200; ++round) {
                PixelCanvas canvas(48, 36);
                drawText(canvas, t);
                if (canvas.ascii() != expected[t]) ++mismatches[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    ScreenSize::width = savedWidth;
    ScreenSize::height = savedHeight;
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;
}

}  // namespace
