#include "graphics/BitmapFontSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "graphics/BitmapFontDecoder.h"
#include "platform/files/FileSystemPaths.h"
#include "tests/graphics/FontFixtures.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/TemporaryDirectory.h"

using javax::microedition::lcdui::BitmapFontDecoder;
using javax::microedition::lcdui::BitmapFontSystem;
using javax::microedition::lcdui::BitmapFontTables;
using namespace fontfixtures;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::BitmapFontSystem);

namespace {

using fonttools::EncodingSettings;
using fonttools::FontEncoding;

// The mask a glyph of the tiny font should unpack to: its rows at its offset in a width x 6 block,
// coverage kept at 8 bits per pixel, thresholded at 1.
std::vector<uint8_t> expectedGlyph(const fonttools::GlyphMask& glyph, int fontHeight, bool coverage) {
    std::vector<uint8_t> mask(static_cast<size_t>(glyph.width) * fontHeight, 0);
    for (int row = 0; row < glyph.height; ++row) {
        for (int x = 0; x < glyph.width; ++x) {
            uint8_t value = glyph.coverage[static_cast<size_t>(row) * glyph.width + x];
            if (!coverage) value = value >= fonttools::kOneBitThreshold ? 255 : 0;
            mask[static_cast<size_t>(row) * glyph.width + x] = value;
        }
    }
    return mask;
}

struct EncodingCase {
    const char* name;
    EncodingSettings settings;
    int expectedBpp;
};

class BitmapFontRoundTrip : public testing::TestWithParam<EncodingCase> {};

TEST_P(BitmapFontRoundTrip, GlyphsWidthsAndOffsetsSurviveWriteAndLoad) {
    const fonttools::FontDescription font = tinyFont();
    ASSERT_TRUE(loadFont(writeFont(font, GetParam().settings)));
    EXPECT_EQ(BitmapFontSystem::m_bpp->data[0], GetParam().expectedBpp);
    ASSERT_EQ(BitmapFontSystem::fontHeight(0), 6);
    for (const fonttools::GlyphMask& glyph : font.glyphs) {
        SCOPED_TRACE(static_cast<char>(glyph.code));
        int index = BitmapFontSystem::findGlyph(0, glyph.code);
        ASSERT_GE(index, 0);
        EXPECT_EQ(BitmapFontSystem::glyphWidth(0, index), glyph.width);
        EXPECT_EQ(BitmapFontSystem::glyphYOffset(0, index), glyph.yOffset);
        EXPECT_EQ(loadedGlyph(glyph.code), expectedGlyph(glyph, 6, GetParam().expectedBpp == 8));
    }
    int space = BitmapFontSystem::findGlyph(0, ' ');
    EXPECT_EQ(space, 3);
    EXPECT_EQ(BitmapFontSystem::glyphWidth(0, space), 2);
    EXPECT_EQ(BitmapFontSystem::findGlyph(0, 'C'), -1);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, BitmapFontRoundTrip,
    testing::Values(EncodingCase{"Plain", {FontEncoding::Plain, 0, 4}, 1},
                    EncodingCase{"Coverage", {FontEncoding::Coverage, 0, 8}, 8},
                    EncodingCase{"Version1FourBits", {FontEncoding::Custom, 1, 4}, 1},
                    EncodingCase{"Version0OneBit", {FontEncoding::Custom, 0, 1}, 1},
                    EncodingCase{"Version0SevenBits", {FontEncoding::Custom, 0, 7}, 1},
                    // Eight value bits under another version: (value, count) pairs, one bit per pixel.
                    EncodingCase{"Version2EightBits", {FontEncoding::Custom, 2, 8}, 1}),
    [](const testing::TestParamInfo<EncodingCase>& info) { return std::string(info.param.name); });

// A file without the marker (its first byte is some other value): 2 x 1 cells of 4 x 2 pixels, sheet
// values 0..15 coded as 4-bit runs.
ByteBuilder plainSheetFile() {
    ByteBuilder file;
    file.u8(0x3C).s16(8).s16(2).s16(2).s16(1);
    file.box(0, 0, 4, 2).box(4, 0, 4, 2);
    file.u8(0);
    // Row 0: 0 1 2 3 | 4 5 6 7; row 1: 8 9 10 11 | 12 13 14 0, each a run of one pixel.
    for (int value = 0; value < 15; ++value) file.u8(value << 4);
    file.u8(0x00);
    file.s16(2).u8(1).u8(3);
    file.s16('a').s16('b');
    return file;
}

TEST(BitmapFontSystem, PlainFileSetsEveryNonzeroValueAndReadsTheSpaceAdvanceAsSignedPlusUnsigned) {
    ASSERT_TRUE(loadFont(plainSheetFile().bytes));
    EXPECT_EQ(BitmapFontSystem::m_bpp->data[0], 1);
    EXPECT_EQ(loadedGlyph('a'), (std::vector<uint8_t>{0, 255, 255, 255, 255, 255, 255, 255}));
    EXPECT_EQ(loadedGlyph('b'), (std::vector<uint8_t>{255, 255, 255, 255, 255, 255, 255, 0}));
    EXPECT_EQ(BitmapFontSystem::glyphWidth(0, BitmapFontSystem::findGlyph(0, ' ')), 1 + 3);

    ByteBuilder negativeHigh = plainSheetFile();
    negativeHigh.bytes[negativeHigh.bytes.size() - 6] = 0xFF;
    negativeHigh.bytes[negativeHigh.bytes.size() - 5] = 0x05;
    ASSERT_TRUE(loadFont(negativeHigh.bytes));
    EXPECT_EQ(BitmapFontSystem::glyphWidth(0, BitmapFontSystem::findGlyph(0, ' ')), -1 + 5);
}

TEST(BitmapFontSystem, CoverageFileKeepsPairRunValuesAndSkipsItsPaddingByte) {
    ByteBuilder file;
    file.u8(0xBD).s16(0).u8(8).u8(0x77);  // marker, version 0, 8 value bits, padding
    file.s16(3).s16(1).s16(1).s16(1).box(0, 0, 3, 1).u8(0);
    file.u8(200).u8(1).u8(7).u8(0);  // 200 twice, then 7
    file.s16(1).u8(0).u8(4).s16('x');
    ASSERT_TRUE(loadFont(file.bytes));
    EXPECT_EQ(BitmapFontSystem::m_bpp->data[0], 8);
    EXPECT_EQ(loadedGlyph('x'), (std::vector<uint8_t>{200, 200, 7}));
}

TEST(BitmapFontSystem, CodesAreSortedAndTheCodeInsertedLastWins) {
    fonttools::FontDescription font;
    font.fontHeight = 2;
    font.spaceAdvance = 5;
    // Descending codes, 'm' twice, and a space in the list that the appended space hides.
    font.glyphs.push_back(glyphFromRows('z', 1, 0, {"#"}));
    font.glyphs.push_back(glyphFromRows('m', 2, 0, {"#"}));
    font.glyphs.push_back(glyphFromRows(' ', 3, 0, {"###"}));
    font.glyphs.push_back(glyphFromRows('m', 4, 0, {"#"}));
    font.glyphs.push_back(glyphFromRows('a', 5, 0, {"#"}));
    ASSERT_TRUE(loadFont(writeFont(font)));

    const JArray<int>& table = *BitmapFontSystem::m_charToIndex->data[0];
    ASSERT_EQ(table.length, 6);
    std::vector<std::pair<int, int>> entries;
    for (int entry : table) entries.emplace_back(entry & 0xFFFF, static_cast<uint32_t>(entry) >> 16);
    EXPECT_EQ(entries,
              (std::vector<std::pair<int, int>>{{' ', 5}, {' ', 2}, {'a', 4}, {'m', 3}, {'m', 1}, {'z', 0}}));
    EXPECT_EQ(BitmapFontSystem::findGlyph(0, 'm'), 3);
    EXPECT_EQ(BitmapFontSystem::findGlyph(0, ' '), 5);
    EXPECT_EQ(BitmapFontSystem::glyphWidth(0, 5), 5);
    EXPECT_EQ(loadedGlyph(' '), std::vector<uint8_t>(10, 0));
}

TEST(BitmapFontSystem, ShortBoxLeavesZeroRowsBelowAndItsOffsetPlacesItInItsCell) {
    // Two rows of cells, 4 pixels high; the second-row glyph's box starts one row into its cell.
    ByteBuilder file;
    file.u8(0).s16(2).s16(8).s16(1).s16(2);
    file.box(0, 0, 2, 4).box(0, 5, 2, 2);
    file.u8(0);
    file.u8(0xF7).u8(0x01).u8(0xF3).u8(0x01);  // rows 0-3 set, row 4 clear, rows 5-6 set, row 7 clear
    file.s16(2).u8(0).u8(3).s16('p').s16('q');
    ASSERT_TRUE(loadFont(file.bytes));
    int q = BitmapFontSystem::findGlyph(0, 'q');
    EXPECT_EQ(BitmapFontSystem::glyphYOffset(0, q), 1);
    EXPECT_EQ(loadedGlyph('q'), (std::vector<uint8_t>{255, 255, 255, 255, 0, 0, 0, 0}));
    EXPECT_EQ(loadedGlyph('p'), std::vector<uint8_t>(8, 255));
}

TEST(BitmapFontSystem, EveryTruncationOfAValidFileIsRejectedAndLeavesTheFontUnloaded) {
    for (EncodingSettings settings :
         {EncodingSettings{FontEncoding::Plain, 0, 4}, EncodingSettings{FontEncoding::Coverage, 0, 8},
          EncodingSettings{FontEncoding::Custom, 5, 8}}) {
        std::vector<uint8_t> bytes = writeFont(tinyFont(), settings);
        for (size_t length = 0; length < bytes.size(); ++length) {
            SCOPED_TRACE(length);
            ASSERT_TRUE(loadFont(bytes));
            std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length));
            EXPECT_FALSE(BitmapFontSystem::initFromData(cut.data(), cut.size()));
            EXPECT_FALSE(BitmapFontSystem::isLoaded());
            EXPECT_EQ(BitmapFontSystem::findGlyph(0, 'A'), -1);
        }
    }
}

