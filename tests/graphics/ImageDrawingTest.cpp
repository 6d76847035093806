#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>
#include <vector>

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "tests/support/Throws.h"
#include "tests/support/graphics/PixelCanvas.h"
#include "tests/support/graphics/PixelWords.h"

using java::lang::ArrayIndexOutOfBoundsException;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using testsupport::blendByChannel;
using testsupport::intsOf;
using testsupport::PixelCanvas;
using testsupport::throws;

namespace {

uint32_t toPixel(uint32_t argb) {
    return (argb & 0xFF00FF00u) | ((argb >> 16) & 0xFF) | ((argb & 0xFF) << 16);
}

std::vector<uint32_t> snapshot(const PixelCanvas& canvas) {
    return std::vector<uint32_t>(canvas.pixels(), canvas.pixels() + canvas.width() * canvas.height());
}

// Where the table of transforms puts source column c, row r of a w x h region.
void transformed(int transform, int c, int r, int w, int h, int& x, int& y) {
    switch (transform) {
        case 1:
            x = c, y = h - 1 - r;
            break;
        case 2:
            x = w - 1 - c, y = r;
            break;
        case 3:
            x = w - 1 - c, y = h - 1 - r;
            break;
        case 4:
            x = r, y = c;
            break;
        case 5:
            x = h - 1 - r, y = c;
            break;
        case 6:
            x = r, y = w - 1 - c;
            break;
        case 7:
            x = h - 1 - r, y = w - 1 - c;
            break;
        default:
            x = c, y = r;
            break;
    }
}

bool insideClip(const Graphics& g, const PixelCanvas& canvas, int64_t x, int64_t y) {
    return x >= g.clipX && x < int64_t{g.clipX} + g.clipWidth && y >= g.clipY &&
           y < int64_t{g.clipY} + g.clipHeight && x >= 0 && y >= 0 && x < canvas.width() &&
           y < canvas.height();
}

// drawRegion worked out pixel by pixel: every source pixel of the region that lies in the image goes
// where the transform and the anchor put it, if that is inside the clip.
void drawRegionModel(std::vector<uint32_t>& expected, const PixelCanvas& canvas, const Graphics& g,
                     const Image& img, int xSrc, int ySrc, int w, int h, int transform, int xDest, int yDest,
                     int anchor) {
    if (transform < 0 || transform > 7) transform = 0;
    int64_t dw = transform >= 4 ? h : w, dh = transform >= 4 ? w : h;
    int64_t x = xDest, y = yDest;
    if (anchor & Graphics::BOTTOM) {
        y -= dh;
    } else if (anchor & Graphics::VCENTER) {
        y -= dh >> 1;
    }
    if (anchor & Graphics::RIGHT) {
        x -= dw;
    } else if (anchor & Graphics::HCENTER) {
        x -= dw >> 1;
    }
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            int64_t sx = int64_t{xSrc} + c, sy = int64_t{ySrc} + r;
            if (sx < 0 || sy < 0 || sx >= img.m_width || sy >= img.m_height) continue;
            int tx, ty;
            transformed(transform, c, r, w, h, tx, ty);
            int64_t px = x + g.translateX + tx, py = y + g.translateY + ty;
            if (!insideClip(g, canvas, px, py)) continue;
            uint32_t s = img.m_pixels[sy * img.m_width + sx];
            uint32_t& d = expected[py * canvas.width() + px];
            if (img.m_binaryAlpha) {
                if ((s >> 24) != 0) d = s;
            } else if (img.m_translucent) {
                d = blendByChannel(d, s);
            } else {
                d = s;
            }
        }
    }
}

enum class Kind { Opaque, BinaryAlpha, Translucent, UnflaggedAlpha };

JavaPtr<Image> randomImage(std::mt19937& random, int w, int h, Kind kind) {
    std::vector<uint32_t> argb(static_cast<size_t>(w) * h);
    for (auto& v : argb) {
        uint32_t alpha = kind == Kind::Opaque        ? 0xFF
                         : kind == Kind::BinaryAlpha ? (random() % 2 ? 0xFF : 0)
                                                     : random() & 0xFF;
        v = alpha << 24 | (random() & 0xFFFFFF);
    }
    auto image = Image::createRGBImage(intsOf(argb), w, h, kind != Kind::Opaque);
    // A mutable image drawn into with alpha keeps no flags: it is copied word for word.
    if (kind == Kind::UnflaggedAlpha) image->m_binaryAlpha = image->m_translucent = false;
    return image;
}

