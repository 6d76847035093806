#include "shell/GameCanvas.h"

namespace javax::microedition::lcdui::game {

GameCanvas::~GameCanvas() = default;

int GameCanvas::pressedBit(int gameAction) {
    switch (gameAction) {
        case UP:
            return UP_PRESSED;
        case LEFT:
            return LEFT_PRESSED;
        case RIGHT:
            return RIGHT_PRESSED;
        case DOWN:
            return DOWN_PRESSED;
        case FIRE:
            return FIRE_PRESSED;
        default:
            return 0;
    }
}

void GameCanvas::keyPressed(int keyCode) {
    Canvas::keyPressed(keyCode);
    keyStates.fetch_or(pressedBit(getGameAction(keyCode)));
}

void GameCanvas::keyReleased(int keyCode) {
    Canvas::keyReleased(keyCode);
    keyStates.fetch_and(~pressedBit(getGameAction(keyCode)));
}

void GameCanvas::paint(const JavaPtr<Graphics>&) {}

void GameCanvas::flushGraphics() {
    Canvas::flushGraphics();
}

void GameCanvas::flushGraphics(int x, int y, int w, int h) {
    Canvas::flushGraphics(x, y, w, h);
}

JavaPtr<Graphics> GameCanvas::getGraphics() {
    return Canvas::getGraphics();
}

int GameCanvas::getKeyStates() {
    return keyStates.load();
}

}  // namespace javax::microedition::lcdui::game
