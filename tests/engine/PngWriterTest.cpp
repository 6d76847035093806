// The in-memory PNG writer: the layout byte for byte, stored blocks of whole rows (and of split rows
// when one row is longer than a block), the checksums beside zlib's, and round trips through libpng.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <random>

#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "tests/engine/ResourceFixtures.h"

namespace enginetest {
namespace {

class PngWriter : public ResourceFixture {};

uint32_t be32(const Bytes& b, size_t at) {
    return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 | b[at + 3];
}

struct Chunk {
    std::string type;
    Bytes data;
};

// Splits a PNG into its chunks, checking each CRC against zlib's.
std::vector<Chunk> chunksOf(const Bytes& png) {
    std::vector<Chunk> chunks;
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));
    for (size_t at = 8; at + 12 <= png.size();) {
        uint32_t length = be32(png, at);
        Chunk chunk{std::string(png.begin() + at + 4, png.begin() + at + 8),
                    Bytes(png.begin() + at + 8, png.begin() + at + 8 + length)};
        uint32_t crc = static_cast<uint32_t>(crc32(0, png.data() + at + 4, length + 4));
        EXPECT_EQ(be32(png, at + 8 + length), crc) << chunk.type;
        at += 12 + length;
        chunks.push_back(std::move(chunk));
    }
    return chunks;
}

// Decodes with libpng's simplified reader: A, R, G, B bytes per pixel.
Bytes decodeWithLibpng(const Bytes& png, int* width, int* height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return {};
    image.format = PNG_FORMAT_ARGB;
    Bytes pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return {};
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return pixels;
}

// The stored blocks of IDAT contents: (final flag, length) of each, checking NLEN; the raw data out.
std::vector<std::pair<int, int>> storedBlocks(const Bytes& idat, Bytes* raw) {
    std::vector<std::pair<int, int>> blocks;
    EXPECT_EQ(idat[0], 0x78);
    EXPECT_EQ(idat[1], 0xDA);
    size_t at = 2;
    while (at + 5 <= idat.size() - 4) {
        int final = idat[at];
        int length = idat[at + 1] | idat[at + 2] << 8;
        EXPECT_EQ(length ^ 0xFFFF, idat[at + 3] | idat[at + 4] << 8);
        raw->insert(raw->end(), idat.begin() + at + 5, idat.begin() + at + 5 + length);
        blocks.emplace_back(final, length);
        at += 5 + length;
        if (final) break;
    }
    EXPECT_EQ(at + 4, idat.size());
    EXPECT_EQ(be32(idat, at), static_cast<uint32_t>(adler32(1, raw->data(), static_cast<uInt>(raw->size()))));
    return blocks;
}

TEST_F(PngWriter, OnePixelIndexedImageIsTheKnown98Bytes) {
    Bytes png = toBytes(canvas->pngCreateByteArray(1, 1, 8, toArray({0xFF, 0, 0, 0}), toArray({0}), false));
    ASSERT_EQ(png.size(), 98u);
    std::vector<Chunk> chunks = chunksOf(png);
    ASSERT_EQ(chunks.size(), 5u);
    EXPECT_EQ(chunks[0].type, "IHDR");
    EXPECT_EQ(chunks[0].data, (Bytes{0, 0, 0, 1, 0, 0, 0, 1, 8, 3, 0, 0, 0}));
    EXPECT_EQ(chunks[1].type, "PLTE");
    EXPECT_EQ(chunks[1].data, (Bytes{0, 0, 0}));
    EXPECT_EQ(chunks[2].type, "tRNS");
    EXPECT_EQ(chunks[2].data, (Bytes{0xFF}));
    EXPECT_EQ(chunks[3].type, "IDAT");
    EXPECT_EQ(chunks[3].data, (Bytes{0x78, 0xDA, 0x01, 0x02, 0x00, 0xFD, 0xFF, 0, 0, 0, 0x02, 0, 0x01}));
    EXPECT_EQ(chunks[4].type, "IEND");
    EXPECT_TRUE(chunks[4].data.empty());
    EXPECT_EQ(Bytes(png.end() - 4, png.end()), (Bytes{0xAE, 0x42, 0x60, 0x82}));
}

