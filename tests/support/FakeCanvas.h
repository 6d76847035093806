// A small application canvas for the shell's tests and scripted runs until the quiz exists. It paints a
// plain background, a marker square centred where the pointer last went down or was dragged to, and a
// square in the top left corner while a game key is held; every change repaints at once on the thread
// that brought it. It counts what reached it.
#pragma once

#include <atomic>

#include "graphics/Graphics.h"
#include "shell/GameCanvas.h"

namespace testsupport {

class FakeCanvas : public javax::microedition::lcdui::game::GameCanvas {
    TESL_CLASS(FakeCanvas, "testsupport.FakeCanvas", javax::microedition::lcdui::game::GameCanvas)
public:
    using Graphics = javax::microedition::lcdui::Graphics;

    // Colours as 0xRRGGBB.
    static constexpr int kBackground = 0x2060A0;
    static constexpr int kMarker = 0xFFCC00;
    static constexpr int kKeyHeld = 0x40C040;
    static constexpr int kSquare = 16;

    FakeCanvas() noexcept {}
    FakeCanvas* TESLinvokeconstructor() {
        GameCanvas::TESLinvokeconstructor(false);
        return this;
    }

    void paint(const JavaPtr<Graphics>& g) override {
        g->setColor(kBackground);
        g->fillRect(0, 0, getWidth(), getHeight());
        if (markerShown.load()) {
            g->setColor(kMarker);
            g->fillRect(markerX.load() - kSquare / 2, markerY.load() - kSquare / 2, kSquare, kSquare);
        }
        if (getKeyStates() != 0) {
            g->setColor(kKeyHeld);
            g->fillRect(0, 0, kSquare, kSquare);
        }
        paints.fetch_add(1);
    }

    void pointerPressed(int x, int y) override {
        presses.fetch_add(1);
        moveMarker(x, y);
    }
    void pointerDragged(int x, int y) override {
        drags.fetch_add(1);
        moveMarker(x, y);
    }
    void pointerReleased(int x, int y) override {
        releases.fetch_add(1);
        lastX.store(x);
        lastY.store(y);
    }
    void keyPressed(int keyCode) override {
        GameCanvas::keyPressed(keyCode);
        keyPresses.fetch_add(1);
        lastKey.store(keyCode);
        repaint();
    }
    void keyReleased(int keyCode) override {
        GameCanvas::keyReleased(keyCode);
        keyReleases.fetch_add(1);
        lastKey.store(keyCode);
        repaint();
    }
    void sizeChanged(int w, int h) override {
        sizeChanges.fetch_add(1);
        lastWidth.store(w);
        lastHeight.store(h);
        repaint();
    }
    void showNotify() override {
        shows.fetch_add(1);
        repaint();
    }
    void hideNotify() override { hides.fetch_add(1); }

    std::atomic<int> paints{0};
    std::atomic<int> presses{0};
    std::atomic<int> drags{0};
    std::atomic<int> releases{0};
    std::atomic<int> keyPresses{0};
    std::atomic<int> keyReleases{0};
    std::atomic<int> sizeChanges{0};
    std::atomic<int> shows{0};
    std::atomic<int> hides{0};
    // The last pointer position, key code and size that arrived.
    std::atomic<int> lastX{-1};
    std::atomic<int> lastY{-1};
    std::atomic<int> lastKey{0};
    std::atomic<int> lastWidth{0};
    std::atomic<int> lastHeight{0};

private:
    void moveMarker(int x, int y) {
        lastX.store(x);
        lastY.store(y);
        markerX.store(x);
        markerY.store(y);
        markerShown.store(true);
        repaint();
    }

    std::atomic<bool> markerShown{false};
    std::atomic<int> markerX{0};
    std::atomic<int> markerY{0};
};

}  // namespace testsupport
