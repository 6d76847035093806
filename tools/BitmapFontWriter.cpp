#include "tools/BitmapFontWriter.h"

#include <algorithm>
#include <cmath>

namespace fonttools {

namespace {

constexpr uint8_t kMarker = 0xBD;

class ByteSink {
public:
    void byte(int value) { m_bytes.push_back(static_cast<uint8_t>(value & 0xFF)); }
    void shortValue(int value) {
        byte(value >> 8);
        byte(value);
    }
    std::vector<uint8_t> take() { return std::move(m_bytes); }

private:
    std::vector<uint8_t> m_bytes;
};

bool fail(std::string* error, const std::string& reason) {
    if (error != nullptr) *error = reason;
    return false;
}

bool validate(const FontDescription& font, const EncodingSettings& settings, std::string* error) {
    if (font.fontHeight < 1 || font.fontHeight > 32767) return fail(error, "font height must be 1 to 32767");
    if (font.glyphs.size() > 32767) return fail(error, "at most 32767 glyphs fit the character count");
    if (font.columns < 0 || font.columns > 32767) return fail(error, "columns must be 0 to 32767");
    uint8_t high = 0;
    uint8_t low = 0;
    if (!encodeSpaceAdvance(font.spaceAdvance, &high, &low))
        return fail(error, "space advance must be -128 to 382");
    for (const GlyphMask& glyph : font.glyphs) {
        if (glyph.width < 0 || glyph.width > kMaxGlyphWidth)
            return fail(error, "glyph " + std::to_string(glyph.code) + " is wider than 32 pixels");
        if (glyph.height < 0 || glyph.yOffset < 0 || glyph.yOffset + glyph.height > font.fontHeight)
            return fail(error, "glyph " + std::to_string(glyph.code) + " does not fit the line height");
        if (glyph.coverage.size() != static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height))
            return fail(error, "glyph " + std::to_string(glyph.code) + " mask size differs from its box");
    }
    switch (settings.encoding) {
        case FontEncoding::Plain:
        case FontEncoding::Coverage:
            break;
        case FontEncoding::Custom:
            if (settings.valueBits < 1 || settings.valueBits > 8)
                return fail(error, "value bits must be 1 to 8");
            if (settings.version < -32768 || settings.version > 32767)
                return fail(error, "version must fit 16 bits");
            if (settings.version == 0 && settings.valueBits == 8)
                return fail(error, "version 0 with 8 value bits is the coverage encoding");
            break;
    }
    return true;
}

// Stored values per pixel: coverage as it is, or 0 / the largest value for the one-bit encodings.
void writeRuns(ByteSink& out, const std::vector<uint8_t>& sheet, bool pairs, int valueBits, bool oneBit) {
    const int maxValue = pairs ? 255 : (1 << valueBits) - 1;
    const int maxRun = pairs ? 256 : 1 << (8 - valueBits);
    size_t position = 0;
    while (position < sheet.size()) {
        int coverage = sheet[position];
        size_t end = position + 1;
        while (end < sheet.size() && sheet[end] == coverage && static_cast<int>(end - position) < maxRun)
            ++end;
        int length = static_cast<int>(end - position);
        int value = oneBit ? (coverage >= kOneBitThreshold ? maxValue : 0) : coverage;
        if (pairs) {
            out.byte(value);
            out.byte(length - 1);
        } else {
            out.byte((value << (8 - valueBits)) | (length - 1));
        }
        position = end;
    }
}

}  // namespace

bool encodeSpaceAdvance(int advance, uint8_t* high, uint8_t* low) {
    if (advance < -128 || advance > 127 + 255) return false;
    int first = advance < 0 ? advance : std::max(0, advance - 255);
    int second = advance - first;
    *high = static_cast<uint8_t>(first & 0xFF);
    *low = static_cast<uint8_t>(second);
    return true;
}

std::vector<uint8_t> writeBitmapFont(const FontDescription& font, const EncodingSettings& settings,
                                     std::string* error) {
    if (!validate(font, settings, error)) return {};

    const int glyphCount = static_cast<int>(font.glyphs.size());
    int columns = font.columns;
    if (columns == 0) columns = std::max(1, static_cast<int>(std::ceil(std::sqrt(std::max(1, glyphCount)))));
    const int rows = std::max(1, (glyphCount + columns - 1) / columns);
    int cellWidth = 1;
    for (const GlyphMask& glyph : font.glyphs) cellWidth = std::max(cellWidth, glyph.width);
    const long long sheetWidth = static_cast<long long>(columns) * cellWidth;
    const long long sheetHeight = static_cast<long long>(rows) * font.fontHeight;
    if (sheetWidth > 32767 || sheetHeight > 32767) {
        fail(error, "the glyph sheet exceeds 32767 pixels; choose other columns");
        return {};
    }

    std::vector<uint8_t> sheet(static_cast<size_t>(sheetWidth * sheetHeight), 0);
    struct Box {
        int x, y, width, height;
    };
    std::vector<Box> boxes(static_cast<size_t>(columns) * rows, Box{0, 0, 0, 0});
    for (int i = 0; i < glyphCount; ++i) {
        const GlyphMask& glyph = font.glyphs[i];
        const int x = (i % columns) * cellWidth;
        const int y = (i / columns) * font.fontHeight + glyph.yOffset;
        boxes[i] = Box{x, y, glyph.width, glyph.height};
        for (int row = 0; row < glyph.height; ++row) {
            for (int column = 0; column < glyph.width; ++column) {
                sheet[static_cast<size_t>(y + row) * sheetWidth + x + column] =
                    glyph.coverage[static_cast<size_t>(row) * glyph.width + column];
            }
        }
    }

    ByteSink out;
    bool pairs = false;
    bool oneBit = true;
    int valueBits = 4;
    switch (settings.encoding) {
        case FontEncoding::Plain:
            out.byte(0);  // in the marker's place: any other value is skipped
            break;
        case FontEncoding::Coverage:
            out.byte(kMarker);
            out.shortValue(0);
            out.byte(8);
            out.byte(0);  // the padding byte that only this encoding carries
            pairs = true;
            oneBit = false;
            valueBits = 8;
            break;
        case FontEncoding::Custom:
            out.byte(kMarker);
            out.shortValue(settings.version);
            out.byte(settings.valueBits);
            valueBits = settings.valueBits;
            pairs = valueBits == 8;
            break;
    }
    out.shortValue(static_cast<int>(sheetWidth));
    out.shortValue(static_cast<int>(sheetHeight));
    out.shortValue(columns);
    out.shortValue(rows);
    for (const Box& box : boxes) {
        out.shortValue(box.x);
        out.shortValue(box.y);
        out.shortValue(box.width);
        out.shortValue(box.height);
    }
    out.byte(0);
    writeRuns(out, sheet, pairs, valueBits, oneBit);
    out.shortValue(glyphCount);
    uint8_t high = 0;
    uint8_t low = 0;
    encodeSpaceAdvance(font.spaceAdvance, &high, &low);
    out.byte(high);
    out.byte(low);
    for (const GlyphMask& glyph : font.glyphs) out.shortValue(glyph.code);
    return out.take();
}

}  // namespace fonttools
