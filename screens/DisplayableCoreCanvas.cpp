#include "screens/DisplayableCoreCanvas.h"

#include <cstdio>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "library/DeviceClock.h"
#include "library/LCDUIStrings.h"
#include "screens/OnScreenKeyboard.h"
#include "screens/TouchScreenAreaListener.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/CommandListener.h"
#include "shell/Display.h"
#include "shell/KeypressIDs.h"
#include "shell/LCDUILock.h"
#include "shell/Ticker.h"

// Build settings read here: the device width that sets the ticker's speed (0 in this build), and the
// back soft key on the left.
#ifndef _DEVICE_WIDTH
#define _DEVICE_WIDTH 0
#endif
#ifndef _LCDUI_SOFTKEYS_RENDER_BACK_ON_LEFT
#define _LCDUI_SOFTKEYS_RENDER_BACK_ON_LEFT 1
#endif

namespace javax::microedition::lcdui {

using java::lang::String;

int TICKER_PIXELS_PER_SEC = _DEVICE_WIDTH / 2;
const char* _extendedCharList = nullptr;

static_assert(DisplayableCoreCanvas::TESLclassTypeID == static_cast<int32_t>(0x8C9799CA));

namespace {

constexpr int kScrollBarWidth = 15;
constexpr int kScrollStep = 10;

// The screen class, recognised by its type id like the display does.
constexpr int32_t kScreenTypeId = tesl::classTypeIdOf("javax.microedition.lcdui.Screen");

JavaPtr<String> text(const char* s) {
    return jnew<String>(s);
}

int fontHeight(const JavaPtr<Font>& f) {
    return f ? f->getHeight() : 0;
}

}  // namespace

DisplayableCoreCanvas::~DisplayableCoreCanvas() {
    if (m_touchscreenListener) TouchScreenAreaManager::unregisterAllAreas(m_touchscreenListener);
}

DisplayableCoreCanvas* DisplayableCoreCanvas::TESLinvokeconstructor(Displayable* parent) {
    Canvas::TESLinvokeconstructor();
    m_parent = parent;
    m_unreservedArea = jnew<JArray<int>>(4);
    m_unreservedArea->data[2] = Display::screenWidth;
    m_unreservedArea->data[3] = Display::screenHeight;
    m_titleFont = Font::getFont(0, 0, 8);
    m_tickerFont = Font::getFont(0, 0, 8);
    m_softkeyFont = Font::getFont(0, 0, 8);
    m_popupFont = Font::getFont(0, 0, 8);
    m_heldKey = NO_KEY;
    m_popupCommands = jnew<CommandArray>(0);
    m_touchscreenListener = jnew<TouchScreenAreaListener>(&touchscreenEventCallback, this);
    m_touchscreenAreasInvalid = true;
    m_baseCode = TouchScreenAreaManager::getUniqueBaseCode(text("DCC"));
    m_forwardSoftkeyCode = m_baseCode->concat(text("fwdsoft"));
    m_backSoftkeyCode = m_baseCode->concat(text("backsoft"));
    m_scrollUpCode = m_baseCode->concat(text("scrollup"));
    m_scrollDownCode = m_baseCode->concat(text("scrolldown"));
    m_scrollBoxCode = m_baseCode->concat(text("scrollbarbox"));
    m_keyboardToggleCode = m_baseCode->concat(text("osktoggle"));
    m_popupCodePrefix = m_baseCode->concat(text("popup"));
    return this;
}

// ---- Key codes ----

void DisplayableCoreCanvas::init() {
    static std::once_flag filled;
    std::call_once(filled, [] {
        KEY_UP = expectedKeypressID(18);
        KEY_DOWN = expectedKeypressID(19);
        KEY_LEFT = expectedKeypressID(16);
        KEY_RIGHT = expectedKeypressID(17);
        KEY_FIRE = expectedKeypressID(20);
        KEY_SOFTKEY_LEFT = expectedKeypressID(24);
        KEY_SOFTKEY_RIGHT = expectedKeypressID(25);
        KEY_DELETE = expectedKeypressID(12);
        KEY_HASH = expectedKeypressID(10);
        KEY_STAR = expectedKeypressID(11);
        KEY_NUM0 = expectedKeypressID(0);
        KEY_NUM9 = expectedKeypressID(9);
        _extendedCharList = platform::kKeyboardExtendedCharacters;
    });
}

unsigned short DisplayableCoreCanvas::getExtendedCharForCode(int code) {
    if (code < KEY_EXTENDED_CHARS_BEGIN || code >= KEY_EXTENDED_CHARS_END) return 0;
    return static_cast<unsigned char>(platform::kKeyboardExtendedCharacters[code - KEY_EXTENDED_CHARS_BEGIN]);
}

int DisplayableCoreCanvas::getExtendedCodeForChar(unsigned short ch) {
    if (ch == 0) return NO_KEY;
    for (int i = 0; i < platform::kKeyboardExtendedCount; ++i)
        if (static_cast<unsigned char>(platform::kKeyboardExtendedCharacters[i]) == ch)
            return KEY_EXTENDED_CHARS_BEGIN + i;
    return NO_KEY;
}

// ---- Arrows ----

void DisplayableCoreCanvas::drawVerticalArrow(const JavaPtr<Graphics>& g, bool up, int x, int y, int w, int h,
                                              int a, int b) {
    const int m = x + w / 2;
    const int q = (w - a) / 2;
    if (up) {
        const int e = y + h - b;
        g->drawLine(x, e, m, y);
        g->drawLine(x + w, e, m, y);
        g->drawLine(x, e, x + q, e);
        g->drawLine(x + w, e, x + w - q, e);
        g->drawLine(x + q, e, x + q, y + h);
        g->drawLine(x + w - q, e, x + w - q, y + h);
        g->drawLine(x + q, y + h, x + w - q, y + h);
    } else {
        const int e = y + b;
        g->drawLine(x, e, m, y + h);
        g->drawLine(x + w, e, m, y + h);
        g->drawLine(x, e, x + q, e);
        g->drawLine(x + w, e, x + w - q, e);
        g->drawLine(x + q, e, x + q, y);
        g->drawLine(x + w - q, e, x + w - q, y);
        g->drawLine(x + q, y, x + w - q, y);
    }
}

void DisplayableCoreCanvas::drawHorizontalArrow(const JavaPtr<Graphics>& g, bool left, int x, int y, int w,
                                                int h, int a, int b) {
    const int n = y + h / 2;
    const int q = (h - a) / 2;
    if (left) {
        const int e = x + w - b;
        g->drawLine(e, y, x, n);
        g->drawLine(e, y + h, x, n);
        g->drawLine(e, y, e, y + q);
        g->drawLine(e, y + h, e, y + h - q);
        g->drawLine(e, y + q, x + w, y + q);
        g->drawLine(e, y + h - q, x + w, y + h - q);
        g->drawLine(x + w, y + q, x + w, y + h - q);
    } else {
        const int e = x + b;
        g->drawLine(e, y, x + w, n);
        g->drawLine(e, y + h, x + w, n);
        g->drawLine(e, y, e, y + q);
        g->drawLine(e, y + h, e, y + h - q);
        g->drawLine(e, y + q, x, y + q);
        g->drawLine(e, y + h - q, x, y + h - q);
        g->drawLine(x, y + q, x, y + h - q);
    }
}

// ---- Layout ----

Displayable* DisplayableCoreCanvas::m_screenParent() const {
    return m_parent != nullptr && instanceofObj(m_parent, kScreenTypeId) ? m_parent : nullptr;
}

int DisplayableCoreCanvas::m_viewHeight() const {
    return m_unreservedArea->data[3] - m_unreservedArea->data[1];
}

int DisplayableCoreCanvas::m_scrollLimit() const {
    return m_verticalHeight - m_viewHeight();
}

void DisplayableCoreCanvas::reLayout() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_invalidateTouchscreenAreas();
    const int W = Display::screenWidth;
    const int H = Display::screenHeight;
    const int R = m_verticalScrollbarVisible ? W - kScrollBarWidth : W;
    Displayable* screen = m_screenParent();
    const JavaPtr<String> title = screen ? screen->getTitle() : nullptr;
    const JavaPtr<Ticker> ticker = screen ? screen->getTicker() : nullptr;
    m_gatherCommands();
    const int T = title ? fontHeight(m_titleFont) + 4 : 0;
    // The soft-key bar and the keyboard toggle are painted whether or not there are commands, so their
    // room is always reserved: otherwise they would hide the content's last rows for good.
    int B = H - 4 - fontHeight(m_softkeyFont);
    if (ticker) {
        B = B - 4 - fontHeight(m_tickerFont);
        m_tickerY = B;
        const JavaPtr<String> drawable = ticker->getDrawableString();
        m_tickerTextWidth = drawable ? m_tickerFont->stringWidth(drawable) : 0;
    }
    if (OnScreenKeyboard::isShown()) {
        OnScreenKeyboard::setBottomY(B);
        B = B - OnScreenKeyboard::getHeight();
    }
    // An open popup shows the new list: its selection stays on an entry, and without a menu it closes.
    if (m_popupShown) {
        const int entries = m_popupCommands->length;
        if (!m_forwardOpensMenu || entries == 0) {
            m_popupShown = false;
        } else if (m_popupSelectedIndex >= entries) {
            m_popupSelectedIndex = entries - 1;
        } else if (m_popupSelectedIndex < 0) {
            m_popupSelectedIndex = 0;
        }
    }
    const int area[4] = {0, T, R, B};
    bool changed = false;
    for (int i = 0; i < 4; ++i) changed = changed || m_unreservedArea->data[i] != area[i];
    if (changed) {
        sizeChanged(R, B - T);
        for (int i = 0; i < 4; ++i) m_unreservedArea->data[i] = area[i];
    }
    m_needsRepaint.store(true);
}

