// Image resources in every format and encoding, written with the image writer, loaded into the cache
// and read back as pixels; slot reuse; corrupt and truncated images answer -1 and leave their slot free.
#include <gtest/gtest.h>
#include <png.h>

#include <random>

#include "library/PrintStream.h"
#include "library/System.h"
#include "tests/engine/ResourceFixtures.h"
#include "tools/ImageResourceWriter.h"

namespace enginetest {
namespace {

using restools::CellRect;
using restools::CellTable;
using restools::ImageResourceWriter;
using restools::PixelEncoding;
using restools::ResourceMapWriter;

class ImageResource : public ResourceFixture {
protected:
    JavaPtr<Image> imageIn(int slot, int cell = 0) {
        if (slot < 0 || !canvas->image_cache->data[slot]) return nullptr;
        return canvas->image_cache->data[slot]->data[cell];
    }
};

// A compressed RGBA PNG from libpng's own writer, the shape a plain PNG resource has.
Bytes compressedPng(int width, int height, const std::vector<uint32_t>& argb) {
    Bytes rgba;
    for (uint32_t c : argb)
        rgba.insert(rgba.end(), {uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c), uint8_t(c >> 24)});
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGBA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, rgba.data(), 0, nullptr));
    Bytes png(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, png.data(), &size, 0, rgba.data(), 0, nullptr));
    png.resize(size);
    return png;
}

std::vector<uint32_t> randomColours(std::mt19937& random, size_t count) {
    std::vector<uint32_t> colours(count);
    // Alpha 0xFF, 0x80 or 0 in turn, so opaque, translucent and clear colours are all seen.
    static constexpr uint32_t kAlphas[3] = {0xFF000000u, 0x80000000u, 0};
    for (size_t i = 0; i < count; ++i) colours[i] = kAlphas[random() % 3] | (random() & 0xFFFFFF);
    return colours;
}

// Pixels as the image holds them: a fully clear pixel has no colour worth comparing.
std::vector<uint32_t> visible(std::vector<uint32_t> argb) {
    for (uint32_t& c : argb) {
        if ((c >> 24) == 0) c = 0;
    }
    return argb;
}

