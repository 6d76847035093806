// The shape primitives, pixel by pixel on tiny buffers.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>
#include <utility>
#include <vector>

#include "graphics/Graphics.h"
#include "tests/support/graphics/PixelCanvas.h"

using javax::microedition::lcdui::Graphics;
using testsupport::PixelCanvas;
using testsupport::showsPicture;

namespace {

// Records the calls the composite shapes make through the virtual operations, and still draws them.
class RecordingGraphics : public Graphics {
public:
    void drawLine(int x1, int y1, int x2, int y2) override {
        lines.push_back({x1, y1, x2, y2});
        Graphics::drawLine(x1, y1, x2, y2);
    }
    void fillRect(int x, int y, int w, int h) override {
        rects.push_back({x, y, w, h});
        Graphics::fillRect(x, y, w, h);
    }
    void drawArc(int x, int y, int w, int h, int start, int arc) override {
        arcs.push_back({x, y, w, h, start, arc});
        Graphics::drawArc(x, y, w, h, start, arc);
    }
    std::vector<std::vector<int>> lines, rects, arcs;
};

JavaPtr<RecordingGraphics> recordingGraphics(PixelCanvas& canvas) {
    JavaPtr<Graphics> plain = canvas.makeGraphics();
    JavaPtr<RecordingGraphics> g = jnew<RecordingGraphics>();
    g->width = plain->width;
    g->height = plain->height;
    g->setClip(0, 0, plain->width, plain->height);
    g->pixels = canvas.pixels();
    return g;
}

struct Drawing {
    const char* what;
    int width, height;
    void (*draw)(Graphics&);
    std::initializer_list<std::string_view> picture;
};

void expectPictures(std::initializer_list<Drawing> drawings) {
    for (const Drawing& d : drawings) {
        SCOPED_TRACE(d.what);
        PixelCanvas canvas(d.width, d.height);
        auto g = canvas.makeGraphics();
        g->setColor(0xFFFFFF);
        d.draw(*g);
        EXPECT_TRUE(showsPicture(canvas, d.picture));
    }
}

// A fill of a whole frame (a megabyte and more in one span) takes a path of its own: every word is
// the pixel word and nothing past either end of the buffer changes.
TEST(GraphicsShapes, WholeFrameFillsCoverEveryWordAndNothingElse) {
    for (auto [w, h] : {std::pair{640, 480}, std::pair{640, 960}, std::pair{321, 1000}}) {
        PixelCanvas canvas(w, h);
        auto g = canvas.makeGraphics();
        g->setColor(0x336699);
        g->fillRect(-5, -5, w + 10, h + 10);
        const uint32_t word = Graphics::argbToPixel(0xFF336699u);
        EXPECT_EQ(std::count(canvas.pixels(), canvas.pixels() + size_t(w) * h, word), ptrdiff_t(w) * h) << w;
        EXPECT_TRUE(canvas.guardIntact()) << w;
    }
}

TEST(GraphicsShapes, Lines) {
    // clang-format off
    expectPictures({
        {"a point", 5, 5,
         [](Graphics& g) { g.drawLine(3, 3, 3, 3); },
         {
             ".....",
             ".....",
             ".....",
             "...#.",
             ".....",
         }},
        {"horizontal, both ends", 12, 1,
         [](Graphics& g) { g.drawLine(10, 0, 0, 0); },
         {
             "###########.",
         }},
        {"vertical", 3, 4,
         [](Graphics& g) { g.drawLine(1, 3, 1, 1); },
         {
             "...",
             ".#.",
             ".#.",
             ".#.",
         }},
        {"shallow, one pixel per column", 11, 5,
         [](Graphics& g) { g.drawLine(0, 0, 10, 4); },
         {
             "##.........",
             "..##.......",
             "....###....",
             ".......##..",
             ".........##",
         }},
        {"shallow leftward", 11, 5,
         [](Graphics& g) { g.drawLine(0, 4, 10, 0); },
         {
             ".........##",
             ".......##..",
             "....###....",
             "..##.......",
             "##.........",
         }},
        {"steep, drawn from the upper end", 5, 7,
         [](Graphics& g) { g.drawLine(3, 6, 1, 0); },
         {
             ".#...",
             ".#...",
             "..#..",
             "..#..",
             "..#..",
             "...#.",
             "...#.",
         }},
        {"translated", 4, 3,
         [](Graphics& g) { g.translate(1, 1); g.drawLine(0, 0, 2, 1); },
         {
             "....",
             ".#..",
             "..##",
         }},
    });
    // clang-format on
}

TEST(GraphicsShapes, LinesAreCutAtTheClip) {
    // clang-format off
    expectPictures({
        {"restricted to the clip, slope unchanged", 11, 5,
         [](Graphics& g) { g.setClip(2, 1, 5, 3); g.drawLine(0, 0, 10, 4); },
         {
             "...........",
             "..##.......",
             "....###....",
             "...........",
             "...........",
         }},
        {"wholly above the clip", 11, 5,
         [](Graphics& g) { g.setClip(0, 3, 11, 2); g.drawLine(0, 0, 10, 2); },
         {
             "...........",
             "...........",
             "...........",
             "...........",
             "...........",
         }},
        {"vertical line cut by the clip", 3, 5,
         [](Graphics& g) { g.setClip(0, 1, 3, 2); g.drawLine(1, -100, 1, 100); },
         {
             "...",
             ".#.",
             ".#.",
             "...",
             "...",
         }},
    });
    // clang-format on
}

TEST(GraphicsShapes, RectangleOutlines) {
    // clang-format off
    expectPictures({
        {"size 0 is one pixel", 3, 3,
         [](Graphics& g) { g.drawRect(1, 1, 0, 0); },
         {
             "...",
             ".#.",
             "...",
         }},
        {"w x h covers (w + 1) x (h + 1)", 6, 4,
         [](Graphics& g) { g.drawRect(0, 0, 4, 2); },
         {
             "#####.",
             "#...#.",
             "#####.",
             "......",
         }},
        {"negative size draws nothing", 3, 3,
         [](Graphics& g) { g.drawRect(1, 1, -1, 2); },
         {
             "...",
             "...",
             "...",
         }},
        {"filled", 5, 4,
         [](Graphics& g) { g.fillRect(1, 1, 3, 2); },
         {
             ".....",
             ".###.",
             ".###.",
             ".....",
         }},
        {"filled, empty sizes", 3, 3,
         [](Graphics& g) { g.fillRect(0, 0, 0, 3); g.fillRect(0, 0, 3, -1); },
         {
             "...",
             "...",
             "...",
         }},
        {"filled, one column", 3, 3,
         [](Graphics& g) { g.fillRect(1, -5, 1, 100); },
         {
             ".#.",
             ".#.",
             ".#.",
         }},
    });
    // clang-format on
}

TEST(GraphicsShapes, RoundedOutlineSpansWByHPixels) {
    PixelCanvas canvas(22, 12);
    auto g = recordingGraphics(canvas);
    g->setColor(0xFFFFFF);
    g->drawRoundRect(0, 0, 20, 10, 4, 4);
    auto columnTouched = [&](int x) {
        for (int y = 0; y < canvas.height(); ++y)
            if (canvas.at(x, y) != PixelCanvas::kBackground) return true;
        return false;
    };
    auto rowTouched = [&](int y) {
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.at(x, y) != PixelCanvas::kBackground) return true;
        return false;
    };
    EXPECT_TRUE(columnTouched(0));
    EXPECT_TRUE(columnTouched(19));
    EXPECT_FALSE(columnTouched(20));
    EXPECT_TRUE(rowTouched(0));
    EXPECT_TRUE(rowTouched(9));
    EXPECT_FALSE(rowTouched(10));
    // The arc sizes are radii: corner boxes of 2 x radius.
    using V = std::vector<int>;
    EXPECT_EQ(
        g->arcs,
        (std::vector<V>{
            {0, 0, 8, 8, 90, 90}, {11, 0, 8, 8, 0, 90}, {0, 1, 8, 8, 180, 90}, {11, 1, 8, 8, 270, 90}}));
    EXPECT_TRUE(showsPicture(canvas, {
                                         "..################....",
                                         ".##..............##...",
                                         "##................##..",
                                         "#..................#..",
                                         "#..................#..",
                                         "#..................#..",
                                         "#..................#..",
                                         "##................##..",
                                         ".##..............##...",
                                         "..################....",
                                         "......................",
                                         "......................",
                                     }));
}

