// javax.microedition.lcdui.Display: the one display of the system. It holds the current displayable and
// the canvas that draws it, swaps displayables with hide and show notifications (the first at once,
// later ones at the next LCDUI tick on the ticker thread), ticks tickers and high-level screens, keeps
// the callSerially slots and answers the display queries.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>

#include "graphics/ScreenSize.h"
#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "runtime/Runnable.h"
#include "shell/Canvas.h"
#include "shell/Displayable.h"
#include "shell/Ticker.h"

#ifndef _USES_THREADED_REPAINT
#define _USES_THREADED_REPAINT 0
#endif
// Canvases queued for one repaint thread instead of painted on the thread that asks.
inline constexpr bool kThreadedRepaint = _USES_THREADED_REPAINT != 0;

namespace java::lang {
class Thread;
}
namespace javax::microedition::midlet {
class MIDlet;
}

namespace javax::microedition::lcdui {

class Alert;
class DisplayThreadedPaint;
class Graphics;
class Item;

class Display : public java::lang::Object {
    TESL_CLASS(Display, "javax.microedition.lcdui.Display", java::lang::Object)
public:
    static constexpr int LIST_ELEMENT = 1;
    static constexpr int CHOICE_GROUP_ELEMENT = 2;
    static constexpr int ALERT = 3;
    static constexpr int COLOR_BACKGROUND = 0;
    static constexpr int COLOR_FOREGROUND = 1;
    static constexpr int COLOR_HIGHLIGHTED_BACKGROUND = 2;
    static constexpr int COLOR_HIGHLIGHTED_FOREGROUND = 3;
    static constexpr int COLOR_BORDER = 4;
    static constexpr int COLOR_HIGHLIGHTED_BORDER = 5;

    static constexpr int _CALL_SERIALLY_STACK_SIZE = 4;
    static constexpr int _CANVAS_REPAINT_TOTAL = 1;

    // Takes the shell's output size as the screen size.
    Display() noexcept;
    ~Display() override;

    Display* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // The singleton, created (and the device key codes filled) on the first call; the MIDlet is ignored.
    static JavaPtr<Display> getDisplay(const JavaPtr<midlet::MIDlet>& m);
    // Carries out the pending set-current request; nothing when none is pending.
    static void fulfilSetCurrentRequest();
    // One LCDUI tick of nominal length ms: the pending swap, tickers, the current screen's relayout and
    // tick, the core canvas's repaint and input replay. Skipped unless there is work, and while a tick
    // or a form canvas input handler runs.
    static void tickLCDUI(long long ms);
    // Registers a ticker once; a freed slot is reused before the list grows.
    static void addTicker(const JavaPtr<Ticker>& t);
    static void initCanvasCore();
    static void tidyUp();
    static void tidyUpLCDUI();
    static void Display_staticDestroy();

    virtual void callSerially(const JavaPtr<java::lang::Runnable>& r);
    virtual bool flashBacklight(int duration);
    virtual int getBestImageHeight(int imageType);
    virtual int getBestImageWidth(int imageType);
    virtual int getBorderStyle(bool highlighted);
    virtual int getColor(int colorSpecifier);
    // The current displayable, never the pending one.
    virtual JavaPtr<Displayable> getCurrent();
    virtual bool isColor();
    virtual int numAlphaLevels();
    virtual int numColors();
    virtual void setCurrent(const JavaPtr<Alert>& alert, const JavaPtr<Displayable>& nextDisplayable);
    virtual void setCurrent(const JavaPtr<Displayable>& nextDisplayable);
    virtual void setCurrentItem(const JavaPtr<Item>& item);
    virtual bool vibrate(int duration);
    virtual void setCurrentLCDUI(const JavaPtr<Displayable>& nextDisplayable);
    virtual void setCurrentNonLCDUI(const JavaPtr<Displayable>& nextDisplayable);

    // Counted copies of the current displayable and canvas, taken under the display lock: the input
    // entries call the canvas through such a copy, so a swap on the ticker thread cannot free it under
    // them.
    static JavaPtr<Displayable> currentDisplayable();
    static JavaPtr<Canvas> currentCanvas();
    static JavaPtr<Graphics> getMasterGraphics();
    static void setMasterGraphics(const JavaPtr<Graphics>& g);
    static int numActiveTickers();
    // Takes the runnable out of serial-call slot index (cleared before it runs); null when the slot is
    // empty. The canvas drains the slots this way after each repaint.
    static JavaPtr<java::lang::Runnable> takeSeriallyCall(int index);
    // Whether any serial-call slot holds a runnable.
    static bool hasSeriallyCalls();

