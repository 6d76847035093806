// The text field's model: construction, the application's edits and their caret rules and failures,
// the uneditable and password constraints, wrapping, traversal, touch and painting.
#include "forms/TextField.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/StringIndexOutOfBoundsException.h"
#include "shell/Canvas.h"
#include "tests/forms/TextFieldFixture.h"

namespace formstest {
namespace {

using javax::microedition::lcdui::Canvas;
using testsupport::jstr;

using CharArray = TextField::CharArray;

JavaPtr<CharArray> chars(const char* text) {
    const int n = static_cast<int>(std::string(text).size());
    JavaPtr<CharArray> array = jnew<CharArray>(n);
    for (int i = 0; i < n; ++i) array->data[i] = static_cast<unsigned char>(text[i]);
    return array;
}

class TextFieldTest : public TextFieldFixture {
protected:
    static bool traverse(TextField& f, int dir) { return f.traverse(dir, 100, 100, jnew<JArray<int>>(4)); }
};

TEST_F(TextFieldTest, ANullTextIsTheEmptyTextOnOneLineAndTakesTyping) {
    JavaPtr<TextField> f = field(nullptr);
    EXPECT_EQ(text(*f), "");
    EXPECT_EQ(f->size(), 0);
    ASSERT_EQ(f->getLines()->length, 1);
    EXPECT_EQ(testsupport::narrow(f->getLines()->data[0]), "");
    type(*f, DisplayableCoreCanvas::KEY_a + 7);
    EXPECT_EQ(text(*f), "h");
    EXPECT_EQ(f->getCaretPosition(), 1);
}

TEST_F(TextFieldTest, EditsMoveTheCaretByTheirRules) {
    struct Case {
        const char* name;
        const char* start;
        int caret;
        std::function<void(TextField&)> edit;
        const char* text;
        int caretAfter;
    };
    const Case cases[] = {
        {"insert before the caret", "abcdef", 3, [](TextField& f) { f.insert(jstr("XY"), 0); }, "XYabcdef",
         5},
        {"insert at the caret", "abcdef", 3, [](TextField& f) { f.insert(jstr("XY"), 3); }, "abcXYdef", 5},
        {"insert after the caret", "abcdef", 3, [](TextField& f) { f.insert(jstr("XY"), 5); }, "abcdeXYf", 3},
        {"insert a slice", "abc", 3, [](TextField& f) { f.insert(chars("0123"), 1, 2, 3); }, "abc12", 5},
        {"delete before the caret", "abcdef", 5, [](TextField& f) { f.deleteJ(1, 2); }, "adef", 3},
        {"delete across the caret", "abcdef", 2, [](TextField& f) { f.deleteJ(1, 2); }, "adef", 1},
        {"delete after the caret", "abcdef", 0, [](TextField& f) { f.deleteJ(1, 2); }, "adef", 0},
        {"delete nothing", "abcdef", 4, [](TextField& f) { f.deleteJ(0, 0); }, "abcdef", 4},
        {"setString shorter, as many lines", "abcdef", 6, [](TextField& f) { f.setString(jstr("ab")); }, "ab",
         2},
        {"setChars", "abcdef", 6, [](TextField& f) { f.setChars(chars("wxyz"), 1, 2); }, "xy", 2},
        {"setMaxSize cuts", "abcdef", 5, [](TextField& f) { EXPECT_EQ(f.setMaxSize(3), 3); }, "abc", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TextField> f = field(c.start);
        putCaret(*f, c.caret);
        ASSERT_EQ(f->getCaretPosition(), c.caret);
        c.edit(*f);
        EXPECT_EQ(text(*f), c.text);
        EXPECT_EQ(f->size(), static_cast<int>(std::string(c.text).size()));
        EXPECT_EQ(f->getCaretPosition(), c.caretAfter);
        EXPECT_EQ(f->caretColumn(), c.caretAfter) << "one line: the column is the position";
    }
}

TEST_F(TextFieldTest, TheCaretFollowsAShorterTextAndTypingGoesOn) {
    // A shorter text on as many lines used to leave the caret past the end, and the next key threw.
    JavaPtr<TextField> f = field("abcdef");
    putCaret(*f, 6);
    f->setString(jstr("ab"));
    EXPECT_EQ(f->getCaretPosition(), 2);
    type(*f, DisplayableCoreCanvas::KEY_a + 2);
    EXPECT_EQ(text(*f), "abc");
    press(*f, keypad(2));
    EXPECT_EQ(text(*f), "abca");
    f->setString(nullptr);
    EXPECT_EQ(f->getCaretPosition(), 0);
    type(*f, DisplayableCoreCanvas::KEY_DELETE);
    EXPECT_EQ(text(*f), "");
}

TEST_F(TextFieldTest, RefusedCallsThrowAndLeaveTheFieldAsItWas) {
    struct Case {
        const char* name;
        int constraints;
        std::function<void(TextField&)> call;
        const char* expected;  // the exception class
    };
    const auto throwsAs = [](TextField& f, const std::function<void(TextField&)>& call) -> std::string {
        try {
            call(f);
        } catch (const java::lang::StringIndexOutOfBoundsException&) {
            return "StringIndexOutOfBoundsException";
        } catch (const java::lang::ArrayIndexOutOfBoundsException&) {
            return "ArrayIndexOutOfBoundsException";
        } catch (const java::lang::IllegalArgumentException&) {
            return "IllegalArgumentException";
        } catch (const java::lang::NullPointerException&) {
            return "NullPointerException";
        }
        return "nothing";
    };
    const int U = TextField::UNEDITABLE;
    const Case cases[] = {
        {"setString over the maximum", 0, [](TextField& f) { f.setString(jstr("abcdefg")); },
         "IllegalArgumentException"},
        {"insert over the maximum", 0, [](TextField& f) { f.insert(jstr("xyz"), 0); },
         "IllegalArgumentException"},
        {"insert null", 0, [](TextField& f) { f.insert(nullptr, 0); }, "NullPointerException"},
        {"insert past the end", 0, [](TextField& f) { f.insert(jstr("x"), 9); },
         "StringIndexOutOfBoundsException"},
        {"insert before the start", 0, [](TextField& f) { f.insert(jstr("x"), -1); },
         "StringIndexOutOfBoundsException"},
        {"insert a null array", 0, [](TextField& f) { f.insert(nullptr, 0, 1, 0); }, "NullPointerException"},
        {"insert a slice past the array", 0, [](TextField& f) { f.insert(chars("ab"), 1, 2, 0); },
         "ArrayIndexOutOfBoundsException"},
        {"insert a negative slice", 0, [](TextField& f) { f.insert(chars("ab"), 0, -1, 0); },
         "ArrayIndexOutOfBoundsException"},
        {"setChars of null", 0, [](TextField& f) { f.setChars(nullptr, 0, 0); }, "NullPointerException"},
        {"setChars past the array", 0, [](TextField& f) { f.setChars(chars("ab"), -1, 1); },
         "ArrayIndexOutOfBoundsException"},
        {"deleteJ past the end", 0, [](TextField& f) { f.deleteJ(2, 5); }, "StringIndexOutOfBoundsException"},
        {"deleteJ negative", 0, [](TextField& f) { f.deleteJ(-1, 1); }, "StringIndexOutOfBoundsException"},
        {"setMaxSize 0", 0, [](TextField& f) { f.setMaxSize(0); }, "IllegalArgumentException"},
        {"getChars into null", 0, [](TextField& f) { f.getChars(nullptr); }, "NullPointerException"},
        {"getChars into a short array", 0, [](TextField& f) { f.getChars(jnew<CharArray>(3)); },
         "ArrayIndexOutOfBoundsException"},
        {"uneditable setString", U, [](TextField& f) { f.setString(jstr("zz")); },
         "IllegalArgumentException"},
        {"uneditable insert", U, [](TextField& f) { f.insert(jstr("z"), 0); }, "IllegalArgumentException"},
        {"uneditable deleteJ", U, [](TextField& f) { f.deleteJ(0, 1); }, "IllegalArgumentException"},
        {"uneditable setMaxSize cutting", U, [](TextField& f) { f.setMaxSize(2); },
         "IllegalArgumentException"},
        {"uneditable setChars", U, [](TextField& f) { f.setChars(chars("zz"), 0, 2); },
         "IllegalArgumentException"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TextField> f = field("abcd", 6, c.constraints);
        putCaret(*f, 2);
        EXPECT_EQ(throwsAs(*f, c.call), c.expected);
        EXPECT_EQ(text(*f), "abcd");
        EXPECT_EQ(f->getCaretPosition(), 2);
        EXPECT_EQ(f->getMaxSize(), 6);
    }
    EXPECT_THROW(field("x", 0), java::lang::IllegalArgumentException);
}

TEST_F(TextFieldTest, AConstructorTextOverTheMaximumIsRefused) {
    // Kept whole, it would have refused every later insertion.
    EXPECT_THROW(field("abcdef", 5), java::lang::IllegalArgumentException);
    JavaPtr<TextField> f = field("abcde", 5);
    EXPECT_EQ(f->size(), 5);
    JavaPtr<CharArray> out = jnew<CharArray>(8);
    EXPECT_EQ(f->getChars(out), 5);
    EXPECT_EQ(out->data[4], u'e');
}

TEST_F(TextFieldTest, UneditableRefusesAllButItsOwnTextUntilTheConstraintGoes) {
    JavaPtr<TextField> f = field("abcd", 10, TextField::UNEDITABLE | TextField::NUMERIC);
    JavaPtr<java::lang::String> same = f->getString();
    f->setString(same);
    f->deleteJ(1, 0);
    putCaret(*f, 4);
    type(*f, DisplayableCoreCanvas::KEY_a);
    type(*f, DisplayableCoreCanvas::KEY_DELETE);
    press(*f, keypad(2));
    press(*f, keypad(2));
    EXPECT_EQ(text(*f), "abcd") << "typing does nothing";
    f->setConstraints(TextField::ANY);
    EXPECT_EQ(text(*f), "abcd");
    type(*f, DisplayableCoreCanvas::KEY_a);
    f->insert(jstr("1"), 0);
    EXPECT_EQ(text(*f), "1abcda") << "editable again, letters in a former NUMERIC field too";
}

TEST_F(TextFieldTest, APasswordShowsOneStarPerCharacter) {
    JavaPtr<TextField> f = field("secret", 20, TextField::PASSWORD);
    EXPECT_EQ(text(*f), "secret");
    EXPECT_EQ(testsupport::narrow(f->getDisplayText()), "******");
    EXPECT_EQ(testsupport::narrow(f->getLines()->data[0]), "******");
    f->setConstraints(TextField::ANY);
    EXPECT_EQ(testsupport::narrow(f->getDisplayText()), "secret");
}

TEST_F(TextFieldTest, TraversalWalksTheLinesAndLeavesAtTheEdges) {
    JavaPtr<TextField> f = field("abcd efgh ijkl");
    narrowTo(*f, 5 * kAdvance);
    ASSERT_EQ(f->getLines()->length, 3);
    JavaPtr<JArray<int>> vis = jnew<JArray<int>>(4);
    vis->data[0] = 7;
    EXPECT_TRUE(f->traverse(Canvas::DOWN, 100, 100, vis));
    EXPECT_EQ(f->caretRow(), 0);
    EXPECT_TRUE(traverse(*f, Canvas::DOWN));
    EXPECT_TRUE(f->traverse(Canvas::DOWN, 100, 100, vis));
    EXPECT_EQ(f->caretRow(), 2);
    EXPECT_EQ(vis->data[1], 2 * kLine);
    EXPECT_EQ(vis->data[3], kLine);
    EXPECT_EQ(vis->data[0], 7) << "x untouched";
    EXPECT_FALSE(traverse(*f, Canvas::DOWN)) << "past the last line";
    EXPECT_FALSE(f->isTraversedIn());

    // Entering from below lands on the last line; sideways moves wrap between lines.
    EXPECT_TRUE(traverse(*f, Canvas::UP));
    EXPECT_EQ(f->caretRow(), 2);
    putCaret(*f, 4);
    EXPECT_TRUE(traverse(*f, Canvas::RIGHT));
    EXPECT_EQ(f->caretRow(), 1);
    EXPECT_EQ(f->caretColumn(), 0);
    EXPECT_EQ(f->getCaretPosition(), 5);
    EXPECT_TRUE(traverse(*f, Canvas::LEFT));
    EXPECT_EQ(f->caretRow(), 0);
    EXPECT_EQ(f->caretColumn(), 4);
    for (int i = 0; i < 4; ++i) EXPECT_TRUE(traverse(*f, Canvas::LEFT));
    EXPECT_FALSE(traverse(*f, Canvas::LEFT)) << "at the very start";
    EXPECT_EQ(f->getCaretPosition(), 0);
    EXPECT_TRUE(traverse(*f, Canvas::LEFT)) << "enters again";
    EXPECT_EQ(f->getCaretPosition(), 0) << "entering sideways does not move";
}

TEST_F(TextFieldTest, UpAndDownKeepThePreferredColumn) {
    JavaPtr<TextField> f = field("abcd ef ijkl");
    narrowTo(*f, 5 * kAdvance);
    ASSERT_EQ(f->getLines()->length, 3);
    traverse(*f, Canvas::DOWN);
    for (int i = 0; i < 3; ++i) traverse(*f, Canvas::RIGHT);
    traverse(*f, Canvas::DOWN);
    EXPECT_EQ(f->caretColumn(), 2) << "cut to the short line";
    EXPECT_EQ(f->getCaretPosition(), 7);
    traverse(*f, Canvas::DOWN);
    EXPECT_EQ(f->caretColumn(), 3) << "the remembered column again";
    EXPECT_EQ(f->getCaretPosition(), 11);
}

TEST_F(TextFieldTest, TouchesPutTheCaretAfterTheCharacterUnderThem) {
    JavaPtr<TextField> f = field("abcd efgh ijkl");
    narrowTo(*f, 5 * kAdvance);
    JavaPtr<FakeForm> form = jnew<FakeForm>(320);
    f->addToForm(form.get());
    f->pointerPressed(kAdvance + 1, kLine + 2);
    EXPECT_EQ(f->caretRow(), 1);
    EXPECT_EQ(f->caretColumn(), 2);
    EXPECT_EQ(f->getCaretPosition(), 7);
    EXPECT_EQ(form->highlighted, f.get()) << "a touch asks for the highlight";
    f->pointerPressed(1000, 10 * kLine);
    EXPECT_EQ(f->caretRow(), 2) << "below the last line: the last line";
    EXPECT_EQ(f->getCaretPosition(), 14);
    f->pointerPressed(0, 0);
    EXPECT_EQ(f->getCaretPosition(), 1);
    f->removeFromForm();
}

TEST_F(TextFieldTest, WrapBreaksWordsWithAHyphenAndGrowsTheHeight) {
    JavaPtr<TextField> f = field("abcdefgh xy");
    EXPECT_EQ(f->getMinContentHeight(), kLine + 3);
    narrowTo(*f, 5 * kAdvance);
    JavaPtr<TextField::LineArray> lines = f->getLines();
    ASSERT_EQ(lines->length, 3);
    EXPECT_EQ(testsupport::narrow(lines->data[0]), "abcd") << "the hyphen is drawn, not kept";
    EXPECT_EQ(testsupport::narrow(lines->data[1]), "efgh");
    EXPECT_EQ(f->getMinContentHeight(), 3 * kLine + 3);
    EXPECT_EQ(f->getPrefContentHeight(-1), 3 * kLine + 3);
    // The caret at the seam of a broken word is on the later line.
    putCaret(*f, 0);
    for (int i = 0; i < 4; ++i) traverse(*f, Canvas::RIGHT);
    EXPECT_EQ(f->getCaretPosition(), 4);
    EXPECT_EQ(f->caretRow(), 0);
    f->insert(jstr(""), 0);
    EXPECT_EQ(f->caretRow(), 1) << "derived from the position: the later line wins";
    EXPECT_EQ(f->caretColumn(), 0);
}

TEST_F(TextFieldTest, TwoLinesOfTheTestFontAre29PixelsHigh) {
    JavaPtr<TextField> f = field("abcd efgh");
    narrowTo(*f, 5 * kAdvance);
    ASSERT_EQ(f->getLines()->length, 2);
    EXPECT_EQ(f->getMinContentHeight(), 29);
    EXPECT_TRUE(f->requiresOwnRow());
    EXPECT_EQ(f->getMinContentWidth(), kScreenWidth);
}

TEST_F(TextFieldTest, OnlyTheUsersEditsReachTheListener) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(320);
    JavaPtr<TextField> f = field("ab");
    f->addToForm(form.get());
    f->setString(jstr("abc"));
    f->insert(jstr("d"), 0);
    f->deleteJ(0, 1);
    EXPECT_TRUE(form->changedItems.empty());
    type(*f, DisplayableCoreCanvas::KEY_a);
    EXPECT_EQ(form->changedItems.size(), 1u);
    JavaPtr<TextField> filling = jnew<TextField>(jstr("Notes"), jstr(""), 50, TextField::ANY, true);
    filling->addToForm(form.get());
    type(*filling, DisplayableCoreCanvas::KEY_a);
    EXPECT_EQ(form->changedItems.size(), 1u) << "a field that fills the form never reports";
    filling->removeFromForm();
    f->removeFromForm();
}

TEST_F(TextFieldTest, PaintDrawsTheLinesTheHyphenAndTheCaretWhenHighlighted) {
    JavaPtr<FakeForm> form = jnew<FakeForm>(320);
    JavaPtr<TextField> f = field("abcdefgh");
    f->addToForm(form.get());
    narrowTo(*f, 5 * kAdvance);
    traverse(*f, Canvas::UP);
    for (int i = 0; i < 4; ++i) traverse(*f, Canvas::RIGHT);
    ASSERT_EQ(f->caretRow(), 1);
    ASSERT_EQ(f->caretColumn(), 4);
    // The caret after "efgh": a line at x 24 from the line's top (3 + 13) down a font height.
    const auto caretPixels = [&](int column = 4) {
        PaintTarget t;
        f->paint(t.graphics, 100, 100);
        return t.count(kForeground, column * kAdvance, 3 + kLine, 1, testsupport::kTestFontHeight + 1);
    };
    EXPECT_EQ(caretPixels(), 0) << "not highlighted: no caret";
    form->highlighted = f.get();
    EXPECT_EQ(caretPixels(), testsupport::kTestFontHeight + 1);
    press(*f, keypad(2));
    ASSERT_EQ(f->caretColumn(), 5);
    EXPECT_EQ(caretPixels(5), 0) << "hidden while a multi-tap character is pending";
    press(*f, keypad(0));
    EXPECT_EQ(caretPixels(5), testsupport::kTestFontHeight + 1) << "back once it is committed";
    PaintTarget target;
    f->paint(target.graphics, 100, 100);
    EXPECT_GT(target.count(kForeground, 4 * kAdvance, 3, kAdvance, testsupport::kTestFontHeight), 0)
        << "the hyphen after the broken line";
    f->removeFromForm();
}

}  // namespace
}  // namespace formstest
