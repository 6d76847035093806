// The idle benchmark's still screen: a coloured background with a square where the last tap was.
#pragma once

#include <mutex>

#include "shell/Canvas.h"

class DemoCanvas : public javax::microedition::lcdui::Canvas {
    TESL_CLASS(DemoCanvas, "DemoCanvas", javax::microedition::lcdui::Canvas)
public:
    static constexpr int kBackground = 0x204080;
    static constexpr int kMarker = 0xFFD040;
    static constexpr int kMarkerSize = 20;

    DemoCanvas() noexcept {}
    DemoCanvas* TESLinvokeconstructor() {
        Canvas::TESLinvokeconstructor();
        return this;
    }
    void pointerPressed(int x, int y) override;
    // Draws the screen into the master graphics and hands the frame over.
    void draw();

private:
    std::mutex m_mutex;
    bool m_tapped = false;
    int m_tapX = 0;
    int m_tapY = 0;
};
