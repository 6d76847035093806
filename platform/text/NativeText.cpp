// Native text on FreeType with the DejaVu Sans faces.
#include "platform/text/NativeText.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H

#include <algorithm>
#include <array>
#include <climits>
#include <cstdio>
#include <set>

struct NativeUIFont {
    FT_Face face = nullptr;
    // No oblique face is installed: the plain face is slanted glyph by glyph.
    bool slanted = false;
    bool failed = false;
    int lineHeight = 0;
    int ascender = 0;
};

namespace {

constexpr int kSmallPixels = 14;
constexpr int kMediumPixels = 18;
constexpr int kLargePixels = 22;

// Guards everything below: the FreeType library, its faces and the cache of fonts.
std::mutex textMutex;
FT_Library library = nullptr;
std::string fontDirectory = "/usr/share/fonts/truetype/dejavu";
// By size (small, medium, large) times 3, plus 2 for bold or 1 for italic.
std::array<NativeUIFont, 9> fontCache;
// The files already reported missing, so that each is reported once.
std::set<std::string> reportedFiles;

void forgetFontsLocked() {
    for (NativeUIFont& font : fontCache) {
        if (font.face != nullptr) FT_Done_Face(font.face);
        font = NativeUIFont{};
    }
}

FT_Face openFaceLocked(const std::string& path, bool reportMissing) {
    if (library == nullptr && FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        if (reportedFiles.insert("<freetype>").second)
            std::fprintf(stderr, "native text: FreeType could not start; text uses the bitmap font\n");
        return nullptr;
    }
    FT_Face face = nullptr;
    if (FT_New_Face(library, path.c_str(), 0, &face) != 0) {
        if (reportMissing && reportedFiles.insert(path).second)
            std::fprintf(stderr, "native text: cannot load the font file %s; text uses the bitmap font\n",
                         path.c_str());
        return nullptr;
    }
    return face;
}

void loadFontLocked(NativeUIFont& font, int slot) {
    const int sizeIndex = slot / 3;
    const int style = slot % 3;
    const int pixels = sizeIndex == 0 ? kSmallPixels : sizeIndex == 2 ? kLargePixels : kMediumPixels;
    const std::string folder = fontDirectory + "/";
    FT_Face face = nullptr;
    if (style == 2) {
        face = openFaceLocked(folder + "DejaVuSans-Bold.ttf", true);
    } else if (style == 1) {
        face = openFaceLocked(folder + "DejaVuSans-Oblique.ttf", false);
        if (face == nullptr) {
            face = openFaceLocked(folder + "DejaVuSans.ttf", true);
            font.slanted = face != nullptr;
        }
    } else {
        face = openFaceLocked(folder + "DejaVuSans.ttf", true);
    }
    if (face != nullptr && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixels)) != 0) {
        FT_Done_Face(face);
        face = nullptr;
    }
    if (face == nullptr) {
        font.failed = true;
        return;
    }
    font.face = face;
    font.lineHeight = static_cast<int>(face->size->metrics.height >> 6);
    font.ascender = static_cast<int>(face->size->metrics.ascender >> 6);
}

int slotOf(int fontFlags) {
    const int sizeBits = (fontFlags >> 3) & 3;
    const int sizeIndex = sizeBits == 1 ? 0 : sizeBits == 2 ? 2 : 1;
    // Bold wins over italic.
    const int style = (fontFlags & 1) != 0 ? 2 : (fontFlags & 2) != 0 ? 1 : 0;
    return sizeIndex * 3 + style;
}

// Reads one character from the units at i and moves i past it: a surrogate pair gives one code point,
// a lone half is returned as it is (no glyph has it, so it draws the missing glyph).
FT_ULong nextCodePoint(const uint16_t* text, int count, int& i) {
    const uint16_t unit = text[i++];
    if (unit >= 0xD800 && unit <= 0xDBFF && i < count && text[i] >= 0xDC00 && text[i] <= 0xDFFF) {
        const uint16_t low = text[i++];
        return 0x10000 + ((static_cast<FT_ULong>(unit) - 0xD800) << 10) + (low - 0xDC00);
    }
    return unit;
}

// Loads the glyph of a character into the face's slot, slanted when the font has no oblique face.
bool loadGlyph(NativeUIFont& font, FT_ULong codePoint, bool render) {
    const FT_UInt index = FT_Get_Char_Index(font.face, codePoint);
    const FT_Int32 flags = font.slanted ? FT_LOAD_NO_BITMAP : FT_LOAD_DEFAULT;
    if (FT_Load_Glyph(font.face, index, flags) != 0) return false;
    if (!render) return true;
    if (font.slanted) FT_GlyphSlot_Oblique(font.face->glyph);
    return FT_Render_Glyph(font.face->glyph, FT_RENDER_MODE_NORMAL) == 0;
}

