// The shape primitives of Graphics: lines, rectangle outlines, rounded rectangles, arcs, sectors and
// triangles, all in 64-bit coordinates and limited to the rows and steps that can reach the clip.
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <utility>

#include "graphics/DrawTarget.h"
#include "graphics/Graphics.h"
#include "runtime/Math.h"

namespace javax::microedition::lcdui {

using java::lang::Math;

namespace {

bool fitsInt(int64_t v) {
    return v >= INT32_MIN && v <= INT32_MAX;
}

template <class... V>
bool allFitInt(V... values) {
    return (fitsInt(values) && ...);
}

// Truncation toward zero that saturates far beyond any coordinate instead of overflowing; NaN gives 0.
int64_t truncateSaturating(double v) {
    constexpr double limit = 4611686018427387904.0;  // 2^62
    if (!(v == v)) return 0;
    if (v >= limit) return INT64_C(1) << 62;
    if (v <= -limit) return -(INT64_C(1) << 62);
    return static_cast<int64_t>(v);
}

// Math::sin and Math::cos step through their argument one turn at a time up to about a million
// radians: an angle of tens of millions of degrees would cost a hundred thousand steps per point.
// Angles beyond about a million degrees lose whole turns first; smaller ones are used as they are.
int64_t withoutExtraTurns(int64_t degrees) {
    constexpr int64_t limit = INT64_C(1) << 20;
    return degrees > limit || degrees < -limit ? degrees % 360 : degrees;
}

struct StepRange {
    int64_t first;
    int64_t last;
};

__int128 floorDiv(__int128 a, __int128 b) {
    __int128 q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0))) --q;
    return q;
}

__int128 ceilDiv(__int128 a, __int128 b) {
    __int128 q = a / b;
    if (a % b != 0 && ((a < 0) == (b < 0))) ++q;
    return q;
}

int64_t clampToInt64(__int128 v) {
    return static_cast<int64_t>(std::clamp<__int128>(v, INT64_MIN, INT64_MAX));
}

// The steps i for which the fixed-point coordinate (start + i * step) >> bits lies in [low, high).
// The coordinate moves monotonically with i, so they form one run.
StepRange stepsInside(__int128 start, __int128 step, int bits, int64_t low, int64_t high) {
    const __int128 one = static_cast<__int128>(1) << bits;
    __int128 lowest = low * one - start;
    __int128 highest = high * one - 1 - start;
    if (step > 0) return {clampToInt64(ceilDiv(lowest, step)), clampToInt64(floorDiv(highest, step))};
    if (step < 0) return {clampToInt64(ceilDiv(highest, step)), clampToInt64(floorDiv(lowest, step))};
    if (lowest <= 0 && 0 <= highest) return {INT64_MIN, INT64_MAX};
    return {0, -1};
}

// Fraction bits of a line's fixed-point step. The truncated slope loses less than one unit of the
// last bit per step, so a line of count steps drifts by less than count / 2^bits pixels: 10 bits keep
// every line of up to 512 steps within half a pixel of its true path (and ending on its end point);
// longer lines get the bits that keep it so.
int lineFractionBits(int64_t count) {
    int bits = 10;
    while ((static_cast<__int128>(1) << bits) < 2 * static_cast<__int128>(count)) ++bits;
    return bits;
}

}  // namespace

void Graphics::callFillRect(int64_t x, int64_t y, int64_t w, int64_t h) {
    if (allFitInt(x, y, w, h)) {
        fillRect(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h));
    } else {
        fillRectWide(x, y, w, h);
    }
}

void Graphics::callDrawLine(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    if (allFitInt(x1, y1, x2, y2)) {
        drawLine(static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2));
    } else {
        drawLineWide(x1, y1, x2, y2);
    }
}

void Graphics::callDrawArc(int64_t x, int64_t y, int64_t w, int64_t h, int64_t startAngle, int64_t arcAngle) {
    if (allFitInt(x, y, w, h, startAngle, arcAngle)) {
        drawArc(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h),
                static_cast<int>(startAngle), static_cast<int>(arcAngle));
    } else {
        drawArcWide(x, y, w, h, startAngle, arcAngle);
    }
}