void DisplayableCoreCanvas::getUnreservedArea(const JavaPtr<JArray<int>>& out) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!out || out->length < 4) return;
    for (int i = 0; i < 4; ++i) out->data[i] = m_unreservedArea->data[i];
}

bool DisplayableCoreCanvas::verticalScrollbarVisible() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_verticalScrollbarVisible;
}

void DisplayableCoreCanvas::setVerticalScrollbarVisible(bool visible) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_verticalScrollbarVisible = visible;
    reLayout();
    m_needsRepaint.store(true);
}

int DisplayableCoreCanvas::getVerticalScrollPos() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_verticalScrollPos;
}

void DisplayableCoreCanvas::setVerticalScrollPos(int pos) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (pos < 0) pos = 0;
    const int limit = m_scrollLimit();
    if (pos > limit) pos = limit;
    // Content shorter than the view has nothing to scroll: the position never goes above the top.
    m_verticalScrollPos = pos < 0 ? 0 : pos;
    m_needsRepaint.store(true);
    m_scrollBoxAreaInvalid = true;
}

void DisplayableCoreCanvas::setVerticalHeight(int height) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_verticalHeight = height;
    const int limit = height - m_viewHeight();
    if (m_verticalScrollPos > limit) m_verticalScrollPos = limit < 0 ? 0 : limit;
    m_needsRepaint.store(true);
}

// ---- Commands ----