TEST_F(ImageResource, EveryFormatAndEncodingDecodesToItsPixels) {
    std::mt19937 random(107);
    const int width = 13, height = 6;
    std::string error;
    struct Case {
        std::string name;
        Bytes resource;
        Bytes palette;  // empty: none
        std::vector<uint32_t> expected;
    };
    std::vector<Case> cases;
    for (int colours : {2, 3, 4, 16, 17, 256}) {
        std::vector<uint32_t> palette = randomColours(random, colours);
        std::vector<uint8_t> indices(width * height);
        // Runs of a few pixels, so run-length data has runs to find.
        for (size_t i = 0; i < indices.size(); ++i)
            indices[i] = i % 3 == 0 ? static_cast<uint8_t>(random() % colours) : indices[i - 1];
        std::vector<uint32_t> expected;
        for (uint8_t i : indices) expected.push_back(palette[i]);
        for (PixelEncoding encoding : {PixelEncoding::RunLength, PixelEncoding::Plain}) {
            cases.push_back(
                {std::to_string(colours) + " colours " + (encoding == PixelEncoding::Plain ? "plain" : "rle"),
                 ImageResourceWriter::indexed(width, height, indices, colours, encoding, nullptr, &error),
                 ImageResourceWriter::palette(palette), expected});
        }
        cases.push_back({std::to_string(colours) + " colours as IDAT contents",
                         ImageResourceWriter::paletteIdat(width, height, indices, colours, nullptr, &error),
                         ImageResourceWriter::palette(palette), expected});
    }
    std::vector<uint32_t> colours = randomColours(random, width * height);
    for (size_t i = 1; i < colours.size(); i += 2) colours[i] = colours[i - 1];
    for (PixelEncoding encoding : {PixelEncoding::RunLength, PixelEncoding::Plain}) {
        cases.push_back({std::string("full colour ") + (encoding == PixelEncoding::Plain ? "plain" : "rle"),
                         ImageResourceWriter::fullColour(width, height, colours, encoding, nullptr, &error),
                         {},
                         colours});
    }
    Bytes png = compressedPng(width, height, colours);
    cases.push_back({"plain PNG", ImageResourceWriter::plainPng(png), {}, colours});
    cases.push_back({"PNG after a 0 byte", ImageResourceWriter::pngAfterZeroByte(png), {}, colours});
    // The header's sizes (the width patched to 1) give way to the decoded ones.
    CellTable whole{1, 1, {{0, 0, width, height}}};
    Bytes behindHeader = ImageResourceWriter::pngWithHeader(png, width, height, &whole, &error);
    if (!behindHeader.empty()) behindHeader[2] = 1;
    cases.push_back({"PNG behind a header", behindHeader, {}, colours});

    ResourceMapWriter map;
    std::vector<int> ids;
    for (const Case& c : cases) {
        ASSERT_FALSE(c.resource.empty()) << c.name << ": " << error;
        ids.push_back(map.addLooseResource(c.resource));
        map.addLooseResource(c.palette);
        if (c.palette.empty())
            std::filesystem::remove(bundle.path() / ("ur" + std::to_string(ids.back() + 1)));
    }
    install(map);
    for (const Case& c : cases) {
        if (c.palette.empty())
            std::filesystem::remove(bundle.path() / ("ur" + std::to_string(ids[&c - &cases[0]] + 1)));
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        int slot = canvas->loadImageID(ids[i], -1, HookCanvas::LOADIMAGETRANSFORM_NONE, false);
        JavaPtr<Image> image = imageIn(slot);
        ASSERT_TRUE(image) << cases[i].name;
        EXPECT_EQ(canvas->getImageDimension(slot, 0, 0, HookCanvas::IMAGEDIMENSION_WIDTH), width)
            << cases[i].name;
        EXPECT_EQ(canvas->getImageDimension(slot, 0, 0, HookCanvas::IMAGEDIMENSION_HEIGHT), height)
            << cases[i].name;
        EXPECT_EQ(visible(pixelsOf(image)), visible(cases[i].expected)) << cases[i].name;
    }
}

TEST_F(ImageResource, RunsAndPackedIndicesDecodeAsDocumented) {
    struct Case {
        const char* name;
        Bytes data;  // encoding byte first
        int colours;
        int pixels;
        Bytes expected;
    };
    const Case cases[] = {
        {"1-bit run", {0, 0x85, 0x00}, 2, 7, {1, 1, 1, 1, 1, 1, 0}},
        {"1-bit plain", {1, 0x05}, 2, 8, {1, 0, 1, 0, 0, 0, 0, 0}},
        {"2-bit plain", {1, 0xE4}, 4, 4, {0, 1, 2, 3}},
        {"4-bit run", {0, 0x3F}, 16, 16, Bytes(16, 3)},
        {"8-bit run", {0, 7, 0xFF}, 17, 256, Bytes(256, 7)},
        {"last run clipped", {0, 2, 9}, 200, 4, Bytes(4, 2)},
    };
    for (const Case& c : cases) {
        Bytes out = toBytes(canvas->decodeImage(toArray(c.data), 0, c.pixels, 1, c.colours));
        EXPECT_EQ(out, c.expected) << c.name;
    }
    EXPECT_EQ(toBytes(canvas->decodeImage(toArray({9, 0, 0xFF, 0x10, 0x20, 0x30, 2}), 1, 3, 1)),
              (Bytes{0xFF, 0x10, 0x20, 0x30, 0xFF, 0x10, 0x20, 0x30, 0xFF, 0x10, 0x20, 0x30}));
    // Data that ends before the last pixel decodes to nothing.
    EXPECT_FALSE(canvas->decodeImage(toArray({0, 0x81}), 0, 3, 1, 2));
    EXPECT_FALSE(canvas->decodeImage(toArray({1, 0xFF, 1, 2}), 0, 1, 1));
    EXPECT_FALSE(canvas->decodeImage(toArray({0, 0xFF, 1, 2, 3, 0}), 0, 2, 1));
    EXPECT_FALSE(canvas->decodeImage(toArray({1, 0xFF}), 0, 9, 1, 16));
}

