// Sizes by selector and transform, and drawing a cell by image id at an anchored point, on the sheet of
// the worked examples: 96 x 32 pixels in 3 x 1 cells, cell 2 cropped to x 70, y 4, 20 x 24.
#include <gtest/gtest.h>

#include "tests/engine/ResourceFixtures.h"
#include "tools/ImageResourceWriter.h"

namespace enginetest {
namespace {

using restools::CellTable;
using restools::ImageResourceWriter;
using restools::PixelEncoding;
using restools::ResourceMapWriter;

constexpr uint32_t kWhite = 0xFFFFFFFFu;

// Each pixel's colour names its place: 0xFF00yyxx.
uint32_t colourAt(int x, int y) {
    return 0xFF000000u | static_cast<uint32_t>(y) << 8 | static_cast<uint32_t>(x);
}

class DrawById : public ResourceFixture {
protected:
    void SetUp() override {
        ResourceFixture::SetUp();
        std::vector<uint32_t> argb;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 96; ++x) argb.push_back(colourAt(x, y));
        CellTable cells{3, 1, {{0, 0, 32, 32}, {32, 0, 0, 32}, {70, 4, 20, 24}}};
        std::string error;
        ResourceMapWriter map;
        sheetId = map.addLooseResource(
            ImageResourceWriter::fullColour(96, 32, argb, PixelEncoding::Plain, &cells, &error));
        plainId = map.addLooseResource(ImageResourceWriter::fullColour(
            5, 1, {colourAt(0, 0), colourAt(1, 0), colourAt(2, 0), colourAt(3, 0), colourAt(4, 0)},
            PixelEncoding::Plain, nullptr, &error));
        brokenId = map.addLooseResource({0, 0x89, 'P', 'N', 'G', 1, 2, 3});
        install(map);
        sheet = canvas->loadImageID(sheetId, -1, 1, false);
        split = canvas->loadImageID(sheetId, 0, 0, 1, true);
        plain = canvas->loadImageID(plainId, -1, 1, false);
        ASSERT_TRUE(canvas->image_cache->data[sheet]);
        ASSERT_TRUE(canvas->image_cache->data[split]);
        ASSERT_NE(sheet, split);
    }
    int dimension(int id, int cell, int t, int selector) {
        return canvas->getImageDimension(id, cell, t, selector);
    }
    // The top-left corner where the cell's pixels landed, found by the colour of the cell's first pixel.
    std::pair<int, int> landed(Surface& surface, uint32_t colour) {
        for (int y = 0; y < 120; ++y)
            for (int x = 0; x < 200; ++x)
                if (surface.at(x, y) == colour) return {x, y};
        return {-1, -1};
    }
    bool untouched(Surface& surface) {
        for (uint32_t p : pixelsOf(surface.image))
            if (p != kWhite) return false;
        return true;
    }

