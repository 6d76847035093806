#include "graphics/BitmapFontDecoder.h"

#include <algorithm>
#include <numeric>

namespace javax::microedition::lcdui {

namespace {

constexpr int kMarker = -67;  // 0xBD
constexpr int kMaxGlyphWidth = 32;

// Big-endian reads that stop at the end of the data instead of inventing bytes.
class ByteCursor {
public:
    ByteCursor(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    size_t remaining() const { return m_size - m_position; }
    bool signedByte(int* value) {
        if (remaining() < 1) return false;
        *value = static_cast<int8_t>(m_data[m_position++]);
        return true;
    }
    bool unsignedByte(int* value) {
        if (remaining() < 1) return false;
        *value = m_data[m_position++];
        return true;
    }
    bool signedShort(int* value) {
        if (remaining() < 2) return false;
        *value = static_cast<int16_t>((m_data[m_position] << 8) | m_data[m_position + 1]);
        m_position += 2;
        return true;
    }
    bool unsignedShort(int* value) {
        if (remaining() < 2) return false;
        *value = (m_data[m_position] << 8) | m_data[m_position + 1];
        m_position += 2;
        return true;
    }
    bool skip(size_t count) {
        if (remaining() < count) return false;
        m_position += count;
        return true;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_position = 0;
};

struct Box {
    int x, y, width, height;
};

bool reject(const char** reason, const char* text) {
    *reason = text;
    return false;
}

}  // namespace

bool BitmapFontDecoder::decode(const uint8_t* data, size_t size, BitmapFontTables* tables,
                               const char** reason) {
    ByteCursor in(data, size);
    // The first byte is always the marker's: any value but the marker is skipped, and the sheet
    // width follows.
    int marker = 0;
    if (!in.signedByte(&marker)) return reject(reason, "the file is empty");
    const bool marked = marker == kMarker;
    int version = 0;
    int valueBits = 4;
    if (marked) {
        if (!in.signedShort(&version) || !in.signedByte(&valueBits))
            return reject(reason, "truncated header");
        if (valueBits < 0 || valueBits > 8) return reject(reason, "value bits outside 0 to 8");
    }
    const bool coverage = marked && version == 0 && valueBits == 8;
    if (coverage && !in.skip(1)) return reject(reason, "truncated header");

    int sheetWidth = 0;
    int sheetHeight = 0;
    int columns = 0;
    int rows = 0;
    if (!in.signedShort(&sheetWidth) || !in.signedShort(&sheetHeight) || !in.signedShort(&columns) ||
        !in.signedShort(&rows))
        return reject(reason, "truncated header");
    if (sheetWidth < 0 || sheetHeight < 0) return reject(reason, "negative sheet size");
    if (columns <= 0 || rows <= 0) return reject(reason, "no glyph cells");
    const int fontHeight = sheetHeight / rows;
    if (fontHeight <= 0) return reject(reason, "font height of 0");

    const long long cells = static_cast<long long>(columns) * rows;
    if (static_cast<long long>(in.remaining()) < cells * 8 + 1)
        return reject(reason, "truncated glyph boxes");
    std::vector<Box> boxes(static_cast<size_t>(cells) + 1, Box{0, 0, 0, 0});
    for (long long i = 0; i < cells; ++i) {
        Box& box = boxes[static_cast<size_t>(i)];
        in.signedShort(&box.x);
        in.signedShort(&box.y);
        in.signedShort(&box.width);
        in.signedShort(&box.height);
    }
    in.skip(1);

    // The sheet is only allocated once the data left could fill it, so a forged size cannot ask for
    // more memory than the runs could ever describe.
    // Eight value bits mean (value, count) pairs under any version; only version 0 keeps the 8-bit
    // coverage (and has the padding byte). The font tool writes the other versions the same way.
    const bool pairs = valueBits == 8;
    const size_t sheetSize = static_cast<size_t>(sheetWidth) * static_cast<size_t>(sheetHeight);
    const size_t longestRun = pairs ? 256 : size_t{1} << (8 - valueBits);
    const size_t bytesPerRun = pairs ? 2 : 1;
    if ((sheetSize + longestRun - 1) / longestRun * bytesPerRun > in.remaining())
        return reject(reason, "truncated sheet");
    std::vector<uint8_t> sheet(sheetSize);
    for (size_t filled = 0; filled < sheetSize;) {
        int value = 0;
        int length = 0;
        if (pairs) {
            int count = 0;
            if (!in.unsignedByte(&value) || !in.unsignedByte(&count))
                return reject(reason, "truncated sheet");
            length = count + 1;
        } else {
            int run = 0;
            if (!in.unsignedByte(&run)) return reject(reason, "truncated sheet");
            value = run >> (8 - valueBits);
            length = (run & ((1 << (8 - valueBits)) - 1)) + 1;
        }
        if (static_cast<size_t>(length) > sheetSize - filled)
            return reject(reason, "a run passes the end of the sheet");
        std::fill_n(sheet.begin() + static_cast<ptrdiff_t>(filled), length, static_cast<uint8_t>(value));
        filled += static_cast<size_t>(length);
    }

    int characterCount = 0;
    int spaceHigh = 0;
    int spaceLow = 0;
    if (!in.signedShort(&characterCount) || !in.signedByte(&spaceHigh) || !in.unsignedByte(&spaceLow))
        return reject(reason, "truncated character list");
    if (characterCount < 0) return reject(reason, "negative character count");
    if (characterCount > cells) return reject(reason, "more characters than glyph cells");
    const int n = characterCount;
    // Only the cells that hold a character are ever copied from the sheet or measured; the boxes of
    // the others (a sheet padded to whole rows) may hold anything.
    for (int i = 0; i < n; ++i) {
        const Box& box = boxes[static_cast<size_t>(i)];
        if (box.width < 0 || box.height < 0) return reject(reason, "glyph box of negative size");
        if (box.width > kMaxGlyphWidth) return reject(reason, "glyph box wider than 32 pixels");
        if (box.height > fontHeight) return reject(reason, "glyph box taller than the font");
        if (box.width > 0 && box.height > 0 &&
            (box.x < 0 || box.y < 0 || box.x + box.width > sheetWidth || box.y + box.height > sheetHeight))
            return reject(reason, "glyph box outside the sheet");
    }
    std::vector<int> codes(static_cast<size_t>(n) + 1, 0x20);
    for (int i = 0; i < n; ++i)
        if (!in.unsignedShort(&codes[static_cast<size_t>(i)]))
            return reject(reason, "truncated character list");

    const int depth = coverage ? 8 : 1;
    const long long packedWords = (static_cast<long long>(n) + 1) * fontHeight * depth;
    if (packedWords > kMaxPackedWords) return reject(reason, "glyph table too large");

    tables->bpp = depth;
    tables->fontHeight = fontHeight;
    tables->charWidths.resize(boxes.size());
    tables->charYOffset.assign(boxes.size(), 0);
    for (size_t i = 0; i < boxes.size(); ++i) tables->charWidths[i] = boxes[i].width;
    for (long long i = 0; i < cells; ++i)
        tables->charYOffset[static_cast<size_t>(i)] =
            boxes[static_cast<size_t>(i)].y - fontHeight * static_cast<int>(i / columns);
    tables->charWidths[static_cast<size_t>(n)] = spaceHigh + spaceLow;

    // Sorted by code; among equal codes the one inserted last comes first, which is where inserting
    // each code before its equals would have put it. The appended space is inserted last of all.
    std::vector<int> order(static_cast<size_t>(n) + 1);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        if (codes[static_cast<size_t>(a)] != codes[static_cast<size_t>(b)])
            return codes[static_cast<size_t>(a)] < codes[static_cast<size_t>(b)];
        return a > b;
    });
    tables->charToIndex.resize(order.size());
    for (size_t i = 0; i < order.size(); ++i)
        tables->charToIndex[i] = static_cast<int32_t>(codes[static_cast<size_t>(order[i])] |
                                                      (static_cast<uint32_t>(order[i]) << 16));

    tables->packedPixelData.assign(static_cast<size_t>(packedWords), 0);
    for (int i = 0; i < n; ++i) {
        const Box& box = boxes[static_cast<size_t>(i)];
        if (box.height == 0 || box.width == 0) continue;  // no pixels, and its position is unchecked
        for (int row = 0; row < box.height; ++row) {
            const uint8_t* source = sheet.data() + static_cast<size_t>(box.y + row) * sheetWidth + box.x;
            if (depth == 1) {
                uint32_t bits = 0;
                for (int k = 0; k < box.width; ++k)
                    if (source[k] != 0) bits |= uint32_t{1} << k;
                tables->packedPixelData[static_cast<size_t>(i) * fontHeight + row] = bits;
            } else {
                uint32_t* words =
                    tables->packedPixelData.data() + (static_cast<size_t>(i) * fontHeight + row) * 8;
                for (int k = 0; k < box.width; ++k) words[k >> 2] |= uint32_t{source[k]} << ((k & 3) * 8);
            }
        }
    }
    return true;
}

}  // namespace javax::microedition::lcdui
