// The resource writers refuse what the canvas's readers would refuse; what they accept is read back
// by the engine's resource and image tests.
#include <gtest/gtest.h>

#include "tools/ImageResourceWriter.h"
#include "tools/ResourceMapWriter.h"

namespace {

using restools::CellRect;
using restools::CellTable;
using restools::ImageResourceWriter;
using restools::PixelEncoding;
using restools::ResourceMapWriter;

TEST(ResourceMapWriter, RefusesMapsTheReaderCannotHold) {
    struct Case {
        const char* name;
        void (*fill)(ResourceMapWriter&);
    };
    const Case cases[] = {
        {"six languages",
         [](ResourceMapWriter& m) {
             m.setLanguages({"a", "b", "c", "d", "e", "f"});
         }},
        {"three-letter code", [](ResourceMapWriter& m) { m.setLanguages({"eng"}); }},
        {"pack 128", [](ResourceMapWriter& m) { m.addBlock(128); }},
        {"resource in an unknown block", [](ResourceMapWriter& m) { m.addPackedResource(0, {1}); }},
        {"resource in a block of no pack",
         [](ResourceMapWriter& m) { m.addPackedResource(m.addBlock(-1), {1}); }},
        {"129 blocks",
         [](ResourceMapWriter& m) {
             for (int i = 0; i < 129; ++i) m.addBlock(0);
         }},
        {"256 key mappings",
         [](ResourceMapWriter& m) {
             for (int i = 0; i < 256; ++i) m.addKeyMapping(1, 1);
         }},
        {"256 menus",
         [](ResourceMapWriter& m) {
             for (int i = 0; i < 256; ++i) m.addMenuDefinition({});
         }},
    };
    for (const Case& c : cases) {
        ResourceMapWriter map;
        c.fill(map);
        std::string error;
        EXPECT_TRUE(map.build(&error).empty()) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
    }
}

TEST(ResourceMapWriter, LaysBlocksOutInTheirPacksInOrder) {
    ResourceMapWriter map;
    int b0 = map.addBlock(1);
    int b1 = map.addBlock(0);
    int b2 = map.addBlock(1);
    map.addPackedResource(b2, {3, 3});
    map.addPackedResource(b0, {1});
    map.addPackedResource(b1, {2});
    map.addPackedResource(b0, {4});
    std::string error;
    auto files = map.build(&error);
    ASSERT_FALSE(files.empty()) << error;
    EXPECT_EQ(files.at("pk0"), (std::vector<uint8_t>{2}));
    EXPECT_EQ(files.at("pk1"), (std::vector<uint8_t>{1, 4, 3, 3}));
    const std::vector<uint8_t>& m = files.at("resmap");
    // Block 2: pack 1, offset 2, length 2.
    EXPECT_EQ(std::vector<uint8_t>(m.begin() + 16 + 18, m.begin() + 16 + 27),
              (std::vector<uint8_t>{1, 0, 0, 0, 2, 0, 0, 0, 2}));
    EXPECT_EQ(files.count("ur0"), 0u);
}

TEST(ImageResourceWriter, RefusesImagesTheLoaderRejects) {
    CellTable outside{1, 1, {{0, 0, 3, 1}}};
    CellTable miscounted{2, 1, {{0, 0, 1, 1}}};
    CellTable noCells{0, 1, {}};
    std::vector<uint8_t> four(4, 0);
    std::string error;
    EXPECT_TRUE(ImageResourceWriter::indexed(0, 4, {}, 2, PixelEncoding::Plain, nullptr, &error).empty());
    EXPECT_TRUE(ImageResourceWriter::indexed(-2, 2, four, 2, PixelEncoding::Plain, nullptr, &error).empty());
    EXPECT_TRUE(
        ImageResourceWriter::indexed(8193, 8193, {}, 2, PixelEncoding::Plain, nullptr, &error).empty());
    EXPECT_TRUE(
        ImageResourceWriter::indexed(2, 2, {0, 0, 0}, 2, PixelEncoding::Plain, nullptr, &error).empty());
    EXPECT_TRUE(ImageResourceWriter::indexed(2, 2, {0, 0, 0, 2}, 2, PixelEncoding::RunLength, nullptr, &error)
                    .empty());
    EXPECT_TRUE(ImageResourceWriter::indexed(2, 2, four, 2, PixelEncoding::Plain, &outside, &error).empty());
    EXPECT_TRUE(
        ImageResourceWriter::indexed(2, 2, four, 2, PixelEncoding::Plain, &miscounted, &error).empty());
    EXPECT_TRUE(ImageResourceWriter::indexed(2, 2, four, 2, PixelEncoding::Plain, &noCells, &error).empty());
    EXPECT_TRUE(
        ImageResourceWriter::fullColour(2, 2, {1, 2, 3}, PixelEncoding::Plain, nullptr, &error).empty());
    EXPECT_TRUE(ImageResourceWriter::paletteIdat(2, 2, four, 0, nullptr, &error).empty());
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(ImageResourceWriter::indexed(2, 2, four, 2, PixelEncoding::Plain, nullptr, &error).empty());
}

TEST(ImageResourceWriter, EncodesRunsAndPackedIndices) {
    std::string error;
    // Two colours: 1-bit indices, runs of up to 128 in one byte, plain bits first pixel lowest.
    std::vector<uint8_t> indices{1, 1, 1, 1, 1, 1, 0, 1};
    EXPECT_EQ(ImageResourceWriter::indexed(8, 1, indices, 2, PixelEncoding::RunLength, nullptr, &error),
              (std::vector<uint8_t>{2, 0, 8, 0, 1, 0, 0x85, 0x00, 0x80}));
    EXPECT_EQ(ImageResourceWriter::indexed(8, 1, indices, 2, PixelEncoding::Plain, nullptr, &error),
              (std::vector<uint8_t>{2, 0, 8, 0, 1, 1, 0xBF}));
    // Full colour runs stop at 256 pixels.
    std::vector<uint32_t> grey(300, 0xFF102030u);
    std::vector<uint8_t> runs =
        ImageResourceWriter::fullColour(300, 1, grey, PixelEncoding::RunLength, nullptr, &error);
    EXPECT_EQ(runs, (std::vector<uint8_t>{66, 1, 44, 0, 1, 0, 0xFF, 0x10, 0x20, 0x30, 255, 0xFF, 0x10, 0x20,
                                          0x30, 43}));
}

}  // namespace
