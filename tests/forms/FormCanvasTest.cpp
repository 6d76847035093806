#include "forms/FormCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Form.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Command.h"
#include "shell/Display.h"
#include "shell/KeypressIDs.h"
#include "tests/forms/FormTestFixture.h"
#include "tests/screens/ScreenTestFixture.h"
#include "tests/support/StringText.h"

using formstest::BoxItem;
using formstest::kViewHeight;
using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;

namespace {

using Core = DisplayableCoreCanvas;
constexpr int NL = Item::LAYOUT_NEWLINE_BEFORE;

class FormCanvasTest : public formstest::FormFixture {
public:
    // A form of boxes given as {name, width, height, layout}, laid out.
    struct Spec {
        const char* name;
        int width;
        int height;
        int layout = 0;
    };
    JavaPtr<Form> formOf(const std::vector<Spec>& specs, const char* title = nullptr) {
        JavaPtr<Form> form = newForm(title);
        for (const Spec& spec : specs) form->append(box(spec.name, spec.width, spec.height, spec.layout));
        form->relayout();
        return form;
    }
    // A column of n boxes 100 pixels high, named b0, b1, ...
    JavaPtr<Form> column(int n, const char* title = nullptr) {
        JavaPtr<Form> form = newForm(title);
        for (int i = 0; i < n; ++i) form->append(box(("b" + std::to_string(i)).c_str(), 50, 100, NL));
        form->relayout();
        return form;
    }
    static void tap(const JavaPtr<Form>& form, int key) {
        FormCanvas* canvas = form->getFormCanvas().get();
        canvas->keyPressed(key);
        canvas->keyReleased(key);
    }
    static std::string highlighted(const JavaPtr<Form>& form) {
        JavaPtr<Item> item = form->getHighlightedItem();
        return item ? static_cast<BoxItem*>(item.get())->name() : "-";
    }
    static int keyFor(char move) {
        switch (move) {
            case 'L':
                return Core::KEY_LEFT;
            case 'R':
                return Core::KEY_RIGHT;
            case 'U':
                return Core::KEY_UP;
            default:
                return Core::KEY_DOWN;
        }
    }
};

// Row 0: a b c, 60 wide each (centres 35, 95, 155); row 1: d 100 wide (5..105), e 40 wide (105..145).
TEST_F(FormCanvasTest, ArrowKeysMoveAcrossRowsAndByColumn) {
    struct Case {
        const char* moves;
        const char* highlighted;
        int column;
    };
    const std::vector<Case> cases = {
        // The first highlight comes with the first append, before any layout: its column is 0.
        {"", "a", 0},    {"R", "b", 95},      {"RRR", "d", 55},  {"RRRL", "c", 155},
        {"L", "a", 35},  {"RRRRR", "e", 125}, {"RRD", "e", 155}, {"RRDU", "c", 155},
        {"RD", "d", 95}, {"RDU", "b", 95},    {"U", "a", 0},     {"DD", "d", 0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.moves);
        JavaPtr<Form> form =
            formOf({{"a", 60, 20}, {"b", 60, 20}, {"c", 60, 20}, {"d", 100, 20, NL}, {"e", 40, 20}});
        for (const char* move = testCase.moves; *move; ++move) tap(form, keyFor(*move));
        EXPECT_EQ(highlighted(form), testCase.highlighted);
        EXPECT_EQ(form->getFormCanvas()->m_column, testCase.column);
    }
}

// Row 0: a 5..75, b 75..135; row 1: d 5..105, e 105..145; row 2: f 5..145.
TEST_F(FormCanvasTest, AColumnOnASharedEdgeGoesDownToTheLeftAndUpToTheRightAndVerticalMovesKeepIt) {
    struct Case {
        const char* start;
        const char* moves;
        const char* highlighted;
    };
    const std::vector<Case> cases = {
        {"b", "D", "d"},    // column 105 on the edge of d and e
        {"f", "U", "d"},    // column 75
        {"f", "UU", "b"},   // column 75 on the edge of a and b
        {"e", "DDU", "e"},  // the wide f does not change the column 125
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(std::string(testCase.start) + " " + testCase.moves);
        JavaPtr<Form> form =
            formOf({{"a", 70, 20}, {"b", 60, 20}, {"d", 100, 20, NL}, {"e", 40, 20}, {"f", 140, 20, NL}});
        JavaPtr<Form::ItemArray> items = form->getItems();
        for (int i = 0; i < items->length; ++i) {
            if (static_cast<BoxItem*>(items->data[i].get())->name() == testCase.start)
                items->data[i]->requestHighlight();
        }
        for (const char* move = testCase.moves; *move; ++move) tap(form, keyFor(*move));
        EXPECT_EQ(highlighted(form), testCase.highlighted);
    }
}

TEST_F(FormCanvasTest, APressMovesNothingWhileRepeatsAndTheReleaseMove) {
    JavaPtr<Form> form = column(5);
    FormCanvas* canvas = form->getFormCanvas().get();
    log.take();
    canvas->keyPressed(Core::KEY_DOWN);
    EXPECT_EQ(highlighted(form), "b0");
    canvas->keyRepeated(Core::KEY_DOWN);
    canvas->keyRepeated(Core::KEY_DOWN);
    EXPECT_EQ(highlighted(form), "b2");
    canvas->keyReleased(Core::KEY_DOWN);
    EXPECT_EQ(highlighted(form), "b3");
    // A release whose press the form did not see moves nothing.
    canvas->keyReleased(Core::KEY_DOWN);
    EXPECT_EQ(highlighted(form), "b3");
    // Each move asks the highlighted item first whether it keeps the focus.
    EXPECT_EQ(log.take(), (std::vector<std::string>{"b0 traverse 6", "b0 traverseOut", "b1 traverse 6",
                                                    "b1 traverse 6", "b1 traverseOut", "b2 traverse 6",
                                                    "b2 traverse 6", "b2 traverseOut", "b3 traverse 6"}));
    EXPECT_FALSE(Display::lcdUIEventInProgress.load());
}

TEST_F(FormCanvasTest, AnItemHoldingTheFocusKeepsTheHighlightUntilItsTraversalEnds) {
    JavaPtr<Form> form = column(3);
    static_cast<BoxItem*>(form->get(1).get())->focusSteps = 2;
    log.take();
    for (int i = 0; i < 2; ++i) tap(form, Core::KEY_DOWN);
    EXPECT_EQ(highlighted(form), "b1");
    EXPECT_EQ(form->getFormCanvas()->getTraversedItem(), form->get(1));
    tap(form, Core::KEY_DOWN);
    EXPECT_EQ(highlighted(form), "b2");
    EXPECT_FALSE(form->getFormCanvas()->getTraversedItem());
    EXPECT_EQ(log.take(), (std::vector<std::string>{"b0 traverse 6", "b0 traverseOut", "b1 traverse 6",
                                                    "b1 traverse 6", "b1 traverse 6", "b1 traverseOut",
                                                    "b1 traverseOut", "b2 traverse 6"}));
}

TEST_F(FormCanvasTest, OtherKeysReachTheHighlightedItem) {
    JavaPtr<Form> form = column(2);
    form->get(1)->requestHighlight();
    log.take();
    const int digit = ::expectedKeypressID(1);
    FormCanvas* canvas = form->getFormCanvas().get();
    canvas->keyPressed(digit);
    canvas->keyRepeated(digit);
    canvas->keyReleased(digit);
    const std::string code = std::to_string(digit);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"b1 keyPressed " + code, "b1 keyRepeated " + code,
                                                    "b1 keyReleased " + code}));
}

