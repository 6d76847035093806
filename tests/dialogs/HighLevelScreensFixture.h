// The stage for tests that use forms, lists and alerts together as an application does: the core canvas
// fixture's display, screen buffer and stepped clock, with the form, list and dialog layers hooked into
// the display and their statics set up.
#pragma once

#include <gtest/gtest.h>

#include "dialogs/Alert.h"
#include "dialogs/DialogHooks.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/FormHooks.h"
#include "forms/List.h"
#include "shell/LCDUIHooks.h"
#include "tests/screens/CoreCanvasFixtures.h"

namespace dialogstest {

class HighLevelScreensFixture : public screenstest::CoreCanvasFixture {
protected:
    void SetUp() override {
        CoreCanvasFixture::SetUp();
        javax::microedition::lcdui::LCDUIHighLevelHooks hooks =
            javax::microedition::lcdui::lcduiHighLevelHooks();
        javax::microedition::lcdui::fillFormHooks(hooks);
        javax::microedition::lcdui::fillDialogHooks(hooks);
        javax::microedition::lcdui::List::fillListHooks(hooks);
        javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
        LCDUI_staticInit();
    }
    void TearDown() override {
        LCDUI_tidyUpLCDUI();
        CoreCanvasFixture::TearDown();
        javax::microedition::lcdui::Form::tidyUp();
    }

    // The screen made current by a tick, as the ticker thread does; the tick also lays a form out.
    void show(const JavaPtr<screenstest::Displayable>& screen) {
        display->setCurrent(screen);
        screenstest::Display::tickLCDUI(50);
        ASSERT_EQ(screenstest::Display::currentDisplayable().get(), screen.get());
    }
    // A press and release of a key on a canvas.
    static void key(const JavaPtr<javax::microedition::lcdui::Canvas>& canvas, int code) {
        canvas->keyPressed(code);
        canvas->keyReleased(code);
    }
    static int pinnedForms() { return javax::microedition::lcdui::Form::pinnedForms()->length; }
};

}  // namespace dialogstest
