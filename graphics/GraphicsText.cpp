// The text operations of Graphics: strings measured with the current font and drawn glyph by glyph
// from the bitmap font, each glyph a coverage mask blended over the target in the current colour.
#include <algorithm>
#include <climits>
#include <mutex>

#include "graphics/BitmapFontSystem.h"
#include "graphics/DrawTarget.h"
#include "graphics/Font.h"
#include "graphics/GlyphRun2DOver3D.h"
#include "graphics/Graphics.h"
#include "graphics/PixelLoops.h"
#include "platform/text/NativeText.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "runtime/StringIndexOutOfBoundsException.h"

namespace javax::microedition::lcdui {

void Graphics::drawChars(const JavaPtr<JArray<unsigned short>>& data, int offset, int length, int x, int y,
                         int anchor) {
    if (length <= 0) return;
    if (!data) throw java::lang::NullPointerException();
    if (offset < 0 || offset > data->length || length > data->length - offset)
        throw java::lang::ArrayIndexOutOfBoundsException();
    drawString(jnew<java::lang::String>(data->data + offset, length), x, y, anchor);
}

void Graphics::drawChar(unsigned short c, int x, int y, int anchor) {
    drawString(jnew<java::lang::String>(c), x, y, anchor);
}

void Graphics::drawString(const JavaPtr<java::lang::String>& str, int x, int y, int anchor) {
    if (!str) throw java::lang::NullPointerException();
    drawSubstring(str, 0, str->length(), x, y, anchor);
}

void Graphics::drawSubstring(const JavaPtr<java::lang::String>& str, int offset, int len, int x, int y,
                             int anchor) {
    if (!str) throw java::lang::NullPointerException();
    const int length = str->length();
    if (offset < 0 || offset > length || len < 0 || len > length - offset)
        throw java::lang::StringIndexOutOfBoundsException();
    if (len == 0) return;

    const JavaPtr<Font> current = font ? font : Font::getDefaultFont();
    const bool native = current->usesNativeText();
    if (!native && !BitmapFontSystem::isLoaded()) return;
    const unsigned short* units = str->unitData() + offset;
    const int width = current->unitsWidth(units, len);
    const int lineHeight = current->getHeight();
    int64_t ax = static_cast<int64_t>(x) + translateX;
    int64_t ay = static_cast<int64_t>(y) + translateY;
    // HCENTER wins over RIGHT; VCENTER and BOTTOM both apply when both are set.
    if ((anchor & HCENTER) != 0)
        ax -= width >> 1;
    else if ((anchor & RIGHT) != 0)
        ax -= width;
    if ((anchor & VCENTER) != 0) ay -= lineHeight >> 1;
    if ((anchor & BOTTOM) != 0) ay -= lineHeight;
    if (native) {
        const auto clampToInt = [](int64_t v) {
            return static_cast<int>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
        };
        _renderNativeString(units, len, pixels, this->width, this->height, clampToInt(ax), clampToInt(ay),
                            color, current->fontByte(), clipX, clipY, clipWidth, clipHeight);
        return;
    }
    drawGlyphs(BitmapFontSystem::getFontIndex(current->fontByte()), units, len, ax, ay);
}

// Each glyph is cut to the clip by the box it is drawn in, not by the measured width of the whole
// string: missing characters advance one pixel further than they measure, glyph boxes reach below
// the line by their offset, and space advances may exceed the 32 columns a glyph can have, so a
// string that measures inside the clip can still draw outside it.
void Graphics::drawGlyphs(int fontIndex, const unsigned short* units, int count, int64_t ax, int64_t ay) {
#if _ATTEMPTS_2D_OVER_3D
    // The GL frame is taken before the font lock: a thread waiting for the frame must not hold
    // the lock that the frame's holder needs for its own text.
    if (drawsThroughGL() && !getReadyFor2DOver3D()) return;
#endif
    std::lock_guard<std::mutex> lock(BitmapFontSystem::fontMutex());
    if (!BitmapFontSystem::isLoaded() || !hasDrawTarget(*this) || clipWidth <= 0 || clipHeight <= 0) return;
    const PixelBox clip = drawableBox();
    if (clip.isEmpty()) return;
    const int lineHeight = BitmapFontSystem::fontHeight(fontIndex);
    uint8_t* scratch = BitmapFontSystem::scratchBuffer(fontIndex);
#if _ATTEMPTS_2D_OVER_3D
    // On the GL screen the string's glyphs go as one translucent quad, drawn once it is complete.
    GlyphRun2DOver3D glyphs2DOver3D;
#endif
    for (int i = 0; i < count; ++i) {
        const int glyph = BitmapFontSystem::findGlyphLocked(fontIndex, units[i]);
        if (glyph < 0) {
            ax += BitmapFontSystem::kMissingCharAdvance;
            continue;
        }
        const int glyphWidth = BitmapFontSystem::glyphWidth(fontIndex, glyph);
        const int columns = std::clamp(glyphWidth, 0, BitmapFontSystem::kScratchColumns);
        const int64_t top = ay + BitmapFontSystem::glyphYOffset(fontIndex, glyph);
        const PixelBox visible = PixelBox::fromSize(ax, top, columns, lineHeight).intersected(clip);
        if (!visible.isEmpty()) {
            const int visibleWidth = static_cast<int>(visible.width());
            const int visibleHeight = static_cast<int>(visible.height());
            BitmapFontSystem::unpackGlyph(fontIndex, glyph, static_cast<int>(visible.left - ax),
                                          static_cast<int>(visible.top - top), visibleWidth, visibleHeight,
                                          scratch);
#if _ATTEMPTS_2D_OVER_3D
            if (drawsThroughGL())
                glyphs2DOver3D.add(scratch, static_cast<int>(visible.left), static_cast<int>(visible.top),
                                   visibleWidth, visibleHeight);
            else
#endif
                myBlitChar(scratch, static_cast<int>(visible.left), static_cast<int>(visible.top),
                           visibleWidth, visibleHeight);
        }
        ax += static_cast<int64_t>(glyphWidth) + 1;
    }
#if _ATTEMPTS_2D_OVER_3D
    if (drawsThroughGL()) glyphs2DOver3D.draw(*this);
#endif
}

void Graphics::myBlitChar(const uint8_t* coverage, int x, int y, int w, int h) {
#if _ATTEMPTS_2D_OVER_3D
    if (drawsThroughGL()) {
        myBlitChar2DOver3D(coverage, x, y, w, h);
        return;
    }
    if (pixels == nullptr) return;
    markTextureDirty();
#endif
    // Each colour byte moves the fraction c / 256 of the way to the colour, rounding toward the
    // destination; alpha stays (pixels::coverPixel).
    pixels::blendCoverage(
        pixels + static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x), width,
        coverage, w, w, h, pixelWord);
}

}  // namespace javax::microedition::lcdui
