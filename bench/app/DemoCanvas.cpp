#include "bench/app/DemoCanvas.h"

#include "graphics/Graphics.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/ShellGlobals.h"
#include "shell/StartUp.h"

using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Graphics;

void DemoCanvas::pointerPressed(int x, int y) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_tapped = true;
        m_tapX = x;
        m_tapY = y;
    }
    draw();
}

void DemoCanvas::draw() {
    JavaPtr<Graphics> g = Display::getMasterGraphics();
    if (!g || _frameBufferPixels.load() == nullptr) return;
    // One drawer at a time: the MIDlet thread draws the first screen, the main thread the taps.
    std::lock_guard<std::mutex> lock(m_mutex);
    // The paint lock keeps a screen turn from changing the size under the drawing.
    std::lock_guard<javax::microedition::lcdui::PaintLock> painting(
        javax::microedition::lcdui::Canvas::paintMutex);
    g->setClip(0, 0, g->width, g->height);
    g->setColor(kBackground);
    g->fillRect(0, 0, g->width, g->height);
    if (m_tapped) {
        g->setColor(kMarker);
        g->fillRect(m_tapX - kMarkerSize / 2, m_tapY - kMarkerSize / 2, kMarkerSize, kMarkerSize);
    }
    _frameBufferUpdate();
}