    int sheetId = 0, plainId = 0, brokenId = 0;
    int sheet = -1, split = -1, plain = -1;
};

TEST_F(DrawById, DimensionsBySelectorAndTransform) {
    using H = HookCanvas;
    struct Case {
        int cell, t, selector, expected;
    };
    const Case cases[] = {
        {0, 0, H::IMAGEDIMENSION_WIDTH, 96},
        {0, 1, H::IMAGEDIMENSION_WIDTH, 32},
        {0, 1, H::IMAGEDIMENSION_HEIGHT, 96},
        {0, 6, H::IMAGEDIMENSION_HEIGHT, 32},
        {0, 0, H::IMAGEDIMENSION_NUM_CELLS_WIDE, 3},
        {0, 7, H::IMAGEDIMENSION_NUM_CELLS_HIGH, 1},
        {0, 0, H::IMAGEDIMENSION_CELL_WIDTH, 32},
        {0, 0, H::IMAGEDIMENSION_CELL_HEIGHT, 32},
        {0, 1, H::IMAGEDIMENSION_CELL_WIDTH, 32},
        {0, 1, H::IMAGEDIMENSION_CELL_HEIGHT, 32},
        {2, 0, H::IMAGEDIMENSION_CELL_CROPPED_WIDTH, 20},
        {2, 0, H::IMAGEDIMENSION_CELL_CROPPED_HEIGHT, 24},
        {2, 3, H::IMAGEDIMENSION_CELL_CROPPED_WIDTH, 24},
        {2, 3, H::IMAGEDIMENSION_CELL_CROPPED_HEIGHT, 20},
        {0, 0, 10, -1},
        {0, 0, -1, -1},
        // A cell beyond the table measures 0.
        {3, 0, H::IMAGEDIMENSION_CELL_CROPPED_WIDTH, 0},
        {-1, 0, H::IMAGEDIMENSION_CELL_CROPPED_TL_X, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dimension(sheet, c.cell, c.t, c.selector), c.expected)
            << "cell " << c.cell << " t " << c.t << " selector " << c.selector;
    }
    // The cropped corner of cell 2 in the turned image, transforms 0 to 7.
    const std::pair<int, int> corners[8] = {{70, 4}, {4, 70}, {6, 4},  {4, 6},
                                            {6, 4},  {4, 70}, {70, 4}, {4, 6}};
    for (int t = 0; t < 8; ++t) {
        EXPECT_EQ(std::make_pair(dimension(sheet, 2, t, H::IMAGEDIMENSION_CELL_CROPPED_TL_X),
                                 dimension(sheet, 2, t, H::IMAGEDIMENSION_CELL_CROPPED_TL_Y)),
                  corners[t])
            << "t " << t;
    }
    // Without a cell table: one cell, the whole image.
    EXPECT_EQ(dimension(plain, 0, 0, H::IMAGEDIMENSION_NUM_CELLS_WIDE), 1);
    EXPECT_EQ(dimension(plain, 0, 1, H::IMAGEDIMENSION_CELL_WIDTH), 1);
    EXPECT_EQ(dimension(plain, 0, 0, H::IMAGEDIMENSION_CELL_CROPPED_WIDTH), 5);
    EXPECT_EQ(dimension(plain, 0, 0, H::IMAGEDIMENSION_CELL_CROPPED_TL_Y), 0);
    // An id no load answered measures 0; a freed slot keeps its size.
    EXPECT_EQ(dimension(-1, 0, 0, H::IMAGEDIMENSION_WIDTH), 0);
    EXPECT_EQ(dimension(256, 0, 0, H::IMAGEDIMENSION_HEIGHT), 0);
    canvas->unloadImageID(plain);
    EXPECT_EQ(dimension(plain, 0, 0, H::IMAGEDIMENSION_WIDTH), 5);
}

TEST_F(DrawById, CellsLandAtTheirOffsetInsideTheAnchoredGridCell) {
    struct Case {
        const char* name;
        bool noTransformCall;
        int image, t, anchor;
        std::pair<int, int> expected;
    };
    const Case cases[] = {
        {"top left", false, sheet, 0, 20, {106, 54}},
        {"centred", false, sheet, 0, 3, {90, 38}},
        {"right bottom", false, sheet, 0, 8 | 32, {74, 22}},
        {"centre wins over right", false, sheet, 0, 1 | 8 | 2 | 32, {90, 38}},
        {"turned a quarter", false, sheet, 1, 20, {104, 56}},
        {"no-transform call", true, sheet, 0, 20, {106, 54}},
        {"no-transform centred", true, sheet, 0, 3, {90, 38}},
        {"split, top left", false, split, 0, 20, {106, 54}},
        {"split, no-transform centred", true, split, 0, 3, {90, 38}},
    };
    for (const Case& c : cases) {
        Surface surface(200, 120);
        if (c.noTransformCall)
            canvas->drawImageIDNoTransform(surface.g, c.image, 2, 100, 50, c.anchor);
        else
            canvas->drawImageID(surface.g, c.image, 2, c.t, 100, 50, c.anchor);
        std::pair<int, int> at = landed(surface, colourAt(70, 4));
        EXPECT_EQ(at, c.expected) << c.name;
        // Exactly the cropped 20 x 24 pixels, unturned.
        EXPECT_EQ(surface.at(at.first + 19, at.second + 23), colourAt(89, 27)) << c.name;
        EXPECT_EQ(surface.at(at.first + 20, at.second), kWhite) << c.name;
        EXPECT_EQ(surface.at(at.first, at.second + 24), kWhite) << c.name;
        EXPECT_EQ(surface.at(at.first - 1, at.second), kWhite) << c.name;
    }
    // An odd width is halved downwards: 5 moves the point 2 to the left.
    Surface surface(200, 120);
    canvas->drawImageID(surface.g, plain, 0, 0, 10, 0, 1 | 16);
    EXPECT_EQ(landed(surface, colourAt(0, 0)), std::make_pair(8, 0));
    EXPECT_EQ(surface.at(12, 0), colourAt(4, 0));
}

TEST_F(DrawById, WhatCannotBeDrawnDrawsNothing) {
    // A PNG the platform cannot decode is refused as any corrupt image is: the id -1, no slot taken.
    int broken = canvas->loadImageID(brokenId, -1, 1, false);
    EXPECT_EQ(broken, -1);
    int freed = canvas->loadImageID(plainId, -1, 77, 1, false);
    canvas->unloadImageID(freed);
    struct Case {
        const char* name;
        int image, cell;
    };
    const Case cases[] = {
        {"id -1", -1, 0},
        {"id 256", 256, 0},
        {"free slot", freed, 0},
        {"undecodable PNG", broken, 0},
        {"cell beyond", sheet, 3},
        {"negative cell", sheet, -1},
        {"split cell beyond", split, 3},
        {"split cell of width 0", split, 1},
        {"plain image cell 1", plain, 1},
    };
    for (const Case& c : cases) {
        Surface surface(200, 120);
        canvas->drawImageID(surface.g, c.image, c.cell, 0, 10, 10, 20);
        canvas->drawImageIDNoTransform(surface.g, c.image, c.cell, 10, 10, 20);
        canvas->drawImageCell(surface.g, c.image, c.cell, 0, 10, 10);
        EXPECT_TRUE(untouched(surface)) << c.name;
    }
    canvas->drawImageID(nullptr, sheet, 0, 0, 0, 0, 20);
}

TEST_F(DrawById, MutableCopyHoldsThePixels) {
    JavaPtr<Image> copy = HookCanvas::pngMakeMutable(canvas->image_cache->data[plain]->data[0]);
    EXPECT_TRUE(copy->isMutable());
    EXPECT_EQ(pixelsOf(copy), pixelsOf(canvas->image_cache->data[plain]->data[0]));
    JavaPtr<JArray<int32_t>> argb = jnewArray<int32_t>(2);
    argb->data[0] = static_cast<int32_t>(0xFF102030u);
    argb->data[1] = static_cast<int32_t>(0xFF405060u);
    EXPECT_EQ(pixelsOf(canvas->createRGBImage(argb, 2, 1, false)),
              (std::vector<uint32_t>{0xFF102030u, 0xFF405060u}));
}

}  // namespace
}  // namespace enginetest
