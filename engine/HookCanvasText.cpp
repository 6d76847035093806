// Text drawing through the two font slots: bitmap fonts made of a character table, a width table and a
// glyph sheet in the image cache, or a platform Font with a colour; measuring, anchors and the cull.
#include <algorithm>

#include "engine/HookCanvas.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "runtime/StringIndexOutOfBoundsException.h"

using java::lang::String;

namespace {

bool isSlot(int32_t slot) {
    return slot >= 0 && slot < HookCanvas::PARAM_TS_TEXT_SIZE_OF_FONT_CACHE;
}

// Measuring runs per character, so the slot tables are read in place rather than through counted
// copies; like every font static they change only while fonts load, never during drawing.
JArray<short>* characterTable(int32_t slot) {
    const auto& tables = HookCanvas::bitmap_font_info;
    if (!tables || !isSlot(slot)) return nullptr;
    return tables->data[slot].get();
}

javax::microedition::lcdui::Font* platformFont(int32_t slot) {
    const auto& fonts = HookCanvas::system_fonts;
    if (!fonts || !isSlot(slot)) return nullptr;
    return fonts->data[slot].get();
}

bool slotIsFree(int32_t slot) {
    return !platformFont(slot) && !characterTable(slot);
}

// Entry 1 of a character table: the space advance in the low byte, the letter spacing in the high.
int32_t spacingEntry(const JArray<short>* table) {
    return table && table->length > 1 ? table->data[1] : 0;
}

}  // namespace

int32_t HookCanvas::bitmapFontLetterSpacing(int32_t slot) {
    return spacingEntry(characterTable(slot)) >> 8;
}

int32_t HookCanvas::placeBitmapFont(int32_t imageId, int32_t infoRes, int32_t metricsRes) {
    // A sheet the image cache could not place gives no font rather than a slot that draws slot -1.
    if (imageId < 0) return -1;
    for (int32_t slot = 0; slot < PARAM_TS_TEXT_SIZE_OF_FONT_CACHE; ++slot) {
        if (characterTable(slot) && bitmap_font_image_ids->data[slot] == imageId) return slot;
    }
    int32_t slot = -1;
    if (slotIsFree(0)) {
        slot = 0;
    } else if (slotIsFree(1)) {
        slot = 1;
    } else {
        unloadImageID(imageId);
        return -1;
    }
    bitmap_font_info->data[slot] = getResourceShortArray(infoRes);
    bitmap_font_image_ids->data[slot] = imageId;
    if (metricsRes != -1) bitmap_font_metrics->data[slot] = getResourceShortArray(metricsRes);
    return slot;
}

int32_t HookCanvas::_FuSeD_mThD_1_loadBitmapFont(int32_t res, int32_t palette) {
    return placeBitmapFont(loadImageID(res + 1, palette, 1, true), res, -1);
}

int32_t HookCanvas::loadSystemFont(int32_t face, int32_t style, int32_t size, int32_t colour) {
    for (int32_t slot = 0; slot < PARAM_TS_TEXT_SIZE_OF_FONT_CACHE; ++slot) {
        const auto font = platformFont(slot);
        if (font && font->getFace() == face && font->getStyle() == style && font->getSize() == size &&
            system_font_colours->data[slot] == colour)
            return slot;
    }
    for (int32_t slot = 0; slot < PARAM_TS_TEXT_SIZE_OF_FONT_CACHE; ++slot) {
        if (!slotIsFree(slot)) continue;
        system_fonts->data[slot] = Font::getFont(face, style, size);
        system_font_colours->data[slot] = colour;
        return slot;
    }
    return -1;
}

void HookCanvas::unloadFont(int32_t slot) {
    if (!isSlot(slot)) return;
    system_fonts->data[slot] = nullptr;
    if (characterTable(slot)) {
        unloadImageID(bitmap_font_image_ids->data[slot]);
        bitmap_font_info->data[slot] = nullptr;
    }
}

