#include "platform/codecs/PngEncoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "platform/codecs/PngDecoder.h"
#include "platform/host/LaunchImage.h"
#include "tests/support/TemporaryDirectory.h"

namespace {

uint32_t pixelWord(uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
    uint32_t word;
    const uint8_t bytes[4] = {red, green, blue, alpha};
    std::memcpy(&word, bytes, 4);
    return word;
}

std::vector<uint32_t> decode(const std::vector<uint8_t>& png, int32_t& width, int32_t& height) {
    uint32_t* pixels = platform::decodePNG(png.data(), png.size(), &width, &height);
    std::vector<uint32_t> words;
    if (pixels != nullptr) words.assign(pixels, pixels + static_cast<size_t>(width) * height);
    std::free(pixels);
    return words;
}

TEST(PngEncoder, FramesReadBackWithTheirColoursAndFullAlpha) {
    // Three rows of two pixels, four words apart, with every kind of alpha.
    const std::vector<uint32_t> frame = {
        pixelWord(0, 0, 0, 0),    pixelWord(255, 255, 255, 0), 7, 7,
        pixelWord(1, 2, 3, 128),  pixelWord(250, 128, 4, 255), 7, 7,
        pixelWord(9, 200, 77, 1), pixelWord(30, 60, 90, 254),  7, 7,
    };
    int32_t width = 0;
    int32_t height = 0;
    const std::vector<uint32_t> decoded = decode(platform::encodePNG(frame.data(), 2, 3, 4), width, height);
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 3);
    const std::vector<uint32_t> expected = {
        pixelWord(0, 0, 0, 255),     pixelWord(255, 255, 255, 255), pixelWord(1, 2, 3, 255),
        pixelWord(250, 128, 4, 255), pixelWord(9, 200, 77, 255),    pixelWord(30, 60, 90, 255),
    };
    EXPECT_EQ(decoded, expected);
}

TEST(PngEncoder, NoFileForAFrameThatCannotBeEncoded) {
    testsupport::TemporaryDirectory directory;
    const std::vector<uint32_t> frame(4);
    EXPECT_TRUE(platform::encodePNG(nullptr, 2, 2, 2).empty());
    EXPECT_TRUE(platform::encodePNG(frame.data(), 2, 2, 1).empty());
    EXPECT_TRUE(platform::encodePNG(frame.data(), 0, 2, 2).empty());
    const std::string path = (directory.path() / "frame.png").string();
    std::string error;
    EXPECT_FALSE(platform::writePNGFile(path, frame.data(), 0, 2, 2, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(PngEncoder, AWrittenFileReplacesTheOldOneWhole) {
    testsupport::TemporaryDirectory directory;
    const std::string path = (directory.path() / "frame.png").string();
    testsupport::writeTextFile(path, "an older, longer file that is not a PNG at all");
    const std::vector<uint32_t> frame = {pixelWord(5, 6, 7, 255)};
    std::string error;
    ASSERT_TRUE(platform::writePNGFile(path, frame.data(), 1, 1, 1, error)) << error;
    const std::string bytes = testsupport::readTextFile(path);
    int32_t width = 0;
    int32_t height = 0;
    EXPECT_EQ(decode(std::vector<uint8_t>(bytes.begin(), bytes.end()), width, height), frame);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(LaunchImage, FoundUnderTheNamesTheBundleUses) {
    testsupport::TemporaryDirectory directory;
    auto writePicture = [&](const std::string& name, uint8_t red) {
        const uint32_t word = pixelWord(red, 0, 0, 255);
        const std::vector<uint8_t> png = platform::encodePNG(&word, 1, 1, 1);
        testsupport::writeTextFile(directory.path() / name, std::string(png.begin(), png.end()));
    };
    writePicture("Default@2x.png", 2);
    writePicture("Default.png", 1);
    writePicture("Default-Portrait.png", 3);
    testsupport::writeTextFile(directory.path() / "Broken.png", "not a picture");
    std::filesystem::create_directory(directory.path() / "Folder.png");
    struct Case {
        const char* name;
        const char* found;  // null: nothing
    };
    const Case cases[] = {
        {"Default", "Default@2x.png"},
        {"Default.png", "Default.png"},
        {"Default-Portrait.png", "Default-Portrait.png"},
        {"Default-Landscape.png", nullptr},
        {"Broken.png", nullptr},
        {"Broken", nullptr},
        {"Folder.png", nullptr},
        {"", nullptr},
    };
    for (const Case& c : cases) {
        const std::string path = c.name[0] == '\0' ? "" : (directory.path() / c.name).string();
        const auto image = platform::loadLaunchImage(path);
        if (c.found == nullptr) {
            EXPECT_FALSE(image.has_value()) << c.name;
            continue;
        }
        ASSERT_TRUE(image.has_value()) << c.name;
        EXPECT_EQ(image->path, (directory.path() / c.found).string()) << c.name;
        EXPECT_EQ(image->width, 1);
        EXPECT_EQ(image->pixels.size(), 1u);
    }
    std::filesystem::remove(directory.path() / "Default@2x.png");
    const auto plain = platform::loadLaunchImage((directory.path() / "Default").string());
    ASSERT_TRUE(plain.has_value());
    EXPECT_EQ(plain->pixels[0], pixelWord(1, 0, 0, 255)) << "without a high-resolution picture, Default.png";
}

}  // namespace