TEST_F(FormCanvasTest, WithoutAHighlightAnArrowHighlightsTheFirstItem) {
    JavaPtr<Form> form = column(3);
    form->get(2)->requestHighlight();
    ASSERT_TRUE(form->m_unhighlightItem(2));
    ASSERT_FALSE(form->getHighlightedItem());
    log.take();
    tap(form, ::expectedKeypressID(1));
    EXPECT_FALSE(form->getHighlightedItem()) << "a key that is no move";
    tap(form, Core::KEY_DOWN);
    EXPECT_EQ(highlighted(form), "b0");
    EXPECT_EQ(log.take(), (std::vector<std::string>{"b0 traverse 6"}));

    JavaPtr<Form> empty = newForm();
    empty->relayout();
    tap(empty, Core::KEY_DOWN);
    tap(empty, Core::KEY_RIGHT);
    EXPECT_FALSE(empty->getHighlightedItem());
}

TEST_F(FormCanvasTest, ANeverHighlightingFormScrollsTwentyPixelsAStepWithinItsContent) {
    JavaPtr<Form> form = newForm();
    form->setNeverHighlightItems(true);
    for (int i = 0; i < 6; ++i) form->append(box("b", 50, 100, NL));
    form->relayout();
    FormCanvas* canvas = form->getFormCanvas().get();
    ASSERT_TRUE(canvas->verticalScrollbarVisible());
    const int limit = 600 - kViewHeight;

    canvas->keyPressed(Core::KEY_DOWN);
    EXPECT_EQ(canvas->getVerticalScrollPos(), 0) << "a press does nothing";
    canvas->keyRepeated(Core::KEY_DOWN);
    EXPECT_EQ(canvas->getVerticalScrollPos(), 20);
    canvas->keyReleased(Core::KEY_DOWN);
    EXPECT_EQ(canvas->getVerticalScrollPos(), 40);
    canvas->keyPressed(Core::KEY_DOWN);
    for (int i = 0; i < 20; ++i) canvas->keyRepeated(Core::KEY_DOWN);
    EXPECT_EQ(canvas->getVerticalScrollPos(), limit);
    canvas->keyReleased(Core::KEY_DOWN);
    tap(form, Core::KEY_UP);
    EXPECT_EQ(canvas->getVerticalScrollPos(), limit - 20);
    canvas->keyPressed(Core::KEY_UP);
    for (int i = 0; i < 20; ++i) canvas->keyRepeated(Core::KEY_UP);
    EXPECT_EQ(canvas->getVerticalScrollPos(), 0);
    canvas->keyReleased(Core::KEY_UP);
    EXPECT_FALSE(form->getHighlightedItem());

    // Content that fits does not scroll.
    JavaPtr<Form> shortForm = newForm();
    shortForm->setNeverHighlightItems(true);
    shortForm->append(box("b", 50, 100));
    shortForm->relayout();
    tap(shortForm, Core::KEY_DOWN);
    EXPECT_EQ(shortForm->getFormCanvas()->getVerticalScrollPos(), 0);
}