void DisplayableCoreCanvas::setFormItemCommands(const JavaPtr<CommandArray>& commands,
                                                const JavaPtr<Command>& defaultCommand) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_formItemCommands = commands;
    m_formItemDefaultCommand = defaultCommand;
    reLayout();
}

void DisplayableCoreCanvas::setFormItemOverlay(const JavaPtr<Item>& item,
                                               const JavaPtr<CommandArray>& commands) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_formItemOverlay = item;
    m_formItemOverlayCommands = commands;
    reLayout();
}

bool DisplayableCoreCanvas::m_commandsAreInOrderOfPriority(const JavaPtr<Command>& a,
                                                           const JavaPtr<Command>& b) {
    if (m_formItemDefaultCommand) {
        if (a == m_formItemDefaultCommand) return true;
        if (b == m_formItemDefaultCommand) return false;
    }
    const bool aIsItems = a && Displayable::findCommandIndex(m_formItemCommands, a, nullptr) >= 0;
    const bool bIsItems = b && Displayable::findCommandIndex(m_formItemCommands, b, nullptr) >= 0;
    if (aIsItems && !bIsItems) return true;
    if (bIsItems && !aIsItems) return false;
    return a->getPriority() <= b->getPriority();
}

namespace {

// The popup's text for a command: its long label, unless it has none or that would not fit the screen.
JavaPtr<String> popupLabel(const JavaPtr<Command>& c, const JavaPtr<Font>& font, int screenWidth) {
    JavaPtr<String> label = c->getLongLabel();
    if (!label || font->stringWidth(label) + 4 > screenWidth) label = c->getLabel();
    return label;
}

}  // namespace

void DisplayableCoreCanvas::m_gatherCommands() {
    m_backCommand = nullptr;
    m_forwardCommand = nullptr;
    m_forwardOpensMenu = false;
    m_popupCommands = jnew<CommandArray>(0);
    std::vector<JavaPtr<Command>> list;
    const auto appendFrom = [&](const JavaPtr<CommandArray>& array, bool skipKnown) {
        if (!array) return;
        for (int32_t i = 0; i < array->length; ++i) {
            const JavaPtr<Command>& c = array->data[i];
            if (!c) continue;
            bool known = false;
            if (skipKnown)
                for (const JavaPtr<Command>& k : list) known = known || k == c;
            if (!known) list.push_back(c);
        }
    };
    if (!m_formItemOverlayCommands) {
        if (m_parent != nullptr) appendFrom(m_parent->getCommands(), false);
        appendFrom(m_formItemCommands, true);
    } else {
        appendFrom(m_formItemOverlayCommands, false);
    }
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (size_t i = 0; i + 1 < list.size(); ++i) {
            if (!m_commandsAreInOrderOfPriority(list[i], list[i + 1])) {
                std::swap(list[i], list[i + 1]);
                swapped = true;
            }
        }
    }
    for (size_t i = 0; i < list.size(); ++i) {
        const int type = list[i]->getCommandType();
        if (type == Command::BACK || type == Command::CANCEL) {
            m_backCommand = list[i];
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    if (list.size() <= 1) {
        if (!list.empty()) m_forwardCommand = list.front();
        return;
    }
    m_forwardOpensMenu = true;
    m_popupCommands = jnew<CommandArray>(static_cast<int>(list.size()));
    const int rowHeight = fontHeight(m_popupFont) + 4;
    int widest = 0;
    for (size_t i = 0; i < list.size(); ++i) {
        m_popupCommands->data[i] = list[i];
        const int width = m_popupFont->stringWidth(popupLabel(list[i], m_popupFont, Display::screenWidth));
        if (width > widest) widest = width;
    }
    m_popupHeight = static_cast<int>(list.size()) * rowHeight + 10;
    m_popupWidth = widest + 4;
}

void DisplayableCoreCanvas::triggerCommand(const JavaPtr<Command>& cmd) {
    if (!cmd) return;
    JavaPtr<Displayable> current = Display::currentDisplayable();
    JavaPtr<CommandListener> listener;
    bool isItemCommand = false;
    {
        LCDUIGuard lock(LCDUILock::mutex());
        if (current) current->prepareForCommand();
        if (m_parent != nullptr && Displayable::findCommandIndex(m_parent->getCommands(), cmd, nullptr) >= 0)
            listener = m_parentCommandListener(current);
        isItemCommand = Displayable::findCommandIndex(m_formItemCommands, cmd, nullptr) >= 0;
    }
    // The listeners are the application's: they run with no lock held, in this order, at once or, when
    // this thread is inside a screen operation, as soon as that operation is over.
    if (listener) LCDUILock::callOutside([listener, cmd, current] { listener->commandAction(cmd, current); });
    JavaPtr<DisplayableCoreCanvas> self(this);
    LCDUILock::callOutside([self, cmd, isItemCommand] { self->m_triggerItemCommand(cmd, isItemCommand); });
}

JavaPtr<CommandListener> DisplayableCoreCanvas::m_parentCommandListener(const JavaPtr<Displayable>&) {
    return m_parent->getCommandListener();
}

void DisplayableCoreCanvas::m_triggerItemCommand(const JavaPtr<Command>&, bool) {}

void DisplayableCoreCanvas::m_backAction() {
    if (m_backCommand) triggerCommand(JavaPtr<Command>(m_backCommand));
}

bool DisplayableCoreCanvas::m_forwardAction() {
    if (m_forwardOpensMenu) {
        m_popupSelectedIndex = 0;
        m_popupShown = true;
        return true;
    }
    if (m_forwardCommand) triggerCommand(JavaPtr<Command>(m_forwardCommand));
    return false;
}

void DisplayableCoreCanvas::m_popupChoose() {
    m_popupShown = false;
    // The list may have changed under an open popup; a selection off the list chooses nothing.
    const JavaPtr<CommandArray> entries = m_popupCommands;
    if (m_popupSelectedIndex >= 0 && m_popupSelectedIndex < entries->length)
        triggerCommand(JavaPtr<Command>(entries->data[m_popupSelectedIndex]));
}

void DisplayableCoreCanvas::m_popupCancel() {
    m_popupShown = false;
}

bool DisplayableCoreCanvas::m_navigatePopupMenu(int keyCode) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_popupShown) return false;
    const int entries = m_popupCommands->length;
    const int action = getGameAction(keyCode);
    if (action == UP) {
        m_popupSelectedIndex = m_popupSelectedIndex <= 0 ? entries - 1 : m_popupSelectedIndex - 1;
    } else if (action == DOWN) {
        m_popupSelectedIndex = m_popupSelectedIndex >= entries - 1 ? 0 : m_popupSelectedIndex + 1;
    } else {
        return false;
    }
    m_needsRepaint.store(true);
    return true;
}

