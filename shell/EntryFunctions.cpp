#include "shell/EntryFunctions.h"

#include "graphics/Graphics.h"
#include "shell/Display.h"
#include "shell/ShellGlobals.h"
#include "shell/StartUp.h"
#include "shell/TickerWake.h"

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;

namespace {

void touch(int x, int y, TouchRing::Kind kind, void (Canvas::*handler)(int, int)) {
    // A screen replays input that came while it ticked, and queued touches wait for the ticker.
    TickerWake::wake();
    JavaPtr<Canvas> canvas = Display::currentCanvas();
    if (!canvas) return;
    if (kThreadedInputs) {
        TouchRing::shared().append(x, y, kind);
        return;
    }
    (canvas.get()->*handler)(x, y);
}

}  // namespace

void _xyzMouseDown(int x, int y) {
    touch(x, y, TouchRing::pressed, &Canvas::pointerPressed);
}

void _xyzMouseDragged(int x, int y) {
    touch(x, y, TouchRing::dragged, &Canvas::pointerDragged);
}

void _xyzMouseUp(int x, int y) {
    touch(x, y, TouchRing::released, &Canvas::pointerReleased);
}

void _xyzKeyPressed(int keyCode) {
    TickerWake::wake();
    if (JavaPtr<Canvas> canvas = Display::currentCanvas()) canvas->keyPressed(keyCode);
}

void _xyzKeyReleased(int keyCode) {
    TickerWake::wake();
    if (JavaPtr<Canvas> canvas = Display::currentCanvas()) canvas->keyReleased(keyCode);
}

void _xyzSizeChanged() {
    const int width = _outputWidth.load();
    const int height = _outputHeight.load();
    Display::screenWidth = width;
    Display::screenHeight = height;
    if (auto master = Display::getMasterGraphics()) {
        master->width = width;
        master->height = height;
    }
    if (JavaPtr<Canvas> canvas = Display::currentCanvas()) canvas->sizeChanged(width, height);
}

void _xyzPauseApp() {
    bool expected = false;
    if (!Displayable::isInterrupted.compare_exchange_strong(expected, true)) return;
    if (JavaPtr<ProxyMIDlet> midlet = _myMidlet()) midlet->pauseApp();
}

void _xyzResumeApp() {
    bool expected = true;
    if (!Displayable::isInterrupted.compare_exchange_strong(expected, false)) return;
    if (JavaPtr<ProxyMIDlet> midlet = _myMidlet()) midlet->startApp();
}

void _xyzDestroy() {
    Displayable::isInterrupted.store(true);
    _destroyRequested.store(true);
    _deliverDestroyOnce(_myMidlet());
}
