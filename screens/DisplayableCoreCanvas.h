// javax.microedition.lcdui.DisplayableCoreCanvas: the canvas that draws and drives every high-level
// screen. It owns the chrome around the content (title bar, soft-key bar with the keyboard toggle,
// ticker bar, on-screen keyboard band, scroll bar and the "Menu" popup), assigns the screen's and the
// highlighted item's commands to the soft keys, takes the first chance at every key and touch, repeats
// held keys, and keeps the input that arrives during an LCDUI tick for the end of that tick. Its
// subclass (the form canvas) paints the content and handles what the chrome does not take.
//
// Threads: the chrome state is guarded by the screens' lock (shell/LCDUILock.h), which a paint takes
// inside the paint lock; input that arrives during an LCDUI tick goes into the input buffer under its own
// mutex and is replayed, in arrival order, by the ticker thread at the end of the tick.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

#include "platform/device/KeyboardCodes.h"
#include "runtime/JArray.h"
#include "runtime/String.h"
#include "shell/Canvas.h"
#include "shell/Command.h"

namespace javax::microedition::lcdui {

class CommandListener;
class Font;
class Graphics;
class Item;
class TouchScreenAreaListener;

// The ticker's scroll speed in pixels per second: half the build's device width, which is 0 here.
extern int TICKER_PIXELS_PER_SEC;
// The extended characters of the keyboard codes, in code order (ISO 8859-1); set by init().
extern const char* _extendedCharList;

class DisplayableCoreCanvas : public Canvas {
    TESL_CLASS(DisplayableCoreCanvas, "javax.microedition.lcdui.DisplayableCoreCanvas", Canvas)
public:
    using CommandArray = Displayable::CommandArray;

    struct InputEvent {
        enum EventType {
            KEY_PRESSED = 0,
            KEY_RELEASED = 1,
            KEY_REPEATED = 2,
            POINTER_PRESSED = 3,
            POINTER_RELEASED = 4,
            POINTER_DRAGGED = 5
        };
        EventType m_type = KEY_PRESSED;
        int m_keyOrX = 0;
        int m_y = -1;
        int64_t m_timeMs = 0;
    };

    // The build's colours of the screens.
    static constexpr int COLOR_BACKGROUND = 0xCCCCCC;
    static constexpr int COLOR_FOREGROUND = 0x000000;
    static constexpr int COLOR_HIGHLIGHTED_BACKGROUND = 0x0000CC;
    static constexpr int COLOR_HIGHLIGHTED_FOREGROUND = 0xFFFFFF;
    static constexpr int COLOR_BORDER = 0x666666;

    static constexpr int KEY_REPEAT_BEGIN_MS = 1000;
    static constexpr int KEY_REPEAT_MS = 100;
    static constexpr int NO_KEY = platform::kNoKeyCode;
    // Input kept for the end of a tick. The platform buffered 20 and handled the rest at once, ahead of
    // them; here every event waits its turn, and only a flood beyond this is dropped (and logged).
    static constexpr size_t kInputBufferLimit = 4096;

    // Device keys, from the platform's key table; 0 until init().
    static inline int KEY_UP = 0;
    static inline int KEY_DOWN = 0;
    static inline int KEY_LEFT = 0;
    static inline int KEY_RIGHT = 0;
    static inline int KEY_FIRE = 0;
    static inline int KEY_SOFTKEY_LEFT = 0;
    static inline int KEY_SOFTKEY_RIGHT = 0;
    static inline int KEY_DELETE = 0;
    static inline int KEY_HASH = 0;
    static inline int KEY_STAR = 0;
    static inline int KEY_NUM0 = 0;
    static inline int KEY_NUM9 = 0;
    // Keys of the on-screen keyboard.
    static constexpr int KEY_a = platform::kKeyboardCodeLowerA;
    static constexpr int KEY_z = KEY_a + 25;
    static constexpr int KEY_A = platform::kKeyboardCodeUpperA;
    static constexpr int KEY_Z = KEY_A + 25;
    static constexpr int KEY_KEYBOARD_NUM0 = platform::kKeyboardCodeDigit0;
    static constexpr int KEY_KEYBOARD_NUM9 = KEY_KEYBOARD_NUM0 + 9;
    static constexpr int KEY_EXTENDED_CHARS_BEGIN = platform::kKeyboardCodeExtendedBegin;
    static constexpr int KEY_KEYBOARD_HASH = 2000;
    static constexpr int KEY_KEYBOARD_STAR = 2001;
    static constexpr int KEY_ENTER = 2002;
    static constexpr int KEY_SPACEBAR = 2003;
    static constexpr int KEY_FULLSTOP = 2004;
    static constexpr int KEY_COMMA = 2005;
    static constexpr int KEY_SEMICOLON = 2006;
    static constexpr int KEY_COLON = 2007;
    static constexpr int KEY_APOSTROPHE = 2008;
    static constexpr int KEY_QUOTE = 2009;
    static constexpr int KEY_EXCLAMATION = 2010;
    static constexpr int KEY_QUESTIONMARK = 2011;
    static constexpr int KEY_OPENBRACKET = 2012;
    static constexpr int KEY_CLOSEBRACKET = 2013;
    static constexpr int KEY_OPENCURLYBRACKET = 2014;
    static constexpr int KEY_CLOSECURLYBRACKET = 2015;
    static constexpr int KEY_OPENSQUAREBRACKET = 2016;
    static constexpr int KEY_CLOSESQUAREBRACKET = 2017;
    static constexpr int KEY_FORWARDSLASH = 2018;
    static constexpr int KEY_BACKSLASH = 2019;
    static constexpr int KEY_TILDA = 2020;
    static constexpr int KEY_PIPE = 2021;
    static constexpr int KEY_BACKTICK = 2022;
    static constexpr int KEY_UNDERSCORE = 2023;
    static constexpr int KEY_PLUS = 2024;
    static constexpr int KEY_MINUS = 2025;
    static constexpr int KEY_EQUALS = 2026;
    static constexpr int KEY_PERCENT = 2027;
    static constexpr int KEY_LESSTHAN = 2028;
    static constexpr int KEY_GREATERTHAN = 2029;
    static constexpr int KEY_UPARROW = 2030;
    static constexpr int KEY_DOLLAR = 2031;
    static constexpr int KEY_POUND = 2032;
    static constexpr int KEY_AMPERSAND = 2033;
    static constexpr int KEY_AT = 2034;
    static constexpr int KEY_EXTENDED_CHARS_END = platform::kKeyboardCodeExtendedEnd;