// ---- Painting ----

void DisplayableCoreCanvas::paint(const JavaPtr<Graphics>& g) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_repaintTickerOnly) {
        paintTicker(g);
        return;
    }
    const int W = Display::screenWidth;
    const int H = Display::screenHeight;
    g->setClip(0, 0, W, H);
    const bool invalid = m_touchscreenAreasInvalid;
    using Manager = TouchScreenAreaManager;

    Displayable* screen = m_screenParent();
    if (const JavaPtr<String> title = screen ? screen->getTitle() : nullptr) {
        const int h = fontHeight(m_titleFont) + 4;
        g->setColor(COLOR_BACKGROUND);
        g->fillRect(0, 0, W, h);
        g->setColor(COLOR_BORDER);
        g->drawRect(0, 0, W, h);
        g->setColor(COLOR_FOREGROUND);
        g->setFont(m_titleFont);
        g->drawString(title, 0, 2, Graphics::TOP | Graphics::LEFT);
        g->drawLine(0, h, W, h);
    }

    // The soft-key bar.
    const int s = fontHeight(m_softkeyFont) + 4;
    const int y0 = H - s;
    g->setColor(COLOR_BACKGROUND);
    g->fillRect(0, y0, W, s);
    g->setColor(COLOR_BORDER);
    g->drawLine(W / 2, y0, W / 2, H);
    g->drawLine(0, y0, W, y0);

    JavaPtr<String> forwardLabel;
    JavaPtr<String> backLabel;
    if (m_popupShown) {
        backLabel = LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_CANCEL);
        forwardLabel = LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_SELECT);
    } else {
        if (m_forwardOpensMenu) {
            forwardLabel = LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_MENU);
        } else if (m_forwardCommand) {
            forwardLabel = m_forwardCommand->getLabel();
        }
        if (m_backCommand) backLabel = m_backCommand->getLabel();
    }
    g->setFont(m_softkeyFont);
    const bool backOnLeft = _LCDUI_SOFTKEYS_RENDER_BACK_ON_LEFT != 0;
    const auto softKey = [&](const JavaPtr<String>& label, bool pressed, bool leftHalf) {
        if (pressed) {
            g->setColor(COLOR_HIGHLIGHTED_BACKGROUND);
            if (leftHalf) {
                g->fillRect(0, y0, W / 2, s);
            } else {
                g->fillRect(W / 2, y0, W, s);
            }
            g->setColor(COLOR_HIGHLIGHTED_FOREGROUND);
        } else {
            g->setColor(COLOR_FOREGROUND);
        }
        if (leftHalf) {
            g->drawString(label, 0, H - 2, Graphics::LEFT | Graphics::BOTTOM);
        } else {
            g->drawString(label, W, H - 2, Graphics::RIGHT | Graphics::BOTTOM);
        }
    };
    if (backLabel) {
        softKey(backLabel, m_backSoftkeyPressed, backOnLeft);
        if (invalid && backOnLeft)
            Manager::registerArea(0, y0, W / 2, H, m_backSoftkeyCode, m_touchscreenListener, Manager::CHROME);
    }
    if (forwardLabel) {
        softKey(forwardLabel, m_forwardSoftkeyPressed, !backOnLeft);
        if (invalid && backOnLeft)
            Manager::registerArea(W / 2, y0, W, H, m_forwardSoftkeyCode, m_touchscreenListener,
                                  Manager::CHROME);
    }

    // The keyboard toggle, centred in the bar: a key outline with three rows of dots.
    const int k = (3 * s) / 4;
    const int tx = (W - 15) >> 1;
    const int ty = H - ((k + s) >> 1);
    g->setColor(m_keyboardTogglePressed ? COLOR_HIGHLIGHTED_BACKGROUND : COLOR_BACKGROUND);
    g->fillRect(tx, ty, 15, k);
    g->setColor(COLOR_FOREGROUND);
    g->drawRect(tx, ty, 15, k);
    g->setColor(m_keyboardTogglePressed ? COLOR_HIGHLIGHTED_FOREGROUND : COLOR_FOREGROUND);
    const int dotsTop = ty + ((k - 3) >> 1);
    for (int row = 0; row < 3; ++row) {
        const int first = row == 1 ? tx + 3 : tx + 2;
        const int last = row == 1 ? tx + 11 : tx + 12;
        for (int dx = first; dx <= last; dx += 2) g->fillRect(dx, dotsTop + 2 * row, 1, 1);
    }
    if (invalid)
        Manager::registerArea(tx, ty, tx + 15, ty + k, m_keyboardToggleCode, m_touchscreenListener,
                              Manager::CHROME);

    if (OnScreenKeyboard::isShown()) OnScreenKeyboard::paint(g);
    paintTicker(g);

    if (m_verticalScrollbarVisible) {
        const int t = m_unreservedArea->data[1];
        const int b = m_unreservedArea->data[3];
        const int v = b - t;
        const int L = v - 22;
        const int X = W - kScrollBarWidth;
        g->setColor(COLOR_BACKGROUND);
        g->fillRect(X, t, kScrollBarWidth, v);
        g->setColor(COLOR_BORDER);
        g->drawRect(X, t, kScrollBarWidth, v);
        g->setColor(COLOR_FOREGROUND);
        g->drawRect(W - 13, t + 11, 11, L);
        const int height = m_verticalHeight;
        if (height > v) {
            const int pos = m_verticalScrollPos;
            const int thumbY = t + 11 + static_cast<int>(static_cast<int64_t>(pos) * L / height);
            const int thumbH = static_cast<int>(static_cast<int64_t>(v) * L / height);
            g->setColor(COLOR_FOREGROUND);
            g->fillRect(W - 13, thumbY, 11, thumbH);
            if (pos > 0) {
                g->setColor(m_scrollUpPressed ? COLOR_HIGHLIGHTED_BACKGROUND : COLOR_BACKGROUND);
                g->fillRect(W - 13, t + 2, 11, 7);
                g->setColor(m_scrollUpPressed ? COLOR_HIGHLIGHTED_FOREGROUND : COLOR_FOREGROUND);
                drawVerticalArrow(g, true, W - 13, t + 2, 11, 7, 0, 0);
            }
            if (pos + v < height) {
                g->setColor(m_scrollDownPressed ? COLOR_HIGHLIGHTED_BACKGROUND : COLOR_BACKGROUND);
                g->fillRect(W - 13, b - 9, 11, 7);
                g->setColor(m_scrollDownPressed ? COLOR_HIGHLIGHTED_FOREGROUND : COLOR_FOREGROUND);
                drawVerticalArrow(g, false, W - 13, b - 9, 11, 7, 0, 0);
            }
            if (invalid) {
                Manager::registerArea(X, t, W, t + 9, m_scrollUpCode, m_touchscreenListener, Manager::CHROME);
                Manager::registerArea(X, b - 9, W, b - 2, m_scrollDownCode, m_touchscreenListener,
                                      Manager::CHROME);
                m_scrollTrackLength = L;
            }
            // A view too short for a track has no box to drag.
            if ((invalid || m_scrollBoxAreaInvalid) && L > 0)
                Manager::registerArea(X, thumbY, W, thumbY + thumbH, m_scrollBoxCode, m_touchscreenListener,
                                      Manager::CHROME);
        }
    }

    paintPopupMenu(g);
    m_touchscreenAreasInvalid = false;
    m_scrollBoxAreaInvalid = false;
}