TEST_F(PngWriter, BlocksHoldWholeRowsUpTo64000Bytes) {
    Bytes indices(320 * 400);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i % 3);
    Bytes palette{0xFF, 1, 2, 3, 0x80, 4, 5, 6, 0, 7, 8, 9};
    Bytes png = toBytes(canvas->pngCreateByteArray(320, 400, 8, toArray(palette), toArray(indices), false));
    int64_t raw = 321 * 400;
    EXPECT_EQ(static_cast<int64_t>(png.size()), 87 + 4 * 3 + raw + 5 * 3);
    Bytes rawData;
    std::vector<std::pair<int, int>> blocks = storedBlocks(chunksOf(png)[3].data, &rawData);
    EXPECT_EQ(blocks, (std::vector<std::pair<int, int>>{{0, 199 * 321}, {0, 199 * 321}, {1, 2 * 321}}));
    int w = 0, h = 0;
    Bytes argb = decodeWithLibpng(png, &w, &h);
    ASSERT_EQ(w, 320);
    ASSERT_EQ(h, 400);
    for (size_t i : {size_t{0}, size_t{1}, size_t{2}, size_t{128000 - 1}}) {
        const uint8_t* entry = &palette[indices[i] * 4];
        EXPECT_EQ(Bytes(argb.begin() + i * 4, argb.begin() + i * 4 + 4), Bytes(entry, entry + 4)) << i;
    }
}

TEST_F(PngWriter, RowsLongerThanABlockAreSplitAcrossBlocks) {
    // 16001 RGBA pixels make a row of 64005 bytes with its filter byte.
    const int width = 16001, height = 3;
    Bytes pixels(static_cast<size_t>(width) * height * 4);
    std::mt19937 random(7);
    for (uint8_t& b : pixels) b = static_cast<uint8_t>(random());
    Bytes png = toBytes(canvas->pngCreateByteArray(width, height, toArray(pixels)));
    Bytes rawData;
    std::vector<std::pair<int, int>> blocks = storedBlocks(chunksOf(png)[1].data, &rawData);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[0], std::make_pair(0, 64000));
    EXPECT_EQ(blocks[3], std::make_pair(1, 64005 * 3 - 3 * 64000));
    int w = 0, h = 0;
    EXPECT_EQ(decodeWithLibpng(png, &w, &h), pixels);
}

TEST_F(PngWriter, OpaqueFullColourIsRgbAndAnyAlphaMakesRgba) {
    Bytes opaque{0xFF, 10, 20, 30, 0xFF, 40, 50, 60};
    Bytes png = toBytes(canvas->pngCreateByteArray(2, 1, toArray(opaque)));
    std::vector<Chunk> chunks = chunksOf(png);
    EXPECT_EQ(chunks[0].data[9], 2);
    EXPECT_EQ(png.size(), 63u + 7 + 5);
    Bytes raw;
    storedBlocks(chunks[1].data, &raw);
    EXPECT_EQ(raw, (Bytes{0, 10, 20, 30, 40, 50, 60}));

    Bytes oneTranslucent = opaque;
    oneTranslucent[4] = 0xFE;
    chunks = chunksOf(toBytes(canvas->pngCreateByteArray(2, 1, toArray(oneTranslucent))));
    EXPECT_EQ(chunks[0].data[9], 6);
    raw.clear();
    storedBlocks(chunks[1].data, &raw);
    EXPECT_EQ(raw, (Bytes{0, 10, 20, 30, 0xFF, 40, 50, 60, 0xFE}));
}

TEST_F(PngWriter, IdatContentsAreCopiedUnchanged) {
    Bytes idat{0x78, 0x01, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01};
    Bytes png = toBytes(canvas->pngCreateByteArray(1, 1, 8, toArray({0xFF, 1, 2, 3}), toArray(idat), true));
    EXPECT_EQ(png.size(), 81u + 4 + idat.size());
    std::vector<Chunk> chunks = chunksOf(png);
    EXPECT_EQ(chunks[3].data, idat);
    EXPECT_EQ(chunks.back().type, "IEND");
}