    // The threaded-repaint build (kThreadedRepaint; both do nothing in the synchronous one): the setup
    // starts the one repaint thread before the display exists, the tidy-up asks it to stop (the tear-down
    // waits for it with the other painting threads).
    static void threadedRepaintSetup();
    static void threadedRepaintTidyUp();
    // Queues c for the repaint thread unless it is queued already; dropped when every entry holds
    // another canvas, or when there is no queue.
    static void queueThreadedRepaint(const JavaPtr<Canvas>& c);
    // Blocks until the queue is empty and no pass is painting, the queue is gone or the MIDlet quit.
    static void waitForThreadedRepaints();
    // The repaint thread's side. Waits a short while for a queued canvas (true when there is one);
    // takes entry index, after which the pass counts as painting; ends the pass; and after a pass that
    // painted, starts a serial-call thread when a slot holds a runnable and none runs (one that runs
    // is asked for another round instead).
    static bool waitForThreadedRepaint(const std::atomic<bool>& stopRequested);
    static JavaPtr<Canvas> takeThreadedRepaint(int index);
    static void endThreadedRepaintPass();
    static void startThreadedSerialCalls();
    // The serial-call thread's side: true when a painted pass asked for another round while it ran,
    // otherwise it is no longer running. Abandon when a runnable's throw ends the thread.
    static bool finishThreadedSerialCalls();
    static void abandonThreadedSerialCalls();
    // Serial-call threads started so far.
    static inline std::atomic<int> threadedSerialCallThreadsStarted{0};

    // The screen size in pixels (also rewritten on rotation); the graphics library keeps the value.
    static inline int32_t& screenWidth = ScreenSize::width;
    static inline int32_t& screenHeight = ScreenSize::height;

    // A pending request waits for the next tick.
    static inline std::atomic<bool> setCurrentRequested{false};
    // The current displayable is a Screen or has a ticker.
    static inline std::atomic<bool> needToTickLCDUI{false};
    static inline std::atomic<bool> lcdUITickInProgress{false};
    // Set and cleared by the form canvas around its input handlers.
    static inline std::atomic<bool> lcdUIEventInProgress{false};

private:
    // Guards the references below and the ticker count: the ticker thread swaps while the platform main
    // thread delivers input and any thread asks or requests. Never held while calling out.
    static inline std::mutex displayMutex;
    static inline JavaPtr<Display> myDisplay;
    static inline JavaPtr<Displayable> myDisplayable;
    static inline JavaPtr<Canvas> myDisplayableCanvas;
    static inline JavaPtr<Displayable> myNextDisplayable;
    static inline JavaPtr<Canvas> myNextDisplayableCanvas;
    static inline JavaPtr<Graphics> masterGraphics;
    static inline int m_numActiveTickers = 0;
    static inline JavaPtr<JArray<JavaPtr<Ticker>>> tickers;
    static inline JavaPtr<JArray<JavaPtr<java::lang::Runnable>>> seriallyCalls;

    // Drops the repaint queue, and unless queueOnly also stops and drops the repaint thread.
    static void releaseThreadedRepaint(bool queueOnly);

    // Guards the threaded-repaint state below and the changes of Canvas::midRepaintThreaded, each
    // change signalled on threadedRepaintChanged. Taken before displayMutex, never after it.
    static inline std::mutex threadedRepaintMutex;
    static inline std::condition_variable threadedRepaintChanged;
    // Canvases waiting to be painted whole, with null holes.
    static inline JavaPtr<JArray<JavaPtr<Canvas>>> repaintCanvasPtrs;
    static inline JavaPtr<DisplayThreadedPaint> threadedRepaintRunnable;
    static inline JavaPtr<java::lang::Thread> threadedRepaintThread;
    // A serial-call thread runs; a painted pass asked for another round while it ran.
    static inline bool serialCallsRunning = false;
    static inline bool serialCallsAgain = false;
};

}  // namespace javax::microedition::lcdui
