#include "shell/EntryFunctions.h"

#include <atomic>
#include <mutex>

#include "graphics/Graphics.h"
#include "shell/Display.h"
#include "shell/LCDUIHooks.h"
#include "shell/LCDUILock.h"
#include "shell/ShellGlobals.h"
#include "shell/StartUp.h"
#include "shell/TickerWake.h"

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::LCDUIGuard;
using javax::microedition::lcdui::lcduiHighLevelHooks;
using javax::microedition::lcdui::LCDUILock;
using javax::microedition::lcdui::PaintLock;

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
    changeOutputSize(_outputWidth.load(), _outputHeight.load());
}

void changeOutputSize(int width, int height) {
    // Taken before the paint lock: the display's lock is never waited for under it here.
    JavaPtr<Graphics> master = Display::getMasterGraphics();
    {
        // A paint between a new width and a new height would fill a 320 x 320 screen into a 240 x 320
        // buffer, a whole screen past its end.
        std::lock_guard<PaintLock> painting(Canvas::paintMutex);
        // The screens lay out under their own lock: with both held here, a layout or a paint reads one
        // whole size, never the new width with the old height.
        LCDUIGuard screens(LCDUILock::mutex());
        _outputWidth.store(width);
        _outputHeight.store(height);
        // Any thread reads the screen size (a canvas's getWidth); the graphics library keeps it plain.
        std::atomic_ref<int32_t>(Display::screenWidth).store(width);
        std::atomic_ref<int32_t>(Display::screenHeight).store(height);
        if (master) {
            master->width = width;
            master->height = height;
        }
    }
    if (auto keyboardSizeChanged = lcduiHighLevelHooks().onScreenKeyboardSizeChanged) keyboardSizeChanged();
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
