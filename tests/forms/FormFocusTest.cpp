// Where the focus goes as the user moves through a form with the keys, and what it looks like: one item
// shows the focus, a traversal enters a choice group at its first element, a focused date field keeps
// its line through relayouts, and the keys reach every line of a tall last item.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/ChoiceGroup.h"
#include "forms/DateField.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/ImageItem.h"
#include "forms/TextField.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "tests/forms/FormTestFixture.h"
#include "tests/support/StringText.h"
#include "tests/support/TestFont.h"

namespace {

using formstest::kViewHeight;
using javax::microedition::lcdui::Choice;
using javax::microedition::lcdui::ChoiceGroup;
using javax::microedition::lcdui::DateField;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::ImageItem;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::TextField;
using testsupport::jstr;

constexpr int kRed = 0xFF0000;

class FormFocusTest : public formstest::FormFixture {
protected:
    static void tap(const JavaPtr<Form>& form, int key) {
        form->getFormCanvas()->keyPressed(key);
        form->getFormCanvas()->keyReleased(key);
    }
    // The form painted over the whole screen.
    static formstest::PaintTarget painted(const JavaPtr<Form>& form) {
        formstest::PaintTarget target(formstest::kFormScreenWidth, formstest::kFormScreenHeight);
        form->getFormCanvas()->paint(target.graphics);
        return target;
    }
    // The pixels of a colour inside an item's box as painted (no title and no scrolling in these forms).
    static int countInBox(formstest::PaintTarget& target, const JavaPtr<Item>& item, int colour) {
        return target.count(colour, item->m_x, item->m_y, item->m_width, item->m_height);
    }
};

TEST_F(FormFocusTest, OnlyTheHighlightedItemShowsFocusAndDownEntersAChoiceGroupAtItsFirstElement) {
    struct Case {
        const char* name;
        std::vector<const char*> elements;
    };
    const Case cases[] = {{"three elements", {"one", "two", "three"}}, {"one element", {"only"}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<ChoiceGroup::StringArray> texts =
            jnew<ChoiceGroup::StringArray>(static_cast<int>(c.elements.size()));
        for (size_t i = 0; i < c.elements.size(); ++i) texts->data[i] = jstr(c.elements[i]);
        JavaPtr<Form> form = newForm();
        form->append(jnew<TextField>(jstr("name"), jstr(""), 20, TextField::ANY));
        JavaPtr<ChoiceGroup> group = jnew<ChoiceGroup>(jstr("pick"), Choice::MULTIPLE, texts, nullptr);
        form->append(group);
        form->relayout();

        formstest::PaintTarget before = painted(form);
        EXPECT_EQ(countInBox(before, group, formstest::kHighlightedBackground), 0)
            << "the text field has the focus: the group shows no highlighted element";

        // One DOWN leaves the one-line text field for the group's first element, which FIRE then ticks.
        tap(form, DisplayableCoreCanvas::KEY_DOWN);
        formstest::PaintTarget after = painted(form);
        const int firstRowTop = group->m_y + group->m_contentY + ChoiceGroup::ROW_INSET;
        const int textColumn = group->m_x + group->m_contentX + 26 + ChoiceGroup::ROW_INSET;
        EXPECT_EQ(after.pixel(textColumn, firstRowTop + 5), formstest::kHighlightedBackground);
        tap(form, DisplayableCoreCanvas::KEY_FIRE);
        EXPECT_TRUE(group->isSelected(0));
        EXPECT_EQ(group->getSelectedFlags(jnew<JArray<bool>>(group->size())), 1);
    }
}

TEST_F(FormFocusTest, AFocusedDateFieldKeepsItsLineThroughRelayouts) {
    struct Case {
        const char* name;
        int downs;
        int line;
        int view;
    };
    const Case cases[] = {{"the date line opens the calendar", 0, 0, 1},
                          {"the time line opens the clock", 1, 1, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<Form> form = newForm();
        JavaPtr<DateField> field = jnew<DateField>(jstr("when"), DateField::DATE_TIME);
        form->append(field);
        form->relayout();
        for (int i = 0; i < c.downs; ++i) tap(form, DisplayableCoreCanvas::KEY_DOWN);
        // Every relayout traverses the focused item again without a direction; the chosen line stays
        // highlighted through each. Without a value a line's bar starts after "<", at x 3 + 6.
        for (int round = 0; round < 3; ++round) {
            SCOPED_TRACE(round);
            form->relayout();
            formstest::PaintTarget target = painted(form);
            for (int line = 0; line < 2; ++line) {
                const int x = field->m_x + field->m_contentX + 9;
                const int y = field->m_y + field->m_contentY + 3 + line * (testsupport::kTestFontHeight + 3);
                EXPECT_EQ(target.pixel(x, y) == formstest::kHighlightedBackground, line == c.line)
                    << "line " << line;
            }
        }
        tap(form, DisplayableCoreCanvas::KEY_FIRE);
        EXPECT_EQ(field->view(), c.view);
        // "Cancel" closes the view for the form's tidy-up.
        tap(form, DisplayableCoreCanvas::KEY_SOFTKEY_LEFT);
        EXPECT_EQ(field->view(), 0);
    }
}

TEST_F(FormFocusTest, DownKeysRevealTheLastLinesOfATallLastItem) {
    // 1000 pixels high, its last ten rows red.
    JavaPtr<Image> image = Image::createImage(50, 1000);
    JavaPtr<Graphics> g = image->getGraphics();
    g->setColor(kRed);
    g->fillRect(0, 990, 50, 10);
    JavaPtr<Form> form = newForm();
    form->append(box("top", 50, 20));
    form->append(jnew<ImageItem>(nullptr, image, Item::LAYOUT_NEWLINE_BEFORE, nullptr));
    form->relayout();
    JavaPtr<Item> tall = form->get(1);
    const auto redInView = [&] {
        formstest::PaintTarget target = painted(form);
        return target.count(kRed, tall->m_x, 0, tall->m_width, kViewHeight);
    };

    tap(form, DisplayableCoreCanvas::KEY_DOWN);
    ASSERT_EQ(form->getHighlightedItem(), tall);
    EXPECT_EQ(redInView(), 0);
    // 20 pixels a press: the image's box, 1006 high from y 20, ends 560 below the 466-pixel view, so the
    // 28th press shows its last rows; more presses go no further.
    int presses = 0;
    while (redInView() == 0 && presses < 40) {
        tap(form, DisplayableCoreCanvas::KEY_DOWN);
        ++presses;
    }
    EXPECT_EQ(presses, 28);
    EXPECT_EQ(redInView(), 50 * 10);
    EXPECT_EQ(form->getHighlightedItem(), tall);
    tap(form, DisplayableCoreCanvas::KEY_DOWN);
    EXPECT_EQ(redInView(), 50 * 10);
}

}  // namespace
