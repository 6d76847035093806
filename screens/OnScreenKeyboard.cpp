#include "screens/OnScreenKeyboard.h"

#include "graphics/Graphics.h"
#include "screens/DisplayableCoreCanvas.h"
#include "shell/Canvas.h"
#include "shell/Display.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

using java::lang::String;

namespace {

const int NUM_KEYS_IN_ROW[OnScreenKeyboard::NUM_ROWS] = {14, 13, 12, 11, 6};

// Widths in 1/2048 of the screen width. Rows 0, 1 and 4 fill it exactly; rows 2 and 3 end short, and the
// room right of them is the Enter zone.
const int KEY_WIDTHS[OnScreenKeyboard::NUM_KEYS] = {
    141, 141,  141, 141, 141, 141, 141, 141, 141, 141, 141, 141, 141, 215,  // row 0, Delete last
    356, 141,  141, 141, 141, 141, 141, 141, 141, 141, 141, 141, 141,       // row 1, Tab first
    356, 141,  141, 141, 141, 141, 141, 141, 141, 141, 141, 141,            // row 2, Caps first
    356, 141,  141, 141, 141, 141, 141, 141, 141, 141, 141,                 // row 3, Shift first
    141, 1343, 141, 141, 141, 141,                                          // row 4, Space second
};

const char* const _SPECIALLABEL_TAB = "SPECIAL_Tab";
const char* const _SPECIALLABEL_SHIFT = "SPECIAL_Shift";
const char* const _SPECIALLABEL_CAPS = "SPECIAL_CAP";
const char* const _SPECIALLABEL_DEL = "SPECIAL_DEL";
const char* const _SPECIALLABEL_SPACE = "SPECIAL_SPACE";
const char* const _SPECIALLABEL_LEFTARROW = "SPECIAL_LEFT";
const char* const _SPECIALLABEL_RIGHTARROW = "SPECIAL_RIGHT";
const char* const _SPECIALLABEL_UPARROW = "SPECIAL_UP";
const char* const _SPECIALLABEL_DOWNARROW = "SPECIAL_DOWN";
const char* const kSpecialPrefix = "SPECIAL_";

const char* const _KEYBOARD_LABELS_UNSHIFTED[OnScreenKeyboard::NUM_KEYS] = {
    "`",
    "1",
    "2",
    "3",
    "4",
    "5",
    "6",
    "7",
    "8",
    "9",
    "0",
    "-",
    "=",
    _SPECIALLABEL_DEL,
    _SPECIALLABEL_TAB,
    "q",
    "w",
    "e",
    "r",
    "t",
    "y",
    "u",
    "i",
    "o",
    "p",
    "[",
    "]",
    _SPECIALLABEL_CAPS,
    "a",
    "s",
    "d",
    "f",
    "g",
    "h",
    "j",
    "k",
    "l",
    ";",
    "'",
    _SPECIALLABEL_SHIFT,
    "z",
    "x",
    "c",
    "v",
    "b",
    "n",
    "m",
    ",",
    ".",
    "/",
    "\\",
    _SPECIALLABEL_SPACE,
    _SPECIALLABEL_LEFTARROW,
    _SPECIALLABEL_RIGHTARROW,
    _SPECIALLABEL_UPARROW,
    _SPECIALLABEL_DOWNARROW,
};

const char* const _KEYBOARD_LABELS_SHIFTED[OnScreenKeyboard::NUM_KEYS] = {
    "~",
    "!",
    "@",
    "#",
    "$",
    "%",
    "^",
    "&",
    "*",
    "(",
    ")",
    "_",
    "+",
    _SPECIALLABEL_DEL,
    _SPECIALLABEL_TAB,
    "Q",
    "W",
    "E",
    "R",
    "T",
    "Y",
    "U",
    "I",
    "O",
    "P",
    "{",
    "}",
    _SPECIALLABEL_CAPS,
    "A",
    "S",
    "D",
    "F",
    "G",
    "H",
    "J",
    "K",
    "L",
    ":",
    "\"",
    _SPECIALLABEL_SHIFT,
    "Z",
    "X",
    "C",
    "V",
    "B",
    "N",
    "M",
    "<",
    ">",
    "?",
    "|",
    _SPECIALLABEL_SPACE,
    _SPECIALLABEL_LEFTARROW,
    _SPECIALLABEL_RIGHTARROW,
    _SPECIALLABEL_UPARROW,
    _SPECIALLABEL_DOWNARROW,
};

const int* const _MODE_NUM_KEYS_IN_ROW[2] = {NUM_KEYS_IN_ROW, NUM_KEYS_IN_ROW};
const int* const _MODE_KEY_WIDTHS[2] = {KEY_WIDTHS, KEY_WIDTHS};
const char* const* const _MODE_KEYBOARD_LABELS[2] = {_KEYBOARD_LABELS_UNSHIFTED, _KEYBOARD_LABELS_SHIFTED};

// A label string built from its bytes one unit each: a backslash label must not be read as an escape.
JavaPtr<String> labelString(const char* text) {
    int n = 0;
    unsigned short units[32];
    for (; text[n] != '\0' && n < 32; ++n) units[n] = static_cast<unsigned char>(text[n]);
    return jnew<String>(units, n);
}

bool labelIs(const JavaPtr<String>& label, const char* special) {
    return label && label->equals(labelString(special));
}

bool isSpecial(const JavaPtr<String>& label) {
    return label && label->indexOf(labelString(kSpecialPrefix)) >= 0;
}

}  // namespace