void Graphics::callFillArc(int64_t x, int64_t y, int64_t w, int64_t h, int64_t startAngle, int64_t arcAngle) {
    if (allFitInt(x, y, w, h, startAngle, arcAngle)) {
        fillArc(static_cast<int>(x), static_cast<int>(y), static_cast<int>(w), static_cast<int>(h),
                static_cast<int>(startAngle), static_cast<int>(arcAngle));
    } else {
        fillArcWide(x, y, w, h, startAngle, arcAngle);
    }
}

void Graphics::drawLine(int x1, int y1, int x2, int y2) {
    drawLineWide(x1, y1, x2, y2);
}

void Graphics::drawLineWide(int64_t x1, int64_t y1, int64_t x2, int64_t y2) {
    if (x1 == x2) {
        callFillRect(x1, std::min(y1, y2), 1, std::abs(y2 - y1) + 1);
        return;
    }
    if (y1 == y2) {
        callFillRect(std::min(x1, x2), y1, std::abs(x2 - x1) + 1, 1);
        return;
    }
    if (!hasDrawTarget(*this)) return;
    PixelBox clip = drawableBox();
    if (clip.isEmpty()) return;

    // A is the upper end; the line is stepped from it down in 10-bit fixed point from pixel centres.
    int64_t ax = x1 + translateX, ay = y1 + translateY;
    int64_t bx = x2 + translateX, by = y2 + translateY;
    if (ay > by) {
        std::swap(ax, bx);
        std::swap(ay, by);
    }
    const bool rightward = ax < bx;
    const int64_t dy = by - ay;
    const int64_t dx = std::abs(bx - ax);
    const int64_t count = std::max(dx, dy) + 1;
    const int bits = lineFractionBits(count);
    const __int128 one = static_cast<__int128>(1) << bits;
    __int128 xStep, yStep;
    if (dx < dy) {
        xStep = (static_cast<__int128>(bx - ax) * one) / dy;
        yStep = one;
    } else {
        xStep = rightward ? one : -one;
        yStep = (static_cast<__int128>(dy) * one) / dx;
    }
    const __int128 xStart = ax * one + one / 2;
    const __int128 yStart = ay * one + one / 2;

    // Clipping moves no end point: the steps are those of the whole line, and only the ones whose
    // pixel lies in the clip are visited. Cutting the ends first and stepping from there would change
    // the slope and stray outside the clip.
    StepRange columns = stepsInside(xStart, xStep, bits, clip.left, clip.right);
    StepRange rows = stepsInside(yStart, yStep, bits, clip.top, clip.bottom);
    const int64_t first = std::max({INT64_C(0), columns.first, rows.first});
    const int64_t last = std::min({count - 1, columns.last, rows.last});
#if _ATTEMPTS_2D_OVER_3D
    if (drawsThroughGL()) {
        // GL's own rasterisation of a slanted line lights other pixels than these steps wherever the
        // line passes between two (and drops some short runs): the visible steps go to GL as the
        // straight runs they form (rows of a shallow line, columns of a steep one), each a coloured
        // quad, which covers exactly its pixels.
        const bool rows = dx >= dy;
        int64_t runX = 0, runY = 0, endX = 0, endY = 0;
        bool inRun = false;
        auto emitRun = [&] {
            if (inRun)
                myRectBlit2DOver3D(TSRect{static_cast<int32_t>(std::min(runX, endX)),
                                          static_cast<int32_t>(std::min(runY, endY)),
                                          static_cast<int32_t>(std::abs(endX - runX) + 1),
                                          static_cast<int32_t>(std::abs(endY - runY) + 1)});
        };
        for (int64_t i = first; i <= last; ++i) {
            const int64_t px = static_cast<int64_t>((xStart + i * xStep) >> bits);
            const int64_t py = static_cast<int64_t>((yStart + i * yStep) >> bits);
            if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) {
                emitRun();
                inRun = false;
                continue;
            }
            if (inRun && (rows ? py == runY : px == runX)) {
                endX = px, endY = py;
                continue;
            }
            emitRun();
            runX = endX = px, runY = endY = py;
            inRun = true;
        }
        emitRun();
        return;
    }
    if (pixels == nullptr) return;
    markTextureDirty();
#endif
    const uint32_t word = pixelWord;
    const int64_t stride = width;
    for (int64_t i = first; i <= last; ++i) {
        const int64_t px = static_cast<int64_t>((xStart + i * xStep) >> bits);
        const int64_t py = static_cast<int64_t>((yStart + i * yStep) >> bits);
        if (px < clip.left || px >= clip.right || py < clip.top || py >= clip.bottom) continue;
        pixels[py * stride + px] = word;
    }
}

