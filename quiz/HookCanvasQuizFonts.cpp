// The quiz's bitmap fonts: three resources per font (character table, width table, glyph sheet), and
// advances taken from the width table rather than from the glyph cells.
#include "engine/HookCanvas.h"
#include "graphics/Font.h"

int32_t HookCanvas::loadBitmapFont(int32_t res, int32_t palette) {
    return placeBitmapFont(loadImageID(res + 2, palette, 1, true), res, res + 1);
}

int32_t HookCanvas::getCharWidth(int32_t slot, unsigned short c) {
    const bool isSlot = slot >= 0 && slot < PARAM_TS_TEXT_SIZE_OF_FONT_CACHE;
    if (!isSlot) return 0;
    // Read in place: this runs for every character measured or drawn.
    if (const auto* font = system_fonts->data[slot].get()) return font->charWidth(c);
    const auto* table = bitmap_font_info->data[slot].get();
    if (table == nullptr) return 0;
    const int32_t spacing = bitmapFontLetterSpacing(slot);
    if (c == ' ') return (table->length > 1 ? table->data[1] & 0xFF : 0) + spacing;
    const int32_t index = getBitmapFontCharacterIndex(slot, c);
    if (index < 0) return 0;
    // A width table shorter than the character table measures the missing glyphs 0.
    const auto* widths = bitmap_font_metrics->data[slot].get();
    if (widths == nullptr || index >= widths->length) return 0;
    return widths->data[index] + spacing;
}
