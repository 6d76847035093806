#include "graphics/Graphics.h"

#include <algorithm>
#include <atomic>
#include <climits>
#include <cwchar>

#include "graphics/DrawTarget.h"
#include "graphics/Font.h"
#include "graphics/ScreenSize.h"
#include "graphics/Texture2DOver3D.h"

// Build switch: the output is laid out in landscape (off in this build).
#ifndef _LANDSCAPE_MODE
#define _LANDSCAPE_MODE 0
#endif

namespace javax::microedition::lcdui {

namespace {

int32_t saturateToInt(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

Graphics::Graphics() noexcept {
    // A screen turn writes the size under the paint lock, and an image's graphics is made without it.
    width = std::atomic_ref<int32_t>(ScreenSize::width).load();
    height = std::atomic_ref<int32_t>(ScreenSize::height).load();
    if constexpr (_LANDSCAPE_MODE) {
        if (height > width) std::swap(width, height);
    }
    clipWidth = width;
    clipHeight = height;
    font = Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_SMALL);
}

Graphics::~Graphics() = default;

void Graphics::setColor(int c) {
    color = c;
    pixelWord = 0xFF000000u | argbToPixel(static_cast<uint32_t>(c) & 0x00FFFFFFu);
#if _ATTEMPTS_2D_OVER_3D
    setColor2DOver3D(c);
#endif
}

void Graphics::setColor(int r, int g, int b) {
    // Neither validated nor masked: out-of-range components spill into their neighbours.
    setColor(static_cast<int>((static_cast<uint32_t>(r) << 16) | (static_cast<uint32_t>(g) << 8) |
                              static_cast<uint32_t>(b)));
}

void Graphics::setGrayScale(int v) {
    uint32_t u = static_cast<uint32_t>(v);
    setColor(static_cast<int>((u << 16) + (u << 8) + u));
}

int Graphics::getColor() {
    return color;
}

int Graphics::getRedComponent() {
    return (color >> 16) & 0xFF;
}

int Graphics::getGreenComponent() {
    return (color >> 8) & 0xFF;
}

int Graphics::getBlueComponent() {
    return color & 0xFF;
}

int Graphics::getGrayScale() {
    return (3 * getRedComponent() + 6 * getGreenComponent() + getBlueComponent()) / 10;
}

int Graphics::getDisplayColor(int c) {
    return c;
}

JavaPtr<Font> Graphics::getFont() {
    return font;
}

// A null font would leave text nothing to measure with: it selects the default font instead.
void Graphics::setFont(const JavaPtr<Font>& f) {
    font = f ? f : Font::getDefaultFont();
}

int Graphics::getStrokeStyle() {
    return strokeStyle;
}

void Graphics::setStrokeStyle(int style) {
    strokeStyle = style;
}

// The translation wraps like any int sum; the drawing code adds it in 64 bits.
void Graphics::translate(int dx, int dy) {
    translateX = static_cast<int32_t>(static_cast<int64_t>(translateX) + dx);
    translateY = static_cast<int32_t>(static_cast<int64_t>(translateY) + dy);
}

int Graphics::getTranslateX() {
    return translateX;
}

int Graphics::getTranslateY() {
    return translateY;
}

int Graphics::getClipX() {
    return static_cast<int32_t>(static_cast<int64_t>(clipX) - translateX);
}

int Graphics::getClipY() {
    return static_cast<int32_t>(static_cast<int64_t>(clipY) - translateY);
}

int Graphics::getClipWidth() {
    return clipWidth;
}

int Graphics::getClipHeight() {
    return clipHeight;
}

void Graphics::setClip(int x, int y, int w, int h) {
    setAbsoluteClip(static_cast<int64_t>(x) + translateX, static_cast<int64_t>(y) + translateY, w, h);
}

void Graphics::setAbsoluteClip(int64_t ax, int64_t ay, int64_t w, int64_t h) {
    int64_t cx = ax;
    int64_t cy = ay;
    if (cx < 0) {
        w += cx;
        cx = 0;
    }
    if (cy < 0) {
        h += cy;
        cy = 0;
    }
    cx = std::min<int64_t>(cx, INT32_MAX);
    cy = std::min<int64_t>(cy, INT32_MAX);
    int64_t cw = std::max<int64_t>(w, 0);
    int64_t ch = std::max<int64_t>(h, 0);
    if (cx >= width) cw = 0;
    if (cy >= height) ch = 0;
    // A clip starting beyond the buffer ends with a negative size, which every primitive treats as empty.
    if (cx + cw > width) cw = width - cx;
    if (cy + ch > height) ch = height - cy;
    clipX = static_cast<int32_t>(cx);
    clipY = static_cast<int32_t>(cy);
    clipWidth = saturateToInt(cw);
    clipHeight = saturateToInt(ch);
}

// A side that misses leaves a negative size, which setAbsoluteClip turns into 0.
void Graphics::clipRect(int x, int y, int w, int h) {
    const PixelBox clip = PixelBox::fromSize(clipX, clipY, clipWidth, clipHeight)
                              .intersected(PixelBox::fromSize(x, y, w, h).translated(translateX, translateY));
    setAbsoluteClip(clip.left, clip.top, clip.width(), clip.height());
}

PixelBox Graphics::drawableBox() const {
    return PixelBox::fromSize(clipX, clipY, clipWidth, clipHeight).intersected(bufferBox());
}

void Graphics::reduceClip(TSRect& r) {
    if (clipWidth <= 0 || clipHeight <= 0) {
        r = TSRect{clipX, clipY, clipWidth, clipHeight};
        return;
    }
    const PixelBox cut = PixelBox::of(r).intersected(drawableBox());
    r = TSRect{saturateToInt(cut.left), saturateToInt(cut.top),
               saturateToInt(std::max<int64_t>(cut.width(), 0)),
               saturateToInt(std::max<int64_t>(cut.height(), 0))};
}

void Graphics::myRectBlit(TSRect& r) {
    if (r.width <= 0 || r.height <= 0) return;
    // Cut to the buffer once more: rectangles also come from outside this class.
    const PixelBox box = PixelBox::of(r).intersected(bufferBox());
    if (box.isEmpty() || !hasDrawTarget(*this)) return;
#if _ATTEMPTS_2D_OVER_3D
    if (drawsThroughGL()) {
        myRectBlit2DOver3D(box.toRect());
        return;
    }
    if (pixels == nullptr) return;
    markTextureDirty();
#endif
    fillBox(box);
}

namespace {

// Rows go through the C library's wide-character fill, tuned for short spans. A whole frame is one
// span of a megabyte or more, where that fill switches to streaming stores and runs at about 0.8 of
// memset; the string store instruction (fast on every x86-64 with enhanced rep-stos) fills it at
// memset's speed.
static_assert(sizeof(wchar_t) == sizeof(uint32_t), "the row fill relies on 32-bit wchar_t");

constexpr size_t kStringStoreWords = size_t{1} << 18;  // one megabyte

void fillWords(uint32_t* first, size_t count, uint32_t word) {
#if defined(__x86_64__)
    if (count >= kStringStoreWords) {
        asm volatile("rep stosl" : "+D"(first), "+c"(count) : "a"(word) : "memory");
        return;
    }
#endif
    std::wmemset(reinterpret_cast<wchar_t*>(first), static_cast<wchar_t>(word), count);
}

}  // namespace

// Each row is stored directly rather than copied from the first one: the same pixels, without
// reading the buffer back.
void Graphics::fillBox(const PixelBox& box) {
    const uint32_t word = pixelWord;
    const size_t stride = static_cast<size_t>(width);
    const size_t rowLength = static_cast<size_t>(box.right - box.left);
    uint32_t* row = pixels + static_cast<size_t>(box.top) * stride + static_cast<size_t>(box.left);
    size_t rows = static_cast<size_t>(box.bottom - box.top);
    if (rowLength == 1) {
        for (; rows > 0; --rows, row += stride) *row = word;
    } else if (rowLength == stride) {
        fillWords(row, rowLength * rows, word);
    } else {
        for (; rows > 0; --rows, row += stride) fillWords(row, rowLength, word);
    }
}

void Graphics::fillRect(int x, int y, int w, int h) {
    fillRectWide(x, y, w, h);
}

void Graphics::fillRectWide(int64_t x, int64_t y, int64_t w, int64_t h) {
    if (w <= 0 || h <= 0 || !hasDrawTarget(*this)) return;
    const PixelBox box =
        PixelBox::fromSize(x, y, w, h).translated(translateX, translateY).intersected(drawableBox());
    if (box.isEmpty()) return;
    TSRect r = box.toRect();
    myRectBlit(r);
}

}  // namespace javax::microedition::lcdui