// A valid one-cell font whose fields the corrupt cases below overwrite: 4 x 3 sheet, one 4 x 3 box.
struct CorruptCase {
    const char* name;
    std::vector<uint8_t> bytes;
    std::string reason;
};

std::vector<uint8_t> oneCellFont(int sheetWidth, int sheetHeight, int columns, int rows, std::vector<int> box,
                                 std::vector<uint8_t> runs, int count, int marker = -1, int valueBits = 4) {
    ByteBuilder file;
    file.u8(marker >= 0 ? marker : 0);
    if (marker == 0xBD) file.s16(1).u8(valueBits);
    file.s16(sheetWidth).s16(sheetHeight).s16(columns).s16(rows);
    for (int i = 0; i < std::max(0, columns * rows); ++i) file.box(box[0], box[1], box[2], box[3]);
    file.u8(0);
    for (uint8_t run : runs) file.u8(run);
    file.s16(count).u8(0).u8(2);
    for (int i = 0; i < std::max(0, count); ++i) file.s16('a' + i);
    return file.bytes;
}

TEST(BitmapFontSystem, CorruptFilesAreRejected) {
    const std::vector<uint8_t> fill12 = {0xFB};  // value 15, 12 pixels
    ASSERT_TRUE(loadFont(oneCellFont(4, 3, 1, 1, {0, 0, 4, 3}, fill12, 1)));

    const std::vector<CorruptCase> cases = {
        {"RunPastTheSheet", oneCellFont(4, 3, 1, 1, {0, 0, 4, 3}, {0xFA, 0xF1}, 1),
         "a run passes the end of the sheet"},
        {"BoxRightOfTheSheet", oneCellFont(4, 3, 1, 1, {1, 0, 4, 3}, fill12, 1),
         "glyph box outside the sheet"},
        {"BoxLeftOfTheSheet", oneCellFont(4, 3, 1, 1, {-1, 0, 4, 3}, fill12, 1),
         "glyph box outside the sheet"},
        {"BoxAboveTheSheet", oneCellFont(4, 3, 1, 1, {0, -1, 4, 2}, fill12, 1),
         "glyph box outside the sheet"},
        {"BoxWiderThan32", oneCellFont(40, 1, 1, 1, {0, 0, 33, 1}, {0xFF, 0xFF, 0xF7}, 1),
         "glyph box wider than 32 pixels"},
        {"BoxNegativeWidth", oneCellFont(4, 3, 1, 1, {0, 0, -4, 3}, fill12, 1), "glyph box of negative size"},
        {"BoxTallerThanTheFont", oneCellFont(4, 6, 1, 2, {0, 0, 4, 4}, {0xFB, 0xFB}, 1),
         "glyph box taller than the font"},
        {"NoRows", oneCellFont(4, 3, 1, 0, {0, 0, 4, 3}, fill12, 0), "no glyph cells"},
        {"NoColumns", oneCellFont(4, 3, 0, 1, {0, 0, 4, 3}, fill12, 0), "no glyph cells"},
        {"NegativeRows", oneCellFont(4, 3, 1, -1, {0, 0, 4, 3}, fill12, 0), "no glyph cells"},
        {"FontHeightZero", oneCellFont(4, 1, 1, 2, {0, 0, 0, 0}, {0xF3}, 0), "font height of 0"},
        {"NegativeSheetWidth", oneCellFont(-4, 3, 1, 1, {0, 0, 0, 0}, {}, 0), "negative sheet size"},
        {"MoreCharactersThanCells", oneCellFont(4, 3, 1, 1, {0, 0, 4, 3}, fill12, 2),
         "more characters than glyph cells"},
        {"NegativeCharacterCount", oneCellFont(4, 3, 1, 1, {0, 0, 4, 3}, fill12, -1),
         "negative character count"},
        {"ValueBitsNine", oneCellFont(4, 3, 1, 1, {0, 0, 4, 3}, fill12, 1, 0xBD, 9),
         "value bits outside 0 to 8"},
        {"ValueBitsNegative", oneCellFont(4, 3, 1, 1, {0, 0, 4, 3}, fill12, 1, 0xBD, 0xFF),
         "value bits outside 0 to 8"},
        // Cells the data could never describe, and a glyph table of gigabytes: refused before allocation.
        {"CellsBeyondTheData",
         ByteBuilder().u8(0).s16(4).s16(30000).s16(30000).s16(30000).box(0, 0, 4, 3).bytes,
         "truncated glyph boxes"},
        {"SheetBeyondTheData", oneCellFont(32000, 32000, 1, 1, {0, 0, 0, 0}, fill12, 0), "truncated sheet"},
        {"HugeGlyphTable", oneCellFont(1, 32000, 600, 1, {0, 0, 0, 0}, std::vector<uint8_t>(2000, 0x0F), 600),
         "glyph table too large"},
    };
    for (const CorruptCase& corrupt : cases) {
        SCOPED_TRACE(corrupt.name);
        BitmapFontTables tables;
        const char* reason = "";
        EXPECT_FALSE(BitmapFontDecoder::decode(corrupt.bytes.data(), corrupt.bytes.size(), &tables, &reason));
        EXPECT_EQ(std::string(reason), corrupt.reason);
        ASSERT_TRUE(loadFont(oneCellFont(4, 3, 1, 1, {0, 0, 4, 3}, fill12, 1)));
        EXPECT_FALSE(BitmapFontSystem::initFromData(corrupt.bytes.data(), corrupt.bytes.size()));
        EXPECT_FALSE(BitmapFontSystem::isLoaded());
        EXPECT_EQ(BitmapFontSystem::fontHeight(0), 0);
    }
}