TEST_F(ImageResource, SlotsAreKeyedByResourceAndPalettes) {
    std::string error;
    std::vector<uint8_t> indices{0, 1, 2, 1};
    ResourceMapWriter map;
    int image = map.addLooseResource(
        ImageResourceWriter::indexed(2, 2, indices, 3, PixelEncoding::Plain, nullptr, &error));
    int first = map.addLooseResource(ImageResourceWriter::palette({0xFF000001, 0xFF000002, 0xFF000003}));
    int second = map.addLooseResource(ImageResourceWriter::palette({0xFF0000AA}));
    int missing = map.addLooseResource({});
    install(map);
    std::filesystem::remove(bundle.path() / ("ur" + std::to_string(missing)));

    int a = canvas->loadImageID(image, -1, HookCanvas::LOADIMAGETRANSFORM_NONE, false);
    EXPECT_EQ(canvas->loadImageID(image, first, first, HookCanvas::LOADIMAGETRANSFORM_NONE, false), a);
    EXPECT_EQ(canvas->image_keys->data[2 * a + 1], first << 16 | first);
    int b = canvas->loadImageID(image, -1, second, HookCanvas::LOADIMAGETRANSFORM_NONE, false);
    EXPECT_NE(b, a);
    // The second palette replaces the leading colours; the first supplies the rest.
    EXPECT_EQ(pixelsOf(imageIn(b)), (std::vector<uint32_t>{0xFF0000AA, 0xFF000002, 0xFF000003, 0xFF000002}));
    // A second palette that names no resource leaves the first alone.
    int c = canvas->loadImageID(image, -1, missing, HookCanvas::LOADIMAGETRANSFORM_NONE, false);
    EXPECT_EQ(pixelsOf(imageIn(c)), pixelsOf(imageIn(a)));
    EXPECT_EQ(canvas->currentImageTransforms(a), 0xFF);

    // After an unload the lowest free slot is taken again, by any resource.
    canvas->unloadImageID(a);
    EXPECT_EQ(canvas->currentImageTransforms(a), 0);
    EXPECT_FALSE(canvas->image_cache->data[a]);
    EXPECT_EQ(canvas->loadImageID(image, -1, second, HookCanvas::LOADIMAGETRANSFORM_NONE, false), b);
    EXPECT_EQ(canvas->loadImageID(image, first, HookCanvas::LOADIMAGETRANSFORM_NONE, false), a);

    // getImage hands out the Image and frees the slot it used, even one loaded before under its key.
    JavaPtr<Image> held = imageIn(b);
    JavaPtr<Image> got = canvas->getImage(image, -1, second, 0);
    ASSERT_TRUE(got);
    EXPECT_EQ(got.get(), held.get());
    EXPECT_FALSE(canvas->image_cache->data[b]);
    EXPECT_EQ(pixelsOf(got), (std::vector<uint32_t>{0xFF0000AA, 0xFF000002, 0xFF000003, 0xFF000002}));
}

TEST_F(ImageResource, MissingPaletteDecodesAsFullColourAndIndicesBeyondItAreClear) {
    std::string error;
    std::vector<uint32_t> colours{0xFF112233, 0x80445566};
    Bytes fullColour = ImageResourceWriter::fullColour(2, 1, colours, PixelEncoding::Plain, nullptr, &error);
    fullColour[0] &= static_cast<uint8_t>(~HookCanvas::IMAGEFORMAT_FULLCOLOUR);
    ResourceMapWriter map;
    int noPalette = map.addLooseResource(fullColour);
    int gap = map.addLooseResource({});
    // Indices 0 to 3 written for a palette of 4, then loaded with a palette of 3 (also 2-bit indices).
    int image = map.addLooseResource(
        ImageResourceWriter::indexed(4, 1, {0, 1, 2, 3}, 4, PixelEncoding::Plain, nullptr, &error));
    int palette = map.addLooseResource(ImageResourceWriter::palette({0xFF0000FF, 0xFF00FF00, 0xFFFF0000}));
    int idat = map.addLooseResource(ImageResourceWriter::paletteIdat(4, 1, {0, 1, 2, 3}, 4, nullptr, &error));
    int idatPalette = map.addLooseResource(ImageResourceWriter::palette({0xFF0000FF, 0xFF00FF00}));
    install(map);
    std::filesystem::remove(bundle.path() / ("ur" + std::to_string(gap)));
    (void)palette;
    (void)idatPalette;

    EXPECT_EQ(pixelsOf(imageIn(canvas->loadImageID(noPalette, -1, 1, false))), colours);
    EXPECT_EQ(visible(pixelsOf(imageIn(canvas->loadImageID(image, -1, 1, false)))),
              (std::vector<uint32_t>{0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0}));
    EXPECT_EQ(visible(pixelsOf(imageIn(canvas->loadImageID(idat, -1, 1, false)))),
              (std::vector<uint32_t>{0xFF0000FF, 0xFF00FF00, 0, 0}));
}

