#include "forms/ChoiceGroup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "shell/KeypressIDs.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"
#include "tests/support/Throws.h"

using formstest::FakeForm;
using formstest::kBackground;
using formstest::kForeground;
using formstest::kHighlightedBackground;
using formstest::kWhite;
using formstest::layOut;
using formstest::PaintTarget;
using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Choice;
using javax::microedition::lcdui::ChoiceGroup;
using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::TouchScreenAreaManager;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::throws;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::ChoiceGroup);

namespace {

constexpr int kRed = 0xFF0000;
using Strings = ChoiceGroup::StringArray;
using Images = ChoiceGroup::ImageArray;

JavaPtr<Strings> strings(std::initializer_list<const char*> texts) {
    JavaPtr<Strings> array = jnew<Strings>(static_cast<int>(texts.size()));
    int i = 0;
    for (const char* text : texts) array->data[i++] = text ? jstr(text) : nullptr;
    return array;
}

JavaPtr<Images> noImages(int n) {
    return jnew<Images>(n);
}

JavaPtr<Image> redSquare() {
    JavaPtr<Image> image = Image::createImage(12, 12);
    JavaPtr<Graphics> g = image->getGraphics();
    g->setColor(kRed);
    g->fillRect(0, 0, 12, 12);
    return image;
}

JavaPtr<JArray<bool>> flags(std::initializer_list<bool> values) {
    JavaPtr<JArray<bool>> array = jnew<JArray<bool>>(static_cast<int>(values.size()));
    int i = 0;
    for (bool v : values) array->data[i++] = v;
    return array;
}

std::vector<bool> selectionOf(ChoiceGroup& group) {
    std::vector<bool> out;
    for (int i = 0; i < group.size(); ++i) out.push_back(group.isSelected(i));
    return out;
}

int fireKey() {
    return expectedKeypressID(5);
}

// What holds after every finished operation, whatever the type.
void expectInvariants(ChoiceGroup& group) {
    const int n = group.size();
    const int type = group.getChoiceType();
    int selected = 0;
    for (int i = 0; i < n; ++i) selected += group.isSelected(i) ? 1 : 0;
    if (type == Choice::MULTIPLE) {
        EXPECT_EQ(group.getSelectedIndex(), -1);
    } else {
        const int index = group.getSelectedIndex();
        EXPECT_EQ(selected, index == -1 ? 0 : 1);
        if (index != -1) {
            EXPECT_TRUE(group.isSelected(index));
        }
        if (type != Choice::IMPLICIT) {
            EXPECT_EQ(index == -1, n == 0) << "exclusive groups always select";
        }
    }
    const int h = group.getHighlightedIndex();
    EXPECT_TRUE(h >= -1 && h < n);
    JavaPtr<JArray<bool>> all = jnew<JArray<bool>>(n + 2);
    EXPECT_EQ(group.getSelectedFlags(all), selected);
    EXPECT_FALSE(all->data[n]);
    EXPECT_FALSE(all->data[n + 1]);
}

class ChoiceGroupTest : public formstest::FormsFixture {
protected:
    JavaPtr<ChoiceGroup> group(int type, std::initializer_list<const char*> texts, bool listMode = false) {
        return jnew<ChoiceGroup>(jstr("label"), type, strings(texts),
                                 noImages(static_cast<int>(texts.size())), listMode);
    }
    // A group without label in the fake form, its content area 320 wide at (3, 3) of the form's content,
    // highlighted by the form, which traverses into it without a direction as the form canvas does.
    JavaPtr<ChoiceGroup> groupInForm(int type, std::initializer_list<const char*> texts,
                                     bool listMode = false) {
        JavaPtr<ChoiceGroup> g = jnew<ChoiceGroup>(nullptr, type, strings(texts),
                                                   noImages(static_cast<int>(texts.size())), listMode);
        g->addToForm(form.get());
        form->highlighted = g.get();
        g->traverse(0, 0, 0, nullptr);
        layOut(*g, 0, 0, 326, g->getMinContentHeight() + 6);
        return g;
    }
    // A touch at a point of the group's content area, through the registry as the form canvas sends it.
    static void press(int x, int y) {
        TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::FORM_ITEMS);
        TouchScreenAreaManager::pointerPressed(x + 3, y + 3);
    }
    static void release(int x, int y) { TouchScreenAreaManager::pointerReleased(x + 3, y + 3); }
    static void tap(int x, int y) {
        press(x, y);
        release(x, y);
    }