void DisplayableCoreCanvas::paintTicker(const JavaPtr<Graphics>& g) {
    LCDUIGuard lock(LCDUILock::mutex());
    Displayable* screen = m_screenParent();
    if (const JavaPtr<Ticker> ticker = screen ? screen->getTicker() : nullptr) {
        const int W = Display::screenWidth;
        const int h = fontHeight(m_tickerFont) + 4;
        g->setColor(COLOR_BACKGROUND);
        g->fillRect(0, m_tickerY, W, h);
        g->setColor(COLOR_BORDER);
        g->drawRect(0, m_tickerY, W, h);
        g->setColor(COLOR_FOREGROUND);
        g->setFont(m_tickerFont);
        // The build's device width is 0, which would stop the text outside the bar for ever: the screen
        // width stands in for it.
        const int64_t speed = TICKER_PIXELS_PER_SEC > 0 ? TICKER_PIXELS_PER_SEC : W / 2;
        // The text is measured as it is drawn: the application may have given the ticker another since
        // the last layout.
        const JavaPtr<String> drawable = ticker->getDrawableString();
        m_tickerTextWidth = drawable ? m_tickerFont->stringWidth(drawable) : 0;
        const int64_t span = static_cast<int64_t>(W) + m_tickerTextWidth;
        int64_t offset = (ticker->getTotalTickedTimeMS() * speed) / 1000;
        offset = span > 0 ? offset % span : 0;
        // A ticker without text shows an empty bar.
        if (drawable)
            g->drawString(drawable, static_cast<int>(W - offset), m_tickerY + 2,
                          Graphics::TOP | Graphics::LEFT);
    }
    paintPopupMenu(g);
}

void DisplayableCoreCanvas::paintPopupMenu(const JavaPtr<Graphics>& g) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_popupShown) return;
    const int W = Display::screenWidth;
    const int H = Display::screenHeight;
    const int s = fontHeight(m_softkeyFont);
    const int r = fontHeight(m_popupFont) + 4;
    const int y = H - 4 - m_popupHeight - s;
    const int x = _LCDUI_SOFTKEYS_RENDER_BACK_ON_LEFT ? W - m_popupWidth : 0;
    g->setColor(COLOR_BACKGROUND);
    g->fillRect(x, y, m_popupWidth, m_popupHeight);
    g->setColor(COLOR_BORDER);
    g->drawRect(x, y, m_popupWidth, m_popupHeight);
    g->setFont(m_popupFont);
    const JavaPtr<CommandArray> entries = m_popupCommands;
    for (int32_t i = 0; i < entries->length; ++i) {
        const int ry = y + 5 + i * r;
        const JavaPtr<String> label = popupLabel(entries->data[i], m_popupFont, W);
        if (i == m_popupSelectedIndex) {
            g->setColor(COLOR_HIGHLIGHTED_BACKGROUND);
            g->fillRect(x + 2, ry, m_popupWidth - 4, r);
            g->setColor(COLOR_HIGHLIGHTED_FOREGROUND);
        } else {
            g->setColor(COLOR_FOREGROUND);
        }
        g->drawString(label, x + 2, ry + 2, Graphics::TOP | Graphics::LEFT);
        if (m_touchscreenAreasInvalid) {
            TouchScreenAreaManager::registerArea(x + 2, ry, x + m_popupWidth - 2, ry + r,
                                                 m_popupCodePrefix->concat(jnew<String>(static_cast<int>(i))),
                                                 m_touchscreenListener, TouchScreenAreaManager::CHROME);
        }
    }
}