TEST_F(ImageResource, SplitLoadsHoldOneImagePerCell) {
    std::string error;
    std::vector<uint32_t> argb(6 * 4);
    for (size_t i = 0; i < argb.size(); ++i) argb[i] = 0xFF000000u | static_cast<uint32_t>(i);
    CellTable cells{3, 1, {{0, 0, 2, 4}, {2, 0, 0, 4}, {5, 1, 1, 2}}};
    std::vector<uint8_t> indices(24);
    for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>(i % 5);
    ResourceMapWriter map;
    int full = map.addLooseResource(
        ImageResourceWriter::fullColour(6, 4, argb, PixelEncoding::RunLength, &cells, &error));
    map.addLooseResource({});
    int indexed = map.addLooseResource(
        ImageResourceWriter::indexed(6, 4, indices, 5, PixelEncoding::Plain, &cells, &error));
    map.addLooseResource(
        ImageResourceWriter::palette({0xFF000000, 0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004}));
    install(map);

    int slot = canvas->loadImageID(full, -1, 1, true);
    ASSERT_TRUE(canvas->image_cache->data[slot]);
    ASSERT_EQ(canvas->image_cache->data[slot]->length, 3);
    EXPECT_TRUE(canvas->image_cells_split->data[slot]);
    EXPECT_EQ(pixelsOf(imageIn(slot, 0)),
              (std::vector<uint32_t>{0xFF000000, 0xFF000001, 0xFF000006, 0xFF000007, 0xFF00000C, 0xFF00000D,
                                     0xFF000012, 0xFF000013}));
    EXPECT_FALSE(imageIn(slot, 1));
    EXPECT_EQ(pixelsOf(imageIn(slot, 2)), (std::vector<uint32_t>{0xFF00000B, 0xFF000011}));

    slot = canvas->loadImageID(indexed, -1, 1, true);
    EXPECT_EQ(pixelsOf(imageIn(slot, 2)), (std::vector<uint32_t>{0xFF000001, 0xFF000002}));
    EXPECT_FALSE(imageIn(slot, 1));
}

TEST_F(ImageResource, AllSlotsInUseAnswerMinusOneAndWriteNothing) {
    std::string error;
    ResourceMapWriter map;
    int image = map.addLooseResource(
        ImageResourceWriter::fullColour(1, 1, {0xFF000000}, PixelEncoding::Plain, nullptr, &error));
    install(map);
    for (int i = 0; i < 256; ++i) ASSERT_EQ(canvas->loadImageID(image, -1, i + 10, 1, false), i);
    std::vector<int32_t> keys(canvas->image_keys->data, canvas->image_keys->data + 512);
    EXPECT_EQ(canvas->loadImageID(image, -1, 9, 1, false), -1);
    EXPECT_EQ(std::vector<int32_t>(canvas->image_keys->data, canvas->image_keys->data + 512), keys);
    EXPECT_EQ(canvas->loadImageID(image, -1, 12, 1, false), 2);
    EXPECT_FALSE(canvas->getImage(image, -1, 9, 0));
}

