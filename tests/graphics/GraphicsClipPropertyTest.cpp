// Properties of clipping: a clipped shape is the unclipped shape masked by the clip, lines and
// triangles follow plain models of their stepping, and extreme coordinates never write outside the
// buffer or run for long.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "tests/support/graphics/PixelCanvas.h"

using javax::microedition::lcdui::Graphics;
using testsupport::PixelCanvas;

namespace {

constexpr int kWidth = 40;
constexpr int kHeight = 30;
constexpr uint32_t kInk = 0xFFFFFFFFu;

struct Shape {
    std::string description;
    std::function<void(Graphics&)> draw;
};

Shape randomShape(std::mt19937& random) {
    auto coordinate = [&] { return std::uniform_int_distribution<int>(-25, 65)(random); };
    auto size = [&] { return std::uniform_int_distribution<int>(-3, 50)(random); };
    auto angle = [&] { return std::uniform_int_distribution<int>(-400, 400)(random); };
    const int kind = std::uniform_int_distribution<int>(0, 7)(random);
    const int a = coordinate(), b = coordinate(), c = coordinate(), d = coordinate(), e = coordinate(),
              f = coordinate();
    const int w = size(), h = size(), p = angle(), q = angle();
    std::ostringstream text;
    switch (kind) {
        case 0:
            text << "drawLine(" << a << ", " << b << ", " << c << ", " << d << ")";
            return {text.str(), [=](Graphics& g) { g.drawLine(a, b, c, d); }};
        case 1:
            text << "fillRect(" << a << ", " << b << ", " << w << ", " << h << ")";
            return {text.str(), [=](Graphics& g) { g.fillRect(a, b, w, h); }};
        case 2:
            text << "drawRect(" << a << ", " << b << ", " << w << ", " << h << ")";
            return {text.str(), [=](Graphics& g) { g.drawRect(a, b, w, h); }};
        case 3:
            text << "drawRoundRect(" << a << ", " << b << ", " << w << ", " << h << ", " << w / 3 << ", "
                 << h / 4 << ")";
            return {text.str(), [=](Graphics& g) { g.drawRoundRect(a, b, w, h, w / 3, h / 4); }};
        case 4:
            text << "fillRoundRect(" << a << ", " << b << ", " << w << ", " << h << ", " << h / 3 << ", "
                 << w / 4 << ")";
            return {text.str(), [=](Graphics& g) { g.fillRoundRect(a, b, w, h, h / 3, w / 4); }};
        case 5:
            text << "drawArc(" << a << ", " << b << ", " << w << ", " << h << ", " << p << ", " << q << ")";
            return {text.str(), [=](Graphics& g) { g.drawArc(a, b, w, h, p, q); }};
        case 6:
            text << "fillArc(" << a << ", " << b << ", " << w << ", " << h << ", " << p << ", " << q << ")";
            return {text.str(), [=](Graphics& g) { g.fillArc(a, b, w, h, p, q); }};
        default:
            text << "fillTriangle(" << a << ", " << b << ", " << c << ", " << d << ", " << e << ", " << f
                 << ")";
            return {text.str(), [=](Graphics& g) { g.fillTriangle(a, b, c, d, e, f); }};
    }
}

struct AbsoluteClip {
    int64_t left, top, right, bottom;
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

AbsoluteClip storedClip(const Graphics& g) {
    return {g.clipX, g.clipY, int64_t{g.clipX} + g.clipWidth, int64_t{g.clipY} + g.clipHeight};
}

TEST(GraphicsClipProperty, ClippedShapeEqualsUnclippedShapeMasked) {
    std::mt19937 random(20260101);
    PixelCanvas unclipped(kWidth, kHeight), clipped(kWidth, kHeight);
    for (int round = 0; round < 6000; ++round) {
        const Shape shape = randomShape(random);
        const int tx = std::uniform_int_distribution<int>(-10, 10)(random);
        const int ty = std::uniform_int_distribution<int>(-10, 10)(random);
        const int cx = std::uniform_int_distribution<int>(-15, 45)(random);
        const int cy = std::uniform_int_distribution<int>(-15, 35)(random);
        const int cw = std::uniform_int_distribution<int>(-2, 40)(random);
        const int ch = std::uniform_int_distribution<int>(-2, 30)(random);

        unclipped.clear();
        auto whole = unclipped.makeGraphics();
        whole->setColor(0xFFFFFF);
        whole->translate(tx, ty);
        shape.draw(*whole);

        clipped.clear();
        auto cut = clipped.makeGraphics();
        cut->setColor(0xFFFFFF);
        cut->translate(tx, ty);
        cut->setClip(cx, cy, cw, ch);
        const AbsoluteClip clip = storedClip(*cut);
        shape.draw(*cut);

        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t expected = clip.contains(x, y) ? unclipped.at(x, y) : PixelCanvas::kBackground;
                if (clipped.at(x, y) != expected) {
                    ADD_FAILURE() << shape.description << " translated (" << tx << ", " << ty << ") clipped ("
                                  << cx << ", " << cy << ", " << cw << ", " << ch << "): pixel " << x << ", "
                                  << y << "\nunclipped:\n"
                                  << unclipped.ascii() << "clipped:\n"
                                  << clipped.ascii();
                    return;
                }
            }
        }
        ASSERT_TRUE(unclipped.guardIntact() && clipped.guardIntact()) << shape.description;
    }
}