TEST(ImageDrawing, DrawRegionMatchesThePixelModelUnderEveryTransformAnchorClipAndCut) {
    std::mt19937 random(2024);
    const int anchors[] = {0,
                           Graphics::TOP | Graphics::LEFT,
                           Graphics::HCENTER | Graphics::VCENTER,
                           Graphics::RIGHT | Graphics::BOTTOM,
                           Graphics::RIGHT | Graphics::HCENTER | Graphics::BOTTOM | Graphics::VCENTER,
                           Graphics::BASELINE | Graphics::HCENTER};
    PixelCanvas canvas(23, 19, 0x80402010u);
    for (int round = 0; round < 3000; ++round) {
        canvas.clear();
        auto g = canvas.makeGraphics();
        g->translate(static_cast<int>(random() % 9) - 4, static_cast<int>(random() % 9) - 4);
        g->setClip(static_cast<int>(random() % 30) - 6, static_cast<int>(random() % 26) - 6,
                   static_cast<int>(random() % 30), static_cast<int>(random() % 26));
        int iw = 1 + random() % 7, ih = 1 + random() % 7;
        auto img = randomImage(random, iw, ih, static_cast<Kind>(random() % 4));
        int xSrc = static_cast<int>(random() % (iw + 4)) - 2,
            ySrc = static_cast<int>(random() % (ih + 4)) - 2;
        int w = static_cast<int>(random() % 10) - 1, h = static_cast<int>(random() % 10) - 1;
        int transform = static_cast<int>(random() % 10) - 1;
        int xDest = static_cast<int>(random() % 36) - 8, yDest = static_cast<int>(random() % 32) - 8;
        int anchor = anchors[random() % 6];

        auto expected = snapshot(canvas);
        drawRegionModel(expected, canvas, *g, *img, xSrc, ySrc, w, h, transform, xDest, yDest, anchor);
        g->drawRegion(img, xSrc, ySrc, w, h, transform, xDest, yDest, anchor);
        ASSERT_EQ(snapshot(canvas), expected)
            << "round " << round << ": image " << iw << "x" << ih << ", region " << xSrc << "," << ySrc << " "
            << w << "x" << h << ", transform " << transform << ", at " << xDest << "," << yDest << " anchor "
            << anchor << ", clip " << g->clipX << "," << g->clipY << " " << g->clipWidth << "x"
            << g->clipHeight;
    }
}

TEST(ImageDrawing, DrawImageIsTheWholeImageUntransformed) {
    std::mt19937 random(5);
    PixelCanvas canvas(16, 12);
    auto img = randomImage(random, 5, 4, Kind::Translucent);
    auto g = canvas.makeGraphics();
    auto expected = snapshot(canvas);
    drawRegionModel(expected, canvas, *g, *img, 0, 0, 5, 4, 0, 10, 10, Graphics::HCENTER | Graphics::VCENTER);
    g->drawImage(img, 10, 10, Graphics::HCENTER | Graphics::VCENTER);
    EXPECT_EQ(snapshot(canvas), expected);
    // Columns 8 to 12 and rows 8 to 11.
    canvas.clear();
    g->drawImage(Image::createImage(5, 4), 10, 10, Graphics::HCENTER | Graphics::VCENTER);
    EXPECT_TRUE(testsupport::showsPicture(
        canvas, {"................", "................", "................", "................",
                 "................", "................", "................", "................",
                 "........#####...", "........#####...", "........#####...", "........#####..."}));
    canvas.clear();
    g->drawImage(Image::createImage(5, 4), 10, 10, Graphics::RIGHT | Graphics::HCENTER | Graphics::BOTTOM);
    EXPECT_EQ(canvas.at(5, 6), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.at(9, 9), 0xFFFFFFFFu);
    EXPECT_EQ(canvas.at(10, 9), PixelCanvas::kBackground);
    // A null image and an empty one draw nothing.
    g->drawImage(JavaPtr<Image>(), 0, 0, 0);
    g->drawRegion(JavaPtr<Image>(), 0, 0, 1, 1, 0, 0, 0, 0);
    g->drawImage(Image::createImage(0, 0), 0, 0, 0);
}