void Graphics::drawRect(int x, int y, int w, int h) {
    if (w < 0 || h < 0) return;
    const int64_t x64 = x, y64 = y, w64 = w, h64 = h;
    callFillRect(x64, y64, w64, 1);
    callFillRect(x64, y64 + h64, w64, 1);
    callFillRect(x64, y64, 1, h64);
    callFillRect(x64 + w64, y64, 1, h64 + 1);
}

namespace {

// The corners of a rounded rectangle: radii cut to half the sides (the arc sizes are corner radii,
// not the diameters other toolkits take), and the boxes of the corner ellipses.
struct RoundCorners {
    int64_t rx, ry;              // radii; a rectangle without rounding when either is 0 or less
    int64_t boxW, boxH;          // one corner ellipse's box
    int64_t rightBox, lowerBox;  // where the right and the lower corner boxes start

    RoundCorners(int x, int y, int w, int h, int arcWidth, int arcHeight)
        : rx(std::min(arcWidth, w >> 1)),
          ry(std::min(arcHeight, h >> 1)),
          boxW(2 * rx),
          boxH(2 * ry),
          rightBox(int64_t{x} + w - boxW - 1),
          lowerBox(int64_t{y} + h - boxH - 1) {}
    bool rounded() const { return rx > 0 && ry > 0; }
};

}  // namespace

void Graphics::drawRoundRect(int x, int y, int w, int h, int arcWidth, int arcHeight) {
    const RoundCorners c(x, y, w, h, arcWidth, arcHeight);
    if (!c.rounded()) {
        drawRect(x, y, w, h);
        return;
    }
    const int64_t x64 = x, y64 = y, w64 = w, h64 = h;
    callDrawArc(x64, y64, c.boxW, c.boxH, 90, 90);
    callDrawArc(c.rightBox, y64, c.boxW, c.boxH, 0, 90);
    callDrawArc(x64, c.lowerBox, c.boxW, c.boxH, 180, 90);
    callDrawArc(c.rightBox, c.lowerBox, c.boxW, c.boxH, 270, 90);
    callDrawLine(x64 + c.rx, y64, x64 + w64 - c.rx, y64);
    callDrawLine(x64 + c.rx, y64 + h64 - 1, x64 + w64 - c.rx, y64 + h64 - 1);
    callDrawLine(x64, y64 + c.ry, x64, y64 + h64 - c.ry);
    callDrawLine(x64 + w64 - 1, y64 + c.ry, x64 + w64 - 1, y64 + h64 - c.ry);
}

void Graphics::fillRoundRect(int x, int y, int w, int h, int arcWidth, int arcHeight) {
    const RoundCorners c(x, y, w, h, arcWidth, arcHeight);
    if (!c.rounded()) {
        fillRect(x, y, w, h);
        return;
    }
    const int64_t x64 = x, y64 = y, w64 = w, h64 = h;
    callFillArc(x64, y64, c.boxW, c.boxH, 90, 90);
    callFillArc(c.rightBox, y64, c.boxW, c.boxH, 0, 90);
    callFillArc(x64, c.lowerBox, c.boxW, c.boxH, 180, 90);
    callFillArc(c.rightBox, c.lowerBox, c.boxW, c.boxH, 270, 90);
    callFillRect(x64 + c.rx, y64, w64 - c.boxW, h64);
    callFillRect(x64, y64 + c.ry, c.rx, h64 - c.boxH);
    callFillRect(x64 + w64 - c.rx, y64 + c.ry, c.rx, h64 - c.boxH);
}

void Graphics::drawArc(int x, int y, int w, int h, int startAngle, int arcAngle) {
    drawArcWide(x, y, w, h, startAngle, arcAngle);
}