TEST_F(PngWriter, ChecksumsMatchZlib) {
    EXPECT_EQ(static_cast<uint32_t>(HookCanvas::pngCalcCrc(toArray({'I', 'E', 'N', 'D'}), 4, 4)),
              0xAE426082u);
    EXPECT_EQ(HookCanvas::pngCalcCrc(toArray({1, 2}), 2, 0), 0);
    EXPECT_EQ(HookCanvas::pngCalcAdler(toArray({1, 2}), 1, 0, 10), 1);
    ASSERT_TRUE(HookCanvas::crc_table);
    EXPECT_EQ(static_cast<uint32_t>(HookCanvas::crc_table->data[1]), 0x77073096u);

    // Over a written PNG of three blocks, skipping each block header, as the writer sums.
    Bytes indices(320 * 400, 5);
    Bytes png =
        toBytes(canvas->pngCreateByteArray(320, 400, 8, toArray({0xFF, 0, 0, 0}), toArray(indices), false));
    size_t idatStart = 8 + 25 + 15 + 13 + 8;
    size_t rawStart = idatStart + 2 + 5;
    size_t rawEnd = png.size() - 12 - 4 - 4;
    JavaPtr<JArray<signed char>> array = toArray(png);
    uint32_t stored = be32(png, rawEnd);
    EXPECT_EQ(static_cast<uint32_t>(HookCanvas::pngCalcAdler(array, static_cast<int>(rawEnd),
                                                             static_cast<int>(rawEnd - rawStart), 199 * 321)),
              stored);
    // The IDAT CRC covers its type (4 bytes before the data) up to the CRC itself.
    size_t crcAt = png.size() - 16;
    EXPECT_EQ(static_cast<uint32_t>(HookCanvas::pngCalcCrc(array, static_cast<int>(crcAt),
                                                           static_cast<int>(crcAt - (idatStart - 4)))),
              be32(png, crcAt));
    EXPECT_THROW(HookCanvas::pngCalcCrc(array, 3, 4), java::lang::ArrayIndexOutOfBoundsException);
}

// Random small images at every depth and in full colour decode, through libpng, to what was written.
TEST_F(PngWriter, RandomImagesRoundTripThroughLibpng) {
    std::mt19937 random(26);
    for (int round = 0; round < 40; ++round) {
        int width = 1 + static_cast<int>(random() % 37);
        int height = 1 + static_cast<int>(random() % 23);
        int depth = 1 << (random() % 4);
        int colours = 1 + static_cast<int>(random() % (1 << depth));
        Bytes palette(static_cast<size_t>(colours) * 4);
        for (uint8_t& b : palette) b = static_cast<uint8_t>(random());
        std::vector<int> index(static_cast<size_t>(width) * height);
        for (int& i : index) i = static_cast<int>(random() % colours);
        int rowBytes = (width * depth + 7) / 8;
        Bytes rows(static_cast<size_t>(rowBytes) * height, 0);
        // Rows packed most significant bits first, as PNG stores them.
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                int bit = x * depth;
                rows[y * rowBytes + bit / 8] |=
                    static_cast<uint8_t>(index[y * width + x] << (8 - depth - bit % 8));
            }
        }
        int w = 0, h = 0;
        Bytes argb = decodeWithLibpng(
            toBytes(canvas->pngCreateByteArray(width, height, depth, toArray(palette), toArray(rows), false)),
            &w, &h);
        ASSERT_EQ(w, width) << "round " << round;
        ASSERT_EQ(h, height);
        for (size_t i = 0; i < index.size(); ++i) {
            ASSERT_EQ(Bytes(argb.begin() + i * 4, argb.begin() + i * 4 + 4),
                      Bytes(palette.begin() + index[i] * 4, palette.begin() + index[i] * 4 + 4))
                << "round " << round << " pixel " << i;
        }

        Bytes pixels(static_cast<size_t>(width) * height * 4);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = i % 4 == 0 && round % 2 ? 0xFF : uint8_t(random());
        EXPECT_EQ(
            decodeWithLibpng(toBytes(canvas->pngCreateByteArray(width, height, toArray(pixels))), &w, &h),
            pixels)
            << "round " << round;
    }
}

