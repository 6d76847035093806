// The in-memory PNG writer: decoded pictures become PNG files of stored (uncompressed) deflate blocks,
// which the platform decoder turns into Images. It needs no compressor, only CRC-32 and Adler-32. A
// picture of A, R, G, B pixels becomes its Image directly, as decoding its file would make it.
#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include <zlib.h>

#include "engine/HookCanvas.h"
#include "engine/ResourceLayout.h"
#include "graphics/Image.h"
#include "platform/codecs/ImageLimits.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"

namespace {

using Bytes = JArray<signed char>;

constexpr uint32_t kCrcPolynomial = 0xEDB88320u;
constexpr uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

[[noreturn]] void throwIndex(int64_t index) {
    java::lang::ArrayIndexOutOfBoundsException error;
    error.TESLinvokeconstructor(static_cast<int>(index));
    throw error;
}

[[noreturn]] void refuse() {
    throw java::lang::IllegalArgumentException();
}

// The CRC register carried over bytes; start with ~0 and invert at the end. zlib's CRC-32 is the same
// polynomial and reflection, and much faster than tables in a loop.
uint32_t crcUpdate(uint32_t crc, const uint8_t* p, size_t n) {
    while (n > 0) {
        uInt run = n < (1u << 30) ? static_cast<uInt>(n) : (1u << 30);
        crc = ~static_cast<uint32_t>(crc32(~crc, p, run));
        p += run;
        n -= run;
    }
    return crc;
}

struct Adler {
    uint32_t sum = 1;
    void update(const uint8_t* p, size_t n) {
        while (n > 0) {
            uInt run = n < (1u << 30) ? static_cast<uInt>(n) : (1u << 30);
            sum = static_cast<uint32_t>(adler32(sum, p, run));
            p += run;
            n -= run;
        }
    }
    uint32_t value() const { return sum; }
};

// Writes big-endian numbers and bytes into the one output array, which was sized exactly.
class PngOut {
public:
    explicit PngOut(int64_t size) : m_array(jnewArray<signed char>(static_cast<int>(size))) {}
    uint8_t* at(int64_t pos) { return reinterpret_cast<uint8_t*>(m_array->data) + pos; }
    int64_t pos() const { return m_pos; }
    void u8(uint32_t v) { *at(m_pos++) = static_cast<uint8_t>(v); }
    void u32(uint32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8) u8(v >> shift);
    }
    void bytes(const void* p, size_t n) {
        if (n > 0) std::memcpy(at(m_pos), p, n);
        m_pos += static_cast<int64_t>(n);
    }
    void type(const char* t) { bytes(t, 4); }
    // Ends a chunk whose type starts at typePos: the CRC over the type and the data.
    void crcFrom(int64_t typePos) { u32(~crcUpdate(~0u, at(typePos), static_cast<size_t>(m_pos - typePos))); }
    void header(int width, int height, int depth, int colourType) {
        bytes(kSignature, 8);
        u32(13);
        int64_t start = m_pos;
        type("IHDR");
        u32(static_cast<uint32_t>(width));
        u32(static_cast<uint32_t>(height));
        u8(depth);
        u8(colourType);
        u8(0);
        u8(0);
        u8(0);
        crcFrom(start);
    }
    void end() {
        u32(0);
        int64_t start = m_pos;
        type("IEND");
        crcFrom(start);
    }
    JavaPtr<Bytes> take() { return std::move(m_array); }

private:
    JavaPtr<Bytes> m_array;
    int64_t m_pos = 0;
};

// Rows of raw data (filter byte 0 and the row) cut into stored blocks. Blocks hold whole rows when a
// row fits in one; a longer row is split across blocks, which the stream allows (the block length
// came out 0 for such rows and the writer never ended).
struct IdatPlan {
    int64_t rowLength = 0;
    int64_t raw = 0;
    int64_t blockLength = 0;
    int64_t blocks = 0;
    int64_t idatLength() const { return raw + 6 + 5 * blocks; }

    IdatPlan(int64_t row, int64_t height) : rowLength(row), raw((row + 1) * height) {
        blockLength = row + 1 <= resourcelayout::kMaxStoredBlock
                          ? (resourcelayout::kMaxStoredBlock / (row + 1)) * (row + 1)
                          : resourcelayout::kMaxStoredBlock;
        blocks = (raw - 1 + blockLength) / blockLength;
    }
};