    DisplayableCoreCanvas() noexcept {}
    ~DisplayableCoreCanvas() override;

    DisplayableCoreCanvas* TESLinvokeconstructor(Displayable* parent);

    // Fills the device key statics from the key table and sets _extendedCharList; once per process.
    static void init();
    static unsigned short getExtendedCharForCode(int code);
    static int getExtendedCodeForChar(unsigned short ch);

    // The outline of an arrow in the box (x, y, w, h): a head and a shaft a thick and b long, seven lines.
    static void drawVerticalArrow(const JavaPtr<Graphics>& g, bool up, int x, int y, int w, int h, int a,
                                  int b);
    static void drawHorizontalArrow(const JavaPtr<Graphics>& g, bool left, int x, int y, int w, int h, int a,
                                    int b);

    void hideNotify() override;
    void paint(const JavaPtr<Graphics>& g) override;
    void showNotify() override;
    bool needsRepaint() override;
    // The display's tick repaints through this.
    void repaintScreen() override;
    void replayBufferedEvents() override;
    void reLayout() override;
    void notifyParentDestroyed() override;
    // The key-repeat check; the elapsed time is not used (the check reads the clock).
    void tick(long long elapsedMs) override;

    // Nothing while a repaint runs or the canvas is not shown; otherwise paints the whole frame now. A
    // thread that holds the screens' lock only marks the canvas for the next tick's repaint: the paint
    // lock comes first (shell/LCDUILock.h).
    virtual void repaint();
    virtual void repaint(int x, int y, int w, int h);

    // {left, top, right, bottom} of the content, right and bottom exclusive, into out[0..3].
    void getUnreservedArea(const JavaPtr<JArray<int>>& out);
    bool verticalScrollbarVisible();
    void setVerticalScrollbarVisible(bool visible);
    int getVerticalScrollPos();
    void setVerticalScrollPos(int pos);
    void setVerticalHeight(int height);
    void repaintTickerOnly();
    void setNeedsRepaint();
    void paintTicker(const JavaPtr<Graphics>& g);
    void paintPopupMenu(const JavaPtr<Graphics>& g);

    // Commands: the highlighted item's (its live array and default) and an item overlay's, which
    // replace all others while it is up.
    void setFormItemCommands(const JavaPtr<CommandArray>& commands, const JavaPtr<Command>& defaultCommand);
    void setFormItemOverlay(const JavaPtr<Item>& item, const JavaPtr<CommandArray>& commands);
    // Delivers a chosen command to the screen's listener (and, in a form, to the highlighted item). The
    // deliveries run with no lock held: at once, or at the end of the screen operation this thread is in.
    void triggerCommand(const JavaPtr<Command>& cmd);

    // The chrome's first chance at an event: true when it took it (buffered or handled).
    bool handleKeyPressed(int key);
    bool handleKeyReleased(int key);
    bool handleKeyRepeated(int key);
    bool handlePointerPressed(int x, int y);
    bool handlePointerDragged(int x, int y);
    bool handlePointerReleased(int x, int y);