void OnScreenKeyboard::show() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_initialised) m_init();
    m_isShown = true;
    m_setNeedsRepaint();
}

void OnScreenKeyboard::hide() {
    LCDUIGuard lock(LCDUILock::mutex());
    // A press still open would leave the canvas holding its key, repeating it for ever.
    if (m_keyPressIndex != -1) m_endPress(false);
    m_isShown = false;
    m_keyPressIndex = -1;
    m_highlightKeyPressed = false;
    m_setNeedsRepaint();
}

bool OnScreenKeyboard::isShown() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_isShown;
}

void OnScreenKeyboard::setBottomY(int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_bottomY = y;
    const int dy = y - m_currKeysBottomY;
    if (m_keys) {
        for (int32_t i = 0; i < m_keys->length; ++i) m_keys->data[i]->y += dy;
    }
    m_currKeysBottomY = y;
    m_setNeedsRepaint();
}

int OnScreenKeyboard::getBottomY() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_bottomY;
}

JavaPtr<OnScreenKeyboard::KeyArray> OnScreenKeyboard::getKeys() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_keys;
}

bool OnScreenKeyboard::isShiftDepressed() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_shiftDepressed;
}

bool OnScreenKeyboard::isCapsDepressed() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_capsDepressed;
}

void OnScreenKeyboard::OnScreenKeyboard_staticDestroy() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_keys = nullptr;
    m_initialised = false;
    m_isShown = false;
    m_shiftDepressed = false;
    m_capsDepressed = false;
    m_bottomY = 0;
    m_currKeysBottomY = 0;
    m_mode = UNSHIFTED;
    m_keyPressIndex = -1;
    m_shiftKeyIndex = -1;
    m_capsKeyIndex = -1;
    m_highlightKeyPressed = false;
}

void OnScreenKeyboard::screenSizeChanged() {
    LCDUIGuard lock(LCDUILock::mutex());
    // Keys laid out for the old width would leave a strip inside the keyboard's bounds that no key
    // covers, and a touch there answers as Enter.
    if (!m_initialised) return;
    m_initialised = false;
    setMode(m_mode);
    m_initialised = true;
}

// ---- Keys ----

void OnScreenKeyboard::m_init() {
    m_keys = jnew<KeyArray>(0);
    setMode(UNSHIFTED);
    m_initialised = true;
}

void OnScreenKeyboard::setMode(int mode) {
    if (m_initialised && mode == m_mode) return;
    m_mode = mode;
    m_currKeysBottomY = m_bottomY;
    if (mode != UNSHIFTED && mode != SHIFTED) {
        m_keys = jnew<KeyArray>(0);
        m_setNeedsRepaint();
        return;
    }
    const int W = Display::screenWidth;
    const int* const rows = _MODE_NUM_KEYS_IN_ROW[mode];
    const int* const widths = _MODE_KEY_WIDTHS[mode];
    const char* const* const labels = _MODE_KEYBOARD_LABELS[mode];
    JavaPtr<KeyArray> keys = jnew<KeyArray>(NUM_KEYS);
    int rowTop = m_bottomY - HEIGHT;
    int k = 0;
    for (int r = 0; r < NUM_ROWS; ++r) {
        int acc = 0;
        for (int j = 0; j < rows[r]; ++j) {
            // 32-bit products shifted arithmetically: the floor of W * acc / 2048.
            int x = (W * acc) >> 11;
            int y = rowTop;
            int width = ((W * (acc + widths[k])) >> 11) - x;
            int height = ROW_HEIGHT;
            // Neighbouring keys share their border line.
            if (j > 0) {
                x -= 1;
                width += 1;
            }
            if (r > 0) {
                y -= 1;
                height += 1;
            }
            JavaPtr<String> label = labelString(labels[k]);
            if (labelIs(label, _SPECIALLABEL_CAPS)) m_capsKeyIndex = k;
            if (labelIs(label, _SPECIALLABEL_SHIFT)) m_shiftKeyIndex = k;
            keys->data[k] = jnew<KeyInternal>(x, y, width, height, label);
            acc += widths[k];
            ++k;
        }
        rowTop += ROW_HEIGHT;
    }
    m_keys = keys;
    m_setNeedsRepaint();
}