    JavaPtr<FakeForm> form = jnew<FakeForm>(320);
};

TEST_F(ChoiceGroupTest, ConstructionChecksTypeAndArrays) {
    enum Outcome { Built, Illegal, Null };
    struct Case {
        const char* name;
        int type;
        bool listMode;
        JavaPtr<Strings> texts;
        JavaPtr<Images> images;
        Outcome outcome;
    };
    const Case cases[] = {
        {"exclusive", Choice::EXCLUSIVE, false, strings({"a"}), noImages(1), Built},
        {"multiple", Choice::MULTIPLE, false, strings({"a"}), noImages(1), Built},
        {"popup", Choice::POPUP, false, strings({"a"}), noImages(1), Built},
        {"implicit outside a list", Choice::IMPLICIT, false, strings({"a"}), noImages(1), Illegal},
        {"implicit in a list", Choice::IMPLICIT, true, strings({"a"}), noImages(1), Built},
        {"type 0", 0, true, strings({"a"}), noImages(1), Illegal},
        {"type 5", 5, true, strings({"a"}), noImages(1), Illegal},
        {"bad type before null strings", 5, false, nullptr, nullptr, Illegal},
        {"null string array", Choice::EXCLUSIVE, false, nullptr, noImages(0), Null},
        {"null string element", Choice::EXCLUSIVE, false, strings({"a", nullptr}), noImages(2), Null},
        {"image array of another length", Choice::EXCLUSIVE, false, strings({"a", "b"}), noImages(1), Null},
        {"null image array", Choice::EXCLUSIVE, false, strings({"a", "b"}), nullptr, Built},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<ChoiceGroup> built;
        auto make = [&] { built = jnew<ChoiceGroup>(jstr("l"), c.type, c.texts, c.images, c.listMode); };
        if (c.outcome == Illegal) {
            EXPECT_TRUE(throws<java::lang::IllegalArgumentException>(make));
        } else if (c.outcome == Null) {
            EXPECT_TRUE(throws<java::lang::NullPointerException>(make));
        } else {
            make();
            ASSERT_TRUE(built);
            EXPECT_EQ(built->size(), c.texts->length);
            EXPECT_EQ(narrow(built->getLabel()), "l");
        }
    }
}

TEST_F(ChoiceGroupTest, NewGroupsSelectAndHighlightByType) {
    struct Case {
        int type;
        bool listMode;
        int elements;
        int selected, highlighted;
    };
    const Case cases[] = {
        {Choice::EXCLUSIVE, false, 3, 0, 0},   {Choice::POPUP, false, 3, 0, 0},
        {Choice::MULTIPLE, false, 3, -1, 0},   {Choice::IMPLICIT, true, 3, -1, 0},
        {Choice::EXCLUSIVE, false, 0, -1, -1}, {Choice::MULTIPLE, false, 0, -1, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.elements << " elements");
        JavaPtr<ChoiceGroup> g =
            c.elements == 0 ? jnew<ChoiceGroup>(nullptr, c.type, strings({}), noImages(0), c.listMode)
                            : group(c.type, {"a", "b", "c"}, c.listMode);
        EXPECT_EQ(g->getSelectedIndex(), c.selected);
        EXPECT_EQ(g->getHighlightedIndex(), c.highlighted);
        expectInvariants(*g);
    }
    JavaPtr<ChoiceGroup> plain = jnew<ChoiceGroup>(jstr("x"), Choice::MULTIPLE);
    EXPECT_EQ(plain->size(), 0);
    EXPECT_EQ(plain->castAsTypeID(Choice::TESLclassTypeID), static_cast<Choice*>(plain.get()));
    EXPECT_EQ(plain->castAsTypeID(Item::TESLclassTypeID), static_cast<Item*>(plain.get()));
}

