// The drawing context: construction, colour and the pixel word, translation, the clip and its rules.
#include "graphics/Graphics.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "graphics/ScreenSize.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/graphics/PixelCanvas.h"

using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::ScreenSize;
using testsupport::graphicsForDisplay;
using testsupport::PixelCanvas;
using testsupport::showsPicture;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::Graphics);

namespace {

TEST(Graphics, ClassIdAndCastsFollowTheDottedName) {
    EXPECT_EQ(Graphics::TESLclassTypeID, static_cast<int32_t>(0x3afc5774));
    JavaPtr<Graphics> g = jnew<Graphics>();
    EXPECT_EQ(g->castAsTypeID(0x3afc5774), static_cast<void*>(g.get()));
    EXPECT_NE(g->castAsTypeID(0x3f697993), nullptr);
    EXPECT_NE(g->castAsTypeID(static_cast<int32_t>(0xe140a4f5)), nullptr);
    EXPECT_EQ(g->castAsTypeID(tesl::classTypeIdOf("javax.microedition.lcdui.Display")), nullptr);
}

TEST(Graphics, NewGraphicsIsOpaqueBlackUntranslatedAndClipsToTheDisplay) {
    JavaPtr<Graphics> g = graphicsForDisplay(320, 480);
    EXPECT_EQ(g->width, 320);
    EXPECT_EQ(g->height, 480);
    EXPECT_EQ(g->getColor(), 0);
    EXPECT_EQ(g->pixelWord, 0xFF000000u);
    EXPECT_EQ(g->getStrokeStyle(), Graphics::SOLID);
    EXPECT_EQ(g->getTranslateX(), 0);
    EXPECT_EQ(g->getTranslateY(), 0);
    EXPECT_EQ(g->getClipX(), 0);
    EXPECT_EQ(g->getClipY(), 0);
    EXPECT_EQ(g->getClipWidth(), 320);
    EXPECT_EQ(g->getClipHeight(), 480);
    EXPECT_FALSE(g->isScreen);
    EXPECT_EQ(g->pixels, nullptr);
}

TEST(Graphics, ColourKeepsItsTopByteButDrawsOpaque) {
    PixelCanvas canvas(2, 1);
    auto g = canvas.makeGraphics();
    g->setColor(static_cast<int>(0x80FF0000u));
    EXPECT_EQ(static_cast<uint32_t>(g->getColor()), 0x80FF0000u);
    EXPECT_EQ(g->getRedComponent(), 255);
    EXPECT_EQ(g->getGreenComponent(), 0);
    EXPECT_EQ(g->getBlueComponent(), 0);
    g->fillRect(0, 0, 1, 1);
    unsigned char bytes[4];
    std::memcpy(bytes, canvas.pixels(), 4);
    EXPECT_EQ(bytes[0], 0xFF);  // red
    EXPECT_EQ(bytes[1], 0x00);
    EXPECT_EQ(bytes[2], 0x00);
    EXPECT_EQ(bytes[3], 0xFF);  // alpha
    EXPECT_EQ(canvas.at(1, 0), PixelCanvas::kBackground);
}

TEST(Graphics, ColourSettersAndQueries) {
    struct Case {
        const char* what;
        void (*set)(Graphics&);
        int color;
        uint32_t pixelWord;
        int gray;
    };
    const Case cases[] = {
        {"rgb", [](Graphics& g) { g.setColor(0x12, 0x34, 0x56); }, 0x123456, 0xFF563412u,
         (3 * 0x12 + 6 * 0x34 + 0x56) / 10},
        {"components unmasked", [](Graphics& g) { g.setColor(300, 0, 0); }, 300 << 16, 0xFF00002Cu,
         (3 * 0x2C) / 10},
        {"gray 18", [](Graphics& g) { g.setColor(10, 20, 30); }, 0x0A141E, 0xFF1E140Au, 18},
        {"gray scale", [](Graphics& g) { g.setGrayScale(0x7F); }, 0x7F7F7F, 0xFF7F7F7Fu, 0x7F},
        {"gray scale unmasked", [](Graphics& g) { g.setGrayScale(0x100); }, 0x1010100, 0xFF000101u,
         (3 + 6) / 10},
        {"white", [](Graphics& g) { g.setColor(0xFFFFFF); }, 0xFFFFFF, 0xFFFFFFFFu, 255},
        {"negative", [](Graphics& g) { g.setColor(-1); }, -1, 0xFFFFFFFFu, 255},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        JavaPtr<Graphics> g = jnew<Graphics>();
        c.set(*g);
        EXPECT_EQ(g->getColor(), c.color);
        EXPECT_EQ(g->pixelWord, c.pixelWord);
        EXPECT_EQ(g->getGrayScale(), c.gray);
    }
    JavaPtr<Graphics> g = jnew<Graphics>();
    EXPECT_EQ(g->getDisplayColor(0x12345678), 0x12345678);
    g->setStrokeStyle(7);
    EXPECT_EQ(g->getStrokeStyle(), 7);
}

TEST(Graphics, PixelWordAndArgbExchangeRedAndBlue) {
    EXPECT_EQ(Graphics::argbToPixel(0xAA112233u), 0xAA332211u);
    EXPECT_EQ(Graphics::pixelToArgb(0xAA332211u), 0xAA112233u);
}

TEST(Graphics, ClipRules) {
    struct Case {
        const char* what;
        int translateX, translateY;
        int clip[4];     // setClip
        bool intersect;  // then clipRect with `with`
        int with[4];
        int expected[4];  // getClipX, getClipY, getClipWidth, getClipHeight
        int absolute[2];  // stored clip x, y
    };
    // Buffer 100 x 50.
    const Case cases[] = {
        {"translated clip is stored absolute", 5, 5, {0, 0, 10, 10}, false, {}, {0, 0, 10, 10}, {5, 5}},
        {"negative x shrinks the width", 0, 0, {-3, 0, 10, 10}, false, {}, {0, 0, 7, 10}, {0, 0}},
        {"negative y shrinks the height", 0, 0, {0, -4, 10, 10}, false, {}, {0, 0, 10, 6}, {0, 0}},
        {"cut at the right and bottom edges", 0, 0, {90, 45, 20, 20}, false, {}, {90, 45, 10, 5}, {90, 45}},
        {"negative sizes become 0", 0, 0, {10, 10, -5, -1}, false, {}, {10, 10, 0, 0}, {10, 10}},
        {"x beyond the buffer leaves a negative width",
         0,
         0,
         {120, 0, 10, 10},
         false,
         {},
         {120, 0, -20, 10},
         {120, 0}},
        {"clipRect intersects", 0, 0, {10, 10, 20, 20}, true, {15, 5, 10, 30}, {15, 10, 10, 20}, {15, 10}},
        {"clipRect that misses empties the clip",
         0,
         0,
         {0, 0, 10, 10},
         true,
         {20, 20, 5, 5},
         {20, 20, 0, 0},
         {20, 20}},
        {"clipRect is translated", 10, 0, {0, 0, 50, 50}, true, {-5, 0, 10, 10}, {0, 0, 5, 10}, {10, 0}},
        {"huge clip is the buffer", 0, 0, {0, 0, INT_MAX, INT_MAX}, false, {}, {0, 0, 100, 50}, {0, 0}},
        {"huge translation does not wrap the clip",
         INT_MAX,
         0,
         {INT_MAX, 0, 10, 10},
         false,
         {},
         {0, 0, 100 - INT_MAX, 10},
         {INT_MAX, 0}},
        {"most negative clip", 0, 0, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}, false, {}, {0, 0, 0, 0}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PixelCanvas canvas(100, 50);
        auto g = canvas.makeGraphics();
        g->translate(c.translateX, c.translateY);
        g->setClip(c.clip[0], c.clip[1], c.clip[2], c.clip[3]);
        if (c.intersect) g->clipRect(c.with[0], c.with[1], c.with[2], c.with[3]);
        EXPECT_EQ(g->getClipX(), c.expected[0]);
        EXPECT_EQ(g->getClipY(), c.expected[1]);
        EXPECT_EQ(g->getClipWidth(), c.expected[2]);
        EXPECT_EQ(g->getClipHeight(), c.expected[3]);
        EXPECT_EQ(g->clipX, c.absolute[0]);
        EXPECT_EQ(g->clipY, c.absolute[1]);
        // Whatever the clip, a full-size fill stays inside it and inside the buffer.
        g->setColor(0xFFFFFF);
        g->fillRect(INT_MIN / 2, INT_MIN / 2, INT_MAX, INT_MAX);
        for (int y = 0; y < 50; ++y) {
            for (int x = 0; x < 100; ++x) {
                bool inClip = x >= g->clipX && x < int64_t{g->clipX} + g->clipWidth && y >= g->clipY &&
                              y < int64_t{g->clipY} + g->clipHeight;
                ASSERT_EQ(canvas.at(x, y) != PixelCanvas::kBackground, inClip) << x << ", " << y;
            }
        }
    }
}

TEST(Graphics, TranslationAccumulatesAndMovesDrawingNotTheClip) {
    PixelCanvas canvas(6, 4);
    auto g = canvas.makeGraphics();
    g->setClip(0, 0, 4, 4);
    g->translate(2, 1);
    g->translate(1, 1);
    EXPECT_EQ(g->getTranslateX(), 3);
    EXPECT_EQ(g->getTranslateY(), 2);
    EXPECT_EQ(g->getClipX(), -3);
    EXPECT_EQ(g->getClipY(), -2);
    g->setColor(0xFFFFFF);
    g->fillRect(0, 0, 2, 2);
    EXPECT_TRUE(showsPicture(canvas, {
                                         "......",
                                         "......",
                                         "...#..",
                                         "...#..",
                                     }));
}

TEST(Graphics, ReduceClipCutsToTheClipAndTheBuffer) {
    PixelCanvas canvas(20, 10);
    auto g = canvas.makeGraphics();
    g->setClip(2, 2, 10, 5);
    struct Case {
        TSRect in, out;
    };
    const Case cases[] = {
        {{0, 0, 5, 5}, {2, 2, 3, 3}},
        {{5, 3, 2, 2}, {5, 3, 2, 2}},
        {{10, 5, 10, 10}, {10, 5, 2, 2}},
        {{30, 30, 5, 5}, {30, 30, 0, 0}},
        {{INT_MAX - 1, 0, INT_MAX, 5}, {INT_MAX - 1, 2, 0, 3}},
        {{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, {2, 2, 0, 0}},
    };
    for (const Case& c : cases) {
        TSRect r = c.in;
        g->reduceClip(r);
        EXPECT_EQ(r.x, c.out.x);
        EXPECT_EQ(r.y, c.out.y);
        EXPECT_EQ(r.width, c.out.width);
        EXPECT_EQ(r.height, c.out.height);
    }
    // An empty clip gives the clip rectangle itself.
    g->setClip(3, 4, 0, 5);
    TSRect r{0, 0, 20, 10};
    g->reduceClip(r);
    EXPECT_EQ(r.x, 3);
    EXPECT_EQ(r.y, 4);
    EXPECT_EQ(r.width, 0);
    EXPECT_EQ(r.height, 5);
}

TEST(Graphics, ClipLeftFromALargerBufferNeverReachesPastThisOne) {
    // The shell shrinks the master graphics on rotation and leaves its clip as it was.
    PixelCanvas canvas(8, 4);
    auto g = canvas.makeGraphics();
    g->clipX = 0;
    g->clipY = 0;
    g->clipWidth = 4000;
    g->clipHeight = 3000;
    g->setColor(0xFFFFFF);
    g->fillRect(-10, -10, 100, 100);
    g->drawLine(-5, 2, 50, 2);
    g->drawLine(0, 0, 70, 90);
    g->fillTriangle(-100, -100, 500, 0, 0, 500);
    g->fillArc(-20, -20, 200, 200, 0, 360);
    EXPECT_TRUE(canvas.guardIntact());
    TSRect r{0, 0, 50, 50};
    g->reduceClip(r);
    EXPECT_EQ(r.width, 8);
    EXPECT_EQ(r.height, 4);
    r = TSRect{0, 0, 50, 50};
    g->myRectBlit(r);
    EXPECT_TRUE(canvas.guardIntact());
}

// The master graphics of the GL back end has no pixels: drawing must not write through null.
TEST(Graphics, WithoutPixelsNothingIsDrawn) {
    JavaPtr<Graphics> g = graphicsForDisplay(16, 16);
    // Any write through the missing buffer would fault (and ASan names it).
    ASSERT_EQ(g->pixels, nullptr);
    g->fillRect(0, 0, 16, 16);
    g->drawLine(0, 0, 15, 9);
    g->fillArc(0, 0, 16, 16, 0, 360);
    g->fillTriangle(0, 0, 15, 0, 0, 15);
    TSRect r{0, 0, 4, 4};
    g->myRectBlit(r);
    EXPECT_EQ(g->pixels, nullptr);
}

}  // namespace