void Graphics::drawArcWide(int64_t x, int64_t y, int64_t w, int64_t h, int64_t startAngle, int64_t arcAngle) {
    if (arcAngle < 0) {
        startAngle += arcAngle;
        arcAngle = -arcAngle;
    }
    if (arcAngle == 0) return;
    // More than a full turn only draws the same ellipse again.
    arcAngle = std::min<int64_t>(arcAngle, 360);
    startAngle = withoutExtraTurns(startAngle);
    // The step divides by the larger side: a box with no positive side is its corner point when it
    // is 0 x 0 and nothing otherwise. One negative side beside a positive one is drawn as given.
    const int64_t larger = std::max(w, h);
    if (larger <= 0) {
        if (w == 0 && h == 0) callDrawLine(x, y, x, y);
        return;
    }
    const int64_t step = std::min<int64_t>(512 / larger + 1, 5);
    const double width = static_cast<double>(w);
    const double height = static_cast<double>(h);
    auto pointAt = [&](int64_t degrees) {
        double a = Math::toRadians(static_cast<double>(degrees));
        return std::pair<int64_t, int64_t>{x + truncateSaturating(0.5 + (0.5 + 0.5 * Math::cos(a)) * width),
                                           y + truncateSaturating(0.5 + (0.5 - 0.5 * Math::sin(a)) * height)};
    };
    auto pen = pointAt(startAngle);
    for (int64_t i = step, reached = 0; reached < arcAngle; i += step) {
        reached = std::min(i, arcAngle);
        auto target = pointAt(startAngle + reached);
        callDrawLine(pen.first, pen.second, target.first, target.second);
        pen = target;
    }
}

void Graphics::fillArc(int x, int y, int w, int h, int startAngle, int arcAngle) {
    fillArcWide(x, y, w, h, startAngle, arcAngle);
}

void Graphics::fillArcWide(int64_t x, int64_t y, int64_t w, int64_t h, int64_t startAngle, int64_t arcAngle) {
    if (arcAngle < 0) {
        startAngle += arcAngle;
        arcAngle = -arcAngle;
    }
    // An arc of 0 is nothing (as for drawArc), a height of 0 has no rows to divide among, and a
    // negative width would mirror the spans into stray pixels.
    if (arcAngle == 0 || w < 0 || h <= 0) return;
    PixelBox clip = drawableBox();
    if (clip.isEmpty() || !hasDrawTarget(*this)) return;
    const bool wholeEllipse = arcAngle >= 360;
    startAngle = withoutExtraTurns(startAngle);

    const int64_t halfHeight = h >> 1;
    const int64_t centreX = x + (w >> 1);
    const double width = static_cast<double>(w);
    const double height = static_cast<double>(h);
    // The 0.001 radian keeps the boundary sines away from zero.
    const double a0 = Math::toRadians(static_cast<double>(startAngle)) + 0.001;
    const double a1 = a0 + Math::toRadians(static_cast<double>(arcAngle));
    // Positive when the ray points down the screen.
    const double s0 = -Math::sin(a0);
    const double s1 = -Math::sin(a1);
    const double k0 = (width * Math::cos(a0)) / (height * s0);
    const double k1 = (width * Math::cos(a1)) / (height * s1);

    struct Span {
        int64_t left, right;
        bool kept;
    };
    auto drawSpan = [&](int64_t left, int64_t right, int64_t row) {
        if (left <= right) callDrawLine(left, row, right, row);
    };
    // Rows above the centre: the two rays cut the span of the ellipse.
    auto cutAbove = [&](Span& span, int64_t b0, int64_t b1, int64_t row) {
        if (s0 >= 0 && s1 >= 0) {
            if (k0 < k1) span.kept = false;
        } else if (s0 > 0 && s1 < 0) {
            span.left = std::max(span.left, b1);
        } else if (s0 <= 0 && s1 > 0) {
            span.right = std::min(span.right, b0);
        } else if (k1 >= k0) {
            span.left = std::max(span.left, b1);
            span.right = std::min(span.right, b0);
        } else {
            // Either ray may cross this row outside the ellipse: both spans stop at its edges.
            if (span.left < b0) drawSpan(span.left, std::min(b0, span.right), row);
            span.left = std::max(span.left, b1);
        }
    };
    auto cutBelow = [&](Span& span, int64_t b0, int64_t b1, int64_t row) {
        if (s0 <= 0 && s1 <= 0) {
            if (k0 < k1) span.kept = false;
        } else if (s0 < 0 && s1 > 0) {
            span.right = std::min(span.right, b1);
        } else if (s0 >= 0 && s1 < 0) {
            span.left = std::max(span.left, b0);
        } else if (k1 >= k0) {
            span.left = std::max(span.left, b0);
            span.right = std::min(span.right, b1);
        } else {
            if (span.left < b1) drawSpan(span.left, std::min(b1, span.right), row);
            span.left = std::max(span.left, b0);
        }
    };

    // Only the rows that can reach the clip: a sector a billion rows tall costs no more than the clip.
    const int64_t topRow = y + halfHeight;  // the row of j = 0
    const int64_t firstJ = std::max(-halfHeight, clip.top - translateY - topRow);
    const int64_t lastJ = std::min(halfHeight, clip.bottom - 1 - translateY - topRow);
    for (int64_t j = firstJ; j <= lastJ; ++j) {
        const int64_t row = topRow + j;
        const double inside = static_cast<double>(h * h - 4 * j * j);
        const int64_t halfWidth = truncateSaturating(Math::sqrt(inside) * width / (2.0 * height));
        Span span{centreX - halfWidth, centreX + halfWidth, true};
        if (!wholeEllipse) {
            const double dj = static_cast<double>(j);
            const int64_t b0 = centreX + truncateSaturating(k0 * dj);
            const int64_t b1 = centreX + truncateSaturating(k1 * dj);
            if (j <= 0) cutAbove(span, b0, b1, row);
            if (j >= 0 && span.kept) cutBelow(span, b0, b1, row);
        }
        if (span.kept) drawSpan(span.left, span.right, row);
    }
}