int32_t HookCanvas::getBitmapFontCharacterIndex(int32_t slot, unsigned short c) {
    const auto table = characterTable(slot);
    if (!table || table->length < 1) return -1;
    // The count is trusted only as far as the table reaches.
    const int32_t count = std::min<int32_t>(table->data[0], table->length - 2);
    // Codes compare unsigned: a signed compare would never find a character from U+8000 up.
    for (int32_t i = 0; i < count; ++i) {
        if (static_cast<unsigned short>(table->data[i + 2]) == c) return i;
    }
    return -1;
}

int32_t HookCanvas::_FuSeD_mThD_1_getCharWidth(int32_t slot, unsigned short c) {
    if (const auto font = platformFont(slot)) return font->charWidth(c);
    const auto table = characterTable(slot);
    if (!table) return 0;
    const int32_t entry = spacingEntry(table);
    if (c == ' ') return (entry & 0xFF) + (entry >> 8);
    const int32_t index = getBitmapFontCharacterIndex(slot, c);
    if (index < 0) return 0;
    return getImageDimension(bitmap_font_image_ids->data[slot], index, 0, IMAGEDIMENSION_CELL_CROPPED_WIDTH) +
           (entry >> 8);
}

int32_t HookCanvas::getCharsWidth(int32_t slot, const JavaPtr<JArray<unsigned short>>& chars) {
    if (!chars) throw java::lang::NullPointerException();
    int32_t total = 0;
    for (int32_t i = 0; i < chars->length; ++i) total += getCharWidth(slot, chars->data[i]);
    return total;
}

int32_t HookCanvas::getStringWidth(int32_t slot, const JavaPtr<String>& s) {
    if (!s) throw java::lang::NullPointerException();
    int32_t total = 0;
    for (int32_t i = 0; i < s->length(); ++i) total += getCharWidth(slot, s->charAt(i));
    return total;
}

int32_t HookCanvas::getMaxStringWidths(int32_t slot, const JavaPtr<JArray<JavaPtr<String>>>& lines) {
    if (!lines) throw java::lang::NullPointerException();
    int32_t widest = 0;
    for (int32_t i = 0; i < lines->length; ++i)
        widest = std::max(widest, getStringWidth(slot, lines->data[i]));
    return widest;
}

int32_t HookCanvas::getFontHeight(int32_t slot) {
    if (const auto font = platformFont(slot)) return font->getHeight();
    if (!characterTable(slot)) return 0;
    return getImageDimension(bitmap_font_image_ids->data[slot], 0, 0, IMAGEDIMENSION_CELL_HEIGHT);
}

void HookCanvas::setFont(const JavaPtr<Graphics>& g, int32_t slot) {
    if (platformFont(slot) != nullptr) g->setFont(system_fonts->data[slot]);
    set_font = slot;
}

