// javax.microedition.lcdui.Font: a face, style and size in one byte. Every font measures with the one
// bitmap font, so the style and size bits change nothing on the screen.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

class Font : public java::lang::Object {
    TESL_CLASS(Font, "javax.microedition.lcdui.Font", java::lang::Object)
public:
    static constexpr int STYLE_PLAIN = 0;
    static constexpr int STYLE_BOLD = 1;
    static constexpr int STYLE_ITALIC = 2;
    static constexpr int STYLE_UNDERLINED = 4;
    static constexpr int SIZE_MEDIUM = 0;
    static constexpr int SIZE_SMALL = 8;
    static constexpr int SIZE_LARGE = 16;
    static constexpr int FACE_SYSTEM = 0;
    static constexpr int FACE_MONOSPACE = 32;
    static constexpr int FACE_PROPORTIONAL = 64;
    static constexpr int FONT_STATIC_TEXT = 0;
    static constexpr int FONT_INPUT_TEXT = 1;

    Font() noexcept {}
    explicit Font(int fontByte) noexcept : m_fontByte(static_cast<signed char>(fontByte)) {}
    ~Font() override = default;

    // A new font each call; IllegalArgumentException for a face, style or size outside the constants.
    static JavaPtr<Font> getFont(int face, int style, int size);
    static JavaPtr<Font> getFont(int fontSpecifier);
    static JavaPtr<Font> getDefaultFont();

    int getFace() const { return m_fontByte & 0x60; }
    int getStyle() const { return m_fontByte & 7; }
    int getSize() const { return m_fontByte & 0x18; }
    bool isBold() const { return (m_fontByte & STYLE_BOLD) != 0; }
    bool isItalic() const { return (m_fontByte & STYLE_ITALIC) != 0; }
    bool isUnderlined() const { return (m_fontByte & STYLE_UNDERLINED) != 0; }
    bool isPlain() const { return (m_fontByte & 7) == 0; }
    int getHeight() const;
    int getBaselinePosition() const { return 0; }
    signed char fontByte() const { return m_fontByte; }

    // Widths: a known character is its glyph width plus one pixel of spacing, a character the font
    // lacks 10 (every character while no font is loaded). A null string or array throws
    // NullPointerException; a bad substring range StringIndexOutOfBoundsException, a bad array range
    // ArrayIndexOutOfBoundsException.
    int charWidth(unsigned short c) const;
    int charsWidth(const JavaPtr<JArray<unsigned short>>& ch, int offset, int length) const;
    int stringWidth(const JavaPtr<java::lang::String>& str) const;
    int substringWidth(const JavaPtr<java::lang::String>& str, int offset, int len) const;

    // The width of count units, without range checks: the text operations have checked them.
    int unitsWidth(const unsigned short* units, int count) const;
    // Whether this font measures and draws with the platform's system font.
    bool usesNativeText() const;

private:
    signed char m_fontByte = 0;
};

}  // namespace javax::microedition::lcdui