void Graphics::fillTriangle(int x1, int y1, int x2, int y2, int x3, int y3) {
    struct Point {
        int64_t x, y;
    };
    Point corners[3] = {{x1, y1}, {x2, y2}, {x3, y3}};
    std::stable_sort(corners, corners + 3, [](const Point& a, const Point& b) { return a.y < b.y; });
    const Point top = corners[0], middle = corners[1], bottom = corners[2];
    if (top.y == bottom.y) return;
    PixelBox clip = drawableBox();
    if (clip.isEmpty() || !hasDrawTarget(*this)) return;
    // Rows (before translation) that can reach the clip; the rest are skipped, not stepped through.
    const int64_t firstRow = clip.top - translateY;
    const int64_t lastRow = clip.bottom - 1 - translateY;

    // Where the long edge crosses the middle row; the product needs more than 64 bits at the extremes.
    const __int128 crossing =
        static_cast<__int128>(bottom.x - top.x) * (middle.y - top.y) / (bottom.y - top.y);
    const bool longEdgeRight = top.x + static_cast<int64_t>(crossing) > middle.x;

    // Edge positions in 10-bit fixed point without a half-pixel offset; position k rows from the
    // start is start + k * slope, the same value as adding the slope k times.
    auto fillRow = [&](int64_t row, int64_t left, int64_t right) {
        callFillRect(left >> 10, row, (right >> 10) + 1 - (left >> 10), 1);
    };
    if (top.y != middle.y) {
        const int64_t slopeTM = ((middle.x - top.x) * 1024) / (middle.y - top.y);
        const int64_t slopeTB = ((bottom.x - top.x) * 1024) / (bottom.y - top.y);
        const int64_t leftSlope = longEdgeRight ? slopeTM : slopeTB;
        const int64_t rightSlope = longEdgeRight ? slopeTB : slopeTM;
        const int64_t start = top.x * 1024;
        for (int64_t row = std::max(top.y, firstRow); row <= std::min(middle.y, lastRow); ++row) {
            const int64_t k = row - top.y;
            fillRow(row, start + k * leftSlope, start + k * rightSlope);
        }
    }
    if (middle.y != bottom.y) {
        // Drawn from the bottom up, with the slopes negated for upward steps.
        const int64_t upSlopeMB = -(((middle.x - bottom.x) * 1024) / (middle.y - bottom.y));
        const int64_t upSlopeTB = -(((top.x - bottom.x) * 1024) / (top.y - bottom.y));
        const int64_t leftSlope = longEdgeRight ? upSlopeMB : upSlopeTB;
        const int64_t rightSlope = longEdgeRight ? upSlopeTB : upSlopeMB;
        const int64_t start = bottom.x * 1024;
        for (int64_t row = std::min(bottom.y, lastRow); row >= std::max(middle.y, firstRow); --row) {
            const int64_t k = bottom.y - row;
            fillRow(row, start + k * leftSlope, start + k * rightSlope);
        }
    }
}

}  // namespace javax::microedition::lcdui
