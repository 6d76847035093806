#include <gtest/gtest.h>

#include <cstring>

#include "graphics/Image.h"
#include "library/ByteArrayInputStream.h"
#include "runtime/IOException.h"
#include "runtime/NullPointerException.h"
#include "tests/library/FileFixture.h"
#include "tests/support/EncodedImages.h"
#include "tests/support/LargestAllocationWatch.h"

using java::io::ByteArrayInputStream;
using java::io::InputStream;
using javax::microedition::lcdui::Image;

namespace {

std::vector<uint8_t> solidPng(int width, int height, uint32_t rgb) {
    return testsupport::encodeRgbPng(width, height,
                                     std::vector<uint32_t>(static_cast<size_t>(width) * height, rgb));
}

std::vector<uint8_t> redJpeg() {
    testsupport::JpegSpec spec;
    spec.width = 2;
    spec.height = 1;
    spec.samples = {255, 0, 0, 255, 0, 0};
    return testsupport::encodeJpeg(spec);
}

JavaPtr<InputStream> streamOf(const std::vector<uint8_t>& bytes) {
    auto array = jnew<JArray<signed char>>(static_cast<int>(bytes.size()));
    if (!bytes.empty()) std::memcpy(array->data, bytes.data(), bytes.size());
    return jnew<ByteArrayInputStream>(array);
}

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ImageStream, ImagesFollowingEachOtherAreReadOneAtATime) {
    auto first = solidPng(3, 2, 0x112233), second = solidPng(1, 4, 0x445566);
    auto stream = streamOf(first + second + redJpeg());
    auto a = Image::createImage(stream);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->getWidth(), 3);
    EXPECT_EQ(stream->available(), static_cast<int>(second.size() + redJpeg().size()));
    auto b = Image::createImage(stream);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->getHeight(), 4);
    EXPECT_EQ(b->m_pixels[0], 0xFF665544u);
    // A JPEG takes the rest of the stream.
    auto c = Image::createImage(stream);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getWidth(), 2);
    EXPECT_EQ(stream->available(), 0);
    EXPECT_EQ(Image::createImage(stream), nullptr);
}

TEST(ImageStream, BitmapsAreConsumedButNotDecoded) {
    // An 8-bit bitmap 5 x 3: rows padded to 8 bytes, after 54 header bytes and a 1024-byte palette.
    std::vector<uint8_t> bitmap(54 + 1024 + 3 * 8, 0);
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    bitmap[18] = 5;
    bitmap[22] = 3;
    auto png = solidPng(2, 2, 0xABCDEF);
    auto stream = streamOf(bitmap + png);
    EXPECT_EQ(Image::createImage(stream), nullptr);
    EXPECT_EQ(stream->available(), static_cast<int>(png.size()));
    EXPECT_NE(Image::createImage(stream), nullptr);
}

TEST(ImageStream, CutShortOrOversizedStreamsGiveNullWithoutRunningOn) {
    testsupport::NoHangGuard guard;
    auto png = solidPng(4, 4, 0x808080);
    for (size_t length = 0; length < png.size(); ++length) {
        EXPECT_EQ(Image::createImage(streamOf(std::vector<uint8_t>(png.begin(), png.begin() + long(length)))),
                  nullptr)
            << length;
    }
    // A chunk that claims more than any image may take, and one beyond the format's limit.
    for (uint8_t top : {0x40, 0xFF}) {
        std::vector<uint8_t> huge(png.begin(), png.begin() + 8);
        huge.insert(huge.end(), {top, 0, 0, 0, 'I', 'D', 'A', 'T', 1, 2, 3});
        EXPECT_EQ(Image::createImage(streamOf(huge)), nullptr);
    }
    // A bitmap header claiming a vast picture.
    std::vector<uint8_t> bitmap(26, 0xFF);
    bitmap[0] = 'B';
    bitmap[1] = 'M';
    bitmap[21] = 0x7F;
    bitmap[25] = 0x7F;
    EXPECT_EQ(Image::createImage(streamOf(bitmap)), nullptr);
    EXPECT_EQ(Image::createImage(streamOf({'G', 'I', 'F', '8'})), nullptr);
    EXPECT_THROW(Image::createImage(JavaPtr<InputStream>()), java::lang::NullPointerException);
}

class ImageFile : public testsupport::FileFixture {};

// A PNG whose chunk after the header claims far more bytes than the file holds fails in every
// factory before the decoder buffers the claimed length (a 41-byte file once cost 2 GB).
TEST_F(ImageFile, ChunksClaimingMoreThanTheDataFailWithoutAllocatingTheClaim) {
    testsupport::NoHangGuard guard;
    const auto valid = solidPng(1, 1, 0x102030);
    const std::vector<uint8_t> header(valid.begin(), valid.begin() + 33);  // signature and IHDR
    for (const char* type : {"tEXt", "zTXt", "iTXt", "iCCP", "IDAT", "PLTE", "prVt"}) {
        for (uint32_t claimed : {0x7FFFFFF0u, 0x0FFFFFF0u}) {
            std::vector<uint8_t> file = header;
            file.insert(file.end(), {uint8_t(claimed >> 24), uint8_t(claimed >> 16), uint8_t(claimed >> 8),
                                     uint8_t(claimed)});
            file.insert(file.end(), type, type + 4);
            ASSERT_EQ(file.size(), 41u);
            const std::string label = std::string(type) + " claiming " + std::to_string(claimed);
            testsupport::writeTextFile(data() / "hostile.png", std::string(file.begin(), file.end()));
            auto array = jnew<JArray<signed char>>(static_cast<int>(file.size()));
            std::memcpy(array->data, file.data(), file.size());

            testsupport::LargestAllocationWatch watch;
            EXPECT_EQ(Image::createImage(array, 0, array->length), nullptr) << label;
            EXPECT_EQ(Image::createImage(streamOf(file)), nullptr) << label;
            EXPECT_THROW(Image::createImage(jnew<java::lang::String>("hostile.png")), java::io::IOException)
                << label;
            EXPECT_LT(watch.largest(), size_t{1} << 20) << label;
            if (testsupport::LargestAllocationWatch::kSeesAllocations) {
                EXPECT_TRUE(watch.seesAllocations()) << label;
            }
        }
    }
}

TEST_F(ImageFile, FilesAreReadWholeAndDecoded) {
    auto png = solidPng(3, 3, 0x0000FF);
    // Bundle resources named ".png" are stored as "_png".
    testsupport::writeTextFile(bundle() / "pictures" / "blue_png", std::string(png.begin(), png.end()));
    auto image = Image::createImage(jnew<java::lang::String>("/pictures/blue.png"));
    ASSERT_NE(image, nullptr);
    EXPECT_FALSE(image->isMutable());
    EXPECT_EQ(image->m_pixels[8], 0xFFFF0000u);

    auto jpeg = redJpeg();
    testsupport::writeTextFile(data() / "photo.jpg", std::string(jpeg.begin(), jpeg.end()));
    EXPECT_EQ(Image::createImage(jnew<java::lang::String>("photo.jpg"))->getWidth(), 2);
}

TEST_F(ImageFile, MissingEmptyAndUndecodableFilesThrow) {
    testsupport::writeTextFile(data() / "empty", "");
    testsupport::writeTextFile(data() / "text", "not a picture");
    for (const char* name : {"empty", "text", "missing", "/missing.png"}) {
        EXPECT_THROW(Image::createImage(jnew<java::lang::String>(name)), java::io::IOException) << name;
    }
    EXPECT_THROW(Image::createImage(JavaPtr<java::lang::String>()), java::lang::NullPointerException);
}

}  // namespace
