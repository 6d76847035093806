#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

#include "platform/codecs/JpegDecoder.h"
#include "platform/codecs/PngDecoder.h"
#include "tests/support/EncodedImages.h"

namespace {

// The canvas and loading threads decode at the same time: each decode must keep to its own state.
TEST(ImageDecodeConcurrency, ThreadsDecodingAtOnceGetTheSinglyDecodedPixels) {
    constexpr int kSide = 24;
    std::vector<uint32_t> rgb;
    for (int i = 0; i < kSide * kSide; ++i) rgb.push_back(static_cast<uint32_t>(i * 2654435761u) & 0xFFFFFF);
    auto png = testsupport::encodeRgbPng(kSide, kSide, rgb, /*interlaced=*/true);
    auto jpeg = testsupport::encodeJpeg(testsupport::rgbJpegSpec(kSide, kSide, rgb));

    int width = 0, height = 0;
    int32_t* jpegReference = _decodeJPEGtoRGB(jpeg.data(), static_cast<int>(jpeg.size()), &width, &height);
    ASSERT_NE(jpegReference, nullptr);
    const size_t bytes = size_t{kSide} * kSide * 4;

    std::vector<int> mismatches(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 20; ++round) {
                int32_t w = 0, h = 0;
                uint32_t* p = platform::decodePNG(png.data(), png.size(), &w, &h);
                for (int i = 0; p != nullptr && i < kSide * kSide; ++i) {
                    uint8_t* bytesOf = reinterpret_cast<uint8_t*>(p + i);
                    uint32_t decoded = uint32_t(bytesOf[0]) << 16 | uint32_t(bytesOf[1]) << 8 | bytesOf[2];
                    if (decoded != rgb[i] || bytesOf[3] != 0xFF) ++mismatches[t];
                }
                if (p == nullptr) ++mismatches[t];
                std::free(p);
                int jw = 0, jh = 0;
                int32_t* j = _decodeJPEGtoRGB(jpeg.data(), static_cast<int>(jpeg.size()), &jw, &jh);
                if (j == nullptr || std::memcmp(j, jpegReference, bytes) != 0) ++mismatches[t];
                std::free(j);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    std::free(jpegReference);
    EXPECT_EQ(mismatches, std::vector<int>(4, 0));
}

}  // namespace
