#include "graphics/Font.h"

#include <mutex>

#include "graphics/BitmapFontSystem.h"
#include "platform/text/NativeText.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/StringIndexOutOfBoundsException.h"

// Build switch: fonts measure and draw with the platform's system font (off in this build).
#ifndef _RENDER_SYSTEM_FONT_USING_NATIVE_FONT
#define _RENDER_SYSTEM_FONT_USING_NATIVE_FONT 0
#endif

namespace javax::microedition::lcdui {

JavaPtr<Font> Font::getFont(int face, int style, int size) {
    if ((face != FACE_SYSTEM && face != FACE_MONOSPACE && face != FACE_PROPORTIONAL) || (style & ~7) != 0 ||
        (size != SIZE_MEDIUM && size != SIZE_SMALL && size != SIZE_LARGE))
        throw java::lang::IllegalArgumentException();
    return jnew<Font>(face | style | size);
}

JavaPtr<Font> Font::getFont(int) {
    return getFont(FACE_SYSTEM, STYLE_PLAIN, SIZE_MEDIUM);
}

JavaPtr<Font> Font::getDefaultFont() {
    return getFont(FACE_SYSTEM, STYLE_PLAIN, SIZE_MEDIUM);
}

bool Font::usesNativeText() const {
    // A system font whose file is missing falls back to the bitmap font.
    return _RENDER_SYSTEM_FONT_USING_NATIVE_FONT && _hasNativeFont(m_fontByte);
}

int Font::getHeight() const {
    if (usesNativeText()) return _getNativeFontHeight(m_fontByte);
    return BitmapFontSystem::fontHeight(BitmapFontSystem::getFontIndex(m_fontByte));
}

int Font::unitsWidth(const unsigned short* units, int count) const {
    if (usesNativeText()) return _getNativeStringWidth(units, count, m_fontByte);
    const int font = BitmapFontSystem::getFontIndex(m_fontByte);
    // Summed with wrap-around, as the language's int arithmetic does, so no length can overflow.
    uint32_t width = 0;
    std::lock_guard<std::mutex> lock(BitmapFontSystem::fontMutex());
    for (int i = 0; i < count; ++i) {
        const int glyph = BitmapFontSystem::findGlyphLocked(font, units[i]);
        width += glyph < 0 ? BitmapFontSystem::kMissingCharWidth
                           : static_cast<uint32_t>(BitmapFontSystem::glyphWidth(font, glyph)) + 1;
    }
    return static_cast<int>(width);
}

int Font::substringWidth(const JavaPtr<java::lang::String>& str, int offset, int len) const {
    if (!str) throw java::lang::NullPointerException();
    const int length = str->length();
    if (offset < 0 || offset > length || len < 0 || len > length - offset)
        throw java::lang::StringIndexOutOfBoundsException();
    if (len == 0) return 0;
    return unitsWidth(str->unitData() + offset, len);
}

int Font::stringWidth(const JavaPtr<java::lang::String>& str) const {
    if (!str) throw java::lang::NullPointerException();
    return substringWidth(str, 0, str->length());
}

int Font::charWidth(unsigned short c) const {
    return unitsWidth(&c, 1);
}

int Font::charsWidth(const JavaPtr<JArray<unsigned short>>& ch, int offset, int length) const {
    if (length <= 0) return 0;
    if (!ch) throw java::lang::NullPointerException();
    if (offset < 0 || offset > ch->length || length > ch->length - offset)
        throw java::lang::ArrayIndexOutOfBoundsException();
    return unitsWidth(ch->data + offset, length);
}

}  // namespace javax::microedition::lcdui
