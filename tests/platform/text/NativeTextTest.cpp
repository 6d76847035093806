#include "platform/text/NativeText.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TemporaryDirectory.h"

namespace {

constexpr int kSmall = 8;
constexpr int kMedium = 0;
constexpr int kLarge = 16;
constexpr int kBold = 1;
constexpr int kItalic = 2;

int widthOf(const std::u16string& text, int flags) {
    return _getNativeStringWidth(reinterpret_cast<const uint16_t*>(text.data()),
                                 static_cast<int>(text.size()), flags);
}

constexpr uint32_t kBackground = 0xFF000000u;
constexpr uint32_t kGuard = 0x5AFEC0DEu;

class NativeText : public ::testing::Test {
protected:
    void SetUp() override {
        platform::setNativeFontDirectory("/usr/share/fonts/truetype/dejavu");
        if (!_hasNativeFont(kMedium)) GTEST_SKIP() << "DejaVu Sans is not installed";
    }
    void TearDown() override { platform::setNativeFontDirectory("/usr/share/fonts/truetype/dejavu"); }
};

TEST_F(NativeText, HeightsAreStablePerSizeAndGrowWithIt) {
    const int small = _getNativeFontHeight(kSmall);
    const int medium = _getNativeFontHeight(kMedium);
    const int large = _getNativeFontHeight(kLarge);
    EXPECT_GT(small, 0);
    EXPECT_LT(small, medium);
    EXPECT_LT(medium, large);
    for (int style : {kBold, kItalic, kBold | kItalic, 4}) {
        EXPECT_EQ(_getNativeFontHeight(kSmall | style), small) << "style " << style;
        EXPECT_EQ(_getNativeFontHeight(kMedium | style), medium) << "style " << style;
    }
    EXPECT_EQ(_getNativeFontHeight(kLarge), large);
    EXPECT_EQ(_getNativeFontHeight(kMedium | 64 | 32), medium) << "the face bits change nothing";
}

TEST_F(NativeText, WidthsAddUpAndBoldWinsOverItalic) {
    EXPECT_EQ(widthOf(u"", kMedium), 0);
    const int plain = widthOf(u"Wallow", kMedium);
    EXPECT_GT(plain, 0);
    EXPECT_GT(widthOf(u"Wallow", kLarge), plain);
    EXPECT_EQ(widthOf(u"Wallow", kBold | kItalic), widthOf(u"Wallow", kBold));
    EXPECT_GT(widthOf(u"Wallow", kBold), plain);
    const int ab = widthOf(u"ab", kMedium);
    const int parts = widthOf(u"a", kMedium) + widthOf(u"b", kMedium);
    EXPECT_GE(ab, parts) << "each part loses less than a pixel to truncation";
    EXPECT_LE(ab, parts + 1);
}

TEST_F(NativeText, ASurrogatePairIsOneCharacterAndALoneHalfTheMissingGlyph) {
    const std::u16string pair = u"\U000F0000";  // private use: no font has it
    ASSERT_EQ(pair.size(), 2u);
    const std::u16string loneHigh(1, pair[0]);
    const std::u16string loneLow(1, pair[1]);
    const int missing = widthOf(loneHigh, kMedium);
    EXPECT_GT(missing, 0) << "a lone half draws the missing glyph, which has a width";
    EXPECT_EQ(widthOf(loneLow, kMedium), missing);
    // DejaVu has no glyph for the pair's character either: one missing glyph, not two.
    EXPECT_EQ(widthOf(pair, kMedium), missing);
    EXPECT_EQ(widthOf(loneLow + loneHigh, kMedium), 2 * missing) << "halves in the wrong order are two";
}

TEST_F(NativeText, DrawingStaysInsideTheClipAndTheBuffer) {
    constexpr int W = 40;
    constexpr int H = 30;
    struct Case {
        const char* name;
        int x, y, clipX, clipY, clipW, clipH;
    };
    const Case cases[] = {
        {"whole buffer", 2, 2, 0, 0, W, H},
        {"partly left and above the buffer", -7, -9, 0, 0, W, H},
        {"partly right and below the buffer", W - 12, H - 10, 0, 0, W, H},
        {"clip inside", 0, 0, 5, 4, 12, 9},
        {"clip beyond the buffer", -20, -20, -100, -100, 1000, 1000},
    };
    const std::u16string text = u"Wjg\u00c9Q\u00fd";
    for (const Case& c : cases) {
        std::vector<uint32_t> pixels(static_cast<size_t>(W) * H, kBackground);
        std::vector<uint32_t> guarded(pixels.size() + 2048, kGuard);
        uint32_t* buffer = guarded.data() + 1024;
        std::copy(pixels.begin(), pixels.end(), buffer);
        _renderNativeString(reinterpret_cast<const uint16_t*>(text.data()), static_cast<int>(text.size()),
                            buffer, W, H, c.x, c.y, 0xFFFFFF, kLarge | kBold, c.clipX, c.clipY, c.clipW,
                            c.clipH);
        int changed = 0;
        for (int y = 0; y < H; ++y) {
            for (int x = 0; x < W; ++x) {
                const uint32_t word = buffer[y * W + x];
                const bool inClip =
                    x >= c.clipX && y >= c.clipY && x < c.clipX + c.clipW && y < c.clipY + c.clipH;
                if (word == kBackground) continue;
                ++changed;
                EXPECT_TRUE(inClip) << c.name << ": pixel (" << x << ", " << y << ") outside the clip";
                // White over black: every channel alike, alpha kept.
                EXPECT_EQ(word >> 24, 0xFFu) << c.name;
                EXPECT_EQ(word & 0xFF, (word >> 8) & 0xFF) << c.name;
            }
        }
        EXPECT_GT(changed, 0) << c.name << ": some of the text is visible";
        for (size_t i = 0; i < 1024; ++i) {
            ASSERT_EQ(guarded[i], kGuard) << c.name << ": written before the buffer";
            ASSERT_EQ(guarded[1024 + pixels.size() + i], kGuard) << c.name << ": written after it";
        }
    }
}

TEST_F(NativeText, FullCoverageWritesTheColourAndANullBufferNothing) {
    constexpr int W = 30;
    constexpr int H = 30;
    std::vector<uint32_t> pixels(static_cast<size_t>(W) * H, 0x00FFFFFFu);
    const std::u16string text = u"\u2588";  // a full block: solid coverage inside
    _renderNativeString(reinterpret_cast<const uint16_t*>(text.data()), 1, pixels.data(), W, H, 2, 2,
                        0x123456, kLarge, 0, 0, W, H);
    int solid = 0;
    for (uint32_t word : pixels) solid += word == 0xFF563412u ? 1 : 0;
    EXPECT_GT(solid, 20) << "0x123456 as the pixel word 0xFF563412";
    _renderNativeString(reinterpret_cast<const uint16_t*>(text.data()), 1, nullptr, W, H, 0, 0, 0, kLarge, 0,
                        0, W, H);
}

TEST(NativeTextFiles, AMissingFontFileIsReportedOnceAndGivesNoFont) {
    testsupport::TemporaryDirectory empty;
    platform::setNativeFontDirectory(empty.path().string());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(_hasNativeFont(kMedium));
    EXPECT_EQ(_getNativeFontHeight(kMedium), 0);
    EXPECT_EQ(widthOf(u"abc", kMedium), 0);
    std::vector<uint32_t> pixels(16, 7u);
    _renderNativeString(reinterpret_cast<const uint16_t*>(u"abc"), 3, pixels.data(), 4, 4, 0, 0, 0xFFFFFF,
                        kMedium, 0, 0, 4, 4);
    const std::string messages = testing::internal::GetCapturedStderr();
    EXPECT_EQ(pixels, std::vector<uint32_t>(16, 7u));
    EXPECT_NE(messages.find("DejaVuSans.ttf"), std::string::npos) << messages;
    EXPECT_EQ(messages.find("DejaVuSans.ttf"), messages.rfind("DejaVuSans.ttf"))
        << "reported once: " << messages;
    platform::setNativeFontDirectory("/usr/share/fonts/truetype/dejavu");
}

TEST(NativeTextFiles, WithoutAnObliqueFaceItalicIsTheSlantedPlainFace) {
    const std::filesystem::path plain = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
    if (!std::filesystem::exists(plain)) GTEST_SKIP() << "DejaVu Sans is not installed";
    testsupport::TemporaryDirectory folder;
    std::filesystem::create_symlink(plain, folder.path() / "DejaVuSans.ttf");
    platform::setNativeFontDirectory(folder.path().string());
    ASSERT_TRUE(_hasNativeFont(kItalic));
    EXPECT_EQ(widthOf(u"Wallow", kItalic), widthOf(u"Wallow", kMedium)) << "slanting keeps the advances";

    // The slanted glyph of a vertical bar leans: its top row starts right of its bottom row.
    constexpr int W = 20;
    constexpr int H = 30;
    std::vector<uint32_t> pixels(static_cast<size_t>(W) * H, 0xFF000000u);
    _renderNativeString(reinterpret_cast<const uint16_t*>(u"|"), 1, pixels.data(), W, H, 4, 2, 0xFFFFFF,
                        kLarge | kItalic, 0, 0, W, H);
    int firstRow = -1;
    int lastRow = -1;
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            if (pixels[y * W + x] != 0xFF000000u) {
                if (firstRow < 0) firstRow = y;
                lastRow = y;
            }
    ASSERT_GE(firstRow, 0);
    auto leftmost = [&](int y) {
        for (int x = 0; x < W; ++x)
            if (pixels[y * W + x] != 0xFF000000u) return x;
        return W;
    };
    EXPECT_GT(leftmost(firstRow), leftmost(lastRow));
    platform::setNativeFontDirectory("/usr/share/fonts/truetype/dejavu");
}

}  // namespace