TEST(ImageDrawing, TranslucentPixelsBlendByAlphaPlusOneAndKeepTheDestinationAlpha) {
    PixelCanvas canvas(4, 1, 0x40000000u);  // black with alpha 0x40
    auto g = canvas.makeGraphics();
    // Red 255 at alphas 127, 254, 255 and 0.
    auto img =
        Image::createRGBImage(intsOf({0x7FFF0000u, 0xFEFF0000u, 0xFFFF0000u, 0x00FF0000u}), 4, 1, true);
    ASSERT_TRUE(img->m_translucent);
    g->drawImage(img, 0, 0, 0);
    EXPECT_EQ(canvas.at(0, 0), 0x4000007Fu);
    EXPECT_EQ(canvas.at(1, 0), 0x400000FEu);
    EXPECT_EQ(canvas.at(2, 0), 0xFF0000FFu);
    EXPECT_EQ(canvas.at(3, 0), 0x40000000u);
}

TEST(ImageDrawing, DrawRegionRotatesARegionAsTheExampleSays) {
    PixelCanvas canvas(8, 8);
    auto g = canvas.makeGraphics();
    auto img = Image::createRGBImage(intsOf({0xFF000001u, 2, 3, 4, 5, 6, 7, 8}), 4, 2, false);
    g->drawRegion(img, 0, 0, 4, 2, 6, 1, 1, 0);
    // A 2 x 4 block whose bottom left pixel is the region's top left pixel.
    EXPECT_EQ(canvas.at(1, 4), toPixel(0xFF000001u));
    EXPECT_EQ(canvas.at(3, 1), PixelCanvas::kBackground);
    EXPECT_NE(canvas.at(2, 1), PixelCanvas::kBackground);
    EXPECT_EQ(canvas.at(1, 5), PixelCanvas::kBackground);
}

TEST(ImageDrawing, AnImageDrawnOntoItsOwnGraphicsReadsItsPixelsAsTheyWere) {
    std::mt19937 random(9);
    for (int transform = 0; transform < 8; ++transform) {
        auto img = Image::createImage(9, 9);
        auto reference = Image::createImage(9, 9);
        for (int i = 0; i < 81; ++i)
            img->m_pixels[i] = reference->m_pixels[i] = 0xFF000000u | (random() & 0xFFFFFF);
        auto frozen = Image::createImage(reference);
        // Overlapping source and destination, drawn from the image itself and from a frozen copy.
        img->getGraphics()->drawRegion(img, 1, 2, 6, 5, transform, 3, 2, 0);
        reference->getGraphics()->drawRegion(frozen, 1, 2, 6, 5, transform, 3, 2, 0);
        EXPECT_EQ(std::memcmp(img->m_pixels, reference->m_pixels, 81 * 4), 0) << transform;
    }
}

