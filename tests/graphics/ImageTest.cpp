#include "graphics/Image.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/EncodedImages.h"
#include "tests/support/Throws.h"
#include "tests/support/graphics/PixelWords.h"

using java::lang::ArrayIndexOutOfBoundsException;
using java::lang::IllegalArgumentException;
using java::lang::NullPointerException;
using javax::microedition::lcdui::Image;
using testsupport::intsOf;
using testsupport::throws;

QUILL_REGISTER_CLASSES(Image);
static_assert(Image::TESLclassTypeID == static_cast<int32_t>(0xa56b4d12u));

namespace {

JavaPtr<JArray<signed char>> bytesOf(const std::vector<uint8_t>& data, int before = 0, int after = 0) {
    auto array = jnew<JArray<signed char>>(static_cast<int>(data.size()) + before + after);
    if (!data.empty()) std::memcpy(array->data + before, data.data(), data.size());
    return array;
}

// The pixel word at (x, y) as its four bytes in memory order.
std::vector<int> bytesAt(const JavaPtr<Image>& image, int x, int y) {
    const auto* p = reinterpret_cast<const uint8_t*>(image->m_pixels + y * image->m_width + x);
    return {p[0], p[1], p[2], p[3]};
}

uint32_t argbAt(const JavaPtr<Image>& image, int x, int y) {
    uint32_t p = image->m_pixels[y * image->m_width + x];
    return (p & 0xFF00FF00u) | ((p >> 16) & 0xFF) | ((p & 0xFF) << 16);
}

TEST(ImageCreation, CastsAnswerImageObjectAndSmart) {
    JavaPtr<java::lang::Object> object = Image::createImage(1, 1);
    EXPECT_TRUE(jcast<Image>(object));
    EXPECT_TRUE(jinstanceof<java::lang::Object>(object));
    EXPECT_NE(object->castAsTypeID(java::lang::Smart::TESLclassTypeID), nullptr);
    EXPECT_EQ(object->castAsTypeID(java::lang::String::TESLclassTypeID), nullptr);
}

TEST(ImageCreation, BlankImagesAreMutableOpaqueWhite) {
    auto image = Image::createImage(3, 2);
    EXPECT_TRUE(image->isMutable());
    EXPECT_EQ(image->getWidth(), 3);
    EXPECT_EQ(image->getHeight(), 2);
    for (int i = 0; i < 6; ++i) EXPECT_EQ(image->m_pixels[i], 0xFFFFFFFFu);
    EXPECT_FALSE(image->m_binaryAlpha);
    EXPECT_FALSE(image->m_translucent);

    auto empty = Image::createImage(0, 0);
    EXPECT_EQ(empty->getWidth(), 0);
    EXPECT_EQ(empty->m_pixels, nullptr);
    EXPECT_EQ(Image::createImage(0, 7)->getHeight(), 7);

    for (auto [w, h] :
         {std::pair{-1, 4}, {4, -1}, {INT_MIN, INT_MIN}, {INT_MAX, 2}, {65536, 65536}, {8193, 8193}}) {
        EXPECT_TRUE(throws<IllegalArgumentException>([&] { Image::createImage(w, h); })) << w << " x " << h;
    }
}

TEST(ImageCreation, RgbImagesKeepAlphaOnlyWhenAskedAndSetTheFlags) {
    auto image = Image::createRGBImage(intsOf({0xFF112233u, 0x00000000u}), 2, 1, true);
    EXPECT_FALSE(image->isMutable());
    EXPECT_EQ(bytesAt(image, 0, 0), (std::vector<int>{0x11, 0x22, 0x33, 0xFF}));
    EXPECT_EQ(bytesAt(image, 1, 0), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_TRUE(image->m_binaryAlpha);
    EXPECT_FALSE(image->m_translucent);

    // A partly transparent pixel anywhere makes the image translucent and not binary alpha.
    for (int position = 0; position < 3; ++position) {
        std::vector<uint32_t> values = {0xFF112233u, 0x00000000u};
        values.insert(values.begin() + position, 0x80445566u);
        auto mixed = Image::createRGBImage(intsOf(values), 3, 1, true);
        EXPECT_TRUE(mixed->m_translucent) << position;
        EXPECT_FALSE(mixed->m_binaryAlpha) << position;
    }

    auto opaque = Image::createRGBImage(intsOf({0xFF112233u, 0x00000000u, 0x80445566u}), 3, 1, false);
    EXPECT_EQ(bytesAt(opaque, 1, 0), (std::vector<int>{0, 0, 0, 0xFF}));
    EXPECT_EQ(bytesAt(opaque, 2, 0), (std::vector<int>{0x44, 0x55, 0x66, 0xFF}));
    EXPECT_FALSE(opaque->m_binaryAlpha);
    EXPECT_FALSE(opaque->m_translucent);
    EXPECT_FALSE(Image::createRGBImage(intsOf({0xFF000000u}), 1, 1, true)->m_binaryAlpha);
}

TEST(ImageCreation, RgbImagesRefuseShortArraysAndBadSizes) {
    auto four = intsOf({1, 2, 3, 4});
    EXPECT_TRUE(throws<ArrayIndexOutOfBoundsException>([&] { Image::createRGBImage(four, 5, 1, false); }));
    EXPECT_TRUE(throws<ArrayIndexOutOfBoundsException>([&] { Image::createRGBImage(four, 3, 2, true); }));
    EXPECT_TRUE(throws<IllegalArgumentException>([&] { Image::createRGBImage(four, 65536, 65536, true); }));
    EXPECT_TRUE(throws<IllegalArgumentException>([&] { Image::createRGBImage(four, -1, -4, false); }));
    EXPECT_TRUE(
        throws<NullPointerException>([&] { Image::createRGBImage(JavaPtr<JArray<int>>(), 1, 1, false); }));
    EXPECT_EQ(Image::createRGBImage(four, 2, 2, false)->getHeight(), 2);
    EXPECT_EQ(Image::createRGBImage(four, 0, 0, false)->getWidth(), 0);
}

// A 3 x 2 image whose every pixel differs: 0xFF0000rc for column c and row r.
JavaPtr<Image> asymmetric() {
    return Image::createRGBImage(
        intsOf({0xFF000000u, 0xFF000010u, 0xFF000020u, 0xFF000001u, 0xFF000011u, 0xFF000021u}), 3, 2, false);
}

TEST(ImageCreation, TransformedCopiesPutEachSourcePixelWhereTheTableSays) {
    auto source = asymmetric();
    const int w = 3, h = 2;
    for (int transform = 0; transform < 8; ++transform) {
        SCOPED_TRACE(transform);
        auto copy = Image::createImage(source, 0, 0, w, h, transform);
        // The whole of an immutable image untransformed is the image itself.
        EXPECT_EQ(copy == source, transform == 0);
        EXPECT_FALSE(copy->isMutable());
        ASSERT_EQ(copy->getWidth(), transform >= 4 ? h : w);
        ASSERT_EQ(copy->getHeight(), transform >= 4 ? w : h);
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                int tx[8] = {c, c, w - 1 - c, w - 1 - c, r, h - 1 - r, r, h - 1 - r};
                int ty[8] = {r, h - 1 - r, r, h - 1 - r, c, c, w - 1 - c, w - 1 - c};
                EXPECT_EQ(argbAt(copy, tx[transform], ty[transform]), argbAt(source, c, r)) << c << ", " << r;
            }
        }
    }
    // Rotating a 4 x 2 region by 90 degrees puts its top left pixel at the top right.
    auto wide = Image::createImage(6, 3);
    wide->m_pixels[1 * 6 + 2] = 0xFF123456u;
    auto rotated = Image::createImage(wide, 2, 1, 4, 2, 5);
    EXPECT_EQ(rotated->getWidth(), 2);
    EXPECT_EQ(rotated->getHeight(), 4);
    EXPECT_EQ(rotated->m_pixels[1], 0xFF123456u);
    // An unknown transform acts as none.
    auto plain = Image::createImage(source, 1, 0, 2, 2, 12);
    EXPECT_EQ(argbAt(plain, 0, 1), argbAt(source, 1, 1));
}