// Each corrupt image answers -1 and leaves the slot it was given free, as a missing resource does.
TEST_F(ImageResource, CorruptImagesLeaveTheirSlotFree) {
    std::string error;
    Bytes good = ImageResourceWriter::indexed(4, 2, {0, 1, 1, 0, 1, 1, 0, 0}, 2, PixelEncoding::Plain,
                                              nullptr, &error);
    CellTable oneCell{1, 1, {{0, 0, 4, 2}}};
    Bytes withCells = ImageResourceWriter::fullColour(4, 2, std::vector<uint32_t>(8, 0xFF123456),
                                                      PixelEncoding::RunLength, &oneCell, &error);
    Bytes idat = ImageResourceWriter::paletteIdat(4, 2, std::vector<uint8_t>(8, 1), 2, nullptr, &error);
    auto patched = [](Bytes b, size_t at, uint8_t v) {
        b[at] = v;
        return b;
    };
    struct Case {
        const char* name;
        Bytes resource;
    };
    const std::vector<Case> cases = {
        {"empty", {}},
        {"header only in part", {2, 0, 4}},
        {"zero width", patched(good, 2, 0)},
        {"negative height", patched(good, 3, 0x80)},
        {"beyond the pixel cap", patched(patched(good, 1, 0x7F), 3, 0x7F)},
        {"plain pixels cut short", Bytes(good.begin(), good.end() - 1)},
        {"no encoding byte", Bytes(good.begin(), good.begin() + 5)},
        {"runs end early", Bytes(withCells.begin(), withCells.end() - 1)},
        {"cell outside the image", patched(withCells, 13, 5)},
        {"zero cells across", patched(withCells, 6, 0)},
        {"cell table past the end", Bytes(withCells.begin(), withCells.begin() + 12)},
        {"IDAT with the full-colour bit", patched(idat, 0, 1 | 64)},
    };
    ResourceMapWriter map;
    std::vector<int> ids;
    for (const Case& c : cases) {
        ids.push_back(map.addLooseResource(c.resource));
        map.addLooseResource(ImageResourceWriter::palette({0xFF000000, 0xFFFFFFFF}));
    }
    // IDAT contents whose palette is missing.
    int noPalette = map.addLooseResource(idat);
    install(map);
    for (size_t i = 0; i < cases.size(); ++i) {
        int slot = canvas->loadImageID(ids[i], -1, 1, false);
        EXPECT_EQ(slot, -1) << cases[i].name;
        EXPECT_FALSE(canvas->image_cache->data[0]) << cases[i].name;
        EXPECT_FALSE(canvas->image_cell_tables->data[0]) << cases[i].name;
    }
    EXPECT_EQ(canvas->loadImageID(noPalette, -1, 1, false), -1);
    EXPECT_FALSE(canvas->image_cache->data[0]);
    EXPECT_EQ(slotsInUse(), 0);
}

