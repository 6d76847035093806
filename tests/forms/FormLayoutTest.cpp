#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "forms/DateField.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/Gauge.h"
#include "forms/StringItem.h"
#include "tests/forms/FormTestFixture.h"
#include "tests/support/StringText.h"

using formstest::BoxItem;
using formstest::kUsable;
using javax::microedition::lcdui::DateField;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Gauge;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::StringItem;
using testsupport::jstr;

namespace {

constexpr int kFontHeight = testsupport::kTestFontHeight;
constexpr int kShrink = 0x400;

struct CorePeek : DisplayableCoreCanvas {
    static int verticalHeight(DisplayableCoreCanvas* canvas) {
        return canvas->*(&CorePeek::m_verticalHeight);
    }
};

// Stand-ins for the interactive items of other parts of the tree: only their class names make them
// stand alone, as they do not say so themselves.
class TextField : public BoxItem {
    TESL_CLASS(TextField, "javax.microedition.lcdui.TextField", BoxItem)
public:
    TextField() noexcept {}
};
class ChoiceGroup : public BoxItem {
    TESL_CLASS(ChoiceGroup, "javax.microedition.lcdui.ChoiceGroup", BoxItem)
public:
    ChoiceGroup() noexcept {}
};
class OwnRowItem : public BoxItem {
    TESL_CLASS(OwnRowItem, "formstest.OwnRowItem", BoxItem)
public:
    OwnRowItem() noexcept {}
    bool requiresOwnRow() override { return true; }
};

struct Spec {
    int width;
    int height;
    int layout = 0;
    const char* label = nullptr;
    int minWidth = -1;
    int minHeight = -1;
};
struct Box {
    int x;
    int y;
    int width;
    int height;
    int row;
    bool operator==(const Box&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "{x " << b.x << ", y " << b.y << ", w " << b.width << ", h " << b.height << ", row "
               << b.row << "}";
}
Box boxOf(Item* item) {
    return {item->m_x, item->m_y, item->m_width, item->m_height, item->m_row};
}

class FormLayoutTest : public formstest::FormFixture {
public:
    JavaPtr<Form> laidOut(const std::vector<Spec>& specs) {
        JavaPtr<Form> form = newForm();
        for (const Spec& spec : specs) {
            JavaPtr<BoxItem> item = box("item", spec.width, spec.height, spec.layout);
            if (spec.minWidth >= 0) item->minWidth = spec.minWidth;
            if (spec.minHeight >= 0) item->minHeight = spec.minHeight;
            if (spec.label) item->setLabel(jstr(spec.label));
            form->append(item);
        }
        form->relayout();
        return form;
    }
    static std::vector<Box> boxes(const JavaPtr<Form>& form) {
        std::vector<Box> result;
        JavaPtr<Form::ItemArray> items = form->getItems();
        for (int i = 0; i < items->length; ++i) result.push_back(boxOf(items->data[i].get()));
        return result;
    }
};

TEST_F(FormLayoutTest, RowsFromTheItemsLayoutWords) {
    constexpr int L = Item::LAYOUT_LEFT;
    constexpr int C = Item::LAYOUT_CENTER;
    constexpr int R = Item::LAYOUT_RIGHT;
    constexpr int E = Item::LAYOUT_EXPAND;
    struct Case {
        const char* name;
        std::vector<Spec> specs;
        std::vector<Box> expected;
    };
    const std::vector<Case> cases = {
        {"three left",
         {{50, 20, L}, {50, 20, L}, {50, 20, L}},
         {{5, 0, 50, 20, 0}, {55, 0, 50, 20, 0}, {105, 0, 50, 20, 0}}},
        {"three centred: slack 50",
         {{50, 20, C}, {50, 20, C}, {50, 20, C}},
         {{30, 0, 50, 20, 0}, {80, 0, 50, 20, 0}, {130, 0, 50, 20, 0}}},
        {"three right",
         {{50, 20, R}, {50, 20, R}, {50, 20, R}},
         {{55, 0, 50, 20, 0}, {105, 0, 50, 20, 0}, {155, 0, 50, 20, 0}}},
        {"an expanding item takes a slack of 9",
         {{100, 20, E}, {91, 20}},
         {{5, 0, 109, 20, 0}, {114, 0, 91, 20, 0}}},
        {"two expanding items share 5 as 3 and 2",
         {{100, 20, E}, {95, 20, E}},
         {{5, 0, 103, 20, 0}, {108, 0, 97, 20, 0}}},
        {"overflow moves the last item to the next row",
         {{80, 20}, {80, 20}, {80, 30}},
         {{5, 0, 80, 20, 0}, {85, 0, 80, 20, 0}, {5, 20, 80, 30, 1}}},
        {"an item wider than the row gets the row",
         {{250, 20}, {10, 20}},
         {{5, 0, 200, 20, 0}, {5, 20, 10, 20, 1}}},
        {"a shrinking item is measured at its minimum and grows from the slack",
         {{80, 20, kShrink, nullptr, 40}, {150, 20}},
         {{5, 0, 50, 20, 0}, {55, 0, 150, 20, 0}}},
        {"a label starts a row; an item without one may follow it",
         {{50, 20}, {50, 20, 0, "L"}, {50, 20}},
         {{5, 0, 50, 20, 0}, {5, 20, 50, 20 + kFontHeight, 1}, {55, 20 + kFontHeight, 50, 20, 1}}},
        {"newline before",
         {{50, 20}, {50, 20, Item::LAYOUT_NEWLINE_BEFORE}},
         {{5, 0, 50, 20, 0}, {5, 20, 50, 20, 1}}},
        {"newline after has no effect",
         {{50, 20, Item::LAYOUT_NEWLINE_AFTER}, {50, 20}},
         {{5, 0, 50, 20, 0}, {55, 0, 50, 20, 0}}},
        {"another alignment starts a row",
         {{50, 20, L}, {50, 20, R}},
         {{5, 0, 50, 20, 0}, {155, 20, 50, 20, 1}}},
        {"vertical centre: offset 10",
         {{50, 30}, {50, 10, Item::LAYOUT_VCENTER}},
         {{5, 0, 50, 30, 0}, {55, 10, 50, 10, 0}}},
        {"bottom by default: offset 20", {{50, 30}, {50, 10}}, {{5, 0, 50, 30, 0}, {55, 20, 50, 10, 0}}},
        {"top", {{50, 30}, {50, 10, Item::LAYOUT_TOP}}, {{5, 0, 50, 30, 0}, {55, 0, 50, 10, 0}}},
        {"vertical expand takes the row height",
         {{50, 30}, {50, 10, Item::LAYOUT_VEXPAND}},
         {{5, 0, 50, 30, 0}, {55, 0, 50, 30, 0}}},
        {"vertical shrink counts the minimum and stays within the row",
         {{50, 30}, {50, 60, Item::LAYOUT_VSHRINK, nullptr, -1, 10}},
         {{5, 0, 50, 30, 0}, {55, 0, 50, 30, 0}}},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        EXPECT_EQ(boxes(laidOut(testCase.specs)), testCase.expected);
    }
}

TEST_F(FormLayoutTest, InteractiveItemsStandAloneOnTheirRow) {
    struct Case {
        const char* name;
        std::function<JavaPtr<Item>()> make;
    };
    const std::vector<Case> cases = {
        {"gauge", [] { return JavaPtr<Item>(jnew<Gauge>(nullptr, false, 10, 5)); }},
        {"date field", [] { return JavaPtr<Item>(jnew<DateField>(nullptr, DateField::DATE)); }},
        {"text field, by its class", [] { return JavaPtr<Item>(jnew<TextField>("t", 20, 20)); }},
        {"choice group, by its class", [] { return JavaPtr<Item>(jnew<ChoiceGroup>("c", 20, 20)); }},
        {"an item that asks for it", [] { return JavaPtr<Item>(jnew<OwnRowItem>("o", 20, 20)); }},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        JavaPtr<Form> form = newForm();
        form->append(box("before", 20, 20));
        form->append(testCase.make());
        form->append(box("after", 20, 20));
        form->relayout();
        JavaPtr<Form::ItemArray> items = form->getItems();
        EXPECT_EQ(items->data[0]->m_row, 0);
        EXPECT_EQ(items->data[1]->m_row, 1);
        EXPECT_EQ(items->data[2]->m_row, 2);
        EXPECT_EQ(items->data[2]->m_x, 5);
        EXPECT_TRUE(FormCanvas::m_itemTakesOwnRow(items->data[1].get()));
        EXPECT_FALSE(FormCanvas::m_itemTakesOwnRow(items->data[0].get()));
    }
}

TEST_F(FormLayoutTest, LineFeedsAtTheEdgesOfATextBreakTheRow) {
    struct Case {
        const char* name;
        const char* text;
        bool textFirst;
        int secondRow;
    };
    const std::vector<Case> cases = {
        {"a text ending in a line feed ends its row", "ab\n", true, 1},
        {"a text beginning with a line feed starts a row", "\nab", false, 1},
        {"a plain text does neither", "ab", true, 0},
        {"an empty text does neither", "", false, 0},
    };
    for (const Case& testCase : cases) {
        SCOPED_TRACE(testCase.name);
        JavaPtr<Form> form = newForm();
        JavaPtr<Item> text = jnew<StringItem>(nullptr, jstr(testCase.text));
        JavaPtr<Item> other = box("box", 20, 20);
        form->append(testCase.textFirst ? text : other);
        form->append(testCase.textFirst ? other : text);
        form->relayout();
        EXPECT_EQ(form->get(0)->m_row, 0);
        EXPECT_EQ(form->get(1)->m_row, testCase.secondRow);
    }
}

// Lines of the test font: 6 pixels a character, 10 high.
TEST_F(FormLayoutTest, ALongTextFlowsFromTheRestOfItsRowThroughFullRowsIntoTheNextRow) {
    JavaPtr<Form> form = newForm();
    form->append(box("before", 100, 20));
    // 14 words of 4 letters: 16 characters fit the 100 pixels left of the first row, 33 a full row.
    JavaPtr<StringItem> text = jnew<StringItem>(
        nullptr, jstr("aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm nnnn"));
    form->append(text);
    JavaPtr<BoxItem> after = box("after", 30, 20);
    form->append(after);
    form->relayout();

    ASSERT_TRUE(text->m_inline);
    std::vector<std::string> lines;
    for (int i = 0; i < text->m_lines->length; ++i)
        lines.push_back(testsupport::narrow(text->m_lines->data[i]));
    EXPECT_EQ(lines, (std::vector<std::string>{"aaaa bbbb cccc", "dddd eeee ffff gggg hhhh iiii",
                                               "jjjj kkkk llll mmmm nnnn"}));
    // The first line follows the box, the middle one spans the row from its margin, the last starts the
    // next row. y is relative to the first line's top, which sits at the bottom of the 20-pixel first row;
    // the middle line is a row of the font's height, and the last line sits at the bottom of its row.
    ASSERT_EQ(text->m_lineX->length, 3);
    EXPECT_EQ(std::vector<int>(text->m_lineX->data, text->m_lineX->data + 3), (std::vector<int>{105, 5, 5}));
    EXPECT_EQ(std::vector<int>(text->m_lineY->data, text->m_lineY->data + 3), (std::vector<int>{0, 10, 30}));
    EXPECT_EQ(text->m_inlineStartY, 10);
    // The text's box spans the usable width from its first line's top to its last line's bottom; it is a
    // row of its own for UP and DOWN, between the box before it and the row of its last line.
    EXPECT_EQ(boxOf(text.get()), (Box{0, 10, kUsable, 40, 1}));
    EXPECT_EQ(boxOf(after.get()), (Box{5 + 24 * 6, 30, 30, 20, 2}));
    EXPECT_EQ(form->getFormCanvas()->m_formHeight, 50);
}

// The row that holds the first text's last line also opens the second text's flow: both flows keep
// their own place in their texts.
TEST_F(FormLayoutTest, ARowMayEndOneFlowAndBeginAnother) {
    JavaPtr<Form> form = newForm();
    JavaPtr<StringItem> first =
        jnew<StringItem>(nullptr, jstr("aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj"));
    JavaPtr<StringItem> second =
        jnew<StringItem>(nullptr, jstr("pppp qqqq rrrr ssss tttt uuuu vvvv wwww xxxx yyyy"));
    form->append(first);
    form->append(second);
    form->relayout();
    ASSERT_TRUE(first->m_inline);
    ASSERT_TRUE(second->m_inline);
    auto lines = [](const JavaPtr<StringItem>& s) {
        std::vector<std::string> result;
        for (int i = 0; i < s->m_lines->length; ++i)
            result.push_back(testsupport::narrow(s->m_lines->data[i]));
        return result;
    };
    EXPECT_EQ(lines(first),
              (std::vector<std::string>{"aaaa bbbb cccc dddd eeee ffff", "gggg hhhh iiii jjjj"}));
    // 19 characters of the first text leave 86 pixels: 14 characters of the second.
    EXPECT_EQ(lines(second),
              (std::vector<std::string>{"pppp qqqq rrrr", "ssss tttt uuuu vvvv wwww xxxx", "yyyy"}));
    EXPECT_EQ(second->m_lineX->data[0], 5 + 19 * 6);
    EXPECT_EQ(form->getFormCanvas()->m_formHeight, 4 * kFontHeight);
}

TEST_F(FormLayoutTest, ATextWhoseFirstLineDoesNotFitStartsTheNextRow) {
    JavaPtr<Form> form = newForm();
    JavaPtr<BoxItem> wide = box("wide", kUsable - 4, 20);
    form->append(wide);
    JavaPtr<StringItem> text = jnew<StringItem>(nullptr, jstr("abcdef"));
    form->append(text);
    form->relayout();
    EXPECT_FALSE(text->m_inline);
    EXPECT_EQ(text->m_row, 1);
    EXPECT_EQ(text->m_x, 5);
    EXPECT_EQ(text->m_width, 36);
}

// The screen as the form canvas paints it, as 0xRRGGBB words.
std::vector<int> paintedScreen(const JavaPtr<Form>& form) {
    const int w = javax::microedition::lcdui::ScreenSize::width;
    const int h = javax::microedition::lcdui::ScreenSize::height;
    formstest::PaintTarget target(w, h);
    form->getFormCanvas()->paint(target.graphics);
    JavaPtr<JArray<int>> rgb = jnew<JArray<int>>(w * h);
    target.image->getRGB(rgb, 0, w, 0, 0, w, h);
    std::vector<int> pixels(rgb->data, rgb->data + w * h);
    for (int& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

// A string item that once flowed inline, or that a row gave up, is painted exactly as the same item in
// a form that laid it out once where it now stands: its lines follow the layout, not an earlier one.
TEST_F(FormLayoutTest, AStringItemPaintsTheLinesOfItsLatestLayout) {
    // 24 characters, 144 pixels: more than a row holding a 100-pixel box leaves, less than a whole row.
    const char* const kText = "aaaa bbbb cccc dddd eeee";
    struct Case {
        const char* name;
        // The form's items and the change after its first layout; the text is always the second item.
        std::function<void(FormLayoutTest&, const JavaPtr<Form>&)> build;
        std::function<void(const JavaPtr<Form>&)> change;
        // The items of the form that shows the outcome.
        std::function<void(FormLayoutTest&, const JavaPtr<Form>&)> expected;
        bool inlineAtFirst;
    };
    const auto text = [&](int layout = 0) {
        JavaPtr<StringItem> item = jnew<StringItem>(nullptr, jstr(kText));
        item->setLayout(layout);
        return item;
    };
    const Case cases[] = {
        {"the item above it is deleted",
         [&](FormLayoutTest& t, const JavaPtr<Form>& f) {
             f->append(t.box("before", 100, 20));
             f->append(text());
             f->append(t.box("after", 30, 20));
         },
         [](const JavaPtr<Form>& f) { f->deleteJ(0); },
         [&](FormLayoutTest& t, const JavaPtr<Form>& f) {
             f->append(text());
             f->append(t.box("after", 30, 20));
         },
         true},
        {"the screen grows wider",
         [&](FormLayoutTest& t, const JavaPtr<Form>& f) {
             f->append(t.box("before", 100, 20));
             f->append(text());
             f->append(t.box("after", 30, 20));
         },
         [](const JavaPtr<Form>& f) {
             javax::microedition::lcdui::ScreenSize::width = 320;
             f->getFormCanvas()->reLayout();
         },
         [&](FormLayoutTest& t, const JavaPtr<Form>& f) {
             f->append(t.box("before", 100, 20));
             f->append(text());
             f->append(t.box("after", 30, 20));
         },
         true},
        {"the scroll bar goes",
         [&](FormLayoutTest& t, const JavaPtr<Form>& f) {
             // With the bar a row is 185 pixels: 135 are left beside the box; without it 150.
             f->append(t.box("before", 50, 20));
             f->append(text());
             f->append(t.box("tall", 50, 500, Item::LAYOUT_NEWLINE_BEFORE));
         },
         [](const JavaPtr<Form>& f) { f->deleteJ(2); },
         [&](FormLayoutTest& t, const JavaPtr<Form>& f) {
             f->append(t.box("before", 50, 20));
             f->append(text());
         },
         true},
        {"its first line did not fit beside a wide item",
         [&](FormLayoutTest& t, const JavaPtr<Form>& f) {
             f->append(t.box("wide", kUsable - 4, 20));
             f->append(text());
         },
         [](const JavaPtr<Form>&) {},
         [&](FormLayoutTest& t, const JavaPtr<Form>& f) {
             f->append(t.box("wide", kUsable - 4, 20));
             f->append(text(Item::LAYOUT_NEWLINE_BEFORE));
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        javax::microedition::lcdui::ScreenSize::width = formstest::kFormScreenWidth;
        JavaPtr<Form> form = newForm();
        c.build(*this, form);
        form->relayout();
        auto* item = static_cast<StringItem*>(form->get(1).get());
        EXPECT_EQ(item->m_inline, c.inlineAtFirst);
        c.change(form);
        form->relayout();
        ASSERT_FALSE(item->m_inline);

        JavaPtr<Form> reference = newForm();
        c.expected(*this, reference);
        reference->relayout();
        const std::vector<int> shown = paintedScreen(form);
        const std::vector<int> wanted = paintedScreen(reference);
        ASSERT_EQ(shown.size(), wanted.size());
        const int width = javax::microedition::lcdui::ScreenSize::width;
        int differing = 0;
        int first = -1;
        for (size_t i = 0; i < shown.size(); ++i) {
            if (shown[i] == wanted[i]) continue;
            if (first == -1) first = static_cast<int>(i);
            ++differing;
        }
        EXPECT_EQ(differing, 0) << "first at x " << first % width << ", y " << first / width;
        // And the text is there: glyphs in the foreground colour on its line.
        int glyphPixels = 0;
        const int top = item->m_y + item->m_contentY;
        for (int y = top; y < top + kFontHeight; ++y)
            for (int x = 0; x < width; ++x)
                glyphPixels += shown[y * width + x] == formstest::kForeground ? 1 : 0;
        EXPECT_GT(glyphPixels, 0);
    }
}

// A form changed and laid out again, once or twice, shows what a new form holding the same items shows:
// lines kept from earlier layouts (of another text, another room beside the box, or a width with or
// without the scroll bar) never stand in for the ones of the latest.
TEST_F(FormLayoutTest, AFormLaidOutAgainMatchesAFreshLayoutOfTheSameItems) {
    // 6 pixels a character: the first two flow from beside the box into the next row; the second has
    // the first's shape with other letters; the third runs through a whole row.
    const char* const kText = "aaaa bbbb cccc dddd eeee";
    const char* const kOther = "vvvv wwww xxxx yyyy zzzz";
    const char* const kLonger = "aaaa bbbb cccc dddd eeee ffff gggg hhhh iiii jjjj kkkk llll mmmm nnnn";
    struct State {
        const char* name;
        int boxWidth;
        const char* text;
        // A tall box between the two texts brings the scroll bar, and leaves the second text beyond the
        // first pass's cut.
        bool tall;
    };
    const State states[] = {
        {"first", 100, kText, false},         {"other letters", 100, kOther, false},
        {"letters back", 100, kText, false},  {"narrower box", 60, kText, false},
        {"box back", 100, kText, false},      {"scroll bar", 100, kText, true},
        {"no scroll bar", 100, kText, false}, {"longer with bar", 100, kLonger, true},
        {"narrower box", 60, kLonger, true},  {"longer, no bar", 100, kLonger, false},
    };
    const auto build = [&](const State& state, const JavaPtr<Form>& form) {
        form->append(box("before", state.boxWidth, 20));
        form->append(jnew<StringItem>(nullptr, jstr(state.text)));
        if (state.tall) form->append(box("tall", 50, 500, Item::LAYOUT_NEWLINE_BEFORE));
        form->append(jnew<StringItem>(nullptr, jstr("ffff gggg hhhh iiii jjjj")));
    };
    struct Lines {
        std::vector<std::string> text;
        std::vector<int> x;
        std::vector<int> y;
        bool operator==(const Lines&) const = default;
    };
    const auto linesOf = [](Item* item) {
        auto* s = static_cast<StringItem*>(item);
        Lines lines;
        JavaPtr<StringItem::LineArray> text = s->getLines();
        JavaPtr<JArray<int>> x = s->getLineX();
        JavaPtr<JArray<int>> y = s->getLineY();
        for (int i = 0; text && i < text->length; ++i)
            lines.text.push_back(testsupport::narrow(text->data[i]));
        for (int i = 0; x && i < x->length; ++i) lines.x.push_back(x->data[i]);
        for (int i = 0; y && i < y->length; ++i) lines.y.push_back(y->data[i]);
        return lines;
    };

    JavaPtr<Form> form = newForm();
    build(states[0], form);
    bool wasTall = false;
    bool flowed = false;
    for (const State& state : states) {
        auto* before = static_cast<BoxItem*>(form->get(0).get());
        before->prefWidth = before->minWidth = state.boxWidth;
        static_cast<StringItem*>(form->get(1).get())->setText(jstr(state.text));
        if (state.tall && !wasTall) form->insert(2, box("tall", 50, 500, Item::LAYOUT_NEWLINE_BEFORE));
        if (!state.tall && wasTall) form->deleteJ(2);
        wasTall = state.tall;

        JavaPtr<Form> reference = newForm();
        build(state, reference);
        reference->relayout();
        const int secondText = state.tall ? 3 : 2;
        for (int layout = 1; layout <= 2; ++layout) {
            SCOPED_TRACE(std::string(state.name) + ", layout " + std::to_string(layout));
            form->relayout();
            flowed = flowed || static_cast<StringItem*>(form->get(1).get())->m_inline;
            EXPECT_EQ(boxes(form), boxes(reference));
            EXPECT_EQ(linesOf(form->get(1).get()), linesOf(reference->get(1).get()));
            EXPECT_EQ(linesOf(form->get(secondText).get()), linesOf(reference->get(secondText).get()));
            EXPECT_TRUE(paintedScreen(form) == paintedScreen(reference));
        }
    }
    EXPECT_TRUE(flowed);
}

// A text that a wide image leaves too little room beside starts the next row at its first layout, and
// shows there all the ink the same item shows on a form of its own: none of the lines of the fit that
// failed stays with it.
TEST_F(FormLayoutTest, ATextMovedPastAWideImageAtItsFirstLayoutPaintsAllItsText) {
    const auto inkIn = [](const std::vector<int>& pixels, const Item* item) {
        const int width = javax::microedition::lcdui::ScreenSize::width;
        int ink = 0;
        for (int y = item->m_y; y < item->m_y + item->m_height; ++y)
            for (int x = item->m_x; x < item->m_x + item->m_width; ++x)
                ink += pixels[y * width + x] == formstest::kForeground ? 1 : 0;
        return ink;
    };
    JavaPtr<Form> alone = newForm();
    alone->append(jnew<StringItem>(nullptr, jstr("Hello")));
    alone->relayout();
    const int wanted = inkIn(paintedScreen(alone), alone->get(0).get());
    ASSERT_GT(wanted, 0);
    int moved = 0;
    // Rooms of 0 to 40 pixels beside the image: "Hello" is 30 wide, a letter and a hyphen 12.
    for (int room = 0; room <= 40; ++room) {
        SCOPED_TRACE("room " + std::to_string(room));
        JavaPtr<Form> form = newForm();
        form->append(javax::microedition::lcdui::Image::createImage(kUsable - room - formstest::kPad, 8));
        JavaPtr<StringItem> text = jnew<StringItem>(nullptr, jstr("Hello"));
        form->append(JavaPtr<Item>(text));
        form->relayout();
        if (text->m_inline || text->m_row == form->get(0)->m_row) continue;
        ++moved;
        EXPECT_EQ(inkIn(paintedScreen(form), text.get()), wanted);
        EXPECT_EQ(text->getLines()->length, 1);
    }
    EXPECT_GT(moved, 0);
}

TEST_F(FormLayoutTest, ATallFormShowsTheScrollBarAndLaysOutAgainNarrower) {
    JavaPtr<Form> form =
        laidOut({{50, 100}, {250, 100}, {50, 100, Item::LAYOUT_EXPAND | Item::LAYOUT_NEWLINE_BEFORE}});
    FormCanvas* canvas = form->getFormCanvas().get();
    EXPECT_FALSE(canvas->verticalScrollbarVisible());
    EXPECT_EQ(canvas->usableWidth(), kUsable);
    EXPECT_EQ(form->get(1)->m_width, kUsable);

    for (int i = 0; i < 3; ++i) form->append(box("tall", 50, 100, Item::LAYOUT_NEWLINE_BEFORE));
    form->relayout();
    EXPECT_TRUE(canvas->verticalScrollbarVisible());
    EXPECT_EQ(canvas->m_formHeight, 600);
    EXPECT_EQ(CorePeek::verticalHeight(canvas), 600);
    EXPECT_EQ(canvas->usableWidth(), kUsable - 15);
    EXPECT_EQ(form->get(1)->m_width, kUsable - 15);
    EXPECT_EQ(form->get(2)->m_width, kUsable - 15);
    EXPECT_EQ(form->getWidth(), formstest::kFormScreenWidth - 15);
}

TEST_F(FormLayoutTest, AnEmptyFormHasNoHeightAndAFormThatFitsAgainScrollsBackToItsTop) {
    JavaPtr<Form> form = laidOut({});
    FormCanvas* canvas = form->getFormCanvas().get();
    EXPECT_EQ(canvas->m_formHeight, 0);
    EXPECT_FALSE(canvas->verticalScrollbarVisible());

    for (int i = 0; i < 8; ++i) form->append(box("tall", 50, 100, Item::LAYOUT_NEWLINE_BEFORE));
    form->relayout();
    canvas->setVerticalScrollPos(300);
    ASSERT_EQ(canvas->getVerticalScrollPos(), 300);
    while (form->size() > 2) form->deleteJ(form->size() - 1);
    form->relayout();
    EXPECT_FALSE(canvas->verticalScrollbarVisible());
    EXPECT_EQ(canvas->getVerticalScrollPos(), 0);
}

}  // namespace