// The line as stepped end to end, without any clipping: both ends included, 10-bit steps from the
// pixel centres, drawn from the upper end.
std::vector<std::pair<int64_t, int64_t>> steppedLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    std::vector<std::pair<int64_t, int64_t>> points;
    if (x1 == x2) {
        for (int64_t y = std::min(y1, y2); y <= std::max(y1, y2); ++y) points.push_back({x1, y});
        return points;
    }
    if (y1 == y2) {
        for (int64_t x = std::min(x1, x2); x <= std::max(x1, x2); ++x) points.push_back({x, y1});
        return points;
    }
    if (y1 > y2) {
        std::swap(x1, x2);
        std::swap(y1, y2);
    }
    const int64_t dy = y2 - y1, dx = std::abs(x2 - x1);
    int64_t xStep = x1 < x2 ? 1024 : -1024, yStep = 1024, count = dx + 1;
    if (dx < dy) {
        xStep = (x2 - x1) * 1024 / dy;
        count = dy + 1;
    } else {
        yStep = dy * 1024 / dx;
    }
    int64_t x = x1 * 1024 + 512, y = y1 * 1024 + 512;
    for (int64_t i = 0; i < count; ++i, x += xStep, y += yStep) points.push_back({x >> 10, y >> 10});
    return points;
}