void HookCanvas::drawCharsOrString(const JavaPtr<Graphics>& g, const JavaPtr<String>& s,
                                   const JavaPtr<JArray<unsigned short>>& chars, int32_t offset,
                                   int32_t length, int32_t x, int32_t y, int32_t anchor, int32_t spacing) {
    if (!s && !chars) throw java::lang::NullPointerException();
    const int32_t available = s ? s->length() : chars->length;
    if (offset < 0 || length < 0 || offset > available - length) {
        if (s) throw java::lang::StringIndexOutOfBoundsException();
        throw java::lang::ArrayIndexOutOfBoundsException();
    }
    const int32_t H = PARAM_TS_BASE_SCREEN_HEIGHT.load();
    if (y < -(H >> 2) || y > (5 * H) >> 2) return;

    const int32_t slot = set_font;
    if ((anchor & (Graphics::VCENTER | Graphics::BOTTOM)) != 0) {
        const int32_t h = getFontHeight(slot);
        y -= (anchor & Graphics::VCENTER) != 0 ? h >> 1 : h;
        anchor = (anchor & ~(Graphics::VCENTER | Graphics::BOTTOM)) | Graphics::TOP;
    }
    auto charAt = [&](int32_t i) { return s ? s->charAt(offset + i) : chars->data[offset + i]; };
    const bool proportional = spacing == -1;

    if (const auto table = characterTable(slot)) {
        const int32_t imageId = bitmap_font_image_ids->data[slot];
        const int32_t spaceAdvance = proportional ? getCharWidth(slot, ' ') : spacing;
        const int32_t cellWidth = getImageDimension(imageId, 0, 0, IMAGEDIMENSION_CELL_WIDTH);
        if ((anchor & (Graphics::HCENTER | Graphics::RIGHT)) != 0) {
            int32_t total = 0;
            if (proportional) {
                for (int32_t i = 0; i < length; ++i) total += getCharWidth(slot, charAt(i));
            } else {
                total = length * spacing;
            }
            x -= (anchor & Graphics::HCENTER) != 0 ? total >> 1 : total;
        }
        for (int32_t i = 0; i < length; ++i) {
            const unsigned short c = charAt(i);
            if (c == ' ') {
                x += spaceAdvance;
                continue;
            }
            const int32_t index = getBitmapFontCharacterIndex(slot, c);
            if (index < 0) continue;
            // The sheet places a glyph at its offset inside its cell; taking the horizontal part off
            // starts the glyph's pixels at the pen while its vertical offset stays.
            const int32_t cropX = getImageDimension(imageId, index, 0, IMAGEDIMENSION_CELL_CROPPED_TL_X);
            const int32_t inset = cellWidth > 0 ? cropX % cellWidth : 0;
            drawImageIDNoTransform(g, imageId, index, x - inset, y, Graphics::TOP | Graphics::LEFT);
            x += proportional ? getCharWidth(slot, c) : spacing;
        }
        return;
    }

    if (platformFont(slot) == nullptr) return;
    g->setColor(system_font_colours->data[slot]);
    if (proportional) {
        if (s) {
            g->drawString(s, x, y, anchor);
        } else {
            g->drawChars(chars, offset, length, x, y, anchor);
        }
        return;
    }
    if ((anchor & Graphics::HCENTER) != 0) {
        x -= (length * spacing) >> 1;
    } else if ((anchor & Graphics::RIGHT) != 0) {
        x -= length * spacing;
    }
    for (int32_t i = 0; i < length; ++i) {
        g->drawChar(charAt(i), x, y, Graphics::TOP | Graphics::LEFT);
        x += spacing;
    }
}

void HookCanvas::drawString(const JavaPtr<Graphics>& g, const JavaPtr<String>& s, int32_t x, int32_t y,
                            int32_t anchor, int32_t spacing) {
    if (!s) throw java::lang::NullPointerException();
    drawCharsOrString(g, s, nullptr, 0, s->length(), x, y, anchor, spacing);
}

void HookCanvas::drawCharsExtended(const JavaPtr<Graphics>& g, const JavaPtr<JArray<unsigned short>>& chars,
                                   int32_t offset, int32_t length, int32_t x, int32_t y, int32_t anchor,
                                   int32_t spacing) {
    if (!chars) throw java::lang::NullPointerException();
    drawCharsOrString(g, nullptr, chars, offset, length, x, y, anchor, spacing);
}

void HookCanvas::drawChars(const JavaPtr<Graphics>& g, const JavaPtr<JArray<unsigned short>>& chars,
                           int32_t x, int32_t y, int32_t anchor, int32_t spacing) {
    if (!chars) throw java::lang::NullPointerException();
    drawCharsExtended(g, chars, 0, chars->length, x, y, anchor, spacing);
}

void HookCanvas::drawSplitString(const JavaPtr<Graphics>& g, const JavaPtr<JArray<JavaPtr<String>>>& lines,
                                 int32_t x, int32_t y, int32_t anchor, int32_t lineSpacing) {
    if (!lines) throw java::lang::NullPointerException();
    const int32_t n = lines->length;
    if ((anchor & Graphics::VCENTER) != 0) y -= (n * lineSpacing) >> 1;
    if ((anchor & Graphics::BOTTOM) != 0) y -= n * lineSpacing;
    const int32_t lineAnchor =
        (anchor & (Graphics::HCENTER | Graphics::LEFT | Graphics::RIGHT)) | Graphics::TOP;
    for (int32_t i = 0; i < n; ++i) drawString(g, lines->data[i], x, y + i * lineSpacing, lineAnchor, -1);
}