// Writes the IDAT contents as the rows arrive; put() inserts a block header at every block start.
class StoredBlocks {
public:
    StoredBlocks(PngOut& out, const IdatPlan& plan) : m_out(out), m_plan(plan) {
        m_out.u8(0x78);
        m_out.u8(0xDA);
    }
    void put(const uint8_t* p, int64_t n) {
        while (n > 0) {
            if (m_leftInBlock == 0) startBlock();
            int64_t run = n < m_leftInBlock ? n : m_leftInBlock;
            m_adler.update(p, static_cast<size_t>(run));
            m_out.bytes(p, static_cast<size_t>(run));
            p += run;
            n -= run;
            m_leftInBlock -= run;
            m_written += run;
        }
    }
    void finish() { m_out.u32(m_adler.value()); }

private:
    void startBlock() {
        int64_t left = m_plan.raw - m_written;
        int64_t length = left < m_plan.blockLength ? left : m_plan.blockLength;
        m_out.u8(length == left ? 1 : 0);
        m_out.u8(static_cast<uint32_t>(length) & 0xFF);
        m_out.u8(static_cast<uint32_t>(length) >> 8);
        m_out.u8(~static_cast<uint32_t>(length) & 0xFF);
        m_out.u8((~static_cast<uint32_t>(length) >> 8) & 0xFF);
        m_leftInBlock = length;
    }

    PngOut& m_out;
    const IdatPlan& m_plan;
    Adler m_adler;
    int64_t m_leftInBlock = 0;
    int64_t m_written = 0;
};

void checkSize(int width, int height) {
    if (width <= 0 || height <= 0) refuse();
}

// The whole file must be one array.
void checkTotal(int64_t total) {
    if (total > JArray<signed char>::maxLength) refuse();
}

// Bytes per pixel of the file made from A, R, G, B pixels: RGB when every pixel is opaque.
int fileBytesPerPixel(const uint8_t* argb, int64_t count) {
    for (int64_t i = 0; i < count; ++i) {
        if (argb[4 * i] != 0xFF) return 4;
    }
    return 3;
}

int64_t pixelFileLength(int32_t width, int32_t height, int bytesPerPixel) {
    return 57 + IdatPlan(int64_t{width} * bytesPerPixel, height).idatLength();
}

}  // namespace

JavaPtr<JArray<int32_t>> HookCanvas::crcTable() {
    std::lock_guard<std::mutex> lock(crc_table_mutex);
    if (!crc_table) {
        JavaPtr<JArray<int32_t>> table = jnewArray<int32_t>(256);
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? kCrcPolynomial ^ (c >> 1) : c >> 1;
            table->data[n] = static_cast<int32_t>(c);
        }
        crc_table = table;
    }
    return crc_table;
}

void HookCanvas::pngCalcCrcTable() {
    crcTable();
}

int32_t HookCanvas::pngCalcCrc(const JavaPtr<JArray<signed char>>& data, int32_t end, int32_t length) {
    if (!data) throw java::lang::NullPointerException();
    if (length < 0 || end > data->length || int64_t{end} - length < 0) throwIndex(int64_t{end} - length);
    pngCalcCrcTable();
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data->data) + (end - length);
    return static_cast<int32_t>(~crcUpdate(~0u, bytes, static_cast<size_t>(length)));
}

int32_t HookCanvas::pngCalcAdler(const JavaPtr<JArray<signed char>>& data, int32_t end, int32_t length,
                                 int32_t blockLength) {
    if (!data) throw java::lang::NullPointerException();
    if (length < 0 || end > data->length || int64_t{end} - length < 0) throwIndex(int64_t{end} - length);
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(data->data);
    Adler adler;
    // The five bytes after each whole block are the next block's header.
    for (int64_t i = int64_t{end} - length; i < end;) {
        int64_t run = blockLength > 0 ? std::min<int64_t>(blockLength, end - i) : end - i;
        adler.update(bytes + i, static_cast<size_t>(run));
        i += run + 5;
    }
    return static_cast<int32_t>(adler.value());
}