TEST(GraphicsShapes, RoundRectanglesWithoutRadiusAreRectangles) {
    PixelCanvas outline(8, 6), plain(8, 6);
    auto g = outline.makeGraphics();
    auto reference = plain.makeGraphics();
    g->drawRoundRect(1, 1, 5, 3, 0, 4);
    reference->drawRect(1, 1, 5, 3);
    g->fillRoundRect(2, 2, 3, 1, 4, 4);  // h >> 1 is 0
    reference->fillRect(2, 2, 3, 1);
    EXPECT_EQ(outline.ascii(), plain.ascii());
}

TEST(GraphicsShapes, ArcStepsShrinkWithTheBox) {
    struct Case {
        int size, arc, segments;
    };
    // 512 / max(w, h) + 1 degrees, at most 5; the last segment ends exactly at the arc's end.
    const Case cases[] = {{20, 360, 72},   {128, 360, 72}, {200, 360, 120},
                          {600, 360, 360}, {200, 100, 34}, {200, -100, 34}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        PixelCanvas canvas(8, 8);
        auto g = recordingGraphics(canvas);
        g->drawArc(0, 0, c.size, c.size, 30, c.arc);
        EXPECT_EQ(static_cast<int>(g->lines.size()), c.segments);
    }
    PixelCanvas canvas(8, 8);
    auto g = recordingGraphics(canvas);
    g->drawArc(0, 0, 200, 200, 0, 90);
    ASSERT_FALSE(g->lines.empty());
    EXPECT_EQ(g->lines.front(), (std::vector<int>{200, 100, 200, 95}));  // from 0 to 3 degrees
    EXPECT_EQ(g->lines.back()[2], 100);                                  // ends at 90 degrees: the top centre
    EXPECT_EQ(g->lines.back()[3], 0);

    // One negative side beside a positive one: the points follow the formula, left of the box's x.
    g->lines.clear();
    g->drawArc(0, 0, -20, 16, 0, 90);
    ASSERT_EQ(g->lines.size(), 18u);                                  // 5-degree steps
    EXPECT_EQ(g->lines.front(), (std::vector<int>{-19, 8, -19, 7}));  // 0 degrees: trunc(0.5 - 20)
    EXPECT_EQ(g->lines.back()[2], -9);                                // 90 degrees: trunc(0.5 - 10)
    EXPECT_EQ(g->lines.back()[3], 0);
}

