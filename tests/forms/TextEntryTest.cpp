// Typing into a text field of a form shown on the display, as a user does: the keyboard toggle and the
// drawn keys tapped through the platform's entry functions, held star opening the symbol selector, whose
// only soft key is "Cancel", with the display's ticks in between.
#include <gtest/gtest.h>

#include "tests/forms/TextEntryFixture.h"

namespace formstest {
namespace {

using TextEntryTest = TextEntryFixture;

TEST_F(TextEntryTest, HelloTappedOnTheDrawnKeyboardReachesGetString) {
    tapKeyboardToggle();
    ASSERT_TRUE(OnScreenKeyboard::isShown());
    for (const char* letter : {"h", "e", "l", "l", "o"}) tapKey(letter);
    EXPECT_EQ(testsupport::narrow(field->getString()), "hello");
    tapKey("SPECIAL_DEL");
    tapKey("SPECIAL_Shift");
    tapKey("P");
    tapKey("1");
    EXPECT_EQ(testsupport::narrow(field->getString()), "hellP1");
    EXPECT_EQ(field->getCaretPosition(), 6);
    EXPECT_EQ(canvas()->numBufferedEvents(), 0);
}

TEST_F(TextEntryTest, HeldStarOpensTheSelectorWithOnlyCancelAndCancelClosesIt) {
    _xyzKeyPressed(DisplayableCoreCanvas::KEY_STAR);
    clock->advance(DisplayableCoreCanvas::KEY_REPEAT_BEGIN_MS + 1);
    tick();
    _xyzKeyReleased(DisplayableCoreCanvas::KEY_STAR);
    // The display ticks every 50 ms: the next tick sees the star let go.
    tick();
    ASSERT_TRUE(field->isCharSelectorShown());
    ASSERT_TRUE(SoftKeys::back(canvas()));
    EXPECT_EQ(testsupport::narrow(SoftKeys::back(canvas())->getLabel()), "Cancel");
    EXPECT_FALSE(SoftKeys::forward(canvas()));
    EXPECT_FALSE(SoftKeys::menu(canvas()));
    // The arrows move the selection, FIRE is taken by the selector; the back soft key cancels.
    _xyzKeyPressed(DisplayableCoreCanvas::KEY_RIGHT);
    _xyzKeyReleased(DisplayableCoreCanvas::KEY_RIGHT);
    EXPECT_EQ(field->charSelectorColumn(), 1);
    _xyzKeyPressed(DisplayableCoreCanvas::KEY_SOFTKEY_LEFT);
    _xyzKeyReleased(DisplayableCoreCanvas::KEY_SOFTKEY_LEFT);
    EXPECT_FALSE(field->isCharSelectorShown());
    EXPECT_EQ(testsupport::narrow(field->getString()), "");
    EXPECT_FALSE(SoftKeys::back(canvas())) << "the form's own soft keys are back";
    // Open again: FIRE chooses the remembered cell.
    _xyzKeyPressed(DisplayableCoreCanvas::KEY_STAR);
    clock->advance(DisplayableCoreCanvas::KEY_REPEAT_BEGIN_MS + 1);
    tick();
    _xyzKeyReleased(DisplayableCoreCanvas::KEY_STAR);
    EXPECT_EQ(field->charSelectorColumn(), 1);
    _xyzKeyPressed(DisplayableCoreCanvas::KEY_FIRE);
    _xyzKeyReleased(DisplayableCoreCanvas::KEY_FIRE);
    EXPECT_EQ(testsupport::narrow(field->getString()), ",");
    EXPECT_FALSE(field->isCharSelectorShown());
}

TEST_F(TextEntryTest, MultiTapThroughTheFormAndTheTickCommits) {
    const int two = DisplayableCoreCanvas::KEY_NUM0 + 2;
    for (int i = 0; i < 2; ++i) {
        _xyzKeyPressed(two);
        _xyzKeyReleased(two);
        clock->advance(100);
    }
    EXPECT_EQ(testsupport::narrow(field->getString()), "b");
    EXPECT_EQ(field->multiTapKeySet(), 1);
    clock->advance(TextField::MULTI_TAP_MS);
    tick();
    EXPECT_EQ(field->multiTapKeySet(), -1) << "the form canvas ticks the highlighted field";
    _xyzKeyPressed(two);
    _xyzKeyReleased(two);
    EXPECT_EQ(testsupport::narrow(field->getString()), "ba");
}

}  // namespace
}  // namespace formstest