JavaPtr<JArray<signed char>> HookCanvas::pngCreateByteArray(int32_t width, int32_t height, int32_t depth,
                                                            const JavaPtr<JArray<signed char>>& palette,
                                                            const JavaPtr<JArray<signed char>>& data,
                                                            bool dataIsIdat) {
    if (!palette || !data) throw java::lang::NullPointerException();
    checkSize(width, height);
    if (depth != 1 && depth != 2 && depth != 4 && depth != 8) refuse();
    int64_t entries = palette->length / 4;
    int64_t rowBytes = (int64_t{width} * depth + 7) / 8;
    IdatPlan plan(rowBytes, height);
    int64_t idat = dataIsIdat ? data->length : plan.idatLength();
    int64_t total = 81 + 4 * entries + idat;
    checkTotal(total);
    if (!dataIsIdat && rowBytes * height > data->length) throwIndex(rowBytes * height - 1);

    PngOut out(total);
    out.header(width, height, depth, 3);
    const uint8_t* argb = reinterpret_cast<const uint8_t*>(palette->data);
    out.u32(static_cast<uint32_t>(3 * entries));
    int64_t start = out.pos();
    out.type("PLTE");
    for (int64_t i = 0; i < entries; ++i) out.bytes(argb + 4 * i + 1, 3);
    out.crcFrom(start);
    out.u32(static_cast<uint32_t>(entries));
    start = out.pos();
    out.type("tRNS");
    for (int64_t i = 0; i < entries; ++i) out.u8(argb[4 * i]);
    out.crcFrom(start);

    out.u32(static_cast<uint32_t>(idat));
    start = out.pos();
    out.type("IDAT");
    const uint8_t* rows = reinterpret_cast<const uint8_t*>(data->data);
    if (dataIsIdat) {
        out.bytes(rows, static_cast<size_t>(idat));
    } else {
        StoredBlocks blocks(out, plan);
        const uint8_t filter = 0;
        for (int y = 0; y < height; ++y) {
            blocks.put(&filter, 1);
            blocks.put(rows + y * rowBytes, rowBytes);
        }
        blocks.finish();
    }
    out.crcFrom(start);
    out.end();
    return out.take();
}

JavaPtr<JArray<signed char>> HookCanvas::pngCreateByteArray(int32_t width, int32_t height,
                                                            const JavaPtr<JArray<signed char>>& pixels) {
    if (!pixels) throw java::lang::NullPointerException();
    checkSize(width, height);
    int64_t count = int64_t{width} * height;
    if (count * 4 > pixels->length) throwIndex(count * 4 - 1);
    const uint8_t* argb = reinterpret_cast<const uint8_t*>(pixels->data);
    const int bpp = fileBytesPerPixel(argb, count);
    IdatPlan plan(int64_t{width} * bpp, height);
    int64_t total = pixelFileLength(width, height, bpp);
    checkTotal(total);

    PngOut out(total);
    out.header(width, height, 8, bpp == 3 ? 2 : 6);
    out.u32(static_cast<uint32_t>(plan.idatLength()));
    int64_t start = out.pos();
    out.type("IDAT");
    {
        StoredBlocks blocks(out, plan);
        std::vector<uint8_t> row(static_cast<size_t>(plan.rowLength) + 1);
        for (int y = 0; y < height; ++y) {
            const uint8_t* src = argb + int64_t{y} * width * 4;
            uint8_t* dst = row.data();
            *dst++ = 0;
            if (bpp == 3) {
                for (int x = 0; x < width; ++x, src += 4, dst += 3) {
                    dst[0] = src[1];
                    dst[1] = src[2];
                    dst[2] = src[3];
                }
            } else {
                for (int x = 0; x < width; ++x, src += 4, dst += 4) {
                    dst[0] = src[1];
                    dst[1] = src[2];
                    dst[2] = src[3];
                    dst[3] = src[0];
                }
            }
            blocks.put(row.data(), static_cast<int64_t>(row.size()));
        }
        blocks.finish();
    }
    out.crcFrom(start);
    out.end();
    return out.take();
}

JavaPtr<javax::microedition::lcdui::Image> HookCanvas::pngCreateImage(
    int32_t width, int32_t height, const JavaPtr<JArray<signed char>>& pixels) {
    // The image decoding pngCreateByteArray's file gives, made without writing and decoding the file:
    // that round trip was most of a screen's first load. The same refusals, in the same order.
    if (!pixels) throw java::lang::NullPointerException();
    checkSize(width, height);
    const int64_t count = int64_t{width} * height;
    if (count * 4 > pixels->length) throwIndex(count * 4 - 1);
    const uint8_t* argb = reinterpret_cast<const uint8_t*>(pixels->data);
    if (!platform::decodedSizeAllowed(width, height)) {
        // Within the decode limits the file always fits one array; beyond them the writer may refuse.
        checkTotal(pixelFileLength(width, height, fileBytesPerPixel(argb, count)));
        return nullptr;
    }
    return Image::createImageFromArgbBytes(argb, width, height);
}

JavaPtr<javax::microedition::lcdui::Image> HookCanvas::pngCreateImage(
    int32_t width, int32_t height, int32_t depth, const JavaPtr<JArray<signed char>>& palette,
    const JavaPtr<JArray<signed char>>& data, bool dataIsIdat) {
    JavaPtr<Bytes> png = pngCreateByteArray(width, height, depth, palette, data, dataIsIdat);
    return Image::createImage(png, 0, png->length);
}
