// javax.microedition.lcdui.Canvas: the low-level screen. It maps device key codes to game actions and
// key names, receives the input the platform entries deliver, and repaints synchronously: a repaint
// paints on the calling thread into the display's master Graphics, hands the whole frame to the host,
// then runs the display's serial calls.
#pragma once

#include <atomic>
#include <mutex>

#include "runtime/String.h"
#include "shell/Displayable.h"
#include "shell/PaintLock.h"

namespace javax::microedition::lcdui {

class Graphics;

class Canvas : public Displayable {
    TESL_CLASS(Canvas, "javax.microedition.lcdui.Canvas", Displayable)
public:
    // Game actions.
    static constexpr int UP = 1;
    static constexpr int LEFT = 2;
    static constexpr int RIGHT = 5;
    static constexpr int DOWN = 6;
    static constexpr int FIRE = 8;
    static constexpr int GAME_A = 9;
    static constexpr int GAME_B = 10;
    static constexpr int GAME_C = 11;
    static constexpr int GAME_D = 12;
    // Key codes of the keypad.
    static constexpr int KEY_NUM0 = 48;
    static constexpr int KEY_NUM1 = 49;
    static constexpr int KEY_NUM2 = 50;
    static constexpr int KEY_NUM3 = 51;
    static constexpr int KEY_NUM4 = 52;
    static constexpr int KEY_NUM5 = 53;
    static constexpr int KEY_NUM6 = 54;
    static constexpr int KEY_NUM7 = 55;
    static constexpr int KEY_NUM8 = 56;
    static constexpr int KEY_NUM9 = 57;
    static constexpr int KEY_STAR = 42;
    static constexpr int KEY_POUND = 35;

    Canvas() noexcept {}
    ~Canvas() override;

    // A canvas is its own corresponding canvas and has no graphics until it is first current.
    Canvas* TESLinvokeconstructor() {
        Displayable::TESLinvokeconstructor();
        setCorrespondingCanvas(this);
        setGraphicsReference(nullptr);
        return this;
    }

    void sizeChanged(int w, int h) override;
    virtual int getGameAction(int keyCode);
    // The device code of UP, LEFT, RIGHT, DOWN or FIRE (0 until the display exists); 0 for any other.
    virtual int getKeyCode(int gameAction);
    // "#", "*", the digit of a number key; "" for any other code. A new String each time.
    virtual JavaPtr<java::lang::String> getKeyName(int keyCode);
    virtual bool hasPointerEvents();
    virtual bool hasPointerMotionEvents();
    virtual bool hasRepeatEvents();
    void hideNotify() override;
    virtual bool isDoubleBuffered();
    // Input and notifications do nothing here; subclasses override them.
    virtual void keyPressed(int keyCode);
    virtual void keyReleased(int keyCode);
    virtual void keyRepeated(int keyCode);
    virtual void paint(const JavaPtr<Graphics>& g);
    virtual void pointerDragged(int x, int y);
    virtual void pointerPressed(int x, int y);
    virtual void pointerReleased(int x, int y);
    // The paint itself: clip, paint, then the whole frame flushed. Nothing once the MIDlet has quit or
    // while the canvas has no graphics.
    virtual void repaintReal(int x, int y, int w, int h);
    virtual void setFullScreenMode(bool mode);
    void showNotify() override;
    // Hands the whole frame to the host when the canvas is shown; the rectangle is not used. Without
    // graphics it prints ": NULL" and hands nothing over.
    virtual void flushGraphics();
    virtual void flushGraphics(int x, int y, int w, int h);
    // The master Graphics once the canvas has been current; null before.
    virtual JavaPtr<Graphics> getGraphics();

    // What the display's tick asks of the core canvas of the high-level screens
    // (DisplayableCoreCanvas), which overrides all three: whether it wants a repaint, the repaint that
    // skips itself while one is running or the canvas is not shown, and the replay of the input that
    // arrived during the tick. A plain canvas is never asked.
    virtual bool needsRepaint();
    virtual void repaintScreen();
    virtual void replayBufferedEvents();

    void repaint();
    // Paints now on the calling thread, then runs the display's serial calls (after the paint has let
    // go of the master Graphics). Nothing at all once the MIDlet has quit. The threaded build only
    // queues the canvas for the repaint thread.
    void repaint(int x, int y, int w, int h);
    // Waits until no repaint runs on another thread (threaded build: until the repaint thread has
    // taken every queued canvas and ended its pass). From inside a paint it returns at once: it would
    // otherwise wait for itself, or for a painter queued behind it.
    void serviceRepaints();

    static int getGameActionInternal(int keyCode);

    // The number of repaints running, or waiting for the master Graphics, on all threads. A count, not
    // a flag: with one flag, the first of two painters to finish would clear it under the second.
    static inline std::atomic<int> midRepaint{0};
    // Threaded-repaint build: set while the repaint thread paints a canvas it took from the queue.
    static inline std::atomic<bool> midRepaintThreaded{false};

    // The paint lock. Guards drawing into the master Graphics, its size and the output size
    // (_outputWidth, _outputHeight), and copying its frame out: the ticker thread paints the
    // high-level screens while the application paints its canvas and the main thread turns the screen,
    // and all share one clip, one colour, one size and one screen buffer. Held around the paint, the
    // flush and the size change, never around serial calls or a size-change notification. Recursive,
    // as a paint may flush or repaint another canvas itself. Its place in the lock order, and which
    // application code runs under it (only a canvas's own paint), are stated in shell/LCDUILock.h.
    static inline PaintLock paintMutex;
};

}  // namespace javax::microedition::lcdui
