#include "screens/OnScreenKeyboard.h"

#include "graphics/Graphics.h"
#include "screens/DisplayableCoreCanvas.h"
#include "shell/Display.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

void OnScreenKeyboard::show() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_isShown = true;
    m_setNeedsRepaint();
}

void OnScreenKeyboard::hide() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_isShown = false;
    m_setNeedsRepaint();
}

bool OnScreenKeyboard::isShown() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_isShown;
}

void OnScreenKeyboard::setBottomY(int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_bottomY = y;
    m_setNeedsRepaint();
}

int OnScreenKeyboard::getBottomY() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_bottomY;
}

void OnScreenKeyboard::paint(const JavaPtr<Graphics>& g) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_isShown || !g) return;
    g->setColor(DisplayableCoreCanvas::COLOR_BACKGROUND);
    g->fillRect(0, m_bottomY - HEIGHT, Display::screenWidth, HEIGHT);
}

bool OnScreenKeyboard::pointerPressed(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_inOskBounds(x, y);
}

bool OnScreenKeyboard::pointerDragged(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_inOskBounds(x, y);
}

bool OnScreenKeyboard::pointerReleased(int, int) {
    return false;
}

void OnScreenKeyboard::OnScreenKeyboard_staticDestroy() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_isShown = false;
    m_bottomY = 0;
}

bool OnScreenKeyboard::m_inOskBounds(int x, int y) {
    return m_isShown && x >= 0 && x <= Display::screenWidth && y >= m_bottomY - HEIGHT && y <= m_bottomY;
}

void OnScreenKeyboard::m_setNeedsRepaint() {
    const JavaPtr<Canvas> canvas = Display::currentCanvas();
    if (auto* core = canvas ? static_cast<DisplayableCoreCanvas*>(
                                  canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID))
                            : nullptr)
        core->setNeedsRepaint();
}

}  // namespace javax::microedition::lcdui
