// The stage of the text entry's end-to-end tests: a 210 x 480 display with its master Graphics and the
// screens' hooks, a form holding one empty text field made current, a stepped clock, and taps on the
// keyboard toggle and the drawn keys through the platform's entry functions.
#pragma once

#include <gtest/gtest.h>

#include <memory>
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
#include "tests/support/ScreenBuffer.h"
#include "tests/support/SteppedClock.h"

namespace formstest {

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

class TextEntryFixture : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        clock = std::make_unique<testsupport::SteppedClock>();
        javax::microedition::lcdui::LCDUIHighLevelHooks hooks;
        javax::microedition::lcdui::fillScreenHooks(hooks);
        javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
        display = testsupport::attachScreenBuffer(screenBuffer, kFormScreenWidth, kFormScreenHeight);

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
    static int toggleX() { return ((kFormScreenWidth - 15) >> 1) + 7; }
    static int toggleY() {
        const int bar = testsupport::kTestFontHeight + 4;
        const int k = 3 * bar / 4;
        return kFormScreenHeight - ((k + bar) >> 1) + k / 2;
    }
    static void tapKeyboardToggle() { tap(toggleX(), toggleY()); }
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

}  // namespace formstest
