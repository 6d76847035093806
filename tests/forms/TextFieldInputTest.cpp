// Typing into a text field: multi-tap on the keypad with its 1,200 ms window, keyboard keys, delete,
// the password's short reveal, and the symbol selector.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/TextField.h"
#include "shell/Canvas.h"
#include "tests/forms/TextFieldFixture.h"

namespace formstest {
namespace {

using javax::microedition::lcdui::Canvas;
using Core = DisplayableCoreCanvas;

class TextFieldInputTest : public TextFieldFixture {};

TEST_F(TextFieldInputTest, MultiTapSteps) {
    struct Press {
        int digit;  // -1 star, -2 hash
        long long waitMs;
    };
    struct Case {
        const char* name;
        std::vector<Press> presses;
        const char* text;
    };
    const Case cases[] = {
        {"2 three times", {{2, 0}, {2, 100}, {2, 100}}, "c"},
        {"2 four times", {{2, 0}, {2, 100}, {2, 100}, {2, 100}}, "2"},
        {"2 five times", {{2, 0}, {2, 100}, {2, 100}, {2, 100}, {2, 100}}, "a"},
        {"2, wait, 2", {{2, 0}, {2, 1201}}, "aa"},
        {"2, exactly 1200 ms, 2", {{2, 0}, {2, 1200}}, "b"},
        {"2 then 3", {{2, 0}, {3, 10}}, "ad"},
        {"7 five times", {{7, 0}, {7, 100}, {7, 100}, {7, 100}, {7, 100}}, "7"},
        {"7 six times", {{7, 0}, {7, 100}, {7, 100}, {7, 100}, {7, 100}, {7, 100}}, "p"},
        {"1 twice", {{1, 0}, {1, 100}}, ","},
        {"9 four times", {{9, 0}, {9, 100}, {9, 100}, {9, 100}}, "z"},
        {"0 types nothing and ends the character", {{2, 0}, {0, 100}, {2, 100}}, "aa"},
        {"hash ends the character", {{2, 0}, {-2, 100}, {2, 100}}, "aa"},
        {"star ends the character", {{2, 0}, {-1, 100}, {2, 100}}, "aa"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TextField> f = field("");
        for (const Press& p : c.presses) {
            const int key = p.digit >= 0 ? keypad(p.digit) : p.digit == -1 ? Core::KEY_STAR : Core::KEY_HASH;
            press(*f, key, p.waitMs);
        }
        EXPECT_EQ(text(*f), c.text);
        EXPECT_EQ(f->getCaretPosition(), static_cast<int>(std::string(c.text).size()));
    }
}

TEST_F(TextFieldInputTest, TheTickCommitsAfterTheWindow) {
    JavaPtr<TextField> f = field("");
    press(*f, keypad(2));
    clock->advance(1199);
    f->tick(0);
    EXPECT_EQ(f->multiTapKeySet(), 1) << "still pending";
    clock->advance(1);
    f->tick(0);
    EXPECT_EQ(f->multiTapKeySet(), -1);
    press(*f, keypad(2), 0);
    EXPECT_EQ(text(*f), "aa") << "a committed character is never stepped";
}

TEST_F(TextFieldInputTest, APasswordRevealsTheMultiTapCharacterUntilItIsCommitted) {
    JavaPtr<TextField> f = field("x", 10, TextField::PASSWORD);
    putCaret(*f, 1);
    press(*f, keypad(5));
    EXPECT_EQ(text(*f), "xj");
    EXPECT_EQ(testsupport::narrow(f->getDisplayText()), "*j");
    clock->advance(1200);
    f->tick(0);
    EXPECT_EQ(testsupport::narrow(f->getDisplayText()), "**");
    press(*f, keypad(5));
    EXPECT_EQ(testsupport::narrow(f->getDisplayText()), "**j");
    f->keyPressed(Core::KEY_a);
    EXPECT_EQ(testsupport::narrow(f->getDisplayText()), "***") << "another key masks it at once";
    f->keyReleased(Core::KEY_a);
    EXPECT_EQ(testsupport::narrow(f->getDisplayText()), "****") << "keyboard characters are masked at once";
    EXPECT_EQ(text(*f), "xjja");
}

TEST_F(TextFieldInputTest, KeyboardKeysInsertOnRelease) {
    struct Case {
        int code;
        unsigned short character;
    };
    const Case cases[] = {
        {1000, u'a'},
        {1025, u'z'},
        {1026, u'A'},
        {1052, u'0'},
        {1061, u'9'},
        {Core::KEY_ENTER, u'\n'},
        {Core::KEY_SPACEBAR, u' '},
        {Core::KEY_POUND, 0xA3},
        {Core::KEY_AT, u'@'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        JavaPtr<TextField> f = field("", 10, TextField::NUMERIC);
        f->keyPressed(c.code);
        EXPECT_EQ(f->size(), 0) << "nothing on the press";
        f->keyReleased(c.code);
        ASSERT_EQ(f->size(), 1);
        EXPECT_EQ(f->getString()->charAt(0), c.character);
    }
    JavaPtr<TextField> f = field("");
    for (int code :
         {Core::KEY_LEFT, Core::KEY_FIRE, Core::KEY_EXTENDED_CHARS_END, Core::NO_KEY, Core::KEY_HASH})
        type(*f, code);
    EXPECT_EQ(text(*f), "") << "codes without a character type nothing on release";
}

TEST_F(TextFieldInputTest, DeleteTakesTheCharacterBeforeTheCaret) {
    JavaPtr<TextField> f = field("abcd");
    type(*f, Core::KEY_DELETE);
    EXPECT_EQ(text(*f), "abcd") << "at the start";
    putCaret(*f, 3);
    type(*f, Core::KEY_DELETE);
    EXPECT_EQ(text(*f), "abd");
    EXPECT_EQ(f->getCaretPosition(), 2);
}

TEST_F(TextFieldInputTest, AFullFieldIsNeverOverwritten) {
    // A refused character used to stay pending, and the next press of the key replaced the character
    // before the caret.
    JavaPtr<TextField> f = field("", 1);
    press(*f, keypad(2));
    EXPECT_EQ(text(*f), "a");
    press(*f, keypad(3));
    press(*f, keypad(3));
    press(*f, keypad(3));
    EXPECT_EQ(text(*f), "a");
    EXPECT_EQ(f->multiTapKeySet(), -1);
    type(*f, Core::KEY_a + 1);
    EXPECT_EQ(text(*f), "a");
}

TEST_F(TextFieldInputTest, ACaretMoveOrAnotherEditEndsThePendingCharacter) {
    JavaPtr<TextField> f = field("xy");
    putCaret(*f, 2);
    press(*f, keypad(2));
    EXPECT_EQ(text(*f), "xya");
    putCaret(*f, 1);
    press(*f, keypad(2));
    EXPECT_EQ(text(*f), "xaya") << "a new character at the caret, not a replaced x";
    f->insert(testsupport::jstr("Q"), 0);
    press(*f, keypad(2));
    EXPECT_EQ(text(*f), "Qxaaya") << "an application edit ends it too";
}

TEST_F(TextFieldInputTest, ARepeatWithTheCaretAtTheStartTypesANewCharacter) {
    JavaPtr<TextField> f = field("");
    press(*f, keypad(2));
    putCaret(*f, 0);
    ASSERT_EQ(f->getCaretPosition(), 0);
    press(*f, keypad(2));
    EXPECT_EQ(text(*f), "aa");
    EXPECT_EQ(f->getCaretPosition(), 1);
}

class CharSelectorTest : public TextFieldFixture {
protected:
    static void open(TextField& f) { f.keyRepeated(Core::KEY_STAR); }
    static void move(TextField& f, int dir) {
        EXPECT_TRUE(f.traverse(dir, 100, 100, jnew<JArray<int>>(4))) << "the selector keeps the highlight";
    }
};

TEST_F(CharSelectorTest, NavigationAndChoice) {
    const int U = Canvas::UP, D = Canvas::DOWN, L = Canvas::LEFT, R = Canvas::RIGHT;
    struct Case {
        const char* name;
        std::vector<int> moves;
        int row, col;
        const char* inserted;
    };
    const Case cases[] = {
        {"the first cell", {}, 0, 0, "."},
        {"right four times", {R, R, R, R}, 0, 4, "/"},
        {"right five times wraps to row 1", {R, R, R, R, R}, 1, 0, "\\"},
        {"down, right", {D, R}, 1, 1, "@"},
        {"down, right, right: an empty cell", {D, R, R}, 1, 2, ""},
        {"left at the first cell stays", {L}, 0, 0, "."},
        {"right at the last cell stays", {D, R, R, R, R, R}, 1, 4, ""},
        {"left from row 1 column 0 wraps up", {D, L}, 0, 4, "/"},
        {"up from row 1", {D, R, U}, 0, 1, ","},
        {"down twice stays on row 1", {R, R, D, D}, 1, 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TextField> f = field("ab");
        putCaret(*f, 1);
        open(*f);
        ASSERT_TRUE(f->isCharSelectorShown());
        for (int dir : c.moves) move(*f, dir);
        EXPECT_EQ(f->charSelectorRow(), c.row);
        EXPECT_EQ(f->charSelectorColumn(), c.col);
        EXPECT_EQ(f->getCaretPosition(), 1) << "the caret stays";
        f->keyReleased(Core::KEY_FIRE);
        EXPECT_FALSE(f->isCharSelectorShown());
        EXPECT_EQ(text(*f), "a" + std::string(c.inserted) + "b");
    }
}

TEST_F(CharSelectorTest, WhileOpenOnlyKeyboardKeysAndFireType) {
    JavaPtr<TextField> f = field("");
    open(*f);
    press(*f, keypad(2));
    EXPECT_EQ(text(*f), "") << "multi-tap is off";
    type(*f, Core::KEY_a + 2);
    EXPECT_EQ(text(*f), "c") << "keyboard letters still type";
    EXPECT_TRUE(f->isCharSelectorShown());
    f->traverse(Canvas::RIGHT, 100, 100, jnew<JArray<int>>(4));
    f->keyPressed(keypad(5));
    f->keyReleased(keypad(5));
    EXPECT_EQ(text(*f), "c,") << "the keypad 5 chooses as FIRE does";
    EXPECT_FALSE(f->isCharSelectorShown());
    open(*f);
    EXPECT_EQ(f->charSelectorColumn(), 1) << "reopened on the cell chosen last";
    f->keyRepeated(Core::KEY_STAR);
    f->keyRepeated(keypad(2));
    EXPECT_TRUE(f->isCharSelectorShown());
}

TEST_F(CharSelectorTest, PaintsTheGridWithTheSelectedCellHighlighted) {
    JavaPtr<TextField> f = field("");
    open(*f);
    f->traverse(Canvas::DOWN, 100, 100, jnew<JArray<int>>(4));
    PaintTarget target;
    target.graphics->translate(17, 40);
    f->paint(target.graphics, 100, 100);
    // Without a form canvas the whole screen is the area: the grid is centred on 320 x 480.
    const int x0 = (kScreenWidth - 90) / 2;
    const int y0 = (kScreenHeight - 36) / 2;
    EXPECT_EQ(target.pixel(x0, y0), 0x666666) << "the border";
    EXPECT_EQ(target.pixel(x0 + 1, y0 + 18 + 1), kHighlightedBackground) << "row 1, column 0";
    EXPECT_EQ(target.pixel(x0 + 19, y0 + 1), kBackground) << "row 0, column 1";
    EXPECT_EQ(target.graphics->getTranslateX(), 17) << "the translation is put back";
}

}  // namespace
}  // namespace formstest
