// javax.microedition.lcdui.OnScreenKeyboard: the touch keyboard of the high-level screens, 56 keys in
// five rows in a band above the core canvas's bottom chrome. There is one keyboard for whichever screen
// is current, so all its state is static. A touch on a key becomes the core canvas's key codes, sent as
// keyPressed and keyReleased to the current canvas, so a text field hears it like any other key. The
// state is guarded by the screens' lock (shell/LCDUILock.h).
#pragma once

#include <cstdint>

#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "screens/KeyInternal.h"

namespace javax::microedition::lcdui {

class Canvas;
class Graphics;

class OnScreenKeyboard {
public:
    // 0 unshifted labels, 1 shifted; any other value builds a keyboard without keys.
    enum KeyboardMode { UNSHIFTED = 0, SHIFTED = 1 };
    using KeyArray = JArray<JavaPtr<KeyInternal>>;

    static constexpr int HEIGHT = 115;
    static constexpr int ROW_HEIGHT = 23;
    static constexpr int NUM_KEYS = 56;
    static constexpr int NUM_ROWS = 5;

    static void show();
    // Shift and caps survive a hide. A press in progress ends with its release sent first, so the
    // canvas never keeps a key held that nobody will let go of.
    static void hide();
    static bool isShown();
    // The band's height, shown or not.
    static int getHeight() { return HEIGHT; }
    // Moves the existing keys with the edge; no rebuild.
    static void setBottomY(int y);
    static int getBottomY();
    static void paint(const JavaPtr<Graphics>& g);
    // Press and drag: true when the point lies in the shown band, which takes it. Release: always false.
    static bool pointerPressed(int x, int y);
    static bool pointerDragged(int x, int y);
    static bool pointerReleased(int x, int y);
    // Drops the keys and puts every static back to its start, so a later show builds them afresh.
    static void OnScreenKeyboard_staticDestroy();
    // The screen was turned: the keys are laid out again across the new width.
    static void screenSizeChanged();

    // The keys of the current mode in row order (null before the first show), for painting checks.
    static JavaPtr<KeyArray> getKeys();
    static bool isShiftDepressed();
    static bool isCapsDepressed();

private:
    static void m_init();
    static void setMode(int mode);
    static void m_shiftStateChanged();
    static int m_keyCodeForKey(int index);
    static int m_keyUnderPoint(int x, int y);
    static bool m_inOskBounds(int x, int y);
    // The canvas of the displayable the display shows now, which gets the keys.
    static JavaPtr<Canvas> m_destCanvas();
    static void m_sendKeyPressed(int code);
    static void m_sendKeyReleased(int code);
    // Ends the press in progress: the release of its code (shift lasts one key), and with toggles set,
    // Caps and Shift switch as a tap on them does.
    static void m_endPress(bool toggles);
    static void m_setNeedsRepaint();

    static inline bool m_initialised = false;
    static inline bool m_isShown = false;
    static inline bool m_shiftDepressed = false;
    static inline bool m_capsDepressed = false;
    static inline int m_bottomY = 0;
    static inline int m_mode = UNSHIFTED;
    // -1 no press; -2 pressed inside the band but on no key.
    static inline int m_keyPressIndex = -1;
    static inline int m_shiftKeyIndex = -1;
    static inline int m_capsKeyIndex = -1;
    static inline bool m_highlightKeyPressed = false;
    static inline JavaPtr<KeyArray> m_keys;
    static inline int m_currKeysBottomY = 0;
};

}  // namespace javax::microedition::lcdui