// ---- Repaint control ----

bool DisplayableCoreCanvas::needsRepaint() {
    return m_needsRepaint.load();
}

void DisplayableCoreCanvas::setNeedsRepaint() {
    m_needsRepaint.store(true);
}

void DisplayableCoreCanvas::repaintScreen() {
    repaint();
}

void DisplayableCoreCanvas::repaint() {
    m_repaint(false);
}

void DisplayableCoreCanvas::repaint(int, int, int, int) {
    // The frame is always painted whole.
    m_repaint(false);
}

void DisplayableCoreCanvas::repaintTickerOnly() {
    m_repaint(true);
}

void DisplayableCoreCanvas::m_repaint(bool tickerOnly) {
    // The paint lock comes before the screens' lock: a thread inside a screen operation cannot paint
    // now, so the next tick paints for it.
    if (LCDUILock::heldByCurrentThread()) {
        m_needsRepaint.store(true);
        return;
    }
    {
        LCDUIGuard lock(LCDUILock::mutex());
        if (m_repaintInProgress || !isShown()) return;
        m_repaintInProgress = true;
        m_repaintTickerOnly = tickerOnly;
        // Cleared before the paint: a change made while it runs asks for the next one.
        m_needsRepaint.store(false);
    }
    struct EndOfRepaint {
        DisplayableCoreCanvas& canvas;
        ~EndOfRepaint() {
            LCDUIGuard lock(LCDUILock::mutex());
            canvas.m_repaintInProgress = false;
            canvas.m_repaintTickerOnly = false;
            if (std::exchange(canvas.m_invalidateAfterPaint, false)) canvas.m_invalidateTouchscreenAreas();
        }
    } end{*this};
    // The paint takes the screens' lock itself, inside the paint lock; the serial calls that follow run
    // with neither held.
    Canvas::repaint(0, 0, getWidth(), getHeight());
}

void DisplayableCoreCanvas::m_invalidateTouchscreenAreas() {
    LCDUIGuard lock(LCDUILock::mutex());
    // Dropping the areas during a paint would lose the ones it is registering, so they go once it is over.
    if (m_repaintInProgress) {
        m_invalidateAfterPaint = true;
        return;
    }
    m_touchscreenAreasInvalid = true;
    TouchScreenAreaManager::unregisterAllAreas(m_touchscreenListener);
    m_needsRepaint.store(true);
}

// ---- Showing and hiding ----

void DisplayableCoreCanvas::showNotify() {
    LCDUIGuard lock(LCDUILock::mutex());
    Canvas::showNotify();
    reLayout();
}

void DisplayableCoreCanvas::hideNotify() {
    LCDUIGuard lock(LCDUILock::mutex());
    Canvas::hideNotify();
    TouchScreenAreaManager::unregisterAllAreas(m_touchscreenListener);
}

void DisplayableCoreCanvas::notifyParentDestroyed() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_parent = nullptr;
}

// ---- Input ----

bool DisplayableCoreCanvas::m_addedEventToBuffer(InputEvent::EventType type, int a, int b) {
    std::lock_guard<std::mutex> lock(m_bufferMutex);
    const std::thread::id self = std::this_thread::get_id();
    if (m_replayingThread == self) return false;
    const bool replayingElsewhere = m_replayingThread != std::thread::id();
    if (!Display::lcdUITickInProgress.load() && m_inputBuffer.empty() && !replayingElsewhere) return false;
    if (m_inputBuffer.size() >= kInputBufferLimit) {
        m_droppedEvents.fetch_add(1);
        std::fprintf(stderr, "quill: input event dropped, %zu already wait for the screen\n",
                     m_inputBuffer.size());
        return true;
    }
    InputEvent event;
    event.m_type = type;
    event.m_keyOrX = a;
    event.m_y = b;
    event.m_timeMs = java::lang::DeviceClock::currentTimeMillis();
    m_inputBuffer.push_back(event);
    return true;
}

int DisplayableCoreCanvas::numBufferedEvents() {
    std::lock_guard<std::mutex> lock(m_bufferMutex);
    return static_cast<int>(m_inputBuffer.size());
}

void DisplayableCoreCanvas::m_dispatch(const InputEvent& e) {
    switch (e.m_type) {
        case InputEvent::KEY_PRESSED:
            keyPressed(e.m_keyOrX);
            break;
        case InputEvent::KEY_RELEASED:
            keyReleased(e.m_keyOrX);
            break;
        case InputEvent::KEY_REPEATED:
            keyRepeated(e.m_keyOrX);
            break;
        case InputEvent::POINTER_PRESSED:
            pointerPressed(e.m_keyOrX, e.m_y);
            break;
        case InputEvent::POINTER_RELEASED:
            pointerReleased(e.m_keyOrX, e.m_y);
            break;
        case InputEvent::POINTER_DRAGGED:
            pointerDragged(e.m_keyOrX, e.m_y);
            break;
    }
}

