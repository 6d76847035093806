// libFuzzer target for the bitmap font loader: any input is either rejected or loads into tables
// that every glyph can be unpacked from, and every character measured and drawn with, near and across
// the edges of a small buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "graphics/BitmapFontDecoder.h"
#include "graphics/BitmapFontSystem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"

using javax::microedition::lcdui::BitmapFontDecoder;
using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::BitmapFontTables;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BitmapFontTables tables;
    const char* reason = nullptr;
    if (!BitmapFontDecoder::decode(data, size, &tables, &reason)) return 0;
    if (!BitmapFontSystem::initFromData(data, size)) std::abort();

    const int height = BitmapFontSystem::fontHeight(0);
    const JArray<int>& table = *BitmapFontSystem::m_charToIndex->data[0];
    std::vector<uint8_t> mask(static_cast<size_t>(BitmapFontSystem::kScratchColumns) * height);
    std::vector<unsigned short> codes;
    for (int entry : table) {
        const unsigned short code = static_cast<unsigned short>(entry & 0xFFFF);
        const int glyph = BitmapFontSystem::findGlyph(0, code);
        if (glyph < 0 || glyph >= table.length) std::abort();
        int width = BitmapFontSystem::glyphWidth(0, glyph);
        width = width < 0 ? 0 : width > 32 ? 32 : width;
        BitmapFontSystem::unpackGlyph(0, glyph, 0, 0, width, height, mask.data());
        codes.push_back(code);
        codes.push_back(static_cast<unsigned short>(code + 1));
    }
    JavaPtr<Font> font = Font::getDefaultFont();
    font->unitsWidth(codes.data(), static_cast<int>(codes.size()));

    constexpr int kWidth = 24;
    constexpr int kHeight = 16;
    std::vector<uint32_t> pixels(kWidth * kHeight, 0xFF000000u);
    JavaPtr<Graphics> graphics = jnew<Graphics>();
    graphics->pixels = pixels.data();
    graphics->width = kWidth;
    graphics->height = kHeight;
    graphics->setClip(0, 0, kWidth, kHeight);
    graphics->setColor(0x80FF40);
    JavaPtr<java::lang::String> text = jnew<java::lang::String>(codes.data(), static_cast<int>(codes.size()));
    const int anchors[] = {0, Graphics::HCENTER | Graphics::VCENTER, Graphics::RIGHT | Graphics::BOTTOM};
    for (int anchor : anchors) {
        graphics->drawString(text, 3, 2, anchor);
        graphics->drawString(text, kWidth - 2, kHeight - 1, anchor);
    }
    return 0;
}
