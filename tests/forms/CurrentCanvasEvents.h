// The shell's part of a host, cut down for the forms' tests: touches and keys straight to the display's
// current canvas (scale 1, so points are pixels), on whichever thread the host delivers them.
#pragma once

#include "platform/host/Host.h"
#include "shell/Canvas.h"
#include "shell/Display.h"

namespace formstest {

class CurrentCanvasEvents : public platform::HostEvents {
public:
    void launched() override {}
    void touchDown(int x, int y) override {
        if (auto canvas = javax::microedition::lcdui::Display::currentCanvas()) canvas->pointerPressed(x, y);
    }
    void touchDragged(int x, int y) override {
        if (auto canvas = javax::microedition::lcdui::Display::currentCanvas()) canvas->pointerDragged(x, y);
    }
    void touchUp(int x, int y) override {
        if (auto canvas = javax::microedition::lcdui::Display::currentCanvas()) canvas->pointerReleased(x, y);
    }
    void keyPressed(int keyCode) override {
        if (auto canvas = javax::microedition::lcdui::Display::currentCanvas()) canvas->keyPressed(keyCode);
    }
    void keyReleased(int keyCode) override {
        if (auto canvas = javax::microedition::lcdui::Display::currentCanvas()) canvas->keyReleased(keyCode);
    }
    bool highLevelScreenShown() override { return true; }
    void accelerated(double, double, double) override {}
    void sizeChanged(int, int) override {}
    void paused() override {}
    void resumed() override {}
    void terminating() override {}
};

}  // namespace formstest