TEST(ImageCreation, CopiesShareFlagsAndOnlyAnUnchangedImmutableImageIsItself) {
    auto source =
        Image::createRGBImage(intsOf({0xFF010203u, 0x00000000u, 0x7F102030u, 0xFFFFFFFFu}), 2, 2, true);
    auto copy = Image::createImage(source);
    ASSERT_NE(copy, source);
    EXPECT_EQ(std::memcmp(copy->m_pixels, source->m_pixels, 16), 0);
    EXPECT_TRUE(copy->m_translucent);
    EXPECT_FALSE(copy->m_binaryAlpha);
    EXPECT_EQ(Image::createImage(source, 0, 0, 2, 2, 0), source);

    auto blank = Image::createImage(2, 2);
    auto frozen = Image::createImage(blank, 0, 0, 2, 2, 0);
    EXPECT_NE(frozen, blank);
    EXPECT_FALSE(frozen->isMutable());
}

TEST(ImageCreation, RegionsOutsideTheSourceAreRefused) {
    auto source = asymmetric();
    struct {
        int x, y, w, h;
    } regions[] = {{-1, 0, 2, 2}, {0, -1, 2, 2},      {2, 0, 2, 1},      {0, 1, 3, 2},
                   {0, 0, -1, 1}, {INT_MAX, 0, 1, 1}, {1, 1, INT_MAX, 1}};
    for (auto r : regions) {
        EXPECT_TRUE(throws<IllegalArgumentException>([&] {
            Image::createImage(source, r.x, r.y, r.w, r.h, 0);
        })) << r.x
            << ", " << r.y << ", " << r.w << ", " << r.h;
    }
    EXPECT_TRUE(throws<NullPointerException>([&] { Image::createImage(JavaPtr<Image>()); }));
    EXPECT_EQ(Image::createImage(source, 3, 2, 0, 0, 3)->getWidth(), 0);
}