// The triangle row by row, edges advanced by repeated addition, every row filled whole.
std::vector<std::pair<int64_t, int64_t>> rowFilledTriangle(int64_t x1, int64_t y1, int64_t x2, int64_t y2,
                                                           int64_t x3, int64_t y3) {
    std::vector<std::pair<int64_t, int64_t>> points;
    struct P {
        int64_t x, y;
    } v[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
    std::stable_sort(v, v + 3, [](P a, P b) { return a.y < b.y; });
    const P t = v[0], m = v[1], b = v[2];
    if (t.y == b.y) return points;
    const bool right = t.x + (b.x - t.x) * (m.y - t.y) / (b.y - t.y) > m.x;
    auto fillRow = [&](int64_t row, int64_t left, int64_t rightEdge) {
        for (int64_t x = left >> 10; x <= (rightEdge >> 10); ++x) points.push_back({x, row});
    };
    if (t.y != m.y) {
        const int64_t sTM = (m.x - t.x) * 1024 / (m.y - t.y), sTB = (b.x - t.x) * 1024 / (b.y - t.y);
        int64_t l = t.x * 1024, r = l;
        for (int64_t row = t.y; row <= m.y; ++row, l += right ? sTM : sTB, r += right ? sTB : sTM)
            fillRow(row, l, r);
    }
    if (m.y != b.y) {
        const int64_t uMB = -((m.x - b.x) * 1024 / (m.y - b.y)), uTB = -((t.x - b.x) * 1024 / (t.y - b.y));
        int64_t l = b.x * 1024, r = l;
        for (int64_t row = b.y; row >= m.y; --row, l += right ? uMB : uTB, r += right ? uTB : uMB)
            fillRow(row, l, r);
    }
    return points;
}

TEST(GraphicsClipProperty, LinesAndTrianglesMatchTheirModelsInsideTheClip) {
    std::mt19937 random(7);
    PixelCanvas canvas(kWidth, kHeight);
    auto coordinate = [&] { return std::uniform_int_distribution<int>(-40, 80)(random); };
    for (int round = 0; round < 4000; ++round) {
        const bool triangle = round % 2 == 1;
        const int x1 = coordinate(), y1 = coordinate(), x2 = coordinate(), y2 = coordinate();
        const int x3 = coordinate(), y3 = coordinate();
        const int tx = std::uniform_int_distribution<int>(-8, 8)(random);
        const int ty = std::uniform_int_distribution<int>(-8, 8)(random);
        canvas.clear();
        auto g = canvas.makeGraphics();
        g->setColor(0xFFFFFF);
        g->translate(tx, ty);
        if (round % 3 != 0) {
            g->setClip(std::uniform_int_distribution<int>(-10, 30)(random),
                       std::uniform_int_distribution<int>(-10, 25)(random),
                       std::uniform_int_distribution<int>(0, 40)(random),
                       std::uniform_int_distribution<int>(0, 30)(random));
        }
        const AbsoluteClip clip = storedClip(*g);
        std::vector<uint32_t> expected(static_cast<size_t>(kWidth) * kHeight, PixelCanvas::kBackground);
        const auto points =
            triangle ? rowFilledTriangle(x1, y1, x2, y2, x3, y3) : steppedLine(x1, y1, x2, y2);
        for (auto [x, y] : points) {
            x += tx;
            y += ty;
            if (x >= 0 && x < kWidth && y >= 0 && y < kHeight && clip.contains(int(x), int(y)))
                expected[y * kWidth + x] = kInk;
        }
        if (triangle) {
            g->fillTriangle(x1, y1, x2, y2, x3, y3);
        } else {
            g->drawLine(x1, y1, x2, y2);
        }
        if (!std::equal(expected.begin(), expected.end(), canvas.pixels())) {
            FAIL() << (triangle ? "fillTriangle" : "drawLine") << " round " << round << ": (" << x1 << ", "
                   << y1 << ") (" << x2 << ", " << y2 << ") (" << x3 << ", " << y3 << ") translated (" << tx
                   << ", " << ty << ")\n"
                   << canvas.ascii();
        }
    }
}

// A line whose far end lies millions of pixels away keeps to its exact path inside the clip: every
// pixel drawn is within a pixel of the true segment, one per step along the major axis, none outside
// the clip, every step whose neighbourhood lies in the clip is drawn, and both end points are drawn
// when they lie in the clip.
TEST(GraphicsClipProperty, LongLinesKeepToTheirExactSlope) {
    constexpr int kCanvasWidth = 64, kCanvasHeight = 48;
    std::mt19937 random(19);
    auto near = [&](int size) { return std::uniform_int_distribution<int>(-5, size + 5)(random); };
    auto far = [&] {
        const int reach = std::uniform_int_distribution<int>(0, 2)(random) == 0 ? INT_MAX / 2 : 100000;
        return std::uniform_int_distribution<int>(-reach, reach)(random);
    };
    PixelCanvas canvas(kCanvasWidth, kCanvasHeight);
    for (int round = 0; round < 3000; ++round) {
        int x1 = near(kCanvasWidth), y1 = near(kCanvasHeight), x2 = far(), y2 = far();
        if (round % 4 == 1) std::swap(x1, x2), std::swap(y1, y2);
        if (round % 4 == 2) x1 = far(), y1 = far();
        if (x1 == x2 || y1 == y2) continue;
        canvas.clear();
        auto g = canvas.makeGraphics();
        g->setColor(0xFFFFFF);
        if (round % 2 == 1) {
            g->setClip(std::uniform_int_distribution<int>(0, 30)(random),
                       std::uniform_int_distribution<int>(0, 20)(random),
                       std::uniform_int_distribution<int>(1, 40)(random),
                       std::uniform_int_distribution<int>(1, 30)(random));
        }
        const AbsoluteClip clip = storedClip(*g);
        g->drawLine(x1, y1, x2, y2);
        std::ostringstream line;
        line << "round " << round << ": drawLine(" << x1 << ", " << y1 << ", " << x2 << ", " << y2
             << ") clip (" << clip.left << ", " << clip.top << ")-(" << clip.right << ", " << clip.bottom
             << ")";
        ASSERT_TRUE(canvas.guardIntact()) << line.str();

        // The exact model works along the major axis: at major coordinate m the true minor
        // coordinate is (minorStart * d + (m - majorStart) * minorDelta) / d with d > 0.
        const bool steep = std::abs(int64_t{x2} - x1) < std::abs(int64_t{y2} - y1);
        const int64_t majorStart = steep ? y1 : x1, majorEnd = steep ? y2 : x2;
        const int64_t minorStart = steep ? x1 : y1, minorEnd = steep ? x2 : y2;
        const __int128 d = majorEnd > majorStart ? majorEnd - majorStart : majorStart - majorEnd;
        const __int128 minorDelta = majorEnd > majorStart ? minorEnd - minorStart : minorStart - minorEnd;
        auto trueMinorTimesD = [&](int64_t m) {
            return static_cast<__int128>(minorStart) * d + static_cast<__int128>(m - majorStart) * minorDelta;
        };
        auto onSegment = [&](int64_t m) {
            return m >= std::min(majorStart, majorEnd) && m <= std::max(majorStart, majorEnd);
        };
        const int majorSize = steep ? kCanvasHeight : kCanvasWidth;
        const int minorSize = steep ? kCanvasWidth : kCanvasHeight;
        auto inClip = [&](int64_t major, int64_t minor) {
            const int64_t x = steep ? minor : major, y = steep ? major : minor;
            return x >= 0 && x < kCanvasWidth && y >= 0 && y < kCanvasHeight && clip.contains(int(x), int(y));
        };
        for (int major = 0; major < majorSize; ++major) {
            int drawn = 0;
            for (int minor = 0; minor < minorSize; ++minor) {
                const int x = steep ? minor : major, y = steep ? major : minor;
                if (canvas.at(x, y) != kInk) continue;
                ++drawn;
                ASSERT_TRUE(clip.contains(x, y))
                    << line.str() << " drew outside the clip at " << x << ", " << y;
                ASSERT_TRUE(onSegment(major)) << line.str() << " drew past its end at " << x << ", " << y;
                const __int128 offset = static_cast<__int128>(minor) * d - trueMinorTimesD(major);
                ASSERT_TRUE(offset < d && -offset < d)
                    << line.str() << " strayed from its path at " << x << ", " << y << "\n"
                    << canvas.ascii();
            }
            ASSERT_LE(drawn, 1) << line.str() << " drew twice at major coordinate " << major;
            if (!onSegment(major)) continue;
            // The true point rounded from the pixel centre, and both neighbours, inside the clip: the
            // drawn pixel is one of them, so this step must show.
            const __int128 rounded = (2 * trueMinorTimesD(major) + d) / (2 * d) -
                                     (((2 * trueMinorTimesD(major) + d) % (2 * d)) < 0 ? 1 : 0);
            const int64_t r = static_cast<int64_t>(rounded);
            if (inClip(major, r - 1) && inClip(major, r) && inClip(major, r + 1)) {
                ASSERT_EQ(drawn, 1) << line.str() << " left out major coordinate " << major << "\n"
                                    << canvas.ascii();
            }
        }
        for (auto [x, y] : {std::pair{x1, y1}, std::pair{x2, y2}}) {
            if (x >= 0 && x < kCanvasWidth && y >= 0 && y < kCanvasHeight && clip.contains(x, y)) {
                ASSERT_EQ(canvas.at(x, y), kInk) << line.str() << " missed its end point " << x << ", " << y;
            }
        }
    }
}

TEST(GraphicsClipProperty, LongLinesOfTheReportDrawTheirEndPoints) {
    struct Case {
        int width, height, x1, y1, x2, y2, endX, endY;
    };
    const Case cases[] = {
        {100, 100, 50, 50, 9799, -7614, 50, 50},
        {5, 37, 3, 13, -719018958, -14098398, 3, 13},
    };
    for (const Case& c : cases) {
        PixelCanvas canvas(c.width, c.height);
        auto g = canvas.makeGraphics();
        g->setColor(0xFFFFFF);
        g->drawLine(c.x1, c.y1, c.x2, c.y2);
        EXPECT_EQ(canvas.at(c.endX, c.endY), kInk)
            << "drawLine(" << c.x1 << ", " << c.y1 << ", " << c.x2 << ", " << c.y2 << ")";
    }
}

TEST(GraphicsClipProperty, ExtremeCoordinatesStayInsideTheBuffer) {
    constexpr int kBig = 1000000000;
    const std::vector<Shape> shapes = {
        {"fillRect across the int range",
         [](Graphics& g) { g.fillRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }},
        {"fillRect from the top of the range",
         [](Graphics& g) { g.fillRect(INT_MAX, INT_MAX, INT_MAX, INT_MAX); }},
        {"drawLine corner to corner of the range",
         [](Graphics& g) { g.drawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }},
        {"drawLine steep and huge", [](Graphics& g) { g.drawLine(-kBig, INT_MIN, kBig, INT_MAX); }},
        {"drawLine shallow and huge", [](Graphics& g) { g.drawLine(INT_MIN, 3, INT_MAX, 7); }},
        {"drawLine vertical over the range", [](Graphics& g) { g.drawLine(5, INT_MIN, 5, INT_MAX); }},
        {"drawRect of the range", [](Graphics& g) { g.drawRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX); }},
        {"drawRect with its right edge past the range",
         [](Graphics& g) { g.drawRect(INT_MAX, 0, INT_MAX, INT_MAX); }},
        {"drawRoundRect of the range",
         [](Graphics& g) { g.drawRoundRect(INT_MIN, INT_MIN, INT_MAX, INT_MAX, kBig, kBig); }},
        {"fillRoundRect of the range",
         [](Graphics& g) { g.fillRoundRect(INT_MIN, -5, INT_MAX, INT_MAX, INT_MAX, INT_MAX); }},
        {"drawArc huge", [](Graphics& g) { g.drawArc(-kBig, -kBig, 2 * kBig, 2 * kBig, 0, 360); }},
        {"drawArc extreme angles", [](Graphics& g) { g.drawArc(0, 0, 20, 20, INT_MIN, INT_MIN); }},
        {"fillArc huge", [](Graphics& g) { g.fillArc(-kBig, -kBig, 2 * kBig, 2 * kBig, 0, 360); }},
        {"fillArc huge sector", [](Graphics& g) { g.fillArc(INT_MIN, INT_MIN, INT_MAX, INT_MAX, 30, 200); }},
        {"fillArc extreme angles", [](Graphics& g) { g.fillArc(0, 0, 30, 20, INT_MAX, INT_MIN); }},
        {"fillTriangle spanning 1e9", [](Graphics& g) { g.fillTriangle(-kBig, -kBig, kBig, 0, 0, kBig); }},
        {"fillTriangle of the range",
         [](Graphics& g) { g.fillTriangle(INT_MIN, INT_MIN, INT_MAX, INT_MIN, INT_MIN, INT_MAX); }},
        {"fillTriangle thin and long",
         [](Graphics& g) { g.fillTriangle(INT_MIN, 0, INT_MAX, 1, INT_MIN, 2); }},
    };
    const int translations[][2] = {{0, 0}, {INT_MAX, INT_MAX}, {INT_MIN, INT_MIN}, {-kBig, kBig}};
    const int clips[][4] = {
        {0, 0, 16, 12}, {3, 2, 7, 5}, {0, 0, INT_MAX, INT_MAX}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX}};
    for (const Shape& shape : shapes) {
        for (const auto& translation : translations) {
            for (const auto& clipArgs : clips) {
                PixelCanvas canvas(16, 12);
                auto g = canvas.makeGraphics();
                g->setColor(0xFFFFFF);
                g->translate(translation[0], translation[1]);
                g->setClip(clipArgs[0], clipArgs[1], clipArgs[2], clipArgs[3]);
                const AbsoluteClip clip = storedClip(*g);
                shape.draw(*g);
                ASSERT_TRUE(canvas.guardIntact()) << shape.description;
                for (int y = 0; y < 12; ++y) {
                    for (int x = 0; x < 16; ++x) {
                        if (!clip.contains(x, y)) {
                            ASSERT_EQ(canvas.at(x, y), PixelCanvas::kBackground)
                                << shape.description << " at " << x << ", " << y;
                        }
                    }
                }
            }
        }
    }
}