TEST_F(ChoiceGroupTest, SelectionFollowsItsElementThroughInsertDeleteAndFlags) {
    struct Case {
        const char* name;
        int type;
        void (*operate)(ChoiceGroup&);
        std::vector<bool> expected;
    };
    // Each starts from elements a b c d with c selected (in a MULTIPLE group: b and c).
    const Case cases[] = {
        {"exclusive: delete the selected moves to the previous",
         Choice::EXCLUSIVE,
         [](ChoiceGroup& g) { g.deleteJ(2); },
         {false, true, false}},
        {"exclusive: delete before the selected keeps it",
         Choice::EXCLUSIVE,
         [](ChoiceGroup& g) { g.deleteJ(0); },
         {false, true, false}},
        {"exclusive: insert at the selected pushes it down",
         Choice::EXCLUSIVE,
         [](ChoiceGroup& g) { g.insert(2, jstr("n"), nullptr); },
         {false, false, false, true, false}},
        {"exclusive: insert at the end",
         Choice::EXCLUSIVE,
         [](ChoiceGroup& g) { g.insert(g.size(), jstr("n"), nullptr); },
         {false, false, true, false, false}},
        {"exclusive: all flags false selects the first",
         Choice::EXCLUSIVE,
         [](ChoiceGroup& g) {
             g.setSelectedFlags(flags({false, false, false, false}));
         },
         {true, false, false, false}},
        {"exclusive: flags 1 and 3 select only 1",
         Choice::EXCLUSIVE,
         [](ChoiceGroup& g) {
             g.setSelectedFlags(flags({false, true, false, true}));
         },
         {false, true, false, false}},
        {"exclusive: deselecting changes nothing",
         Choice::EXCLUSIVE,
         [](ChoiceGroup& g) { g.setSelectedIndex(2, false); },
         {false, false, true, false}},
        {"exclusive: delete everything but one, then all",
         Choice::EXCLUSIVE,
         [](ChoiceGroup& g) {
             g.deleteJ(0);
             g.deleteJ(0);
             g.deleteJ(0);
         },
         {true}},
        {"popup: delete element 0 while 0 is selected selects the new 0",
         Choice::POPUP,
         [](ChoiceGroup& g) {
             g.setSelectedIndex(0, true);
             g.deleteJ(0);
         },
         {true, false, false}},
        {"implicit: all flags false leaves none",
         Choice::IMPLICIT,
         [](ChoiceGroup& g) {
             g.setSelectedFlags(flags({false, false, false, false, true}));
         },
         {false, false, false, false}},
        {"implicit: deleting the selected first element leaves none",
         Choice::IMPLICIT,
         [](ChoiceGroup& g) {
             g.setSelectedIndex(0, true);
             g.deleteJ(0);
         },
         {false, false, false}},
        {"implicit: insert before the selected",
         Choice::IMPLICIT,
         [](ChoiceGroup& g) { g.insert(0, jstr("n"), nullptr); },
         {false, false, false, true, false}},
        {"multiple: flags 1 and 3",
         Choice::MULTIPLE,
         [](ChoiceGroup& g) {
             g.setSelectedFlags(flags({false, true, false, true}));
         },
         {false, true, false, true}},
        {"multiple: deselect one",
         Choice::MULTIPLE,
         [](ChoiceGroup& g) { g.setSelectedIndex(2, false); },
         {false, true, false, false}},
        {"multiple: delete a selected one",
         Choice::MULTIPLE,
         [](ChoiceGroup& g) { g.deleteJ(1); },
         {false, true, false}},
        {"multiple: insert between",
         Choice::MULTIPLE,
         [](ChoiceGroup& g) { g.insert(2, jstr("n"), nullptr); },
         {false, true, false, true, false}},
        {"multiple: append",
         Choice::MULTIPLE,
         [](ChoiceGroup& g) { g.append(jstr("n"), nullptr); },
         {false, true, true, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<ChoiceGroup> g = group(c.type, {"a", "b", "c", "d"}, true);
        g->setSelectedIndex(2, true);
        if (c.type == Choice::MULTIPLE) g->setSelectedIndex(1, true);
        c.operate(*g);
        EXPECT_EQ(selectionOf(*g), c.expected);
        expectInvariants(*g);
    }
}

TEST_F(ChoiceGroupTest, DeleteAllAndEmptyGroupsKeepTheInvariants) {
    for (int type : {Choice::EXCLUSIVE, Choice::MULTIPLE, Choice::IMPLICIT, Choice::POPUP}) {
        SCOPED_TRACE(type);
        JavaPtr<ChoiceGroup> g = group(type, {"a", "b"}, true);
        g->deleteAll();
        EXPECT_EQ(g->size(), 0);
        EXPECT_EQ(g->getSelectedIndex(), -1);
        EXPECT_EQ(g->getHighlightedIndex(), -1);
        g->setSelectedFlags(flags({}));
        expectInvariants(*g);
        EXPECT_EQ(g->append(jstr("x"), nullptr), 0);
        EXPECT_EQ(g->getSelectedIndex(), type == Choice::EXCLUSIVE || type == Choice::POPUP ? 0 : -1);
        expectInvariants(*g);
    }
}

TEST_F(ChoiceGroupTest, BadIndicesAndArraysThrowAndChangeNothing) {
    JavaPtr<ChoiceGroup> g = group(Choice::MULTIPLE, {"a", "b", "c"});
    g->setSelectedIndex(1, true);
    using IOOBE = java::lang::IndexOutOfBoundsException;
    using NPE = java::lang::NullPointerException;
    EXPECT_TRUE(throws<IOOBE>([&] { g->getString(3); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->getImage(-1); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->getFont(3); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->isSelected(-1); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->setFont(3, nullptr); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->set(3, jstr("x"), nullptr); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->setSelectedIndex(3, true); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->deleteJ(3); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->insert(4, jstr("x"), nullptr); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->insert(-1, jstr("x"), nullptr); }));
    EXPECT_TRUE(throws<IOOBE>([&] { g->insert(4, nullptr, nullptr); })) << "the index is tested first";
    EXPECT_TRUE(throws<NPE>([&] { g->insert(3, nullptr, nullptr); }));
    EXPECT_TRUE(throws<NPE>([&] { g->append(nullptr, nullptr); }));
    EXPECT_TRUE(throws<NPE>([&] { g->set(0, nullptr, nullptr); }));
    // Short or null flag arrays are NullPointerException, as ever for these two.
    EXPECT_TRUE(throws<NPE>([&] { g->getSelectedFlags(flags({false, false})); }));
    EXPECT_TRUE(throws<NPE>([&] { g->setSelectedFlags(flags({true, true})); }));
    EXPECT_TRUE(throws<NPE>([&] { g->getSelectedFlags(nullptr); }));
    EXPECT_TRUE(throws<NPE>([&] { g->setSelectedFlags(nullptr); }));
    EXPECT_EQ(g->size(), 3);
    EXPECT_EQ(selectionOf(*g), (std::vector<bool>{false, true, false}));
    EXPECT_EQ(g->getSelectedIndex(), -1) << "a MULTIPLE group never has a selected index";
    EXPECT_EQ(g->getSelectedFlags(flags({true, true, true})), 1);

    g->setFitPolicy(7);
    EXPECT_EQ(g->getFitPolicy(), 0);
}

TEST_F(ChoiceGroupTest, CallersArraysStayTheCallers) {
    JavaPtr<Strings> texts = strings({"a", "b"});
    JavaPtr<Images> images = noImages(2);
    JavaPtr<ChoiceGroup> g = jnew<ChoiceGroup>(nullptr, Choice::EXCLUSIVE, texts, images);
    texts->data[0] = nullptr;
    images->data[1] = redSquare();
    g->append(jstr("c"), nullptr);
    EXPECT_EQ(texts->length, 2) << "append grows the group's own arrays";
    EXPECT_EQ(narrow(g->getString(0)), "a");
    EXPECT_FALSE(g->getImage(1));
    // Painting meets no null string.
    layOut(*g, 0, 0, 326, g->getMinContentHeight() + 6);
    PaintTarget target;
    g->paint(target.graphics, 320, g->getMinContentHeight());
    EXPECT_EQ(target.pixel(25, 6), kHighlightedBackground);
}

TEST_F(ChoiceGroupTest, NullImageArrayAndNullFontAreSafe) {
    JavaPtr<ChoiceGroup> g = jnew<ChoiceGroup>(nullptr, Choice::IMPLICIT, strings({"a", "b"}), nullptr, true);
    EXPECT_FALSE(g->getImage(1));
    g->insert(1, jstr("i"), nullptr);
    g->deleteJ(0);
    g->append(jstr("c"), nullptr);
    EXPECT_EQ(g->size(), 3);
    EXPECT_FALSE(g->getImage(2));
    EXPECT_EQ(g->m_elementRowHeight(0), 10);
    // The first image brings an image array: the other elements have none.
    JavaPtr<Image> square = redSquare();
    g->set(1, jstr("b2"), square);
    EXPECT_EQ(g->getImage(1), square);
    EXPECT_FALSE(g->getImage(0));
    EXPECT_FALSE(g->getImage(2));
    EXPECT_EQ(g->m_elementRowHeight(1), 12);
    g->deleteJ(1);
    g->insert(0, jstr("z"), square);
    EXPECT_EQ(g->getImage(0), square);
    EXPECT_FALSE(g->getImage(1));

    // A null font stands for the group's default font.
    JavaPtr<Font> defaultFont = g->getFont(0);
    g->setFont(0, Font::getFont(Font::FACE_SYSTEM, Font::STYLE_BOLD, Font::SIZE_LARGE));
    g->setFont(0, nullptr);
    EXPECT_EQ(g->getFont(0), defaultFont);
    EXPECT_EQ(g->getMinContentHeight(), (12 + 4) + (10 + 4) + (10 + 4));
    layOut(*g, 0, 0, 326, g->getMinContentHeight() + 6);
    PaintTarget target;
    g->paint(target.graphics, 320, g->getMinContentHeight());
    EXPECT_EQ(target.pixel(3, 3), kRed) << "the image column of an unmarked row starts at 3";
}

// ---- Painting ----

TEST_F(ChoiceGroupTest, MultipleRowsAreCheckBoxesWithACrossWhenSelected) {
    JavaPtr<ChoiceGroup> g = group(Choice::MULTIPLE, {"a", "b", "c"});
    g->setSelectedIndex(1, true);
    EXPECT_EQ(g->getMinContentHeight(), 72);
    EXPECT_EQ(g->getPrefContentHeight(-1), 72);
    EXPECT_EQ(g->getMinContentWidth(), 320);
    EXPECT_TRUE(g->requiresOwnRow());
    PaintTarget target;
    g->paint(target.graphics, 320, 72);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const int top = 3 + 24 * row;
        EXPECT_EQ(target.pixel(3, top), kForeground);
        EXPECT_EQ(target.pixel(23, top + 20), kForeground);
        EXPECT_EQ(target.pixel(2, top), kWhite);
        EXPECT_EQ(target.pixel(13, top + 10), row == 1 ? kForeground : kWhite) << "the cross";
        // Text column at 26 + 3, font-high bar from (20 - 10) / 2 below the row top.
        const int ty = top + 5;
        EXPECT_EQ(target.pixel(29, ty), row == 0 ? kHighlightedBackground : kBackground);
        EXPECT_EQ(target.pixel(319, ty + 9), row == 0 ? kHighlightedBackground : kBackground);
        EXPECT_EQ(target.pixel(28, ty), kWhite);
        EXPECT_EQ(target.pixel(29, ty - 1), kWhite);
        EXPECT_EQ(target.pixel(29, ty + 10), kWhite);
    }
}

TEST_F(ChoiceGroupTest, ExclusiveRowsAreRadioMarksAndImagesTakeATwelvePixelColumn) {
    JavaPtr<Images> images = noImages(2);
    images->data[1] = redSquare();
    JavaPtr<ChoiceGroup> g = jnew<ChoiceGroup>(nullptr, Choice::EXCLUSIVE, strings({"a", "b"}), images);
    g->setSelectedIndex(1, true);
    EXPECT_EQ(g->getMinContentHeight(), 2 * (16 + 4));
    PaintTarget target;
    g->paint(target.graphics, 320, 40);
    for (int row = 0; row < 2; ++row) {
        SCOPED_TRACE(row);
        const int top = 3 + 20 * row;
        EXPECT_GT(target.count(kForeground, 3, top, 17, 3), 0) << "the circle's top is the row's top";
        EXPECT_EQ(target.count(kForeground, 3, top - 2, 17, 2), 0);
        const int dot = target.count(kForeground, 7, top + 4, 9, 9);
        if (row == 1) {
            EXPECT_GT(dot, 0);
        } else {
            EXPECT_EQ(dot, 0);
        }
        // Every row's text starts at 22 + 12 + 3, also the row without an image.
        EXPECT_EQ(target.pixel(37, top + 3), row == 0 ? kHighlightedBackground : kBackground);
        EXPECT_EQ(target.pixel(36, top + 3), kWhite);
    }
    // The image, centred in the 16-pixel row.
    EXPECT_EQ(target.count(kRed, 22, 25, 12, 12), 144);
    EXPECT_EQ(target.pixel(22, 24), kWhite);
    EXPECT_EQ(target.pixel(34, 25), kWhite);
    EXPECT_EQ(target.count(kRed, 0, 0, 320, 23), 0);
}

TEST_F(ChoiceGroupTest, ImplicitAndPopupRowsHaveNoMarks) {
    for (int type : {Choice::IMPLICIT, Choice::POPUP}) {
        SCOPED_TRACE(type);
        JavaPtr<ChoiceGroup> g = group(type, {"a", "b"}, true);
        EXPECT_EQ(g->getMinContentHeight(), 28);
        PaintTarget target;
        g->paint(target.graphics, 320, 28);
        EXPECT_EQ(target.pixel(6, 3), kHighlightedBackground);
        EXPECT_EQ(target.pixel(6, 17), kBackground);
        EXPECT_EQ(target.count(kForeground, 0, 0, 6, 40), 0);
    }
}

// ---- Traversal ----

TEST_F(ChoiceGroupTest, TraverseMovesTheHighlightAndLeavesAtTheEnds) {
    struct Case {
        const char* name;
        int elements, start, dir;
        bool stays;
        int highlight;
    };
    const Case cases[] = {
        {"entering without direction", 3, -1, 0, true, 0},
        {"no direction keeps it", 3, 2, 0, true, 2},
        {"up from nothing: the last", 3, -1, Canvas::UP, true, 2},
        {"left from nothing: the last", 3, -1, Canvas::LEFT, true, 2},
        {"down from nothing: the first", 3, -1, Canvas::DOWN, true, 0},
        {"right from nothing: the first", 3, -1, Canvas::RIGHT, true, 0},
        {"down", 3, 0, Canvas::DOWN, true, 1},
        {"up", 3, 2, Canvas::UP, true, 1},
        {"up from the first leaves", 3, 0, Canvas::UP, false, -1},
        {"down from the last leaves", 3, 2, Canvas::DOWN, false, -1},
        {"left inside leaves", 3, 1, Canvas::LEFT, false, -1},
        {"right inside leaves", 3, 1, Canvas::RIGHT, false, -1},
        {"fire is no direction", 3, 1, Canvas::FIRE, false, -1},
        {"single element, down", 1, 0, Canvas::DOWN, false, -1},
        {"single element, up", 1, 0, Canvas::UP, false, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<ChoiceGroup> g = c.elements == 3 ? groupInForm(Choice::MULTIPLE, {"a", "b", "c"})
                                                 : groupInForm(Choice::MULTIPLE, {"a"});
        if (c.start == -1) {
            g->traverseOut();
        } else {
            ASSERT_TRUE(g->traverse(0, 0, 0, nullptr));
            for (int i = 0; i < c.start; ++i) ASSERT_TRUE(g->traverse(Canvas::DOWN, 0, 0, nullptr));
        }
        const int repaintsBefore = form->repaintRequests;
        JavaPtr<JArray<int>> rect = jnew<JArray<int>>(4);
        for (int i = 0; i < 4; ++i) rect->data[i] = -7;
        EXPECT_EQ(g->traverse(c.dir, 100, 100, rect), c.stays);
        EXPECT_EQ(g->getHighlightedIndex(), c.highlight);
        EXPECT_EQ(form->repaintRequests, repaintsBefore + 1);
        EXPECT_EQ(rect->data[0], -7);
        EXPECT_EQ(rect->data[2], -7);
        if (c.stays) {
            EXPECT_EQ(rect->data[1], 24 * c.highlight);
            EXPECT_EQ(rect->data[3], 20);
        }
    }
    JavaPtr<ChoiceGroup> empty = groupInForm(Choice::EXCLUSIVE, {});
    JavaPtr<JArray<int>> rect = jnew<JArray<int>>(4);
    EXPECT_FALSE(empty->traverse(0, 100, 100, rect));
    EXPECT_EQ(rect->data[1], 0);
    EXPECT_EQ(empty->getHighlightedIndex(), -1);
}

TEST_F(ChoiceGroupTest, AnElementChangeDropsTheHighlightWhenTheFormHighlightsAnotherItem) {
    JavaPtr<ChoiceGroup> g = groupInForm(Choice::EXCLUSIVE, {"a", "b"});
    EXPECT_EQ(g->getHighlightedIndex(), 0);
    form->highlighted = nullptr;
    g->append(jstr("c"), nullptr);
    EXPECT_EQ(g->getHighlightedIndex(), -1);
    form->highlighted = g.get();
    g->deleteJ(2);
    EXPECT_EQ(g->getHighlightedIndex(), 0);
}

// ---- FIRE and touches ----

TEST_F(ChoiceGroupTest, FireChangesTheSelectionByType) {
    struct Case {
        const char* name;
        int type;
        int selectedBefore;  // -1: none
        std::vector<bool> after;
        int notifications;
    };
    // The highlight is on element 1 of three.
    const Case cases[] = {
        {"exclusive selects", Choice::EXCLUSIVE, 0, {false, true, false}, 1},
        {"exclusive on the selected does nothing", Choice::EXCLUSIVE, 1, {false, true, false}, 0},
        {"popup selects", Choice::POPUP, 2, {false, true, false}, 1},
        {"multiple inverts", Choice::MULTIPLE, 1, {false, false, false}, 1},
        {"multiple inverts on", Choice::MULTIPLE, -1, {false, true, false}, 1},
        {"implicit selects", Choice::IMPLICIT, -1, {false, true, false}, 1},
        {"implicit on the selected: no notification", Choice::IMPLICIT, 1, {false, true, false}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Not in list mode, so the form hears; IMPLICIT needs list mode, whose group tells nobody.
        const bool listMode = c.type == Choice::IMPLICIT;
        JavaPtr<ChoiceGroup> g = groupInForm(c.type, {"a", "b", "c"}, listMode);
        if (c.selectedBefore != -1) g->setSelectedIndex(c.selectedBefore, true);
        g->traverse(Canvas::DOWN, 0, 0, nullptr);
        form->changedItems.clear();
        const int repaintsBefore = form->repaintRequests;
        g->keyReleased(fireKey());
        EXPECT_EQ(selectionOf(*g), c.after);
        EXPECT_EQ(form->repaintRequests - repaintsBefore, c.notifications);
        EXPECT_EQ(form->changedItems.size(), listMode ? 0u : static_cast<size_t>(c.notifications));
        expectInvariants(*g);
        g->keyPressed(fireKey());
        g->keyReleased(expectedKeypressID(1));
        EXPECT_EQ(selectionOf(*g), c.after) << "a press and other keys change nothing";
    }
    JavaPtr<ChoiceGroup> g = groupInForm(Choice::MULTIPLE, {"a", "b"});
    g->traverseOut();
    g->keyReleased(fireKey());
    EXPECT_EQ(selectionOf(*g), (std::vector<bool>{false, false})) << "FIRE without highlight";
}

TEST_F(ChoiceGroupTest, ReleasesOnARowSelectAndHighlightIt) {
    // EXCLUSIVE rows are 16 high: row 2 spans 43..59 of the content.
    JavaPtr<ChoiceGroup> g = groupInForm(Choice::EXCLUSIVE, {"a", "b", "c"});
    PaintTarget target;
    g->paint(target.graphics, 320, g->getMinContentHeight());
    tap(100, 50);
    EXPECT_EQ(g->getSelectedIndex(), 2);
    EXPECT_EQ(g->getHighlightedIndex(), 2);
    EXPECT_EQ(form->changedItems.size(), 1u);
    tap(100, 50);
    EXPECT_EQ(form->changedItems.size(), 1u) << "a second release only highlights";
    // A release outside the pressed row, a press alone and a drag change nothing.
    press(100, 10);
    TouchScreenAreaManager::pointerDragged(103, 53);
    release(100, 200);
    press(100, 10);
    EXPECT_EQ(g->getSelectedIndex(), 2);
    EXPECT_EQ(g->getHighlightedIndex(), 2);
    release(100, 10);
    EXPECT_EQ(g->getSelectedIndex(), 0);
    EXPECT_EQ(form->changedItems.size(), 2u);
    // Between the rows nothing answers.
    tap(100, 21);
    EXPECT_EQ(g->getHighlightedIndex(), 0);

    JavaPtr<ChoiceGroup> multiple = groupInForm(Choice::MULTIPLE, {"a", "b"});
    form->changedItems.clear();
    multiple->paint(target.graphics, 320, multiple->getMinContentHeight());
    tap(50, 30);
    tap(50, 30);
    tap(50, 30);
    EXPECT_EQ(selectionOf(*multiple), (std::vector<bool>{false, true}));
    EXPECT_EQ(form->changedItems.size(), 3u);
}

TEST_F(ChoiceGroupTest, ImplicitTouchSelectsWithoutAnyNotificationInListMode) {
    JavaPtr<ChoiceGroup> g = groupInForm(Choice::IMPLICIT, {"a", "b"}, true);
    PaintTarget target;
    g->paint(target.graphics, 320, g->getMinContentHeight());
    tap(50, 17);
    EXPECT_EQ(g->getSelectedIndex(), 1);
    g->traverse(Canvas::UP, 0, 0, nullptr);
    g->keyReleased(fireKey());
    EXPECT_EQ(g->getSelectedIndex(), 0);
    g->notifyStateChanged();
    EXPECT_TRUE(form->changedItems.empty());
}

TEST_F(ChoiceGroupTest, ReleaseOnARowGoneAfterDeletionsDoesNothing) {
    JavaPtr<ChoiceGroup> g = groupInForm(Choice::MULTIPLE, {"a", "b", "c"});
    PaintTarget target;
    g->paint(target.graphics, 320, g->getMinContentHeight());
    g->deleteJ(2);
    g->deleteJ(1);
    // Before the next paint the old row 2 is still registered: its release names no element.
    tap(50, 55);
    EXPECT_EQ(selectionOf(*g), (std::vector<bool>{false}));
    EXPECT_TRUE(form->changedItems.empty());
    // The next paint drops the areas of the rows that are gone.
    const int areasBefore = TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::FORM_ITEMS);
    g->paint(target.graphics, 320, g->getMinContentHeight());
    EXPECT_EQ(areasBefore, 3);
    EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::FORM_ITEMS), 1);
    g->deleteAll();
    g->paint(target.graphics, 320, 0);
    EXPECT_EQ(TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::FORM_ITEMS), 0);
}

}  // namespace