TEST(ImageDrawing, DrawRgbMatchesThePixelModelOrThrowsBeforeWriting) {
    std::mt19937 random(77);
    PixelCanvas canvas(17, 13, 0x33445566u);
    for (int round = 0; round < 3000; ++round) {
        canvas.clear();
        auto g = canvas.makeGraphics();
        g->translate(static_cast<int>(random() % 7) - 3, static_cast<int>(random() % 7) - 3);
        g->setClip(static_cast<int>(random() % 22) - 4, static_cast<int>(random() % 18) - 4,
                   static_cast<int>(random() % 22), static_cast<int>(random() % 18));
        std::vector<uint32_t> values(random() % 60);
        for (auto& v : values) v = static_cast<uint32_t>(random());
        auto array = intsOf(values);
        int offset = static_cast<int>(random() % 20) - 4, scanlength = static_cast<int>(random() % 16) - 4;
        int x = static_cast<int>(random() % 26) - 6, y = static_cast<int>(random() % 22) - 6;
        int w = static_cast<int>(random() % 12) - 2, h = static_cast<int>(random() % 12) - 2;
        bool processAlpha = random() % 2;

        auto before = snapshot(canvas);
        auto expected = before;
        bool outOfRange = false;
        for (int j = 0; j < h; ++j) {
            for (int i = 0; i < w; ++i) {
                int64_t px = int64_t{x} + g->translateX + i, py = int64_t{y} + g->translateY + j;
                if (!insideClip(*g, canvas, px, py)) continue;
                int64_t index = int64_t{offset} + int64_t{j} * scanlength + i;
                if (index < 0 || index >= array->length) {
                    outOfRange = true;
                    continue;
                }
                uint32_t v = static_cast<uint32_t>(array->data[index]);
                uint32_t& d = expected[py * canvas.width() + px];
                d = processAlpha ? blendByChannel(d, toPixel(v)) : (toPixel(v) | 0xFF000000u);
            }
        }
        bool threw = throws<ArrayIndexOutOfBoundsException>(
            [&] { g->drawRGB(array, offset, scanlength, x, y, w, h, processAlpha); });
        ASSERT_EQ(threw, outOfRange) << "round " << round;
        ASSERT_EQ(snapshot(canvas), threw ? before : expected) << "round " << round;
    }
}

TEST(ImageDrawing, DrawRgbCutsAtTheClipFromTheMatchingValues) {
    PixelCanvas canvas(10, 10);
    auto g = canvas.makeGraphics();
    std::vector<uint32_t> values(100);
    for (int i = 0; i < 100; ++i) values[i] = 0x00000000u | static_cast<uint32_t>(i);  // alpha 0
    g->drawRGB(intsOf(values), 0, 10, -5, -5, 10, 10, false);
    // The 5 x 5 block from value 5 x 10 + 5 onward, opaque although every value has alpha 0.
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 10; ++x) {
            uint32_t expected = x < 5 && y < 5 ? toPixel(0xFF000000u | static_cast<uint32_t>(55 + y * 10 + x))
                                               : PixelCanvas::kBackground;
            ASSERT_EQ(canvas.at(x, y), expected) << x << ", " << y;
        }
    }
    EXPECT_TRUE(throws<java::lang::NullPointerException>(
        [&] { g->drawRGB(JavaPtr<JArray<int>>(), 0, 1, 0, 0, 1, 1, false); }));
    // A negative width is nothing to draw, not a long row.
    g->drawRGB(intsOf({1}), 0, 1, 0, 0, -7, 1, false);
    g->drawRGB(intsOf({1}), 0, 1, 0, 0, INT_MIN, INT_MIN, true);
}

TEST(ImageDrawing, GetRgbReadsAbsolutePixelsCutToTheBuffer) {
    PixelCanvas canvas(6, 4);
    auto g = canvas.makeGraphics();
    auto valueAt = [](int x, int y) {
        uint32_t i = static_cast<uint32_t>(y * 6 + x);
        return static_cast<int>(i << 24 | 0x123400u | i);
    };
    for (int i = 0; i < 24; ++i) canvas.pixels()[i] = toPixel(static_cast<uint32_t>(valueAt(i % 6, i / 6)));
    g->translate(10, 10);
    g->setClip(0, 0, 1, 1);
    auto out = jnew<JArray<int>>(12);
    for (auto& v : *out) v = -1;
    // A 4 x 3 window starting one column and one row outside the buffer.
    g->getRGB(out, 0, 4, -1, -1, 4, 3);
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 4; ++i) {
            int x = i - 1, y = j - 1;
            int expected = x < 0 || y < 0 ? -1 : valueAt(x, y);
            EXPECT_EQ(out->data[j * 4 + i], expected) << i << ", " << j;
        }
    }
    // Round trip through drawRGB keeps every value, alpha included, when nothing is blended.
    auto image = Image::createImage(6, 4);
    auto ig = image->getGraphics();
    auto all = jnew<JArray<int>>(24);
    g->getRGB(all, 0, 6, 0, 0, 6, 4);
    ig->drawRGB(all, 0, 6, 0, 0, 6, 4, false);
    auto back = jnew<JArray<int>>(24);
    image->getRGB(back, 0, 6, 0, 0, 6, 4);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(back->data[i], all->data[i] | static_cast<int>(0xFF000000u)) << i;

    struct {
        int offset, scanlength, length;
    } bad[] = {{-1, 4, 12}, {1, 4, 12}, {0, 5, 12}, {7, -4, 12}, {0, 4, 11}};
    for (auto b : bad) {
        auto array = jnew<JArray<int>>(b.length);
        EXPECT_TRUE(throws<ArrayIndexOutOfBoundsException>([&] {
            g->getRGB(array, b.offset, b.scanlength, 0, 0, 4, 3);
        })) << b.offset
            << " " << b.scanlength << " " << b.length;
    }
    // A negative scan length walks the array backwards.
    auto reversed = jnew<JArray<int>>(12);
    g->getRGB(reversed, 8, -4, 0, 0, 4, 3);
    EXPECT_EQ(reversed->data[8], valueAt(0, 0));
    EXPECT_EQ(reversed->data[11], valueAt(3, 0));
    EXPECT_EQ(reversed->data[0], valueAt(0, 2));
}