TEST_F(FormCanvasTest, MovingTheHighlightBelowTheViewBringsTheItemsTopToTheViewsTop) {
    JavaPtr<Form> form = column(10);
    FormCanvas* canvas = form->getFormCanvas().get();
    for (int i = 0; i < 4; ++i) tap(form, Core::KEY_DOWN);
    EXPECT_EQ(canvas->getVerticalScrollPos(), 0) << "b4's top at 400 is in view";
    tap(form, Core::KEY_DOWN);
    EXPECT_EQ(canvas->getVerticalScrollPos(), 500);
    tap(form, Core::KEY_UP);
    EXPECT_EQ(canvas->getVerticalScrollPos(), 400);
    // An item holding the focus brings the part it asks for into view: y 250 is clamped to its content.
    auto* target = static_cast<BoxItem*>(form->get(9).get());
    target->focusSteps = 5;
    target->focusRect = {0, 250, 10, 20};
    target->requestHighlight();
    EXPECT_EQ(canvas->getVerticalScrollPos(), 1000 - kViewHeight) << "as far as the content goes";

    JavaPtr<Form> tall = column(20);
    auto* focused = static_cast<BoxItem*>(tall->get(9).get());
    focused->focusSteps = 5;
    focused->focusRect = {0, 250, 10, 20};
    focused->requestHighlight();
    EXPECT_EQ(tall->getFormCanvas()->getVerticalScrollPos(), 900 + 3 + 94);
}

