#include "shell/DisplayThreadedPaint.h"

#include "shell/Canvas.h"
#include "shell/Display.h"
#include "shell/MIDlet.h"
#include "shell/PaintingThreads.h"

namespace javax::microedition::lcdui {

DisplayThreadedPaint::~DisplayThreadedPaint() = default;

void DisplayThreadedPaint::run() {
    // Noted from the start, not from its first paint: the tear-down waits for it either way.
    PaintingThreads::noteCurrentThread();
    auto stopped = [this] { return stopRequested.load() || midlet::MIDlet::quitInvoked.load(); };
    while (!stopped()) {
        if (!Display::waitForThreadedRepaint(stopRequested)) continue;
        bool painted = false;
        for (int i = 0; i < Display::_CANVAS_REPAINT_TOTAL; ++i) {
            // Taking the canvas marks the pass as painting, so serviceRepaints waits for it.
            JavaPtr<Canvas> c = Display::takeThreadedRepaint(i);
            if (!c) continue;
            const int width = c->getWidth();
            c->repaintReal(0, 0, width, c->getHeight());
            painted = true;
        }
        Display::endThreadedRepaintPass();
        if (painted) Display::startThreadedSerialCalls();
    }
}

}  // namespace javax::microedition::lcdui