void DisplayableCoreCanvas::replayBufferedEvents() {
    // Events that arrive while the replay runs queue behind the others and are replayed in turn; a
    // handler that throws leaves the rest for the next tick.
    struct ReplayScope {
        DisplayableCoreCanvas& canvas;
        ~ReplayScope() {
            std::lock_guard<std::mutex> lock(canvas.m_bufferMutex);
            canvas.m_replayingThread = std::thread::id();
        }
    };
    {
        std::lock_guard<std::mutex> lock(m_bufferMutex);
        if (m_inputBuffer.empty() || m_replayingThread != std::thread::id()) return;
        m_replayingThread = std::this_thread::get_id();
    }
    ReplayScope scope{*this};
    for (;;) {
        InputEvent event;
        {
            std::lock_guard<std::mutex> lock(m_bufferMutex);
            if (m_inputBuffer.empty()) return;
            event = m_inputBuffer.front();
            m_inputBuffer.pop_front();
        }
        m_dispatch(event);
        m_checkKeyRepeat(0);
    }
}

bool DisplayableCoreCanvas::handleKeyPressed(int key) {
    if (key == NO_KEY) return true;
    if (m_addedEventToBuffer(InputEvent::KEY_PRESSED, key, -1)) return true;
    LCDUIGuard lock(LCDUILock::mutex());
    const int forwardKey = _LCDUI_SOFTKEYS_RENDER_BACK_ON_LEFT ? KEY_SOFTKEY_RIGHT : KEY_SOFTKEY_LEFT;
    const int backKey = _LCDUI_SOFTKEYS_RENDER_BACK_ON_LEFT ? KEY_SOFTKEY_LEFT : KEY_SOFTKEY_RIGHT;
    const bool softKey = key == forwardKey || key == backKey;
    if (key == forwardKey) m_forwardSoftkeyPressed = true;
    if (key == backKey) m_backSoftkeyPressed = true;
    if (softKey) m_needsRepaint.store(true);
    m_heldKey = key;
    m_keyPressTime = java::lang::DeviceClock::currentTimeMillis();
    return softKey;
}

bool DisplayableCoreCanvas::handleKeyRepeated(int key) {
    if (key == NO_KEY) return true;
    if (m_addedEventToBuffer(InputEvent::KEY_REPEATED, key, -1)) return true;
    return m_navigatePopupMenu(key);
}

bool DisplayableCoreCanvas::handleKeyReleased(int key) {
    if (key == NO_KEY) return true;
    if (m_addedEventToBuffer(InputEvent::KEY_RELEASED, key, -1)) return true;
    LCDUIGuard lock(LCDUILock::mutex());
    if (key != m_heldKey) return false;
    const bool popupWasShown = m_popupShown;
    m_heldKey = NO_KEY;
    bool marked = false;
    if (m_forwardSoftkeyPressed || m_backSoftkeyPressed || m_scrollUpPressed || m_scrollDownPressed) {
        m_forwardSoftkeyPressed = m_backSoftkeyPressed = m_scrollUpPressed = m_scrollDownPressed = false;
        marked = true;
    }
    // A release after auto-repeat triggers nothing, but its highlight goes with it.
    if (m_keyRepeating) {
        if (marked) m_needsRepaint.store(true);
        return false;
    }
    const int forwardKey = _LCDUI_SOFTKEYS_RENDER_BACK_ON_LEFT ? KEY_SOFTKEY_RIGHT : KEY_SOFTKEY_LEFT;
    const int backKey = _LCDUI_SOFTKEYS_RENDER_BACK_ON_LEFT ? KEY_SOFTKEY_LEFT : KEY_SOFTKEY_RIGHT;
    bool result = false;
    if (!popupWasShown) {
        if (key == forwardKey) {
            result = m_forwardAction();
        } else if (key == backKey) {
            m_backAction();
        }
    } else {
        const int action = getGameAction(key);
        if (key == forwardKey || action == FIRE) {
            m_popupChoose();
            result = marked = true;
        } else if (key == backKey) {
            m_popupCancel();
            result = marked = true;
        } else if (action == UP || action == DOWN) {
            m_navigatePopupMenu(key);
            result = marked = true;
        }
    }
    if (m_popupShown != popupWasShown) m_invalidateTouchscreenAreas();
    if (marked) m_needsRepaint.store(true);
    return result;
}

bool DisplayableCoreCanvas::handlePointerPressed(int x, int y) {
    if (m_addedEventToBuffer(InputEvent::POINTER_PRESSED, x, y)) return true;
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::CHROME);
    if (TouchScreenAreaManager::pointerPressed(x, y) || m_popupShown) return true;
    if (!OnScreenKeyboard::pointerPressed(x, y)) return false;
    m_needsRepaint.store(true);
    return true;
}

bool DisplayableCoreCanvas::handlePointerDragged(int x, int y) {
    if (m_addedEventToBuffer(InputEvent::POINTER_DRAGGED, x, y)) return true;
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::CHROME);
    if (TouchScreenAreaManager::pointerDragged(x, y) || m_popupShown) return true;
    if (!OnScreenKeyboard::pointerDragged(x, y)) return false;
    m_needsRepaint.store(true);
    return true;
}

bool DisplayableCoreCanvas::handlePointerReleased(int x, int y) {
    if (m_addedEventToBuffer(InputEvent::POINTER_RELEASED, x, y)) return true;
    LCDUIGuard lock(LCDUILock::mutex());
    TouchScreenAreaManager::setAreaGroup(TouchScreenAreaManager::CHROME);
    // The popup may close while the release is routed: it was open when the touch came.
    const bool popupWasShown = m_popupShown;
    if (TouchScreenAreaManager::pointerReleased(x, y) || popupWasShown) return true;
    if (!OnScreenKeyboard::pointerReleased(x, y)) return false;
    m_needsRepaint.store(true);
    return true;
}

void DisplayableCoreCanvas::tick(long long elapsedMs) {
    m_checkKeyRepeat(elapsedMs);
}