    static void touchscreenEventCallback(void* context, const JavaPtr<java::lang::String>& code, int type,
                                         int relX, int relY, int dx, int dy, bool inside);
    void touchscreenAreaEvent(const JavaPtr<java::lang::String>& code, int type, int relX, int relY, int dx,
                              int dy, bool inside);

    int numBufferedEvents();
    // Events refused because the buffer was full.
    uint64_t droppedEvents() const { return m_droppedEvents.load(); }

protected:
    bool m_commandsAreInOrderOfPriority(const JavaPtr<Command>& a, const JavaPtr<Command>& b);
    bool m_navigatePopupMenu(int keyCode);
    void m_invalidateTouchscreenAreas();
    void m_checkKeyRepeat(long long elapsedMs);
    bool m_addedEventToBuffer(InputEvent::EventType type, int a, int b);

    // What a form adds to a triggered command: the highlighted item's listener and the item itself.
    // Runs after the screen's listener, with no lock held; nothing here.
    virtual void m_triggerItemCommand(const JavaPtr<Command>& cmd, bool isItemCommand);
    // The listener of the parent screen, under the screens' lock; shown is the displayable the display
    // shows, which a form built by a List or an Alert answers for its owner.
    virtual JavaPtr<CommandListener> m_parentCommandListener(const JavaPtr<Displayable>& shown);

    // The soft-key actions.
    void m_backAction();
    // True when it opened the popup.
    bool m_forwardAction();
    void m_popupChoose();
    void m_popupCancel();

    // The parent when it is a Screen, else null.
    Displayable* m_screenParent() const;
    int m_viewHeight() const;
    int m_scrollLimit() const;
    void m_gatherCommands();
    void m_dispatch(const InputEvent& event);
    void m_repaint(bool tickerOnly);

    // Guarded by the screens' lock, like everything below unless said otherwise.
    JavaPtr<Item> m_formItemOverlay;
    JavaPtr<JArray<int>> m_unreservedArea;
    bool m_verticalScrollbarVisible = false;
    int m_verticalScrollPos = 0;
    int m_verticalHeight = 0;
    bool m_scrollUpPressed = false;
    bool m_scrollDownPressed = false;
    // Read by the display's tick without the lock.
    std::atomic<bool> m_needsRepaint{false};
    bool m_repaintInProgress = false;
    bool m_repaintTickerOnly = false;
    // A layout asked for while this thread paints: the areas are dropped once the paint is over.
    bool m_invalidateAfterPaint = false;
    int m_heldKey = NO_KEY;
    bool m_keyRepeating = false;
    int64_t m_keyPressTime = -1;
    int64_t m_lastKeyRepeatTime = -1;

    // Guards the three below: input threads append while the ticker thread replays.
    std::mutex m_bufferMutex;
    std::deque<InputEvent> m_inputBuffer;
    // The thread replaying the buffer (its own replayed events are not buffered again); none when idle.
    std::thread::id m_replayingThread;
    std::atomic<uint64_t> m_droppedEvents{0};

    JavaPtr<Font> m_popupFont;
    int m_popupHeight = 0;
    int m_popupWidth = 0;
    int m_popupSelectedIndex = 0;
    bool m_popupShown = false;
    JavaPtr<CommandArray> m_popupCommands;
    int m_tickerY = 0;
    int m_tickerTextWidth = 0;
    JavaPtr<Font> m_tickerFont;
    JavaPtr<Font> m_titleFont;
    JavaPtr<Command> m_backCommand;
    JavaPtr<Command> m_forwardCommand;
    bool m_forwardSoftkeyPressed = false;
    bool m_backSoftkeyPressed = false;
    bool m_forwardOpensMenu = false;
    JavaPtr<Font> m_softkeyFont;
    JavaPtr<CommandArray> m_formItemCommands;
    JavaPtr<Command> m_formItemDefaultCommand;
    JavaPtr<CommandArray> m_formItemOverlayCommands;
    JavaPtr<TouchScreenAreaListener> m_touchscreenListener;
    bool m_touchscreenAreasInvalid = true;
    bool m_scrollBoxAreaInvalid = false;
    bool m_scrollBoxDragging = false;
    bool m_keyboardTogglePressed = false;
    int m_scrollTrackLength = 0;
    int m_scrollDragStartPos = 0;
    JavaPtr<java::lang::String> m_baseCode;
    JavaPtr<java::lang::String> m_forwardSoftkeyCode;
    JavaPtr<java::lang::String> m_backSoftkeyCode;
    JavaPtr<java::lang::String> m_scrollUpCode;
    JavaPtr<java::lang::String> m_scrollDownCode;
    JavaPtr<java::lang::String> m_scrollBoxCode;
    JavaPtr<java::lang::String> m_keyboardToggleCode;
    JavaPtr<java::lang::String> m_popupCodePrefix;
    // The screen this canvas shows; it owns the canvas and clears this when it goes.
    Displayable* m_parent = nullptr;
};

}  // namespace javax::microedition::lcdui