void OnScreenKeyboard::m_shiftStateChanged() {
    setMode(m_capsDepressed != m_shiftDepressed ? SHIFTED : UNSHIFTED);
}

int OnScreenKeyboard::m_keyCodeForKey(int index) {
    if (index == -1) return DisplayableCoreCanvas::NO_KEY;
    if (index == -2) return DisplayableCoreCanvas::KEY_ENTER;
    if (!m_keys || index < 0 || index >= m_keys->length) return DisplayableCoreCanvas::NO_KEY;
    const JavaPtr<String>& label = m_keys->data[index]->label;
    if (!label || label->length() == 0) return DisplayableCoreCanvas::NO_KEY;
    if (!isSpecial(label)) {
        const unsigned short c = label->charAt(0);
        if (c >= 'a' && c <= 'z') return DisplayableCoreCanvas::KEY_a + (c - 'a');
        if (c >= 'A' && c <= 'Z') return DisplayableCoreCanvas::KEY_A + (c - 'A');
        if (c >= '0' && c <= '9') return DisplayableCoreCanvas::KEY_KEYBOARD_NUM0 + (c - '0');
        return DisplayableCoreCanvas::getExtendedCodeForChar(c);
    }
    if (labelIs(label, _SPECIALLABEL_LEFTARROW)) return DisplayableCoreCanvas::KEY_LEFT;
    if (labelIs(label, _SPECIALLABEL_RIGHTARROW)) return DisplayableCoreCanvas::KEY_RIGHT;
    if (labelIs(label, _SPECIALLABEL_UPARROW)) return DisplayableCoreCanvas::KEY_UP;
    if (labelIs(label, _SPECIALLABEL_DOWNARROW)) return DisplayableCoreCanvas::KEY_DOWN;
    if (labelIs(label, _SPECIALLABEL_DEL)) return DisplayableCoreCanvas::KEY_DELETE;
    if (labelIs(label, _SPECIALLABEL_SPACE)) return DisplayableCoreCanvas::KEY_SPACEBAR;
    // Tab, Caps and Shift send no key.
    return DisplayableCoreCanvas::NO_KEY;
}

int OnScreenKeyboard::m_keyUnderPoint(int x, int y) {
    if (!m_inOskBounds(x, y)) return -1;
    if (m_keys) {
        for (int32_t i = 0; i < m_keys->length; ++i)
            if (m_keys->data[i]->contains(x, y)) return i;
    }
    return -2;
}

bool OnScreenKeyboard::m_inOskBounds(int x, int y) {
    return m_isShown && x >= 0 && x <= Display::screenWidth && y >= m_bottomY - HEIGHT && y <= m_bottomY;
}

// ---- Touches ----

bool OnScreenKeyboard::pointerPressed(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_inOskBounds(x, y)) return false;
    // A press that follows one never released (its release was lost) ends that one first.
    if (m_keyPressIndex != -1) m_endPress(false);
    m_keyPressIndex = m_keyUnderPoint(x, y);
    m_highlightKeyPressed = true;
    const int code = m_keyCodeForKey(m_keyPressIndex);
    if (code != DisplayableCoreCanvas::NO_KEY) {
        m_setNeedsRepaint();
        m_sendKeyPressed(code);
    }
    return true;
}

bool OnScreenKeyboard::pointerDragged(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_inOskBounds(x, y)) return false;
    if (m_keyPressIndex >= 0 && m_keys && m_keyPressIndex < m_keys->length) {
        const bool onKey = m_keys->data[m_keyPressIndex]->contains(x, y);
        if (onKey != m_highlightKeyPressed) {
            m_highlightKeyPressed = onKey;
            m_setNeedsRepaint();
        }
    }
    return true;
}

bool OnScreenKeyboard::pointerReleased(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    // Outside the band only a press of ours is ended: a release anywhere ends the press, as sliding
    // within the band does, so the canvas never keeps repeating a key nobody holds.
    if (!m_inOskBounds(x, y) && m_keyPressIndex == -1) return false;
    m_endPress(true);
    return false;
}

