#include "forms/Item.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "graphics/Font.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/NullPointerException.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "shell/Command.h"
#include "shell/ItemCommandListener.h"
#include "shell/KeypressIDs.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"
#include "tests/support/Throws.h"

using formstest::FakeForm;
using formstest::layOut;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::ItemCommandListener;
using javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;
using testsupport::throws;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::Item);

namespace {

constexpr int kLabelHeight = testsupport::kTestFontHeight;

// An item whose content sizes are set by the test, recording what reaches its virtual operations.
class TestItem : public Item {
    TESL_CLASS(TestItem, "formstest.TestItem", Item)
public:
    TestItem() noexcept {}
    TestItem* TESLinvokeconstructor() {
        Item::TESLinvokeconstructor();
        return this;
    }

    int getMinContentWidth() override { return minWidth; }
    int getMinContentHeight() override { return minHeight; }
    int getPrefContentWidth(int height) override {
        prefWidthAskedWith = height;
        return prefWidth;
    }
    int getPrefContentHeight(int width) override {
        prefHeightAskedWith = width;
        return prefHeight;
    }
    void preferredSizeChanged() override { ++preferredSizeChanges; }
    void pointerPressed(int x, int y) override { events.push_back("pressed " + point(x, y)); }
    void pointerDragged(int x, int y) override { events.push_back("dragged " + point(x, y)); }
    void pointerReleased(int x, int y) override { events.push_back("released " + point(x, y)); }
    void touchscreenAreaEvent(const JavaPtr<java::lang::String>& code, int eventType, int relX, int relY, int,
                              int, bool) override {
        events.push_back("area " + testsupport::narrow(code) + " " + std::to_string(eventType) + " " +
                         point(relX, relY));
    }
    using Item::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override {
        paintedSize = point(w, h);
        if (throwFromPaint) throw java::lang::IllegalStateException();
        // Beyond its own area, to the left and above: an item's content is not cut to its area.
        g->setColor(0xFF0000);
        g->fillRect(-2, -2, 4, 4);
    }

    static std::string point(int x, int y) { return std::to_string(x) + "," + std::to_string(y); }

    int minWidth = 0;
    int minHeight = 0;
    int prefWidth = 0;
    int prefHeight = 0;
    int prefWidthAskedWith = -99;
    int prefHeightAskedWith = -99;
    int preferredSizeChanges = 0;
    bool throwFromPaint = false;
    std::string paintedSize;
    std::vector<std::string> events;
};

// An item that listens to its own commands, as applications often write it.
class SelfListeningItem : public TestItem, public ItemCommandListener {
    TESL_CLASS(SelfListeningItem, "formstest.SelfListeningItem", TestItem, ItemCommandListener)
public:
    SelfListeningItem() noexcept {}
    ~SelfListeningItem() override { *destroyed = true; }
    SelfListeningItem* TESLinvokeconstructor(bool* flag) {
        TestItem::TESLinvokeconstructor();
        destroyed = flag;
        return this;
    }
    void commandAction(const JavaPtr<Command>&, const JavaPtr<Item>&) override {}