TEST(BitmapFontSystem, ValueBitsZeroAndEmptyBoxesAnywhereAreAccepted) {
    // With 0 value bits every run is empty and up to 256 long; boxes without pixels are never copied,
    // so where they lie does not matter.
    for (std::vector<int> box : {std::vector<int>{500, -7, 4, 0}, std::vector<int>{500, -7, 0, 3}}) {
        std::vector<uint8_t> bytes = oneCellFont(4, 3, 1, 1, box, {11}, 1, 0xBD, 0);
        ASSERT_TRUE(loadFont(bytes));
        EXPECT_EQ(loadedGlyph('a'), std::vector<uint8_t>(static_cast<size_t>(box[2]) * 3, 0));
    }
}

TEST(BitmapFontSystem, BoxesOfCellsWithoutACharacterAreNotChecked) {
    // Two cells, one character: the second cell's box is never read, whatever it says; the same box
    // in the first cell is refused.
    auto twoCellFont = [](std::vector<int> first, std::vector<int> second) {
        ByteBuilder file;
        file.u8(0).s16(4).s16(3).s16(2).s16(1);
        file.box(first[0], first[1], first[2], first[3]).box(second[0], second[1], second[2], second[3]);
        file.u8(0).u8(0xFB);  // padding, then value 15 for all 12 pixels
        file.s16(1).u8(0).u8(2).s16('a');
        return file.bytes;
    };
    const std::vector<int> glyph = {0, 0, 2, 3};
    const std::vector<std::vector<int>> unread = {{3, 0, 4, 3}, {-5, -5, 2, 2}, {0, 0, 33, 3},
                                                  {0, 0, 2, 7}, {0, 0, -2, 3},  {0, 0, 2, -3}};
    for (const std::vector<int>& box : unread) {
        SCOPED_TRACE(testing::PrintToString(box));
        ASSERT_TRUE(loadFont(twoCellFont(glyph, box)));
        EXPECT_EQ(loadedGlyph('a'), std::vector<uint8_t>(6, 255));
        EXPECT_EQ(BitmapFontSystem::glyphWidth(0, BitmapFontSystem::findGlyph(0, 'a')), 2);
        BitmapFontTables tables;
        const char* reason = "";
        const std::vector<uint8_t> refused = twoCellFont(box, glyph);
        EXPECT_FALSE(BitmapFontDecoder::decode(refused.data(), refused.size(), &tables, &reason));
    }
}