TEST(GraphicsShapes, ArcsOfNothingAndOfMoreThanATurn) {
    auto picture = [](void (*draw)(Graphics&)) {
        PixelCanvas canvas(24, 24);
        auto g = canvas.makeGraphics();
        g->setColor(0xFFFFFF);
        draw(*g);
        return canvas.ascii();
    };
    const std::string empty = picture([](Graphics&) {});
    const std::string fullOutline = picture([](Graphics& g) { g.drawArc(1, 1, 20, 16, 0, 360); });
    const std::string fullSector = picture([](Graphics& g) { g.fillArc(1, 1, 20, 16, 0, 360); });
    EXPECT_NE(fullOutline, empty);
    EXPECT_NE(fullSector, empty);
    EXPECT_EQ(picture([](Graphics& g) { g.drawArc(1, 1, 20, 16, 45, 0); }), empty);
    EXPECT_EQ(picture([](Graphics& g) { g.fillArc(1, 1, 20, 16, 45, 0); }), empty);
    EXPECT_EQ(picture([](Graphics& g) { g.fillArc(1, 1, 20, 0, 0, 360); }), empty);
    EXPECT_EQ(picture([](Graphics& g) { g.fillArc(1, 1, -20, 16, 0, 360); }), empty);
    EXPECT_EQ(picture([](Graphics& g) { g.drawArc(1, 1, -1, -1, 0, 360); }), empty);
    EXPECT_EQ(picture([](Graphics& g) { g.drawArc(1, 1, 0, -3, 0, 360); }), empty);
    EXPECT_EQ(picture([](Graphics& g) { g.drawArc(1, 1, 20, 16, 0, INT_MAX); }), fullOutline);
    EXPECT_EQ(picture([](Graphics& g) { g.fillArc(1, 1, 20, 16, 0, 720); }), fullSector);
    EXPECT_EQ(picture([](Graphics& g) { g.fillArc(1, 1, 20, 16, 10, -400); }), fullSector);
    EXPECT_EQ(picture([](Graphics& g) { g.fillArc(1, 1, 20, 16, 0, INT_MIN); }), fullSector);

    PixelCanvas canvas(4, 4);
    auto g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    g->drawArc(2, 1, 0, 0, 0, 90);
    EXPECT_TRUE(showsPicture(canvas, {"....", "..#.", "....", "...."}));
}

