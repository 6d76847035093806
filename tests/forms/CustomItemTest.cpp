#include "forms/CustomItem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "shell/Canvas.h"
#include "shell/KeypressIDs.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using formstest::FakeForm;
using formstest::layOut;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::CustomItem;
using javax::microedition::lcdui::Graphics;
using testsupport::jstr;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::CustomItem);

namespace {

constexpr int kRed = 0xFF0000;
constexpr int kLabelHeight = testsupport::kTestFontHeight;

// Minimum content 50 x 20, preferred 60 x 25; paints red far beyond its area on every side.
class TestCustomItem : public CustomItem {
    TESL_CLASS(TestCustomItem, "formstest.TestCustomItem", CustomItem)
public:
    TestCustomItem() noexcept {}
    TestCustomItem* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label) {
        CustomItem::TESLinvokeconstructor(label);
        return this;
    }
    int getMinContentWidth() override { return 50; }
    int getMinContentHeight() override { return 20; }
    int getPrefContentWidth(int) override { return 60; }
    int getPrefContentHeight(int) override { return 25; }
    using CustomItem::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override {
        paints.push_back(std::to_string(w) + "x" + std::to_string(h) + " " + std::to_string(g->getColor()));
        backgroundSeen = g->getColor() == formstest::kForeground;
        g->setColor(kRed);
        g->fillRect(-100, -100, w + 200, h + 200);
    }
    void pointerPressed(int x, int y) override {
        events.push_back(std::to_string(x) + "," + std::to_string(y));
    }

    std::vector<std::string> paints;
    std::vector<std::string> events;
    bool backgroundSeen = false;
};

class CustomItemTest : public formstest::FormsFixture {};

TEST_F(CustomItemTest, TheMinimumLeavesOutTheMarginsAndTheLabelThePreferredDoesNot) {
    JavaPtr<TestCustomItem> item = jnew<TestCustomItem>(jstr("Label"));
    EXPECT_EQ(item->getMinimumWidth(), 50);
    EXPECT_EQ(item->getMinimumHeight(), 20);
    EXPECT_EQ(item->getPreferredWidth(), 66);
    EXPECT_EQ(item->getPreferredHeight(), 25 + 6 + kLabelHeight);
    EXPECT_EQ(item->getInteractionModes(), 0xFF);
    EXPECT_EQ(testsupport::narrow(item->getLabel()), "Label");
}

TEST_F(CustomItemTest, DrawingIsCutToTheContentArea) {
    JavaPtr<TestCustomItem> item = jnew<TestCustomItem>(nullptr);
    // Content 20 x 10 from (23, 43).
    layOut(*item, 20, 40, 26, 16);
    formstest::PaintTarget target(100, 100);
    item->paint(target.graphics);
    ASSERT_EQ(item->paints, std::vector<std::string>{"20x10 0"});
    EXPECT_EQ(target.count(kRed, 23, 43, 20, 10), 200);
    EXPECT_EQ(target.count(kRed, 0, 0, 100, 100), 200);
    // Just outside on every side.
    EXPECT_EQ(target.pixel(22, 43), formstest::kWhite);
    EXPECT_EQ(target.pixel(43, 52), formstest::kWhite);
    EXPECT_EQ(target.pixel(23, 42), formstest::kWhite);
    EXPECT_EQ(target.pixel(42, 53), formstest::kWhite);
}

TEST_F(CustomItemTest, ItsImageStartsInTheBackgroundColour) {
    // An item that paints nothing shows the background over its content area.
    class Blank : public TestCustomItem {
    public:
        using TestCustomItem::paint;
        void paint(const JavaPtr<Graphics>&, int, int) override {}
    };
    JavaPtr<Blank> item = jnew<Blank>(nullptr);
    layOut(*item, 0, 0, 10, 10);
    formstest::PaintTarget target(20, 20);
    item->paint(target.graphics);
    EXPECT_EQ(target.count(formstest::kBackground, 3, 3, 4, 4), 16);
    EXPECT_EQ(target.count(formstest::kBackground, 0, 0, 20, 20), 16);
}

TEST_F(CustomItemTest, NoContentAreaPaintsNothing) {
    struct Case {
        const char* name;
        int width, height;  // the box; -1 x -1 is no layout yet
    };
    // Laid out at its minimum, the margins leave a content area 6 pixels smaller than it asked for.
    const Case cases[] = {
        {"before the first layout", -1, -1}, {"zero width", 6, 16},   {"zero height", 16, 6},
        {"negative width", 3, 16},           {"negative both", 2, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TestCustomItem> item = jnew<TestCustomItem>(nullptr);
        if (c.width != -1) layOut(*item, 5, 5, c.width, c.height);
        formstest::PaintTarget target(30, 30);
        item->paint(target.graphics);
        EXPECT_TRUE(item->paints.empty());
        EXPECT_EQ(target.count(formstest::kWhite, 0, 0, 30, 30), 30 * 30);
    }
}

TEST_F(CustomItemTest, APressOnTheLabelHighlightsButReachesNoPointerOperation) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(200);
    JavaPtr<TestCustomItem> item = jnew<TestCustomItem>(jstr("Label"));
    item->addToForm(form.get());
    layOut(*item, 0, 0, 60, 40);
    item->pointerPressedInternal(5, 2);
    EXPECT_EQ(form->highlighted, item.get());
    EXPECT_TRUE(item->events.empty());
    item->pointerPressedInternal(5, kLabelHeight + 5);
    EXPECT_EQ(item->events, std::vector<std::string>{"2,2"});
    item->removeFromForm();
}

TEST_F(CustomItemTest, EveryRepaintIsTheWholeForms) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(200);
    JavaPtr<TestCustomItem> item = jnew<TestCustomItem>(nullptr);
    item->addToForm(form.get());
    item->repaint(0, 0, 1, 1);
    EXPECT_EQ(form->repaintRequests, 1);
    item->repaint();
    EXPECT_EQ(form->repaintRequests, 2);
    // Losing the internal focus repaints too.
    item->traverseOut();
    EXPECT_EQ(form->repaintRequests, 3);
    item->invalidate();
    EXPECT_EQ(form->relayoutRequests, 1);
    EXPECT_FALSE(item->traverse(Canvas::DOWN, 200, 200, jnew<JArray<int>>(4)));
    EXPECT_EQ(item->getGameAction(expectedKeypressID(5)), Canvas::FIRE);
    EXPECT_EQ(item->getGameAction(expectedKeypressID(7)), 0);
    item->removeFromForm();
}

}  // namespace
