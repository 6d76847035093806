// PixelBox: the half-open box [left, right) x [top, bottom) in 64-bit pixel coordinates, the value
// every clip, cut and placement in graphics/ is worked out in. Sums of a translation, a position and
// a size never wrap in it; TSRect, the 32-bit rectangle the drawing operations hand each other, is
// made from a box only once it has been cut to a buffer.
#pragma once

#include <algorithm>
#include <cstdint>

#include "graphics/TSRect.h"

namespace javax::microedition::lcdui {

struct PixelBox {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;

    static constexpr PixelBox fromSize(int64_t x, int64_t y, int64_t width, int64_t height) {
        return {x, y, x + width, y + height};
    }
    static constexpr PixelBox of(const TSRect& r) { return fromSize(r.x, r.y, r.width, r.height); }

    constexpr int64_t width() const { return right - left; }
    constexpr int64_t height() const { return bottom - top; }
    constexpr bool isEmpty() const { return left >= right || top >= bottom; }

    // The common part; empty (in whatever way) when the two do not meet.
    constexpr PixelBox intersected(const PixelBox& other) const {
        return {std::max(left, other.left), std::max(top, other.top), std::min(right, other.right),
                std::min(bottom, other.bottom)};
    }
    constexpr PixelBox translated(int64_t dx, int64_t dy) const {
        return {left + dx, top + dy, right + dx, bottom + dy};
    }
    // Only for a box already cut to a buffer, whose sides fit in 32 bits.
    constexpr TSRect toRect() const {
        return TSRect{static_cast<int32_t>(left), static_cast<int32_t>(top), static_cast<int32_t>(width()),
                      static_cast<int32_t>(height())};
    }
};

}  // namespace javax::microedition::lcdui