    bool* destroyed = nullptr;
};

JavaPtr<Command> command(const char* label) {
    return jnew<Command>(jstr(label), Command::ITEM, 1);
}

class ItemTest : public formstest::FormsFixture {};

TEST_F(ItemTest, SizesAddTheMarginsAndTheLabelLine) {
    struct Case {
        const char* name;
        const char* label;  // null: no label
        int minWidth, minHeight, prefWidth, prefHeight;
        int expectedMinWidth, expectedMinHeight, expectedPrefWidth, expectedPrefHeight;
    };
    const Case cases[] = {
        {"all zero, no label", nullptr, 0, 0, 0, 0, 6, 6, 6, 6},
        {"empty label counts as none", "", 0, 0, 0, 0, 6, 6, 6, 6},
        {"label adds its line to the heights only", "Name", 0, 0, 0, 0, 6, 6 + kLabelHeight, 6,
         6 + kLabelHeight},
        {"content sizes", nullptr, 40, 12, 70, 30, 46, 18, 76, 36},
        {"label and content", "A label far wider than the content", 40, 12, 70, 30, 46, 18 + kLabelHeight, 76,
         36 + kLabelHeight},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TestItem> item = jnew<TestItem>();
        if (c.label != nullptr) item->setLabel(jstr(c.label));
        item->minWidth = c.minWidth;
        item->minHeight = c.minHeight;
        item->prefWidth = c.prefWidth;
        item->prefHeight = c.prefHeight;
        EXPECT_EQ(item->getMinimumWidth(), c.expectedMinWidth);
        EXPECT_EQ(item->getMinimumHeight(), c.expectedMinHeight);
        EXPECT_EQ(item->getPreferredWidth(), c.expectedPrefWidth);
        EXPECT_EQ(item->getPreferredHeight(), c.expectedPrefHeight);
        // Unlocked, each content query is told the other dimension is free.
        EXPECT_EQ(item->prefWidthAskedWith, -1);
        EXPECT_EQ(item->prefHeightAskedWith, -1);
    }
}

TEST_F(ItemTest, SetPreferredSizeLocksClampsAndUnlocks) {
    struct Case {
        const char* name;
        int width, height;
        bool throwsIllegalArgument;
        int lockedWidth, lockedHeight;
        bool widthLocked, heightLocked;
        int preferredWidth, preferredHeight;
    };
    // Minimum content 70 x 12 with a label: minimum item size 76 x 28; preferred content 90 x 40.
    const Case cases[] = {
        {"width below -1 throws", -2, 10, true, -1, -1, false, false, 96, 56},
        {"height below -1 throws", 10, -2, true, -1, -1, false, false, 96, 56},
        {"both free", -1, -1, false, -1, -1, false, false, 96, 56},
        {"width raised to the item's minimum", 1, -1, false, 76, -1, true, false, 82, 56},
        {"height raised to the item's minimum", -1, 0, false, -1, 28, false, true, 96, 44},
        {"sizes above the minimum kept", 100, 50, false, 100, 50, true, true, 106, 66},
        {"near the int limit", INT_MAX, -1, false, INT_MAX, -1, true, false, INT_MIN + 5, 56},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TestItem> item = jnew<TestItem>();
        item->setLabel(jstr("Label"));
        item->minWidth = 70;
        item->minHeight = 12;
        item->prefWidth = 90;
        item->prefHeight = 40;
        EXPECT_EQ(
            throws<java::lang::IllegalArgumentException>([&] { item->setPreferredSize(c.width, c.height); }),
            c.throwsIllegalArgument);
        EXPECT_EQ(item->getLockedPreferredWidth(), c.lockedWidth);
        EXPECT_EQ(item->getLockedPreferredHeight(), c.lockedHeight);
        EXPECT_EQ(item->isWidthLocked(), c.widthLocked);
        EXPECT_EQ(item->isHeightLocked(), c.heightLocked);
        EXPECT_EQ(item->preferredSizeChanges, c.throwsIllegalArgument ? 0 : 1);
        EXPECT_EQ(item->getPreferredWidth(), c.preferredWidth);
        EXPECT_EQ(item->getPreferredHeight(), c.preferredHeight);
    }
}

TEST_F(ItemTest, ContentQueriesReceiveTheOtherLockedDimension) {
    JavaPtr<TestItem> item = jnew<TestItem>();
    item->setPreferredSize(50, 60);
    item->setPreferredSize(-1, 60);
    item->getPreferredWidth();
    EXPECT_EQ(item->prefWidthAskedWith, 60);
    item->setPreferredSize(50, -1);
    item->getPreferredHeight();
    EXPECT_EQ(item->prefHeightAskedWith, 50);
    // Unlocking both still tells the item.
    item->setPreferredSize(-1, -1);
    EXPECT_EQ(item->preferredSizeChanges, 4);
    EXPECT_FALSE(item->isWidthLocked());
    EXPECT_FALSE(item->isHeightLocked());
}

TEST_F(ItemTest, TheFirstCommandBecomesTheDefaultAndFreedSlotsAreReused) {
    JavaPtr<TestItem> item = jnew<TestItem>();
    JavaPtr<Command> a = command("a"), b = command("b"), d = command("d");
    item->addCommand(a);
    EXPECT_EQ(item->getDefaultCommand(), a);
    item->addCommand(b);
    EXPECT_EQ(item->getDefaultCommand(), a);
    item->addCommand(b);
    ASSERT_EQ(item->getCommands()->length, 2);

    item->removeCommand(a);
    EXPECT_EQ(item->getDefaultCommand(), nullptr);
    ASSERT_EQ(item->getCommands()->length, 2);
    EXPECT_EQ(item->getCommands()->data[0], nullptr);

    // The free slot is reused, and the item had no default, so d becomes it.
    item->addCommand(d);
    ASSERT_EQ(item->getCommands()->length, 2);
    EXPECT_EQ(item->getCommands()->data[0], d);
    EXPECT_EQ(item->getDefaultCommand(), d);

    EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { item->addCommand(nullptr); }));
    // Removing an absent command changes nothing.
    item->removeCommand(a);
    EXPECT_EQ(item->getDefaultCommand(), d);
}

