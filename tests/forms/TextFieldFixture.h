// The text field's tests: the forms' stage with the core canvas's key codes filled in, a stepped clock
// for the multi-tap window, and short ways to build a field, put its caret and read its text.
#pragma once

#include <memory>
#include <string>

#include "forms/TextField.h"
#include "screens/DisplayableCoreCanvas.h"
#include "shell/Canvas.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/SteppedClock.h"
#include "tests/support/StringText.h"
#include "tests/support/TestFont.h"

namespace formstest {

using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::TextField;

class TextFieldFixture : public FormsFixture {
protected:
    // The test font's line in a field: font height and a 3-pixel gap.
    static constexpr int kLine = testsupport::kTestFontHeight + 3;
    static constexpr int kAdvance = testsupport::kTestFontAdvance;

    void SetUp() override {
        FormsFixture::SetUp();
        DisplayableCoreCanvas::init();
        clock = std::make_unique<testsupport::SteppedClock>();
    }
    void TearDown() override {
        clock.reset();
        FormsFixture::TearDown();
    }

    static JavaPtr<TextField> field(const char* text, int maxSize = 100, int constraints = TextField::ANY) {
        return jnew<TextField>(testsupport::jstr("Name"), text ? testsupport::jstr(text) : nullptr, maxSize,
                               constraints);
    }
    // The field wrapped to a content width, as the form layout gives it.
    static void narrowTo(TextField& f, int width) {
        f.m_contentWidth = width;
        f.sizeChanged(width, 100);
    }
    // The caret to a position of a one-line text, by a touch just inside the character before it.
    static void putCaret(TextField& f, int position) {
        if (position == 0) {
            f.traverse(javax::microedition::lcdui::Canvas::DOWN, 0, 0, jnew<JArray<int>>(4));
            while (f.getCaretPosition() > 0)
                f.traverse(javax::microedition::lcdui::Canvas::LEFT, 0, 0, jnew<JArray<int>>(4));
            return;
        }
        f.pointerPressed(kAdvance * position - 1, 4);
    }
    static std::string text(TextField& f) { return testsupport::narrow(f.getString()); }
    static int keypad(int digit) { return DisplayableCoreCanvas::KEY_NUM0 + digit; }
    // A keypad key pressed and let go, after waiting ms.
    void press(TextField& f, int key, long long waitMs = 100) {
        clock->advance(waitMs);
        f.keyPressed(key);
        f.keyReleased(key);
    }
    // A keyboard key as the drawn keyboard and the desktop send it.
    static void type(TextField& f, int code) {
        f.keyPressed(code);
        f.keyReleased(code);
    }

    std::unique_ptr<testsupport::SteppedClock> clock;
};

}  // namespace formstest