TEST_F(FormCanvasTest, ATouchReachesTheItemUnderItInContentCoordinates) {
    JavaPtr<Form> form = column(8, "title");
    FormCanvas* canvas = form->getFormCanvas().get();
    const int top = testsupport::kTestFontHeight + 4;
    canvas->setVerticalScrollPos(100);
    log.take();
    // Screen y top + 10 is content y 110: 10 into b1's box, 7 into its content area.
    canvas->pointerPressed(20, top + 10);
    canvas->pointerReleased(20, top + 10);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"b0 traverseOut", "b1 traverse 0", "b1 pressed 12,7",
                                                    "b1 released 12,7"}));
    EXPECT_EQ(highlighted(form), "b1");
    EXPECT_EQ(canvas->getVerticalScrollPos(), 100);
    EXPECT_FALSE(Display::lcdUIEventInProgress.load());
}

TEST_F(FormCanvasTest, AnOpenOverlayTakesEveryTouchInScreenCoordinates) {
    JavaPtr<Form> form = column(3);
    screenstest::TouchLog overlay;
    TouchScreenAreaManager::registerArea(0, 0, 100, 100, jstr("overlay"), overlay.listener(),
                                         TouchScreenAreaManager::ITEM_OVERLAYS);
    form->getFormCanvas()->setVerticalScrollPos(50);
    log.take();
    form->getFormCanvas()->pointerPressed(10, 20);
    EXPECT_EQ(overlay.take(), (std::vector<std::string>{"overlay pressed 10,20 -1,-1 inside"}));
    EXPECT_EQ(log.take(), std::vector<std::string>{});
}

TEST_F(FormCanvasTest, ACommandReachesTheHighlightedItemAndTicksItAndTheGauges) {
    JavaPtr<Form> form = column(2);
    JavaPtr<Command> own = jnew<Command>(jstr("own"), Command::ITEM, 1);
    form->get(0)->addCommand(own);
    JavaPtr<Command> screen = jnew<Command>(jstr("screen"), Command::SCREEN, 1);
    form->addCommand(screen);
    log.take();
    FormCanvas* canvas = form->getFormCanvas().get();
    canvas->triggerCommand(own);
    canvas->triggerCommand(screen);
    canvas->tick(0);
    EXPECT_EQ(log.take(), (std::vector<std::string>{"b0 command own", "b0 command screen", "b0 tick"}));
}

TEST_F(FormCanvasTest, PaintsTheBackgroundTheItemsWithTheHighlightAndTheChromeOverThem) {
    JavaPtr<Form> form = column(8, "title");
    FormCanvas* canvas = form->getFormCanvas().get();
    const int top = testsupport::kTestFontHeight + 4;
    const int softKeys = formstest::kFormScreenHeight - testsupport::kTestFontHeight - 4;
    form->get(1)->requestHighlight();
    formstest::PaintTarget target(formstest::kFormScreenWidth, formstest::kFormScreenHeight);
    canvas->paint(target.graphics);
    // b1's box is (5, 100, 50, 100) in content coordinates, its border drawn on the box's edges.
    EXPECT_EQ(target.pixel(5, top + 100), formstest::kHighlightedBorder);
    EXPECT_EQ(target.pixel(55, top + 150), formstest::kHighlightedBorder);
    EXPECT_EQ(target.pixel(5, top + 50), formstest::kBackground) << "b0 has no border";
    EXPECT_EQ(target.pixel(100, top + 150), formstest::kBackground);
    EXPECT_EQ(target.pixel(1, softKeys), 0x666666) << "the soft-key bar's top line";
    EXPECT_EQ(target.pixel(1, 1), formstest::kBackground) << "the title bar";

    // Scrolled by 60: the border follows; the part under the title bar is covered by it.
    canvas->setVerticalScrollPos(60);
    formstest::PaintTarget scrolled(formstest::kFormScreenWidth, formstest::kFormScreenHeight);
    canvas->paint(scrolled.graphics);
    EXPECT_EQ(scrolled.pixel(5, top + 40), formstest::kHighlightedBorder);
    EXPECT_EQ(scrolled.pixel(5, top + 100), formstest::kHighlightedBorder);
    EXPECT_EQ(scrolled.pixel(30, top + 140), formstest::kHighlightedBorder);
    EXPECT_EQ(scrolled.pixel(30, top + 100), formstest::kBackground);
    EXPECT_EQ(scrolled.graphics->getTranslateY(), 0) << "the translation is put back";
}

}  // namespace
