// Bundle files that lie about their sizes: each is refused in its reader's failure form, and what it
// costs is bounded by the bytes it holds, never by the size it declares. Images are also bounded by the
// largest picture a screen can show.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "runtime/IOException.h"
#include "tests/engine/ResourceFixtures.h"
#include "tests/support/LargestAllocationWatch.h"
#include "tools/ImageResourceWriter.h"

namespace enginetest {
namespace {

using restools::ImageResourceWriter;
using restools::PixelEncoding;
using testsupport::LargestAllocationWatch;

// One mapping record: owner (pack or block, -1 none), offset, length.
struct Record {
    int owner;
    uint32_t index;
    uint32_t length;
};

void putU32(Bytes& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

// A resource map written byte by byte, so that its records may claim what no writer would write.
Bytes mapOf(int packs, const std::vector<Record>& blocks, const std::vector<Record>& resources,
            uint32_t resourceCount) {
    Bytes map{static_cast<uint8_t>(packs), static_cast<uint8_t>(blocks.size())};
    putU32(map, resourceCount);
    map.insert(map.end(), {'e', 'n', 0, 0, 0, 0, 0, 0, 0, 0});
    for (const auto* table : {&blocks, &resources}) {
        for (const Record& r : *table) {
            map.push_back(static_cast<uint8_t>(r.owner));
            putU32(map, r.index);
            putU32(map, r.length);
        }
    }
    map.insert(map.end(), {0, 0});  // no key mappings, no menus
    return map;
}

Bytes mapOf(int packs, const std::vector<Record>& blocks, const std::vector<Record>& resources) {
    return mapOf(packs, blocks, resources, static_cast<uint32_t>(resources.size()));
}

// Loose resources 0 and 1 of exactly these bytes: an image and its palette.
std::map<std::string, Bytes> looseImage(const Bytes& image, const Bytes& palette = {}) {
    return {{"resmap", mapOf(0, {},
                             {{-1, 0, static_cast<uint32_t>(image.size())},
                              {-1, 0, static_cast<uint32_t>(palette.size())}})},
            {"ur0", image},
            {"ur1", palette}};
}

Bytes imageHeader(int format, int width, int height) {
    return {static_cast<uint8_t>(format), static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(width),
            static_cast<uint8_t>(height >> 8), static_cast<uint8_t>(height)};
}

// Full-colour run-length pixel data of width x height in whole runs of 256, the last one shorter.
Bytes fullColourRuns(int width, int height, int64_t dataRecords = -1) {
    Bytes image =
        imageHeader(HookCanvas::IMAGEFORMAT_ENCODEDPIXELDATA_NOPALETTE | HookCanvas::IMAGEFORMAT_FULLCOLOUR,
                    width, height);
    image.push_back(0);  // run-length
    int64_t left = int64_t{width} * height;
    for (int64_t r = 0; left > 0 && r != dataRecords; ++r) {
        const int64_t run = std::min<int64_t>(left, 256);
        image.insert(image.end(), {0xFF, 0x10, 0x20, 0x30, static_cast<uint8_t>(run - 1)});
        left -= run;
    }
    return image;
}

Bytes seventeenColours() {
    Bytes palette;
    for (int i = 0; i < 17; ++i) putU32(palette, 0xFF000000u | static_cast<uint32_t>(i));
    return palette;
}

enum class Reader { Map, Loose, Pack, Language, Image };

class HostileBundle : public ResourceFixture {};

constexpr size_t kReaderSlack = 64 * 1024;

TEST_F(HostileBundle, DeclaredSizesAreRefusedForTheCostOfTheBytesHeld) {
    const Bytes tenBytes(10, 0x55);
    // A valid 8-bit indexed image of 8192 x 8192 in 512 KB: runs of 256 pixels, two bytes each.
    Bytes huge = imageHeader(HookCanvas::IMAGEFORMAT_ENCODEDPIXELDATA_NOPALETTE, 8192, 8192);
    huge.push_back(0);
    for (int r = 0; r < 8192 * 8192 / 256; ++r) huge.insert(huge.end(), {7, 0xFF});
    // A PNG signature and header chunk declaring 8192 x 8192, and nothing after them.
    const Bytes bigPng{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0,
                       0x20, 0,   0,   0,   0x20, 0,    0,    8,    6, 0, 0, 0,  0,   0,   0,   0};
    Bytes widestPng = bigPng;
    std::fill(widestPng.begin() + 16, widestPng.begin() + 24, 0xFF);
    Bytes indexedShort = imageHeader(HookCanvas::IMAGEFORMAT_ENCODEDPIXELDATA_NOPALETTE, 1024, 1024);
    indexedShort.insert(indexedShort.end(), 11, 1);  // plain encoding byte and 10 bytes of indices

    struct Case {
        const char* name;
        Reader reader;
        std::map<std::string, Bytes> files;
    };
    const Case cases[] = {
        {"a map counting 2^32 - 1 resources in 18 bytes",
         Reader::Map,
         {{"resmap", mapOf(0, {}, {}, 0xFFFFFFFFu)}}},
        {"a loose resource claiming 2 GB in 10 bytes",
         Reader::Loose,
         {{"resmap", mapOf(0, {}, {{-1, 0, 0x7FFFFFF0u}})}, {"ur0", tenBytes}}},
        {"a loose resource claiming one byte more than its file",
         Reader::Loose,
         {{"resmap", mapOf(0, {}, {{-1, 0, 11}})}, {"ur0", tenBytes}}},
        {"a pack block claiming 2 GB in a 10-byte pack",
         Reader::Pack,
         {{"resmap", mapOf(1, {{0, 0, 0x7FFFFFF0u}}, {{0, 0, 10}})}, {"pk0", tenBytes}}},
        {"a pack block placed 2 GB into a 10-byte pack",
         Reader::Pack,
         {{"resmap", mapOf(1, {{0, 0x7FFFFF00u, 16}}, {{0, 0, 10}})}, {"pk0", tenBytes}}},
        {"a language table counting 32767 ids in 2 bytes",
         Reader::Language,
         {{"resmap", mapOf(0, {}, {})}, {"en", {0x7F, 0xFF}}}},
        {"a language entry of 65535 characters in 8 bytes",
         Reader::Language,
         {{"resmap", mapOf(0, {}, {})}, {"en", {0x00, 0x01, 0x02, 0xFF, 0xFF, 0x00, 'a', 0x00}}}},
        {"a full-colour 8192 x 8192 header in 10 bytes", Reader::Image,
         looseImage(Bytes{2 | 64, 0x20, 0, 0x20, 0, 1, 0, 0, 0, 0})},
        {"a valid run-length image of 8192 x 8192", Reader::Image, looseImage(huge, seventeenColours())},
        {"a whole run-length image one column wider than the limit", Reader::Image,
         looseImage(fullColourRuns(1025, 1024))},
        {"a run-length image of 1024 x 1024 with two runs", Reader::Image,
         looseImage(fullColourRuns(1024, 1024, 2))},
        {"an indexed image of 1024 x 1024 with 10 bytes of indices", Reader::Image,
         looseImage(indexedShort, seventeenColours())},
        {"a PNG declaring 8192 x 8192", Reader::Image, looseImage(bigPng)},
        {"a PNG declaring 2^32 - 1 x 2^32 - 1", Reader::Image, looseImage(widestPng)},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const auto& [name, bytes] : c.files) writeFile(name, bytes);
        LargestAllocationWatch watch;
        if (c.reader == Reader::Map) {
            EXPECT_THROW(canvas->initTessel(), java::io::IOException);
        } else {
            canvas->initTessel();
        }
        switch (c.reader) {
            case Reader::Map:
                break;
            case Reader::Loose:
                EXPECT_FALSE(canvas->getResourceByteArray(0));
                break;
            case Reader::Pack:
                canvas->loadResourceBlock(0);
                EXPECT_FALSE(HookCanvas::resource_packs->data[0]);
                EXPECT_FALSE(canvas->getResourceByteArray(0));
                break;
            case Reader::Language:
                canvas->loadLanguage(0);
                EXPECT_FALSE(HookCanvas::enc_strings);
                break;
            case Reader::Image:
                EXPECT_EQ(canvas->loadImageID(0, -1, HookCanvas::LOADIMAGETRANSFORM_NONE, false), -1);
                EXPECT_EQ(slotsInUse(), 0);
                break;
        }
        // What a row may cost is what its files hold, and a little for the readers' own buffers.
        size_t held = 0;
        for (const auto& [name, bytes] : c.files) held += bytes.size();
        EXPECT_LT(watch.largest(), held + kReaderSlack);
        if (LargestAllocationWatch::kSeesAllocations) {
            EXPECT_TRUE(watch.seesAllocations());
            EXPECT_GT(watch.largest(), 0u);
        }
        for (const auto& [name, bytes] : c.files) std::filesystem::remove(bundle.path() / name);
    }
}

// The limit is a picture of 1024 x 1024 pixels, whatever its shape; the writer refuses what the reader
// refuses.
TEST_F(HostileBundle, ImagesUpTo1024By1024PixelsLoadAndLargerOnesAreRefused) {
    struct Case {
        int width, height;
        bool loads;
    };
    const Case cases[] = {
        {1024, 1024, true}, {64, 16384, true}, {1025, 1024, false}, {1024, 1025, false}, {2048, 600, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height));
        writeFile("resmap", looseImage(fullColourRuns(c.width, c.height)).at("resmap"));
        writeFile("ur0", fullColourRuns(c.width, c.height));
        canvas->initTessel();
        const int id = canvas->loadImageID(0, -1, HookCanvas::LOADIMAGETRANSFORM_NONE, false);
        if (c.loads) {
            ASSERT_GE(id, 0);
            EXPECT_EQ(canvas->getImageDimension(id, 0, 0, HookCanvas::IMAGEDIMENSION_WIDTH), c.width);
            EXPECT_EQ(canvas->image_cache->data[id]->data[0]->getHeight(), c.height);
            canvas->unloadImageID(id);
        } else {
            EXPECT_EQ(id, -1);
        }
        std::string error;
        const std::vector<uint32_t> pixels(static_cast<size_t>(c.width) * c.height, 0xFF000000u);
        EXPECT_EQ(ImageResourceWriter::fullColour(c.width, c.height, pixels, PixelEncoding::RunLength,
                                                  nullptr, &error)
                      .empty(),
                  !c.loads);
    }
}

}  // namespace
}  // namespace enginetest