void OnScreenKeyboard::m_endPress(bool toggles) {
    const int index = m_keyPressIndex;
    const int code = m_keyCodeForKey(index);
    m_keyPressIndex = -1;
    m_highlightKeyPressed = false;
    if (code == DisplayableCoreCanvas::NO_KEY) {
        if (toggles && index >= 0) {
            if (index == m_capsKeyIndex) {
                m_capsDepressed = !m_capsDepressed;
                m_shiftStateChanged();
            } else if (index == m_shiftKeyIndex) {
                m_shiftDepressed = !m_shiftDepressed;
                m_shiftStateChanged();
            }
        }
    } else {
        m_sendKeyReleased(code);
        // Shift lasts for one key.
        if (m_shiftDepressed) {
            m_shiftDepressed = false;
            setMode(m_capsDepressed ? SHIFTED : UNSHIFTED);
        }
    }
    m_setNeedsRepaint();
}

// ---- Painting ----

void OnScreenKeyboard::paint(const JavaPtr<Graphics>& g) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_isShown || !g) return;
    g->setColor(DisplayableCoreCanvas::COLOR_BACKGROUND);
    g->fillRect(0, m_bottomY - HEIGHT, Display::screenWidth, HEIGHT);
    if (!m_keys) return;
    const JavaPtr<String> prefix = labelString(kSpecialPrefix);
    for (int32_t i = 0; i < m_keys->length; ++i) {
        const KeyInternal& key = *m_keys->data[i];
        g->setColor(DisplayableCoreCanvas::COLOR_FOREGROUND);
        const bool highlighted = (i == m_keyPressIndex && m_highlightKeyPressed) ||
                                 (i == m_shiftKeyIndex && m_shiftDepressed) ||
                                 (i == m_capsKeyIndex && m_capsDepressed);
        if (highlighted) {
            g->setColor(DisplayableCoreCanvas::COLOR_HIGHLIGHTED_BACKGROUND);
            g->fillRect(key.x, key.y, key.width, key.height);
            g->setColor(DisplayableCoreCanvas::COLOR_HIGHLIGHTED_FOREGROUND);
        }
        g->drawRect(key.x, key.y, key.width, key.height);
        const int cx = key.x + key.width / 2;
        const int cy = key.y + key.height / 2;
        const JavaPtr<String>& label = key.label;
        if (!label) continue;
        if (!isSpecial(label)) {
            g->drawString(label, cx, cy, Graphics::HCENTER | Graphics::VCENTER);
        } else if (labelIs(label, _SPECIALLABEL_DEL) || labelIs(label, _SPECIALLABEL_LEFTARROW) ||
                   labelIs(label, _SPECIALLABEL_RIGHTARROW)) {
            DisplayableCoreCanvas::drawHorizontalArrow(g, !labelIs(label, _SPECIALLABEL_RIGHTARROW),
                                                       key.x + 4, key.y + 4, key.width - 8, key.height - 8, 2,
                                                       (key.width - 8) - key.height / 4);
        } else if (labelIs(label, _SPECIALLABEL_UPARROW) || labelIs(label, _SPECIALLABEL_DOWNARROW)) {
            DisplayableCoreCanvas::drawVerticalArrow(g, labelIs(label, _SPECIALLABEL_UPARROW), key.x + 4,
                                                     key.y + 4, key.width - 8, key.height - 8, 2,
                                                     (key.height - 8) - key.height / 4);
        } else if (!labelIs(label, _SPECIALLABEL_SPACE)) {
            // Tab, Caps and Shift show their name.
            g->drawString(label->substring(prefix->length()), cx, cy, Graphics::HCENTER | Graphics::VCENTER);
        }
    }
}

// ---- The destination canvas ----

JavaPtr<Canvas> OnScreenKeyboard::m_destCanvas() {
    return Display::currentCanvas();
}

void OnScreenKeyboard::m_sendKeyPressed(int code) {
    if (JavaPtr<Canvas> canvas = m_destCanvas()) canvas->keyPressed(code);
}

void OnScreenKeyboard::m_sendKeyReleased(int code) {
    if (JavaPtr<Canvas> canvas = m_destCanvas()) canvas->keyReleased(code);
}

void OnScreenKeyboard::m_setNeedsRepaint() {
    const JavaPtr<Canvas> canvas = m_destCanvas();
    if (auto* core = canvas ? static_cast<DisplayableCoreCanvas*>(
                                  canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID))
                            : nullptr)
        core->setNeedsRepaint();
}

}  // namespace javax::microedition::lcdui