TEST_F(PngWriter, ImageOfPixelsEqualsTheDecodedFile) {
    // pngCreateImage makes the image without the file: pixels and alpha flags must be what decoding
    // the file gives, for every kind of alpha and for rows longer than a stored block.
    struct Case {
        const char* name;
        int width;
        int height;
        // Alpha of each pixel: a fixed value, or -1 for random.
        int alpha;
    };
    const Case cases[] = {
        {"one opaque pixel", 1, 1, 0xFF}, {"opaque, RGB in the file", 37, 5, 0xFF},
        {"clear pixels only", 4, 3, 0},   {"translucent everywhere", 9, 2, 0x80},
        {"mixed alpha", 64, 16, -1},      {"rows longer than a block", 16001, 2, -1},
    };
    std::mt19937 random(11);
    for (const Case& c : cases) {
        Bytes pixels(static_cast<size_t>(c.width) * c.height * 4);
        for (size_t i = 0; i < pixels.size(); ++i) {
            const int value = static_cast<int>(random() & 0xFF);
            // Random alpha is 0, 255 or anything, so that binary and translucent pixels both appear.
            const int randomAlpha = value % 3 == 0 ? 0 : value % 3 == 1 ? 0xFF : value;
            pixels[i] = static_cast<uint8_t>(i % 4 != 0 ? value : c.alpha >= 0 ? c.alpha : randomAlpha);
        }
        JavaPtr<JArray<signed char>> array = toArray(pixels);
        JavaPtr<JArray<signed char>> png = canvas->pngCreateByteArray(c.width, c.height, array);
        JavaPtr<Image> decoded = Image::createImage(png, 0, png->length);
        JavaPtr<Image> direct = canvas->pngCreateImage(c.width, c.height, array);
        ASSERT_TRUE(decoded) << c.name;
        ASSERT_TRUE(direct) << c.name;
        EXPECT_EQ(direct->getWidth(), decoded->getWidth()) << c.name;
        EXPECT_EQ(direct->getHeight(), decoded->getHeight()) << c.name;
        const size_t count = static_cast<size_t>(c.width) * c.height;
        // The stored words themselves, not what getRGB makes of them.
        EXPECT_EQ(std::vector<uint32_t>(direct->m_pixels, direct->m_pixels + count),
                  std::vector<uint32_t>(decoded->m_pixels, decoded->m_pixels + count))
            << c.name;
        EXPECT_EQ(direct->m_binaryAlpha, decoded->m_binaryAlpha) << c.name;
        EXPECT_EQ(direct->m_translucent, decoded->m_translucent) << c.name;
        EXPECT_FALSE(direct->isMutable()) << c.name;
    }
    // Past the decode limits the file decodes to nothing, and so does the direct image.
    JavaPtr<JArray<signed char>> wide = toArray(Bytes(static_cast<size_t>(16385) * 4, 0xFF));
    JavaPtr<JArray<signed char>> png = canvas->pngCreateByteArray(16385, 1, wide);
    EXPECT_FALSE(Image::createImage(png, 0, png->length));
    EXPECT_FALSE(canvas->pngCreateImage(16385, 1, wide));
    EXPECT_THROW(canvas->pngCreateImage(0, 1, toArray({0, 0, 0, 0})), java::lang::IllegalArgumentException);
    EXPECT_THROW(canvas->pngCreateImage(2, 1, toArray({0, 0, 0, 0})),
                 java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(canvas->pngCreateImage(1, 1, nullptr), java::lang::NullPointerException);
}

TEST_F(PngWriter, RefusesSizesAndDataThatCannotMakeAnImage) {
    JavaPtr<JArray<signed char>> palette = toArray({0xFF, 0, 0, 0});
    EXPECT_THROW(canvas->pngCreateByteArray(0, 1, 8, palette, toArray({0}), false),
                 java::lang::IllegalArgumentException);
    EXPECT_THROW(canvas->pngCreateByteArray(1, 1, 3, palette, toArray({0}), false),
                 java::lang::IllegalArgumentException);
    EXPECT_THROW(canvas->pngCreateByteArray(2, 2, 8, palette, toArray({0, 0, 0}), false),
                 java::lang::ArrayIndexOutOfBoundsException);
    EXPECT_THROW(canvas->pngCreateByteArray(1, -1, toArray({0, 0, 0, 0})),
                 java::lang::IllegalArgumentException);
    EXPECT_THROW(canvas->pngCreateByteArray(2, 1, toArray({0, 0, 0, 0})),
                 java::lang::ArrayIndexOutOfBoundsException);
    JavaPtr<Image> image = canvas->pngCreateImage(1, 1, toArray({0xFF, 0x11, 0x22, 0x33}));
    ASSERT_TRUE(image);
    EXPECT_EQ(pixelsOf(image), (std::vector<uint32_t>{0xFF112233u}));
}

}  // namespace
}  // namespace enginetest
