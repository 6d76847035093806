// javax.microedition.lcdui.game.GameCanvas: a Canvas that also keeps the set of game keys held, as the
// MIDP key-state bits. Key events always reach keyPressed and keyReleased as well.
#pragma once

#include <atomic>

#include "shell/Canvas.h"

namespace javax::microedition::lcdui::game {

class GameCanvas : public Canvas {
    TESL_CLASS(GameCanvas, "javax.microedition.lcdui.game.GameCanvas", Canvas)
public:
    static constexpr int UP_PRESSED = 0x2;
    static constexpr int LEFT_PRESSED = 0x4;
    static constexpr int RIGHT_PRESSED = 0x20;
    static constexpr int DOWN_PRESSED = 0x40;
    static constexpr int FIRE_PRESSED = 0x100;
    // Defined for MIDP, never set: no key of the device maps to GAME_A to GAME_D.
    static constexpr int GAME_A_PRESSED = 0x200;
    static constexpr int GAME_B_PRESSED = 0x400;
    static constexpr int GAME_C_PRESSED = 0x800;
    static constexpr int GAME_D_PRESSED = 0x1000;

    GameCanvas() noexcept {}
    ~GameCanvas() override;

    // The suppress-key-events flag is taken and ignored.
    GameCanvas* TESLinvokeconstructor(bool suppressKeyEvents) {
        (void)suppressKeyEvents;
        Canvas::TESLinvokeconstructor();
        return this;
    }

    // Set and clear the game action's bit, after Canvas's handler; other keys change nothing.
    void keyPressed(int keyCode) override;
    void keyReleased(int keyCode) override;
    void paint(const JavaPtr<Graphics>& g) override;
    void flushGraphics() override;
    void flushGraphics(int x, int y, int w, int h) override;
    JavaPtr<Graphics> getGraphics() override;
    // The keys held now; reading neither clears nor latches them, so a press and release between two
    // reads leaves no trace.
    virtual int getKeyStates();

private:
    static int pressedBit(int gameAction);

    // Written by the platform main thread's key entries, read by the canvas's own thread.
    std::atomic<int> keyStates{0};
};

}  // namespace javax::microedition::lcdui::game
