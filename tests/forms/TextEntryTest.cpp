// Typing into a text field of a form shown on the display, as a user does: the keyboard toggle and the
// drawn keys tapped through the platform's entry functions, held star opening the symbol selector, whose
// only soft key is "Cancel", with the display's ticks in between.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/TextField.h"
#include "graphics/Graphics.h"
#include "screens/OnScreenKeyboard.h"
#include "screens/ScreenHooks.h"
#include "shell/Display.h"
#include "shell/EntryFunctions.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/ShellGlobals.h"
#include "tests/forms/FormTestFixture.h"
#include "tests/support/SteppedClock.h"

namespace formstest {
namespace {

using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::OnScreenKeyboard;
using javax::microedition::lcdui::TextField;

// What the soft keys offer, read from the core canvas.
struct SoftKeys : DisplayableCoreCanvas {
    static JavaPtr<Command> back(DisplayableCoreCanvas* c) { return c->*(&SoftKeys::m_backCommand); }
    static JavaPtr<Command> forward(DisplayableCoreCanvas* c) { return c->*(&SoftKeys::m_forwardCommand); }
    static bool menu(DisplayableCoreCanvas* c) { return c->*(&SoftKeys::m_forwardOpensMenu); }
};

class TextEntryTest : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        clock = std::make_unique<testsupport::SteppedClock>();
        javax::microedition::lcdui::LCDUIHighLevelHooks hooks;
        javax::microedition::lcdui::fillScreenHooks(hooks);
        javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
        _outputWidth.store(kFormScreenWidth);
        _outputHeight.store(kFormScreenHeight);
        screenBuffer.assign(static_cast<size_t>(kFormScreenWidth) * kFormScreenHeight, 0xFF000000u);
        _frameBufferPixels.store(screenBuffer.data());
        _frameBufferPixelCount.store(screenBuffer.size());
        display = Display::getDisplay(nullptr);
        JavaPtr<javax::microedition::lcdui::Graphics> g = jnew<javax::microedition::lcdui::Graphics>();
        g->pixels = screenBuffer.data();
        Display::setMasterGraphics(g);

        form = newForm();
        field = jnew<TextField>(testsupport::jstr("Name"), nullptr, 20, TextField::ANY);
        form->append(field);
        display->setCurrent(form);
        tick();
        ASSERT_EQ(Display::currentDisplayable().get(),
                  static_cast<javax::microedition::lcdui::Displayable*>(form.get()));
    }
    void TearDown() override {
        field = nullptr;
        form = nullptr;
        display = nullptr;
        FormFixture::TearDown();
        _frameBufferPixels.store(nullptr);
        _frameBufferPixelCount.store(0);
        clock.reset();
    }

    static void tick() { Display::tickLCDUI(50); }
    static void tap(int x, int y) {
        _xyzMouseDown(x, y);
        _xyzMouseUp(x, y);
        tick();
    }
    // The keyboard toggle sits in the middle of the soft-key bar.
    static void tapKeyboardToggle() {
        const int bar = testsupport::kTestFontHeight + 4;
        const int k = 3 * bar / 4;
        tap(((kFormScreenWidth - 15) >> 1) + 7, kFormScreenHeight - ((k + bar) >> 1) + k / 2);
    }
    // Taps the drawn key whose label is the text.
    static void tapKey(const char* label) {
        JavaPtr<OnScreenKeyboard::KeyArray> keys = OnScreenKeyboard::getKeys();
        ASSERT_TRUE(keys);
        for (int i = 0; i < keys->length; ++i) {
            if (testsupport::narrow(keys->data[i]->label) != label) continue;
            const JavaPtr<javax::microedition::lcdui::KeyInternal> key = keys->data[i];
            tap(key->x + key->width / 2, key->y + key->height / 2);
            return;
        }
        FAIL() << "no key " << label;
    }
    DisplayableCoreCanvas* canvas() { return form->getFormCanvas().get(); }

    std::unique_ptr<testsupport::SteppedClock> clock;
    std::vector<uint32_t> screenBuffer;
    JavaPtr<Display> display;
    JavaPtr<Form> form;
    JavaPtr<TextField> field;
};

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
