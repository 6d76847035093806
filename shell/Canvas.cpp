#include "shell/Canvas.h"

namespace javax::microedition::lcdui {

Canvas::~Canvas() = default;

void Canvas::hideNotify() {}

void Canvas::showNotify() {}

void Canvas::sizeChanged(int, int) {}

void Canvas::keyPressed(int) {}

void Canvas::keyReleased(int) {}

void Canvas::keyRepeated(int) {}

void Canvas::pointerDragged(int, int) {}

void Canvas::pointerPressed(int, int) {}

void Canvas::pointerReleased(int, int) {}

bool Canvas::needsRepaint() {
    return false;
}

void Canvas::repaintScreen() {}

void Canvas::replayBufferedEvents() {}

}  // namespace javax::microedition::lcdui
