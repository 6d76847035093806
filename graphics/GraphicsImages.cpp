// The Graphics operations that move pixels: images drawn whole or by region under the eight
// transforms, ARGB integers drawn and read back, and copies within the buffer. Every position is
// worked out in 64 bits and every read and write is cut to the image, the array or the buffer.
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "graphics/DrawTarget.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/PixelLoops.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::lcdui {

namespace {

int32_t saturateToInt(int64_t v) {
    return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

// The element range that rows of `columns` values, `rows` of them, starting at `first` and
// `scanlength` apart, touch in an array of `length` elements; throws when it leaves the array.
void checkArrayRange(int64_t first, int64_t scanlength, int64_t columns, int64_t rows, int64_t length) {
    int64_t lastRowStart = first + (rows - 1) * scanlength;
    int64_t lowest = std::min(first, lastRowStart);
    int64_t highest = std::max(first, lastRowStart) + columns - 1;
    if (lowest < 0 || highest >= length) {
        java::lang::ArrayIndexOutOfBoundsException error;
        error.TESLinvokeconstructor(saturateToInt(lowest < 0 ? lowest : highest));
        throw error;
    }
}

// Anchored placement: BOTTOM wins over VCENTER and RIGHT over HCENTER.
void applyAnchor(int anchor, int64_t width, int64_t height, int64_t& x, int64_t& y) {
    if (anchor & Graphics::BOTTOM) {
        y -= height;
    } else if (anchor & Graphics::VCENTER) {
        y -= height >> 1;
    }
    if (anchor & Graphics::RIGHT) {
        x -= width;
    } else if (anchor & Graphics::HCENTER) {
        x -= width >> 1;
    }
}

}  // namespace

void Graphics::drawImage(const JavaPtr<Image>& img, int x, int y, int anchor) {
    if (!img) return;
    drawImageRegion(img.get(), 0, 0, img->m_width, img->m_height, 0, x, y, anchor);
}

void Graphics::drawRegion(const JavaPtr<Image>& src, int xSrc, int ySrc, int width, int height, int transform,
                          int xDest, int yDest, int anchor) {
    if (!src) return;
    drawImageRegion(src.get(), xSrc, ySrc, width, height, transform, xDest, yDest, anchor);
}

void Graphics::drawImageRegion(Image* img, int xSrc, int ySrc, int regionWidth, int regionHeight,
                               int transform, int xDest, int yDest, int anchor) {
    if (img->m_pixels == nullptr || !hasDrawTarget(*this)) return;
    if (transform < 0 || transform > 7) transform = 0;
    const bool exchanged = transform >= 4;

    // The region is cut to the image; what is cut from each side of the source comes off the side
    // of the destination that the transform turns it to.
    const PixelBox whole = PixelBox::fromSize(xSrc, ySrc, regionWidth, regionHeight);
    const PixelBox region = whole.intersected(PixelBox{0, 0, img->m_width, img->m_height});
    if (region.isEmpty()) return;
    int64_t cutLeft = region.left - whole.left, cutTop = region.top - whole.top;
    int64_t cutRight = whole.right - region.right;
    int64_t cutBottom = whole.bottom - region.bottom;
    // Destination sides (left, top, right, bottom) that the source's left, top, right and bottom become.
    static constexpr int kSideOf[8][4] = {{0, 1, 2, 3}, {0, 3, 2, 1}, {2, 1, 0, 3}, {2, 3, 0, 1},
                                          {1, 0, 3, 2}, {1, 2, 3, 0}, {3, 0, 1, 2}, {3, 2, 1, 0}};
    int64_t destinationCut[4] = {0, 0, 0, 0};
    const int64_t sourceCut[4] = {cutLeft, cutTop, cutRight, cutBottom};
    for (int side = 0; side < 4; ++side) destinationCut[kSideOf[transform][side]] = sourceCut[side];

    // Placement of the whole region, then the cut.
    int64_t drawnWidth = exchanged ? regionHeight : regionWidth;
    int64_t drawnHeight = exchanged ? regionWidth : regionHeight;
    int64_t x = xDest, y = yDest;
    applyAnchor(anchor, drawnWidth, drawnHeight, x, y);
    const PixelBox placed = PixelBox{x + destinationCut[0], y + destinationCut[1],
                                     x + drawnWidth - destinationCut[2], y + drawnHeight - destinationCut[3]}
                                .translated(translateX, translateY);
    const PixelBox visible = placed.intersected(drawableBox());
    if (visible.isEmpty()) return;

    // The part of the region that lands in the visible box.
    int64_t offLeft = visible.left - placed.left, offTop = visible.top - placed.top;
    int64_t offRight = placed.right - visible.right, offBottom = placed.bottom - visible.bottom;
    int64_t visibleWidth = visible.width(), visibleHeight = visible.height();
    // Which of those offsets (left, top, right, bottom) moves the source's x and its y.
    static constexpr int kSourceOffsets[8][2] = {{0, 1}, {0, 3}, {2, 1}, {2, 3},
                                                 {1, 0}, {1, 2}, {3, 0}, {3, 2}};
    const int64_t offsets[4] = {offLeft, offTop, offRight, offBottom};
    int64_t sourceX = offsets[kSourceOffsets[transform][0]];
    int64_t sourceY = offsets[kSourceOffsets[transform][1]];
    TSRect destination = visible.toRect();
    TSRect source{static_cast<int32_t>(region.left + sourceX), static_cast<int32_t>(region.top + sourceY),
                  static_cast<int32_t>(exchanged ? visibleHeight : visibleWidth),
                  static_cast<int32_t>(exchanged ? visibleWidth : visibleHeight)};
    myBlitter(destination, source, img, transform);
}

void Graphics::myBlitter(TSRect& dst, TSRect& src, Image* img, int transform) {
    if (src.width <= 0 || src.height <= 0 || img->m_pixels == nullptr || !hasDrawTarget(*this)) return;
#if _ATTEMPTS_2D_OVER_3D
    if (drawsThroughGL()) {
        myBlitter2DOver3D(dst, src, img, transform);
        return;
    }
    if (pixels == nullptr) return;
    markTextureDirty();
#endif
    const uint32_t* source = img->m_pixels + static_cast<ptrdiff_t>(src.y) * img->m_width + src.x;
    ptrdiff_t sourceStride = img->m_width;
    // An image drawn onto its own graphics: the source is copied out first, so that no row is read
    // after it has been drawn over.
    std::vector<uint32_t> copy;
    if (img->m_pixels == pixels) {
        copy.resize(static_cast<size_t>(src.width) * src.height);
        for (int row = 0; row < src.height; ++row) {
            std::memcpy(copy.data() + static_cast<size_t>(row) * src.width, source + row * sourceStride,
                        static_cast<size_t>(src.width) * 4);
        }
        source = copy.data();
        sourceStride = src.width;
    }
    pixels::TransformWalk walk = pixels::transformWalk(transform, src.width, src.height, width);
    uint32_t* start = pixels + static_cast<ptrdiff_t>(dst.y + walk.startY) * width + dst.x + walk.startX;
    pixels::BlitLoop loop = img->m_binaryAlpha   ? pixels::BlitLoop::BinaryAlpha
                            : img->m_translucent ? pixels::BlitLoop::Translucent
                                                 : pixels::BlitLoop::Opaque;
    pixels::blit(start, walk.columnStep, walk.rowStep, source, sourceStride, src.width, src.height, loop);
}

void Graphics::drawRGB(const JavaPtr<JArray<int>>& rgbData, int offset, int scanlength, int x, int y,
                       int width, int height, bool processAlpha) {
    if (!rgbData) throw java::lang::NullPointerException();
    if (width <= 0 || height <= 0 || !hasDrawTarget(*this)) return;
    const PixelBox placed = PixelBox::fromSize(x, y, width, height).translated(translateX, translateY);
    const PixelBox box = placed.intersected(drawableBox());
    if (box.isEmpty()) return;
    int64_t first = offset + (box.top - placed.top) * scanlength + (box.left - placed.left);
    int64_t columns = box.width(), rows = box.height();
    checkArrayRange(first, scanlength, columns, rows, rgbData->length);
#if _ATTEMPTS_2D_OVER_3D
    if (drawsThroughGL()) {
        drawRGB2DOver3D(rgbData->data + first, scanlength, static_cast<int>(box.left),
                        static_cast<int>(box.top), static_cast<int>(columns), static_cast<int>(rows),
                        processAlpha);
        return;
    }
    if (pixels == nullptr) return;
    markTextureDirty();
#endif
    for (int64_t row = 0; row < rows; ++row) {
        pixels::writeArgbRow(pixels + (box.top + row) * this->width + box.left,
                             rgbData->data + first + row * scanlength, static_cast<int>(columns),
                             processAlpha);
    }
}

void Graphics::getRGB(const JavaPtr<JArray<int>>& rgbData, int offset, int scanlength, int x, int y,
                      int width, int height) {
    if (!rgbData) throw java::lang::NullPointerException();
    if (width <= 0 || height <= 0 || !hasDrawTarget(*this)) return;
    const PixelBox box = PixelBox::fromSize(x, y, width, height).intersected(bufferBox());
    if (box.isEmpty()) return;
    int64_t first = offset + (box.top - y) * scanlength + (box.left - x);
    int64_t columns = box.width(), rows = box.height();
    checkArrayRange(first, scanlength, columns, rows, rgbData->length);
#if _ATTEMPTS_2D_OVER_3D
    // Nothing is read back from the GL screen.
    if (drawsThroughGL() || pixels == nullptr) return;
#endif
    for (int64_t row = 0; row < rows; ++row) {
        pixels::readArgbRow(rgbData->data + first + row * scanlength,
                            pixels + (box.top + row) * this->width + box.left, static_cast<int>(columns));
    }
}

void Graphics::copyArea(int xSrc, int ySrc, int w, int h, int xDest, int yDest, int anchor) {
    if (w <= 0 || h <= 0 || !hasDrawTarget(*this)) return;
    int64_t destinationX = xDest, destinationY = yDest;
    applyAnchor(anchor, w, h, destinationX, destinationY);
    // Only the part of the source inside the buffer is copied, to where it would have gone.
    const PixelBox source = PixelBox::fromSize(xSrc, ySrc, w, h).intersected(bufferBox());
    if (source.isEmpty()) return;
    destinationX += source.left - xSrc;
    destinationY += source.top - ySrc;
    int columns = static_cast<int>(source.width()), rows = static_cast<int>(source.height());
    // Copied out first, so overlapping source and destination give the source as it was.
    JavaPtr<JArray<int>> copy = jnewArray<int>(columns * rows);
    getRGB(copy, 0, columns, static_cast<int>(source.left), static_cast<int>(source.top), columns, rows);
    if (destinationX < INT_MIN || destinationX > INT_MAX || destinationY < INT_MIN || destinationY > INT_MAX)
        return;
    drawRGB(copy, 0, columns, static_cast<int>(destinationX), static_cast<int>(destinationY), columns, rows,
            false);
}

}  // namespace javax::microedition::lcdui