TEST(ImageDrawing, CopyAreaCopiesTheSourceAsItWasAndCutsItToTheBuffer) {
    PixelCanvas canvas(8, 6);
    auto g = canvas.makeGraphics();
    for (int i = 0; i < 48; ++i) canvas.pixels()[i] = 0xFF000000u | static_cast<uint32_t>(i);
    auto before = snapshot(canvas);
    // Overlapping: a 4 x 3 block moved one right and one down.
    g->copyArea(1, 1, 4, 3, 2, 2, 0);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 8; ++x) {
            bool moved = x >= 2 && x < 6 && y >= 2 && y < 5;
            uint32_t expected = moved ? before[(y - 1) * 8 + (x - 1)] : before[y * 8 + x];
            ASSERT_EQ(canvas.at(x, y), expected) << x << ", " << y;
        }
    }
    // A source hanging off the top left: only its inside part is copied, to where it would have gone.
    for (int i = 0; i < 48; ++i) canvas.pixels()[i] = 0xFF000000u | static_cast<uint32_t>(i);
    g->copyArea(-2, -1, 4, 3, 8, 6, Graphics::RIGHT | Graphics::BOTTOM);
    EXPECT_EQ(canvas.at(6, 4), before[0]);
    EXPECT_EQ(canvas.at(7, 5), before[9]);
    EXPECT_EQ(canvas.at(5, 5), before[45]);
    EXPECT_EQ(canvas.at(6, 3), before[30]);
    // Entirely outside, or empty: nothing.
    auto unchanged = snapshot(canvas);
    g->copyArea(100, 100, 5, 5, 0, 0, 0);
    g->copyArea(0, 0, -5, 5, 0, 0, 0);
    g->copyArea(INT_MAX, INT_MAX, INT_MAX, INT_MAX, 0, 0, 0);
    EXPECT_EQ(snapshot(canvas), unchanged);
}

TEST(ImageDrawing, AnImagesGraphicsKeepsTheImageAlive) {
    auto image = Image::createImage(3, 2);
    JavaPtr<Graphics> g = image->getGraphics();
    EXPECT_EQ(g->width, 3);
    EXPECT_EQ(g->height, 2);
    EXPECT_EQ(g->getClipWidth(), 3);
    EXPECT_EQ(g->getClipHeight(), 2);
    image = nullptr;
    g->setColor(0x00FF00);
    g->fillRect(0, 0, 10, 10);
    auto out = jnew<JArray<int>>(6);
    g->getRGB(out, 0, 3, 0, 0, 3, 2);
    for (int v : *out) EXPECT_EQ(static_cast<uint32_t>(v), 0xFF00FF00u);
    // Immutable images answer a graphics too.
    EXPECT_TRUE(Image::createImage(Image::createImage(2, 2))->getGraphics());
}

}  // namespace
