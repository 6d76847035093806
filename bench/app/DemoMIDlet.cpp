#include "bench/app/DemoMIDlet.h"

#include "shell/Display.h"

using javax::microedition::lcdui::Display;

void DemoMIDlet::startApp() {
    // startApp also comes on every resume: the screen is made once.
    JavaPtr<DemoCanvas> canvas;
    bool made = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_canvas) {
            m_canvas = jnew<DemoCanvas>();
            made = true;
        }
        canvas = m_canvas;
    }
    if (made) Display::getDisplay(JavaPtr<MIDlet>(this))->setCurrent(canvas);
    canvas->draw();
}

void DemoMIDlet::destroyApp(bool) {
    JavaPtr<DemoCanvas> old;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        old = std::move(m_canvas);
    }
    notifyDestroyed();
}

JavaPtr<javax::microedition::midlet::MIDlet> DemoMIDlet::create() {
    return jnew<DemoMIDlet>();
}
