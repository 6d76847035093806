// The forms' tests: the screen state reset around each case, the fixed-advance test font, a 320 x 480
// screen, a stand-in for the form that owns items (the form itself comes later), and pixel reads of the
// images items are painted into.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "forms/Item.h"
#include "forms/ItemOwner.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "screens/ScreenStatics.h"
#include "shell/Display.h"
#include "shell/Displayable.h"
#include "tests/support/TestFont.h"

namespace formstest {

constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 480;
// The colours items paint with.
constexpr int kBackground = 0xCCCCCC;
constexpr int kForeground = 0x000000;
constexpr int kHighlightedBackground = 0x0000CC;
constexpr int kHighlightedForeground = 0xFFFFFF;
constexpr int kHighlightedBorder = 0x0000FF;
constexpr int kWhite = 0xFFFFFF;

class FormsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        javax::microedition::lcdui::resetScreenStatics();
        ASSERT_TRUE(testsupport::loadTestFont());
        // The display takes the shell's output size when it is made; made first, it keeps the size below.
        javax::microedition::lcdui::Display::getDisplay(nullptr);
        m_savedWidth = javax::microedition::lcdui::ScreenSize::width;
        m_savedHeight = javax::microedition::lcdui::ScreenSize::height;
        javax::microedition::lcdui::ScreenSize::width = kScreenWidth;
        javax::microedition::lcdui::ScreenSize::height = kScreenHeight;
    }
    void TearDown() override {
        javax::microedition::lcdui::ScreenSize::width = m_savedWidth;
        javax::microedition::lcdui::ScreenSize::height = m_savedHeight;
        javax::microedition::lcdui::resetScreenStatics();
    }

private:
    int m_savedWidth = 0;
    int m_savedHeight = 0;
};

// Stands for the form: records what its items ask of it.
class FakeForm : public javax::microedition::lcdui::Displayable,
                 public javax::microedition::lcdui::ItemOwner {
    TESL_CLASS(FakeForm, "formstest.FakeForm", javax::microedition::lcdui::Displayable)
public:
    FakeForm() noexcept {}
    FakeForm* TESLinvokeconstructor(int usable) {
        Displayable::TESLinvokeconstructor();
        usableFormWidth = usable;
        return this;
    }

    javax::microedition::lcdui::Displayable* ownerDisplayable() override { return this; }
    javax::microedition::lcdui::Item* highlightedItem() override { return highlighted; }
    void highlightItem(javax::microedition::lcdui::Item* item) override {
        highlighted = item;
        ++highlightRequests;
    }
    void itemStateChanged(const JavaPtr<javax::microedition::lcdui::Item>& item) override {
        changedItems.push_back(item.get());
    }
    int usableWidth() override { return usableFormWidth; }
    void setCanvasNeedsRepaint() override { ++repaintRequests; }
    void setNeedsRelayout(bool needed) override {
        if (needed) ++relayoutRequests;
    }

    int usableFormWidth = 0;
    javax::microedition::lcdui::Item* highlighted = nullptr;
    int highlightRequests = 0;
    int repaintRequests = 0;
    int relayoutRequests = 0;
    std::vector<javax::microedition::lcdui::Item*> changedItems;
};

// Lays an item out as the form layout does: the box, then the content area inside it.
inline void layOut(javax::microedition::lcdui::Item& item, int x, int y, int width, int height) {
    item.m_x = x;
    item.m_y = y;
    item.m_width = width;
    item.m_height = height;
    item.updateContentDimensions();
}

// A white image of the screen's size to paint into, and its pixels as 0xRRGGBB.
class PaintTarget {
public:
    PaintTarget(int width = kScreenWidth, int height = kScreenHeight)
        : image(javax::microedition::lcdui::Image::createImage(width, height)),
          graphics(image->getGraphics()) {}

    int pixel(int x, int y) {
        JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(1);
        image->getRGB(rgb, 0, 1, x, y, 1, 1);
        return rgb->data[0] & 0xFFFFFF;
    }
    // The number of pixels of the colour in the rectangle.
    int count(int colour, int x, int y, int width, int height) {
        int found = 0;
        for (int j = y; j < y + height; ++j) {
            for (int i = x; i < x + width; ++i) found += pixel(i, j) == colour ? 1 : 0;
        }
        return found;
    }

    JavaPtr<javax::microedition::lcdui::Image> image;
    JavaPtr<javax::microedition::lcdui::Graphics> graphics;
};

}  // namespace formstest