TEST_F(ItemTest, SetDefaultCommandAddsOnceAndNullOnlyClearsTheDefault) {
    JavaPtr<TestItem> item = jnew<TestItem>();
    item->setDefaultCommand(nullptr);
    EXPECT_EQ(item->getCommands()->length, 0);
    EXPECT_EQ(item->getDefaultCommand(), nullptr);

    JavaPtr<Command> a = command("a"), d = command("d");
    item->addCommand(a);
    item->setDefaultCommand(d);
    EXPECT_EQ(item->getDefaultCommand(), d);
    item->addCommand(d);
    item->setDefaultCommand(d);
    ASSERT_EQ(item->getCommands()->length, 2);
    EXPECT_EQ(item->getCommands()->data[1], d);

    // The old default stays among the commands.
    item->setDefaultCommand(nullptr);
    EXPECT_EQ(item->getDefaultCommand(), nullptr);
    EXPECT_EQ(item->getCommands()->length, 2);
    EXPECT_EQ(item->getCommands()->data[1], d);
}

TEST_F(ItemTest, AnItemListeningToItsOwnCommandsHoldsNoReferenceToItself) {
    bool destroyed = false;
    {
        JavaPtr<SelfListeningItem> item = jnew<SelfListeningItem>(&destroyed);
        item->setItemCommandListener(JavaPtr<ItemCommandListener>(item));
        JavaPtr<ItemCommandListener> listener = item->getItemCommandListener();
        EXPECT_EQ(listener, item);
        EXPECT_EQ(listener.get(), static_cast<ItemCommandListener*>(item.get()));
        listener = nullptr;
        item->setItemCommandListener(nullptr);
        EXPECT_EQ(item->getItemCommandListener(), nullptr);
        item->setItemCommandListener(JavaPtr<ItemCommandListener>(item));
    }
    EXPECT_TRUE(destroyed);
}

TEST_F(ItemTest, AFreeItemReachesNoForm) {
    JavaPtr<TestItem> item = jnew<TestItem>();
    EXPECT_EQ(item->getContainingForm(), nullptr);
    EXPECT_EQ(item->getFormCanvas(), nullptr);
    EXPECT_EQ(item->usableFormWidth(), 0);
    item->invalidate();
    item->repaint();
    item->requestHighlight();
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { item->notifyStateChanged(); }));
}

TEST_F(ItemTest, AnOwnedItemAsksItsFormAndADroppedOneNoLonger) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(240);
    JavaPtr<TestItem> item = jnew<TestItem>();
    EXPECT_TRUE(item->addToForm(form.get()));
    EXPECT_EQ(item->getContainingForm(), form);
    EXPECT_EQ(item->usableFormWidth(), 240);
    item->invalidate();
    item->repaint();
    item->notifyStateChanged();
    EXPECT_EQ(form->relayoutRequests, 1);
    EXPECT_EQ(form->repaintRequests, 1);
    ASSERT_EQ(form->changedItems.size(), 1u);
    EXPECT_EQ(form->changedItems[0], item.get());

    // Another form is refused and changes nothing; the same form again is accepted.
    JavaPtr<FakeForm> other = jnew<FakeForm>(100);
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { item->addToForm(other.get()); }));
    EXPECT_EQ(item->owner(), form.get());
    EXPECT_TRUE(item->addToForm(form.get()));

    item->removeFromForm();
    item->invalidate();
    item->repaint();
    item->requestHighlight();
    EXPECT_EQ(form->relayoutRequests, 1);
    EXPECT_EQ(form->repaintRequests, 1);
    EXPECT_EQ(form->highlightRequests, 0);
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { item->notifyStateChanged(); }));
    // Free again, it may join the other form.
    EXPECT_TRUE(item->addToForm(other.get()));
    EXPECT_EQ(item->usableFormWidth(), 100);
    item->removeFromForm();
}

// Stands for the form canvas, recognised by its class's type id.
class FakeFormCanvas : public Canvas {
    TESL_CLASS(FakeFormCanvas, "javax.microedition.lcdui.FormCanvas", Canvas)
public:
    FakeFormCanvas() noexcept {}
    FakeFormCanvas* TESLinvokeconstructor() {
        Canvas::TESLinvokeconstructor();
        return this;
    }
};