TEST(BitmapFontSystem, StaticDestroyReleasesTheTablesForGood) {
    ASSERT_TRUE(loadFont(writeFont(tinyFont())));
    BitmapFontSystem::BitmapFontSystem_staticDestroy();
    EXPECT_TRUE(BitmapFontSystem::m_initialised);
    EXPECT_FALSE(BitmapFontSystem::isLoaded());
    EXPECT_EQ(BitmapFontSystem::findGlyph(0, 'A'), -1);
    EXPECT_EQ(BitmapFontSystem::fontHeight(0), 0);
    EXPECT_FALSE(BitmapFontSystem::m_packedPixelData);
}

TEST(BitmapFontSystem, InitLoadsTheBundleResourceOnceAndTriesAgainAfterAFailure) {
    testsupport::TemporaryDirectory bundle;
    struct RestorePaths {
        const char* bundle = _appPathIs;
        const char* data = _savePathIs;
        ~RestorePaths() {
            _appPathIs = bundle;
            _savePathIs = data;
        }
    } restore;
    platform::setFileSystemPaths(bundle.path().c_str(), bundle.path().c_str());
    const std::filesystem::path resource = bundle.path() / "tsbmpfnt";
    auto writeResource = [&](const std::vector<uint8_t>& bytes) {
        std::ofstream out(resource, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    std::vector<uint8_t> font = writeFont(tinyFont());
    ASSERT_FALSE(BitmapFontSystem::initFromData(font.data(), 0));

    EXPECT_FALSE(BitmapFontSystem::init());  // no resource
    writeResource({});
    EXPECT_FALSE(BitmapFontSystem::init());  // an empty one
    writeResource(std::vector<uint8_t>(font.begin(), font.end() - 3));
    EXPECT_FALSE(BitmapFontSystem::init());  // truncated: reported, not thrown
    EXPECT_FALSE(BitmapFontSystem::isLoaded());

    writeResource(font);
    EXPECT_TRUE(BitmapFontSystem::init());
    EXPECT_EQ(BitmapFontSystem::glyphWidth(0, BitmapFontSystem::findGlyph(0, 'B')), 5);
    std::filesystem::remove(resource);
    EXPECT_TRUE(BitmapFontSystem::init());  // loaded once, not read again
    EXPECT_TRUE(BitmapFontSystem::isLoaded());
}

TEST(BitmapFontDecoder, WriterRefusesWhatTheReaderWouldMisread) {
    std::string error;
    fonttools::FontDescription wide = tinyFont();
    wide.glyphs[0] = glyphFromRows('W', 33, 0, {"#"});
    EXPECT_TRUE(fonttools::writeBitmapFont(wide, {}, &error).empty());
    EXPECT_TRUE(fonttools::writeBitmapFont(tinyFont(), {FontEncoding::Custom, 0, 8}, &error).empty());
    EXPECT_TRUE(fonttools::writeBitmapFont(tinyFont(), {FontEncoding::Custom, 1, 0}, &error).empty());
    uint8_t high = 0;
    uint8_t low = 0;
    for (int advance : {-128, -1, 0, 127, 128, 255, 256, 382}) {
        ASSERT_TRUE(fonttools::encodeSpaceAdvance(advance, &high, &low));
        EXPECT_EQ(static_cast<int8_t>(high) + low, advance);
    }
    EXPECT_FALSE(fonttools::encodeSpaceAdvance(383, &high, &low));
    EXPECT_FALSE(fonttools::encodeSpaceAdvance(-129, &high, &low));
}

}  // namespace
