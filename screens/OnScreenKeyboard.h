// javax.microedition.lcdui.OnScreenKeyboard: the touch keyboard of the high-level screens, one for
// whichever screen is current, so all its state is static. This is its band only (shown flag, height,
// bottom edge, background and the touches it takes); the keys come with text entry. The state is
// guarded by the screens' lock (shell/LCDUILock.h).
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Graphics;

class OnScreenKeyboard {
public:
    static constexpr int HEIGHT = 115;

    static void show();
    // Shift and caps survive a hide; a press in progress does not.
    static void hide();
    static bool isShown();
    // The band's height, shown or not.
    static int getHeight() { return HEIGHT; }
    static void setBottomY(int y);
    static int getBottomY();
    static void paint(const JavaPtr<Graphics>& g);
    // Press and drag: true when the point lies in the shown band, which takes it. Release: always false.
    static bool pointerPressed(int x, int y);
    static bool pointerDragged(int x, int y);
    static bool pointerReleased(int x, int y);
    static void OnScreenKeyboard_staticDestroy();

private:
    static bool m_inOskBounds(int x, int y);
    // Marks the core canvas of the current displayable as needing a repaint.
    static void m_setNeedsRepaint();

    static inline bool m_isShown = false;
    static inline int m_bottomY = 0;
};

}  // namespace javax::microedition::lcdui