std::vector<uint8_t> paletteWithTransparency(bool partly) {
    testsupport::PngSpec spec;
    spec.width = 3;
    spec.height = 1;
    spec.colourType = PNG_COLOR_TYPE_PALETTE;
    spec.palette = {{0x10, 0x20, 0x30}, {0x40, 0x50, 0x60}, {0x70, 0x80, 0x90}};
    spec.paletteAlpha = {0xFF, uint8_t(partly ? 0x40 : 0x00)};
    spec.rows = {{0, 1, 2}};
    return testsupport::encodePng(spec);
}

TEST(ImageDecoding, PngBytesBecomePixelWordsWithAlphaFlags) {
    auto binary = Image::createImage(bytesOf(paletteWithTransparency(false)), 0,
                                     static_cast<int>(paletteWithTransparency(false).size()));
    ASSERT_NE(binary, nullptr);
    EXPECT_FALSE(binary->isMutable());
    EXPECT_EQ(bytesAt(binary, 0, 0), (std::vector<int>{0x10, 0x20, 0x30, 0xFF}));
    EXPECT_EQ(bytesAt(binary, 1, 0), (std::vector<int>{0x40, 0x50, 0x60, 0x00}));
    EXPECT_EQ(bytesAt(binary, 2, 0), (std::vector<int>{0x70, 0x80, 0x90, 0xFF}));
    EXPECT_TRUE(binary->m_binaryAlpha);
    EXPECT_FALSE(binary->m_translucent);

    // Found at an offset inside a larger array, with bytes on both sides.
    auto file = paletteWithTransparency(true);
    auto translucent = Image::createImage(bytesOf(file, 5, 9), 5, static_cast<int>(file.size()));
    ASSERT_NE(translucent, nullptr);
    EXPECT_EQ(bytesAt(translucent, 1, 0)[3], 0x40);
    EXPECT_TRUE(translucent->m_translucent);
    EXPECT_FALSE(translucent->m_binaryAlpha);

    // 16-bit samples come out as their high bytes.
    testsupport::PngSpec deep;
    deep.width = 1;
    deep.height = 1;
    deep.colourType = PNG_COLOR_TYPE_RGB;
    deep.bitDepth = 16;
    deep.rows = {{0xAB, 0x01, 0xCD, 0x02, 0xEF, 0x03}};
    auto deepFile = testsupport::encodePng(deep);
    auto deepImage = Image::createImage(bytesOf(deepFile), 0, static_cast<int>(deepFile.size()));
    ASSERT_NE(deepImage, nullptr);
    EXPECT_EQ(bytesAt(deepImage, 0, 0), (std::vector<int>{0xAB, 0xCD, 0xEF, 0xFF}));
    EXPECT_FALSE(deepImage->m_binaryAlpha || deepImage->m_translucent);
}

TEST(ImageDecoding, JpegBytesBecomeOpaquePixelWords) {
    testsupport::JpegSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.samples = {255, 0, 0, 255, 0, 0};
    auto file = testsupport::encodeJpeg(spec);
    auto image = Image::createImage(bytesOf(file), 0, static_cast<int>(file.size()));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->getWidth(), 2);
    EXPECT_EQ(image->getHeight(), 1);
    for (int x = 0; x < 2; ++x) {
        auto p = bytesAt(image, x, 0);
        EXPECT_GE(p[0], 0xF8);
        EXPECT_LE(p[1], 8);
        EXPECT_LE(p[2], 8);
        EXPECT_EQ(p[3], 0xFF);
    }
    EXPECT_FALSE(image->m_binaryAlpha || image->m_translucent);
}

TEST(ImageDecoding, UndecodableBytesGiveNullAndBadRangesThrow) {
    auto png = paletteWithTransparency(false);
    int size = static_cast<int>(png.size());
    auto bytes = bytesOf(png);
    for (int length = 0; length < size; ++length) {
        EXPECT_EQ(
            Image::createImage(bytesOf(std::vector<uint8_t>(png.begin(), png.begin() + length)), 0, length),
            nullptr)
            << length;
    }
    EXPECT_EQ(Image::createImage(bytesOf({'G', 'I', 'F', '8', '9', 'a'}), 0, 6), nullptr);
    EXPECT_EQ(Image::createImage(bytesOf({0xFF, 0xD8, 0xFF}), 0, 3), nullptr);
    EXPECT_EQ(Image::createImage(bytes, 1, size - 1), nullptr);

    struct {
        int offset, length;
    } ranges[] = {{-1, 4}, {0, -1}, {0, size + 1}, {size, 1}, {1, INT_MAX}, {INT_MAX, INT_MAX}};
    for (auto r : ranges) {
        EXPECT_TRUE(throws<ArrayIndexOutOfBoundsException>([&] {
            Image::createImage(bytes, r.offset, r.length);
        })) << r.offset
            << ", " << r.length;
    }
    EXPECT_TRUE(
        throws<NullPointerException>([&] { Image::createImage(JavaPtr<JArray<signed char>>(), 0, 0); }));
    EXPECT_EQ(Image::createImage(bytes, size, 0), nullptr);
}

}  // namespace