void DisplayableCoreCanvas::m_checkKeyRepeat(long long) {
    LCDUIGuard lock(LCDUILock::mutex());
    const int64_t now = java::lang::DeviceClock::currentTimeMillis();
    if (m_heldKey == NO_KEY) {
        m_keyRepeating = false;
        return;
    }
    if (!m_keyRepeating) {
        if (now - m_keyPressTime <= KEY_REPEAT_BEGIN_MS) return;
        m_keyRepeating = true;
    } else if (now - m_lastKeyRepeatTime <= KEY_REPEAT_MS) {
        return;
    }
    m_lastKeyRepeatTime = now;
    keyRepeated(m_heldKey);
}

// ---- Chrome touches ----

void DisplayableCoreCanvas::touchscreenEventCallback(void* context, const JavaPtr<String>& code, int type,
                                                     int relX, int relY, int dx, int dy, bool inside) {
    static_cast<DisplayableCoreCanvas*>(context)->touchscreenAreaEvent(code, type, relX, relY, dx, dy,
                                                                       inside);
}

void DisplayableCoreCanvas::touchscreenAreaEvent(const JavaPtr<String>& code, int type, int, int, int, int dy,
                                                 bool inside) {
    if (!code) return;
    LCDUIGuard lock(LCDUILock::mutex());
    const bool popupWasShown = m_popupShown;
    const auto clampScroll = [&](int pos) {
        if (pos < 0) pos = 0;
        const int limit = m_scrollLimit();
        if (pos > limit) pos = limit;
        return pos < 0 ? 0 : pos;
    };
    if (type == TouchScreenAreaListener::RELEASED) {
        if (m_scrollDownPressed || m_scrollUpPressed || m_keyboardTogglePressed || m_scrollBoxDragging) {
            m_scrollDownPressed = m_scrollUpPressed = m_keyboardTogglePressed = m_scrollBoxDragging = false;
            m_needsRepaint.store(true);
        }
        if (code->equals(m_keyboardToggleCode)) {
            if (OnScreenKeyboard::isShown()) {
                OnScreenKeyboard::hide();
            } else if (TouchScreenAreaManager::numInGroup(TouchScreenAreaManager::ITEM_OVERLAYS) == 0) {
                OnScreenKeyboard::show();
            }
            reLayout();
        }
        m_scrollBoxDragging = false;
    } else if (type == TouchScreenAreaListener::DRAGGED) {
        if (!m_scrollBoxDragging) {
            if (code->equals(m_keyboardToggleCode) && m_keyboardTogglePressed != inside) {
                m_keyboardTogglePressed = inside;
                m_needsRepaint.store(true);
            }
        } else if (m_scrollTrackLength > 0) {
            // A track too short to measure by moves nothing.
            const int64_t moved = static_cast<int64_t>(m_verticalHeight) * dy / m_scrollTrackLength;
            m_verticalScrollPos = clampScroll(static_cast<int>(m_scrollDragStartPos + moved));
            m_needsRepaint.store(true);
            m_scrollBoxAreaInvalid = true;
        }
    } else if (type == TouchScreenAreaListener::PRESSED) {
        if (code->equals(m_scrollDownCode) || code->equals(m_scrollUpCode)) {
            const bool down = code->equals(m_scrollDownCode);
            (down ? m_scrollDownPressed : m_scrollUpPressed) = true;
            m_verticalScrollPos = clampScroll(m_verticalScrollPos + (down ? kScrollStep : -kScrollStep));
            m_needsRepaint.store(true);
            m_scrollBoxAreaInvalid = true;
        } else if (code->equals(m_scrollBoxCode)) {
            m_scrollBoxDragging = true;
            m_scrollDragStartPos = m_verticalScrollPos;
        } else if (code->equals(m_keyboardToggleCode)) {
            m_keyboardTogglePressed = true;
            m_needsRepaint.store(true);
        }
    }

    if (code->startsWith(m_popupCodePrefix)) {
        // The row's index follows the prefix; a row of a list that has since shrunk does nothing.
        int index = 0;
        bool valid = code->length() > m_popupCodePrefix->length();
        for (int i = m_popupCodePrefix->length(); valid && i < code->length(); ++i) {
            const unsigned short c = code->charAt(i);
            valid = c >= '0' && c <= '9' && index < 100000;
            index = index * 10 + (c - '0');
        }
        if (valid && m_popupShown && index < m_popupCommands->length) {
            if (type == TouchScreenAreaListener::PRESSED) {
                m_popupSelectedIndex = index;
            } else if (type == TouchScreenAreaListener::RELEASED && inside) {
                m_popupSelectedIndex = index;
                m_popupChoose();
                m_invalidateTouchscreenAreas();
            }
        }
        m_needsRepaint.store(true);
    } else if (code->equals(m_forwardSoftkeyCode) || code->equals(m_backSoftkeyCode)) {
        const bool forward = code->equals(m_forwardSoftkeyCode);
        bool& pressed = forward ? m_forwardSoftkeyPressed : m_backSoftkeyPressed;
        if (type == TouchScreenAreaListener::PRESSED) {
            pressed = true;
        } else if (type == TouchScreenAreaListener::DRAGGED) {
            pressed = inside;
        } else {
            m_forwardSoftkeyPressed = m_backSoftkeyPressed = false;
            if (inside) {
                if (m_popupShown) {
                    m_popupCancel();
                } else if (forward) {
                    m_forwardAction();
                } else {
                    m_backAction();
                }
            }
        }
        m_needsRepaint.store(true);
    }
    if (m_popupShown != popupWasShown) m_invalidateTouchscreenAreas();
}

}  // namespace javax::microedition::lcdui