TEST(GraphicsClipProperty, HugeShapesDrawTheirVisiblePart) {
    constexpr int kBig = 1000000000;
    auto filledEverywhere = [](void (*draw)(Graphics&)) {
        PixelCanvas canvas(16, 12);
        auto g = canvas.makeGraphics();
        g->setColor(0xFFFFFF);
        draw(*g);
        return std::all_of(canvas.pixels(), canvas.pixels() + 16 * 12, [](uint32_t p) { return p == kInk; });
    };
    EXPECT_TRUE(filledEverywhere([](Graphics& g) { g.fillRect(-kBig, -kBig, INT_MAX, INT_MAX); }));
    EXPECT_TRUE(filledEverywhere(
        [](Graphics& g) { g.fillTriangle(-kBig, -kBig, 2 * kBig, -kBig, -kBig, 2 * kBig); }));
    EXPECT_TRUE(filledEverywhere([](Graphics& g) { g.fillArc(-kBig, -kBig, 2 * kBig, 2 * kBig, 0, 360); }));
    EXPECT_TRUE(
        filledEverywhere([](Graphics& g) { g.fillRoundRect(-kBig, -kBig, 2 * kBig, 2 * kBig, 50, 50); }));

    // A diagonal across the whole int range steps exactly one pixel each way.
    PixelCanvas canvas(16, 12);
    auto g = canvas.makeGraphics();
    g->setColor(0xFFFFFF);
    g->drawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) EXPECT_EQ(canvas.at(x, y) == kInk, x == y) << x << ", " << y;
}

}  // namespace