TEST(GraphicsShapes, Sectors) {
    // clang-format off
    expectPictures({
        {"whole ellipse", 22, 21,
         [](Graphics& g) { g.fillArc(0, 0, 21, 21, 0, 360); },
         {
             ".......#######........",
             ".....###########......",
             "....#############.....",
             "...###############....",
             "..#################...",
             ".###################..",
             ".###################..",
             "#####################.",
             "#####################.",
             "#####################.",
             "#####################.",
             "#####################.",
             "#####################.",
             "#####################.",
             ".###################..",
             ".###################..",
             "..#################...",
             "...###############....",
             "....#############.....",
             ".....###########......",
             ".......#######........",
         }},
        {"first quadrant: rows above the centre, from the centre rightward", 22, 21,
         [](Graphics& g) { g.fillArc(0, 0, 21, 21, 0, 90); },
         {
             "..........####........",
             "..........######......",
             "..........#######.....",
             "..........########....",
             "..........#########...",
             "..........##########..",
             "..........##########..",
             "..........###########.",
             "..........###########.",
             "..........###########.",
             "......................",
             "......................",
             "......................",
             "......................",
             "......................",
             "......................",
             "......................",
             "......................",
             "......................",
             "......................",
             "......................",
         }},
    });
    // clang-format on
}

TEST(GraphicsShapes, Triangles) {
    // clang-format off
    expectPictures({
        {"upper and lower parts", 10, 9,
         [](Graphics& g) { g.fillTriangle(8, 4, 0, 0, 2, 8); },
         {
             "#.........",
             "###.......",
             "#####.....",
             "#######...",
             ".########.",
             ".######...",
             ".#####....",
             ".###......",
             "..#.......",
         }},
        {"horizontal top edge: only the lower part", 7, 7,
         [](Graphics& g) { g.fillTriangle(0, 0, 6, 0, 3, 6); },
         {
             "#######",
             "######.",
             ".#####.",
             ".####..",
             "..###..",
             "..##...",
             "...#...",
         }},
        {"all corners on one row", 7, 2,
         [](Graphics& g) { g.fillTriangle(0, 1, 6, 1, 3, 1); },
         {
             ".......",
             ".......",
         }},
    });
    // clang-format on
}

TEST(GraphicsShapes, HorizontalTopEdgeFillsOnlyLowerRows) {
    PixelCanvas canvas(7, 7);
    auto g = recordingGraphics(canvas);
    g->fillTriangle(0, 0, 6, 0, 3, 6);
    ASSERT_EQ(g->rects.size(), 7u);
    EXPECT_EQ(g->rects.front(), (std::vector<int>{3, 6, 1, 1}));  // from the bottom up
    EXPECT_EQ(g->rects.back(), (std::vector<int>{0, 0, 7, 1}));
}

}  // namespace