TEST_F(ItemTest, TheFormCanvasIsTheFormsCanvasOnlyWhenItIsAFormCanvas) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(240);
    JavaPtr<TestItem> item = jnew<TestItem>();
    item->addToForm(form.get());
    EXPECT_EQ(item->getFormCanvas(), nullptr);
    JavaPtr<Canvas> plain = jnew<Canvas>();
    form->setCorrespondingCanvas(plain.get());
    EXPECT_EQ(item->getFormCanvas(), nullptr);
    JavaPtr<FakeFormCanvas> formCanvas = jnew<FakeFormCanvas>();
    form->setCorrespondingCanvas(formCanvas.get());
    EXPECT_EQ(item->getFormCanvas(), formCanvas);
    form->setCorrespondingCanvas(nullptr);
    item->removeFromForm();
}

TEST_F(ItemTest, PointersReachTheContentAreaWithItsEdgesIncluded) {
    // A box of 50 x 40 at (5, 100) under a label line: content 44 x 24 from (3, 13) in the box.
    struct Case {
        const char* name;
        int x, y;
        const char* expected;  // what the press reaches, or "" for nothing
    };
    const Case cases[] = {
        {"top-left corner", 3, 13, "pressed 0,0"},
        {"right and bottom edges", 47, 37, "pressed 44,24"},
        {"left of the area", 2, 20, ""},
        {"right of the area", 48, 20, ""},
        {"above the area, in the margin", 10, 12, ""},
        {"below the area", 10, 38, ""},
        {"on the label line", 10, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<FakeForm> form = jnew<FakeForm>(240);
        JavaPtr<TestItem> item = jnew<TestItem>();
        item->setLabel(jstr("Label"));
        item->addToForm(form.get());
        layOut(*item, 5, 100, 50, 40);
        ASSERT_EQ(item->m_contentWidth, 44);
        ASSERT_EQ(item->m_contentHeight, 24);

        item->pointerPressedInternal(c.x, c.y);
        // A press anywhere on the item asks for the highlight, and the repaint that shows it.
        EXPECT_EQ(form->highlightRequests, 1);
        EXPECT_EQ(form->highlighted, item.get());
        EXPECT_EQ(form->repaintRequests, 1);
        item->pointerDraggedInternal(c.x, c.y);
        item->pointerReleasedInternal(c.x, c.y);
        // Drags and releases ask for nothing.
        EXPECT_EQ(form->highlightRequests, 1);
        std::vector<std::string> expected;
        if (*c.expected != '\0') {
            const std::string at = std::string(c.expected).substr(8);
            expected = {"pressed " + at, "dragged " + at, "released " + at};
        }
        EXPECT_EQ(item->events, expected);
        item->removeFromForm();
    }
}

TEST_F(ItemTest, APressOnTheHighlightedItemAsksForNothing) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(240);
    JavaPtr<TestItem> item = jnew<TestItem>();
    item->addToForm(form.get());
    layOut(*item, 0, 0, 20, 20);
    form->highlighted = item.get();
    item->pointerPressedInternal(5, 5);
    EXPECT_EQ(form->highlightRequests, 0);
    EXPECT_EQ(form->repaintRequests, 0);
    EXPECT_EQ(item->events, std::vector<std::string>{"pressed 2,2"});
    item->removeFromForm();
}

TEST_F(ItemTest, PointersBeforeTheFirstLayoutReachNothing) {
    JavaPtr<TestItem> item = jnew<TestItem>();
    for (int x : {-1, 0, 1}) {
        item->pointerPressedInternal(x, x);
        item->pointerReleasedInternal(x, x);
    }
    EXPECT_TRUE(item->events.empty());
}

TEST_F(ItemTest, KeypadDigitsAndDirectionKeysGiveGameActions) {
    struct Case {
        int keyCode;
        int action;
    };
    const Case cases[] = {
        {expectedKeypressID(2), Canvas::UP},
        {expectedKeypressID(4), Canvas::LEFT},
        {expectedKeypressID(5), Canvas::FIRE},
        {expectedKeypressID(6), Canvas::RIGHT},
        {expectedKeypressID(8), Canvas::DOWN},
        {expectedKeypressID(0), 0},
        {expectedKeypressID(1), 0},
        {expectedKeypressID(3), 0},
        {expectedKeypressID(7), 0},
        {expectedKeypressID(9), 0},
        {expectedKeypressID(18), Canvas::UP},
        {expectedKeypressID(19), Canvas::DOWN},
        {expectedKeypressID(16), Canvas::LEFT},
        {expectedKeypressID(17), Canvas::RIGHT},
        {expectedKeypressID(20), Canvas::FIRE},
        {expectedKeypressID(10), 0},
        {expectedKeypressID(11), 0},
        {'0' - 1, 0},
        {'9' + 1, 0},
    };
    JavaPtr<TestItem> item = jnew<TestItem>();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keyCode);
        EXPECT_EQ(item->getGameAction(c.keyCode), c.action);
    }
}