// A load that fails answers -1, which draws nothing and measures 0, and never the number of a slot that
// the next picture takes: the broken picture's id once drew and measured whatever loaded after it. The
// quiz's pictures keep that id and name the resource on System.err.
TEST_F(ImageResource, AFailedLoadNeverNamesALaterPicture) {
    std::string error;
    ResourceMapWriter map;
    int missing = map.addLooseResource({});
    int corrupt = map.addLooseResource({2, 0, 4});
    int undecodable = map.addLooseResource({0, 0x89, 'P', 'N', 'G', 1, 2, 3});
    int good = map.addLooseResource(ImageResourceWriter::fullColour(
        3, 2, std::vector<uint32_t>(6, 0xFFFF0000u), PixelEncoding::Plain, nullptr, &error));
    install(map);
    std::filesystem::remove(bundle.path() / ("ur" + std::to_string(missing)));

    const int failedIds[] = {canvas->loadImageID(missing, -1, 1, false),
                             canvas->loadImageID(corrupt, -1, 1, false),
                             canvas->loadImageID(undecodable, -1, 1, true)};
    int picture = canvas->loadImageID(good, -1, 1, false);
    ASSERT_EQ(picture, 0);
    Surface drawn(8, 8);
    canvas->drawImageID(drawn.g, picture, 0, 0, 1, 1, 20);
    EXPECT_EQ(drawn.at(1, 1), 0xFFFF0000u);
    for (int failed : failedIds) {
        EXPECT_EQ(failed, -1);
        Surface surface(8, 8);
        canvas->drawImageID(surface.g, failed, 0, 0, 1, 1, 20);
        canvas->drawImageIDNoTransform(surface.g, failed, 0, 1, 1, 20);
        EXPECT_EQ(surface.at(1, 1), 0xFFFFFFFFu);
        for (int selector = HookCanvas::IMAGEDIMENSION_WIDTH;
             selector <= HookCanvas::IMAGEDIMENSION_CELL_CROPPED_TL_Y; ++selector)
            EXPECT_EQ(canvas->getImageDimension(failed, 0, 0, selector), 0) << "selector " << selector;
    }
    EXPECT_EQ(slotsInUse(), 1);
    // Nor is it ever under the pointer, even at its own corner.
    const int32_t savedX = HookCanvas::pointer_x.exchange(1);
    const int32_t savedY = HookCanvas::pointer_y.exchange(1);
    EXPECT_TRUE(canvas->pointerOverImage(picture, 0, 0));
    EXPECT_FALSE(canvas->pointerOverImage(-1, 1, 1));
    HookCanvas::pointer_x.store(savedX);
    HookCanvas::pointer_y.store(savedY);

    const JavaPtr<java::io::PrintStream> savedErr = java::lang::System::err;
    const JavaPtr<java::io::PrintStream> savedOut = java::lang::System::out;
    System_staticInit();
    testing::internal::CaptureStdout();
    EXPECT_EQ(canvas->loadPicture(missing, false), -1);
    EXPECT_EQ(canvas->loadPicture(good, false), picture);
    const std::string said = testing::internal::GetCapturedStdout();
    java::lang::System::err = savedErr;
    java::lang::System::out = savedOut;
    EXPECT_EQ(said, "Picture resource " + std::to_string(missing) + " is missing or unreadable\n");
}

// Every proper prefix of a good image, PNGs included, is refused with -1 and takes no slot. Under ASan
// nothing reads past the resource.
TEST_F(ImageResource, TruncatedImagesNeverReadPastTheirBytes) {
    std::string error;
    std::mt19937 random(5);
    std::vector<uint32_t> colours = randomColours(random, 15);
    std::vector<uint8_t> indices(15);
    for (uint8_t& i : indices) i = static_cast<uint8_t>(random() % 3);
    CellTable cells{2, 1, {{0, 0, 2, 3}, {2, 0, 3, 3}}};
    const Bytes sources[] = {
        ImageResourceWriter::fullColour(5, 3, colours, PixelEncoding::RunLength, &cells, &error),
        ImageResourceWriter::fullColour(5, 3, colours, PixelEncoding::Plain, nullptr, &error),
        ImageResourceWriter::indexed(5, 3, indices, 3, PixelEncoding::RunLength, &cells, &error),
        ImageResourceWriter::indexed(5, 3, indices, 3, PixelEncoding::Plain, nullptr, &error),
        ImageResourceWriter::paletteIdat(5, 3, indices, 3, nullptr, &error),
        ImageResourceWriter::pngWithHeader(compressedPng(5, 3, colours), 5, 3, &cells, &error),
    };
    ResourceMapWriter map;
    std::vector<std::pair<int, size_t>> prefixes;
    for (size_t s = 0; s < std::size(sources); ++s) {
        for (size_t length = 1; length < sources[s].size(); ++length) {
            int id = map.addLooseResource(
                Bytes(sources[s].begin(), sources[s].begin() + static_cast<long>(length)));
            map.addLooseResource(ImageResourceWriter::palette({0xFF000000, 0xFF0000FF, 0xFF00FF00}));
            prefixes.emplace_back(id, s);
        }
    }
    install(map);
    for (auto [id, source] : prefixes)
        EXPECT_EQ(canvas->loadImageID(id, -1, 1, true), -1) << "resource " << id << " of source " << source;
    EXPECT_EQ(slotsInUse(), 0);
}

}  // namespace
}  // namespace enginetest