// Blends coverage over the destination word as bitmap text does: each colour byte moves the fraction
// c / 256 of the way to the source, rounding toward the destination; alpha stays; full coverage writes
// the source word.
uint32_t blend(uint32_t destination, uint32_t source, int c) {
    if (c == 255) return source;
    uint32_t blended = destination & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const int dc = static_cast<int>((destination >> shift) & 0xFF);
        const int sc = static_cast<int>((source >> shift) & 0xFF);
        blended |= static_cast<uint32_t>(dc + (((sc - dc) * c) >> 8)) << shift;
    }
    return blended;
}

}  // namespace

NativeUIFont* _getNativeUIFont(int fontFlags, std::unique_lock<std::mutex>& hold) {
    if (!hold.owns_lock()) hold = std::unique_lock<std::mutex>(textMutex);
    const int slot = slotOf(fontFlags);
    NativeUIFont& font = fontCache[static_cast<size_t>(slot)];
    if (font.face == nullptr && !font.failed) loadFontLocked(font, slot);
    return font.face != nullptr ? &font : nullptr;
}

bool _hasNativeFont(int fontFlags) {
    std::unique_lock<std::mutex> hold;
    return _getNativeUIFont(fontFlags, hold) != nullptr;
}

int _getNativeFontHeight(int fontFlags) {
    std::unique_lock<std::mutex> hold;
    NativeUIFont* font = _getNativeUIFont(fontFlags, hold);
    return font != nullptr ? font->lineHeight : 0;
}

int _getNativeStringWidth(const uint16_t* text, int count, int fontFlags) {
    if (text == nullptr || count <= 0) return 0;
    std::unique_lock<std::mutex> hold;
    NativeUIFont* font = _getNativeUIFont(fontFlags, hold);
    if (font == nullptr) return 0;
    int64_t advance = 0;  // 26.6 fixed point
    for (int i = 0; i < count;) {
        if (loadGlyph(*font, nextCodePoint(text, count, i), false)) advance += font->face->glyph->advance.x;
    }
    return static_cast<int>(std::min<int64_t>(advance >> 6, INT32_MAX));
}

void _renderNativeString(const uint16_t* text, int count, uint32_t* pixels, int bufferWidth, int bufferHeight,
                         int x, int y, int colour, int fontFlags, int clipX, int clipY, int clipWidth,
                         int clipHeight) {
    if (pixels == nullptr || text == nullptr || count <= 0 || bufferWidth <= 0 || bufferHeight <= 0) return;
    // The drawable box: the clip cut to the buffer, half-open, in 64 bits so that no sum wraps.
    const int64_t left = std::max<int64_t>(clipX, 0);
    const int64_t top = std::max<int64_t>(clipY, 0);
    const int64_t right =
        std::min<int64_t>(static_cast<int64_t>(clipX) + std::max(clipWidth, 0), bufferWidth);
    const int64_t bottom =
        std::min<int64_t>(static_cast<int64_t>(clipY) + std::max(clipHeight, 0), bufferHeight);
    if (left >= right || top >= bottom) return;

    std::unique_lock<std::mutex> hold;
    NativeUIFont* font = _getNativeUIFont(fontFlags, hold);
    if (font == nullptr) return;
    const uint32_t rgb = static_cast<uint32_t>(colour);
    const uint32_t source = 0xFF000000u | ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
    const int64_t baseline = static_cast<int64_t>(y) + font->ascender;
    int64_t pen = static_cast<int64_t>(x) * 64;  // 26.6 fixed point
    for (int i = 0; i < count;) {
        if (!loadGlyph(*font, nextCodePoint(text, count, i), true)) continue;
        const FT_GlyphSlot glyph = font->face->glyph;
        const FT_Bitmap& bitmap = glyph->bitmap;
        const int64_t glyphLeft = (pen >> 6) + glyph->bitmap_left;
        const int64_t glyphTop = baseline - glyph->bitmap_top;
        pen += glyph->advance.x;
        if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.buffer == nullptr) continue;
        const int64_t fromX = std::max(glyphLeft, left);
        const int64_t toX = std::min(glyphLeft + static_cast<int64_t>(bitmap.width), right);
        const int64_t fromY = std::max(glyphTop, top);
        const int64_t toY = std::min(glyphTop + static_cast<int64_t>(bitmap.rows), bottom);
        for (int64_t py = fromY; py < toY; ++py) {
            const unsigned char* coverage = bitmap.buffer + (py - glyphTop) * bitmap.pitch;
            uint32_t* row = pixels + py * bufferWidth;
            for (int64_t px = fromX; px < toX; ++px) {
                const int c = coverage[px - glyphLeft];
                if (c != 0) row[px] = blend(row[px], source, c);
            }
        }
    }
}

namespace platform {

void setNativeFontDirectory(const std::string& directory) {
    std::lock_guard<std::mutex> lock(textMutex);
    forgetFontsLocked();
    reportedFiles.clear();
    fontDirectory = directory;
}

std::string nativeFontDirectory() {
    std::lock_guard<std::mutex> lock(textMutex);
    return fontDirectory;
}

}  // namespace platform