TEST_F(ItemTest, PaintDrawsTheLabelTheHighlightBorderAndUnclippedContent) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(240);
    JavaPtr<TestItem> item = jnew<TestItem>();
    item->setLabel(jstr("L"));
    item->addToForm(form.get());
    layOut(*item, 20, 30, 40, 30);
    formstest::PaintTarget target;
    // A clip around the box only: the content still paints beyond its own area.
    target.graphics->setClip(10, 20, 60, 50);

    item->paint(target.graphics);
    EXPECT_EQ(item->paintedSize, "34,14");
    // The label's glyph frame starts one row down at the box's corner.
    EXPECT_EQ(target.pixel(20, 31), formstest::kForeground);
    EXPECT_EQ(target.pixel(20, 30), formstest::kWhite);
    // Content (-2, -2) .. (1, 1) around the content origin (23, 43).
    EXPECT_EQ(target.count(0xFF0000, 21, 41, 4, 4), 16);
    // Not highlighted: no border.
    EXPECT_EQ(target.count(formstest::kHighlightedBorder, 20, 30, 41, 31), 0);

    form->highlighted = item.get();
    item->paint(target.graphics);
    // The border outlines (x, y) to (x + w, y + h), both included.
    EXPECT_EQ(target.pixel(60, 60), formstest::kHighlightedBorder);
    EXPECT_EQ(target.pixel(40, 60), formstest::kHighlightedBorder);
    EXPECT_EQ(target.pixel(60, 45), formstest::kHighlightedBorder);
    EXPECT_EQ(target.pixel(61, 61), formstest::kWhite);
    item->removeFromForm();
}

TEST_F(ItemTest, PaintPutsTheGraphicsBackEvenWhenTheContentThrows) {
    JavaPtr<TestItem> item = jnew<TestItem>();
    layOut(*item, 20, 30, 40, 30);
    formstest::PaintTarget target;
    JavaPtr<Font> font = Font::getFont(Font::FACE_MONOSPACE, 0, 0);
    target.graphics->setFont(font);
    target.graphics->translate(7, 9);
    target.graphics->setClip(1, 2, 30, 40);
    for (bool throwing : {false, true}) {
        SCOPED_TRACE(throwing);
        item->throwFromPaint = throwing;
        EXPECT_EQ(throws<java::lang::IllegalStateException>([&] { item->paint(target.graphics); }), throwing);
        EXPECT_EQ(target.graphics->getTranslateX(), 7);
        EXPECT_EQ(target.graphics->getTranslateY(), 9);
        EXPECT_EQ(target.graphics->getClipX(), 1);
        EXPECT_EQ(target.graphics->getClipY(), 2);
        EXPECT_EQ(target.graphics->getClipWidth(), 30);
        EXPECT_EQ(target.graphics->getClipHeight(), 40);
        EXPECT_EQ(target.graphics->getFont()->fontByte(), font->fontByte());
    }
}

TEST_F(ItemTest, TouchAreasSitInTheFormsContentCoordinatesAndGoWithTheItem) {
    JavaPtr<TestItem> item = jnew<TestItem>();
    layOut(*item, 10, 200, 50, 30);
    // Content-area (0, 0) .. (9, 4) is the form's (13, 203) .. (22, 207).
    item->registerArea(0, 0, 9, 4, jstr("i0_a"));
    EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::FORM_ITEMS), 1);
    TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::FORM_ITEMS);
    EXPECT_FALSE(TouchScreenAreaManager::pointerPressed(12, 203));
    EXPECT_TRUE(TouchScreenAreaManager::pointerPressed(22, 207));
    EXPECT_EQ(item->events, std::vector<std::string>{"area i0_a 0 9,4"});
    TouchScreenAreaManager::pointerReleased(22, 207);

    item->hideNotify();
    EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::FORM_ITEMS), 0);

    // An item freed while one of its areas is pressed: the rest of that touch reaches nothing.
    item->registerArea(0, 0, 9, 4, jstr("i0_a"));
    EXPECT_TRUE(TouchScreenAreaManager::pointerPressed(13, 203));
    item = nullptr;
    EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::FORM_ITEMS), 0);
    TouchScreenAreaManager::pointerDragged(14, 204);
    TouchScreenAreaManager::pointerReleased(14, 204);
}

}  // namespace
