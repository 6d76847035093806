#include "shell/Display.h"

#include <chrono>
#include <climits>
#include <utility>
#include <vector>

#include "graphics/Graphics.h"
#include "library/Thread.h"
#include "platform/host/Host.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/NullPointerException.h"
#include "shell/DeviceKeyCodes.h"
#include "shell/DisplayThreadedCallSerially.h"
#include "shell/DisplayThreadedPaint.h"
#include "shell/LCDUIHooks.h"
#include "shell/LCDUILock.h"
#include "shell/MIDlet.h"
#include "shell/ShellGlobals.h"
#include "shell/TickerWake.h"

// Build constants of the display queries.
constexpr int _LCDUI_COLOR_BACKGROUND = 0xCCCCCC;
constexpr int _LCDUI_COLOR_FOREGROUND = 0x000000;
constexpr int _LCDUI_COLOR_HIGHLIGHTED_BACKGROUND = 0x0000CC;
constexpr int _LCDUI_COLOR_HIGHLIGHTED_FOREGROUND = 0xFFFFFF;
constexpr int _LCDUI_COLOR_BORDER = 0x666666;
constexpr int _LCDUI_COLOR_HIGHLIGHTED_BORDER = 0x0000FF;

namespace javax::microedition::lcdui {

namespace {

// The high-level classes the display tells apart by type id; they live in the layers above.
constexpr int32_t kAlertTypeId = tesl::classTypeIdOf("javax.microedition.lcdui.Alert");
constexpr int32_t kScreenTypeId = tesl::classTypeIdOf("javax.microedition.lcdui.Screen");
constexpr int32_t kCoreCanvasTypeId = tesl::classTypeIdOf("javax.microedition.lcdui.DisplayableCoreCanvas");

template <class T, bool C>
bool answers(const JavaPtr<T, C>& p, int32_t typeId) {
    return p && instanceofObj(p.counted(), typeId);
}

JavaPtr<Alert> asAlert(const JavaPtr<Displayable>& d) {
    return JavaPtr<Alert>(d.counted(), static_cast<Alert*>(recastObj(d.counted(), kAlertTypeId)));
}

JavaPtr<Displayable> displayablePart(const JavaPtr<Alert>& alert) {
    return JavaPtr<Displayable>(
        alert.counted(), static_cast<Displayable*>(recastObj(alert.counted(), Displayable::TESLclassTypeID)));
}

// Whether any entry of a list with null holes is taken.
template <class E>
bool holdsAny(const JavaPtr<JArray<E>>& entries) {
    for (int32_t i = 0; i < entries->length; ++i)
        if (entries->data[i]) return true;
    return false;
}

// Clears the tick-in-progress flag however the tick ends, so that a throwing screen cannot stop every
// later tick.
struct TickInProgressScope {
    ~TickInProgressScope() { Display::lcdUITickInProgress.store(false); }
};

}  // namespace

Display::Display() noexcept {
    screenWidth = _outputWidth.load();
    screenHeight = _outputHeight.load();
}

Display::~Display() = default;

JavaPtr<Display> Display::getDisplay(const JavaPtr<midlet::MIDlet>&) {
    JavaPtr<Display> display;
    bool created = false;
    {
        std::lock_guard<std::mutex> lock(displayMutex);
        if (!myDisplay) {
            myDisplay = jnew<Display>();
            created = true;
        }
        display = myDisplay;
    }
    if (created) LCDUI_initCanvasCore();
    return display;
}

void Display::initCanvasCore() {
    // The canvas's key codes do not wait for the high-level screens, which may not be there.
    DeviceKeyCodes::fill();
    if (auto init = lcduiHighLevelHooks().initCanvasCore) init();
}

JavaPtr<Displayable> Display::currentDisplayable() {
    std::lock_guard<std::mutex> lock(displayMutex);
    return myDisplayable;
}

JavaPtr<Canvas> Display::currentCanvas() {
    std::lock_guard<std::mutex> lock(displayMutex);
    return myDisplayableCanvas;
}

JavaPtr<Graphics> Display::getMasterGraphics() {
    std::lock_guard<std::mutex> lock(displayMutex);
    return masterGraphics;
}

void Display::setMasterGraphics(const JavaPtr<Graphics>& g) {
    JavaPtr<Graphics> old;
    std::lock_guard<std::mutex> lock(displayMutex);
    old = std::exchange(masterGraphics, g);
}

int Display::numActiveTickers() {
    std::lock_guard<std::mutex> lock(displayMutex);
    return m_numActiveTickers;
}

JavaPtr<Displayable> Display::getCurrent() {
    return currentDisplayable();
}

void Display::setCurrent(const JavaPtr<Displayable>& nextDisplayable) {
    if (!nextDisplayable || nextDisplayable == currentDisplayable()) return;
    LCDUI_setCurrentDisplayable(JavaPtr<Display>(this), nextDisplayable);
}

void Display::setCurrent(const JavaPtr<Alert>& alert, const JavaPtr<Displayable>& nextDisplayable) {
    if (answers(nextDisplayable, kAlertTypeId)) throw java::lang::IllegalArgumentException();
    if (!alert || !nextDisplayable) throw java::lang::NullPointerException();
    const JavaPtr<Displayable> shown = displayablePart(alert);
    shown->setNextDisplayable(nextDisplayable);
    setCurrent(shown);
}

void Display::setCurrentLCDUI(const JavaPtr<Displayable>& nextDisplayable) {
    if (!nextDisplayable) return;
    if (answers(nextDisplayable, kAlertTypeId) && !nextDisplayable->getNextDisplayable()) {
        setCurrent(asAlert(nextDisplayable), getCurrent());
        return;
    }
    JavaPtr<Canvas> canvas = nextDisplayable->getCorrespondingCanvas();
    JavaPtr<Displayable> replacedDisplayable;
    JavaPtr<Canvas> replacedCanvas;
    bool swapNow = false;
    {
        std::lock_guard<std::mutex> lock(displayMutex);
        // A later request before the swap replaces an earlier one.
        replacedDisplayable = std::exchange(myNextDisplayable, nextDisplayable);
        replacedCanvas = std::exchange(myNextDisplayableCanvas, std::move(canvas));
        swapNow = !myDisplayable;
        if (!swapNow) setCurrentRequested.store(true);
    }
    if (swapNow) fulfilSetCurrentRequest();
    TickerWake::wake();
}

void Display::setCurrentNonLCDUI(const JavaPtr<Displayable>& nextDisplayable) {
    if (!nextDisplayable) return;
    JavaPtr<Canvas> canvas = jcast<Canvas>(nextDisplayable);
    JavaPtr<Displayable> oldDisplayable;
    JavaPtr<Canvas> oldCanvas;
    JavaPtr<Graphics> g;
    {
        std::lock_guard<std::mutex> lock(displayMutex);
        oldDisplayable = std::exchange(myDisplayable, nextDisplayable);
        oldCanvas = std::exchange(myDisplayableCanvas, canvas);
        g = masterGraphics;
    }
    // A displayable that is no canvas has nothing to draw with: it is current without a canvas.
    if (canvas) canvas->setGraphicsReference(g);
}

void Display::setCurrentItem(const JavaPtr<Item>& item) {
    if (!item) throw java::lang::NullPointerException();
    const LCDUIHighLevelHooks hooks = lcduiHighLevelHooks();
    JavaPtr<Displayable> form = hooks.itemContainingForm ? hooks.itemContainingForm(item.counted()) : nullptr;
    if (!form || answers(form, kAlertTypeId)) throw java::lang::IllegalStateException();
    setCurrent(form);
    if (hooks.formHighlightItem) hooks.formHighlightItem(form.get(), item.counted());
}

void Display::fulfilSetCurrentRequest() {
    JavaPtr<Displayable> incoming;
    {
        // The outgoing displayable and canvas go before the forms are tidied up: a form whose last
        // reference was the display's is then let go at this switch, not at the next one.
        JavaPtr<Canvas> outgoing;
        {
            std::lock_guard<std::mutex> lock(displayMutex);
            if (!myNextDisplayable) return;
            outgoing = myDisplayableCanvas;
        }
        if (outgoing) outgoing->hideNotify();

        JavaPtr<Displayable> oldDisplayable;
        JavaPtr<Canvas> oldCanvas;
        JavaPtr<Canvas> incomingCanvas;
        JavaPtr<Graphics> g;
        {
            std::lock_guard<std::mutex> lock(displayMutex);
            // Another thread may have carried the request out meanwhile.
            if (!myNextDisplayable) return;
            oldDisplayable = std::exchange(myDisplayable, std::move(myNextDisplayable));
            oldCanvas = std::exchange(myDisplayableCanvas, std::move(myNextDisplayableCanvas));
            myNextDisplayable = nullptr;
            myNextDisplayableCanvas = nullptr;
            incoming = myDisplayable;
            incomingCanvas = myDisplayableCanvas;
            g = masterGraphics;
            // Cleared before the notifications, so that a request made from inside them stands.
            setCurrentRequested.store(false);
        }
        // The outgoing canvas keeps its graphics; it can no longer flush as it is not shown.
        if (incomingCanvas) {
            incomingCanvas->setGraphicsReference(g);
            incomingCanvas->showNotify();
        }
        if (answers(incoming, kAlertTypeId)) incoming->showNotify();
    }
    if (auto tidyUpForms = lcduiHighLevelHooks().formTidyUp) tidyUpForms();
    needToTickLCDUI.store(incoming->getTicker() || answers(incoming, kScreenTypeId));
}

void Display::tickLCDUI(long long ms) {
    if (!needToTickLCDUI.load() && !setCurrentRequested.load()) return;
    if (lcdUIEventInProgress.load()) return;
    bool idle = false;
    if (!lcdUITickInProgress.compare_exchange_strong(idle, true)) return;
    TickInProgressScope scope;

    // Outside the screens' lock: the swap notifies canvases, which may be the application's.
    if (setCurrentRequested.load()) fulfilSetCurrentRequest();

    // Only the tickers, the layout and the screen's tick run under the screens' lock; the repaint takes
    // the paint lock, which comes before it (shell/LCDUILock.h). While an application thread changes a
    // screen, the rest waits for the next tick.
    std::unique_lock<LCDUILock> screensLock(LCDUILock::mutex(), std::try_to_lock);
    if (!screensLock.owns_lock()) return;

    std::vector<JavaPtr<Ticker>> dropped;
    std::vector<JavaPtr<Ticker>> live;
    JavaPtr<Displayable> current;
    JavaPtr<Canvas> canvas;
    int activeTickers = 0;
    {
        std::lock_guard<std::mutex> lock(displayMutex);
        if (m_numActiveTickers > 0 && tickers) {
            for (int32_t i = 0; i < tickers->length; ++i) {
                JavaPtr<Ticker>& entry = tickers->data[i];
                if (!entry) continue;
                // The list holds the only reference left: nobody can show this ticker any more. No
                // other reference can appear meanwhile, as the list is read only under this lock.
                if (entry.counted()->m_referenceCount.load() == 1) {
                    dropped.push_back(std::move(entry));
                    --m_numActiveTickers;
                } else {
                    live.push_back(entry);
                }
            }
        }
        activeTickers = m_numActiveTickers;
        current = myDisplayable;
        canvas = myDisplayableCanvas;
    }
    for (const JavaPtr<Ticker>& t : live) t->tick(ms);

    if (answers(current, kScreenTypeId)) {
        if (current->needsRelayout()) {
            current->relayout();
            current->setNeedsRelayout(false);
        }
        current->tick(ms);
    }
    // The application calls the tick caused (an alert's timeout) run here, with no lock held.
    screensLock.unlock();
    if (answers(canvas, kCoreCanvasTypeId)) {
        if (canvas->needsRepaint() || activeTickers > 0) canvas->repaintScreen();
        canvas->replayBufferedEvents();
    }
}

void Display::addTicker(const JavaPtr<Ticker>& t) {
    if (!t) return;
    std::lock_guard<std::mutex> lock(displayMutex);
    if (!tickers) tickers = jnew<JArray<JavaPtr<Ticker>>>(1);
    int32_t freeSlot = -1;
    for (int32_t i = 0; i < tickers->length; ++i) {
        if (tickers->data[i] == t) return;
        if (freeSlot < 0 && !tickers->data[i]) freeSlot = i;
    }
    if (freeSlot < 0) {
        // No spare capacity: the list grows by one, the old entries in order and the new one last.
        JavaPtr<JArray<JavaPtr<Ticker>>> grown = jnew<JArray<JavaPtr<Ticker>>>(tickers->length + 1);
        for (int32_t i = 0; i < tickers->length; ++i) grown->data[i] = std::move(tickers->data[i]);
        freeSlot = tickers->length;
        tickers = std::move(grown);
    }
    tickers->data[freeSlot] = t;
    ++m_numActiveTickers;
}

void Display::callSerially(const JavaPtr<java::lang::Runnable>& r) {
    if (!r) return;
    std::lock_guard<std::mutex> lock(displayMutex);
    if (!seriallyCalls)
        seriallyCalls = jnew<JArray<JavaPtr<java::lang::Runnable>>>(_CALL_SERIALLY_STACK_SIZE);
    for (int32_t i = 0; i < seriallyCalls->length; ++i)
        if (seriallyCalls->data[i] == r) return;
    for (int32_t i = 0; i < seriallyCalls->length; ++i) {
        if (!seriallyCalls->data[i]) {
            seriallyCalls->data[i] = r;
            // Serial calls run after a repaint: a screen repainted by the ticker gets one soon.
            TickerWake::wake();
            return;
        }
    }
    // All slots wait: the call is dropped, as the platform always did.
}

JavaPtr<java::lang::Runnable> Display::takeSeriallyCall(int index) {
    std::lock_guard<std::mutex> lock(displayMutex);
    if (!seriallyCalls || index < 0 || index >= seriallyCalls->length) return nullptr;
    return std::exchange(seriallyCalls->data[index], nullptr);
}

bool Display::flashBacklight(int) {
    return false;
}

int Display::getBestImageHeight(int imageType) {
    if (imageType == LIST_ELEMENT || imageType == CHOICE_GROUP_ELEMENT) return 12;
    if (imageType == ALERT) return (2 * screenHeight) / 3;
    throw java::lang::IllegalArgumentException();
}

int Display::getBestImageWidth(int imageType) {
    if (imageType == LIST_ELEMENT || imageType == CHOICE_GROUP_ELEMENT) return 12;
    if (imageType == ALERT) return screenWidth;
    throw java::lang::IllegalArgumentException();
}

int Display::getBorderStyle(bool highlighted) {
    return highlighted ? Graphics::SOLID : Graphics::DOTTED;
}

int Display::getColor(int colorSpecifier) {
    switch (colorSpecifier) {
        case COLOR_BACKGROUND:
            return _LCDUI_COLOR_BACKGROUND;
        case COLOR_FOREGROUND:
            return _LCDUI_COLOR_FOREGROUND;
        case COLOR_HIGHLIGHTED_BACKGROUND:
            return _LCDUI_COLOR_HIGHLIGHTED_BACKGROUND;
        case COLOR_HIGHLIGHTED_FOREGROUND:
            return _LCDUI_COLOR_HIGHLIGHTED_FOREGROUND;
        case COLOR_BORDER:
            return _LCDUI_COLOR_BORDER;
        case COLOR_HIGHLIGHTED_BORDER:
            return _LCDUI_COLOR_HIGHLIGHTED_BORDER;
        default:
            return 0;
    }
}

bool Display::isColor() {
    return true;
}

int Display::numAlphaLevels() {
    return 256;
}

int Display::numColors() {
    return 0x1000000;
}

bool Display::vibrate(int duration) {
    if (duration == 0) return true;
    // A negative duration vibrates like a positive one.
    const int milliseconds = duration > 0 ? duration : (duration == INT_MIN ? INT_MAX : -duration);
    if (platform::Host* host = platform::currentHost()) host->vibrate(milliseconds);
    return true;
}

void Display::tidyUp() {
    JavaPtr<Displayable> oldDisplayable;
    JavaPtr<Canvas> oldCanvas;
    JavaPtr<Display> oldDisplay;
    JavaPtr<Graphics> oldGraphics;
    JavaPtr<JArray<JavaPtr<java::lang::Runnable>>> oldCalls;
    {
        std::lock_guard<std::mutex> lock(displayMutex);
        oldDisplayable = std::move(myDisplayable);
        oldCanvas = std::move(myDisplayableCanvas);
        oldDisplay = std::move(myDisplay);
        oldGraphics = std::move(masterGraphics);
    }
    releaseThreadedRepaint(false);
    {
        std::lock_guard<std::mutex> lock(displayMutex);
        oldCalls = std::move(seriallyCalls);
    }
    LCDUI_tidyUpLCDUI();
}

void Display::tidyUpLCDUI() {
    needToTickLCDUI.store(false);
    setCurrentRequested.store(false);
    {
        JavaPtr<Displayable> oldNext;
        JavaPtr<Canvas> oldNextCanvas;
        JavaPtr<JArray<JavaPtr<Ticker>>> oldTickers;
        std::lock_guard<std::mutex> lock(displayMutex);
        oldNext = std::move(myNextDisplayable);
        oldNextCanvas = std::move(myNextDisplayableCanvas);
        oldTickers = std::move(tickers);
        // The count goes with the list, so that a later tick does not walk a list that is gone.
        m_numActiveTickers = 0;
    }
    const LCDUIHighLevelHooks hooks = lcduiHighLevelHooks();
    for (void (*hook)() : {hooks.formTidyUp, hooks.listStaticDestroy, hooks.alertTypeStaticDestroy,
                           hooks.alertStaticDestroy, hooks.touchScreenAreaManagerDestroy})
        if (hook) hook();
}

void Display::Display_staticDestroy() {
    releaseThreadedRepaint(true);
    JavaPtr<JArray<JavaPtr<Ticker>>> oldTickers;
    JavaPtr<JArray<JavaPtr<java::lang::Runnable>>> oldCalls;
    std::lock_guard<std::mutex> lock(displayMutex);
    oldTickers = std::move(tickers);
    oldCalls = std::move(seriallyCalls);
    m_numActiveTickers = 0;
}

bool Display::hasSeriallyCalls() {
    std::lock_guard<std::mutex> lock(displayMutex);
    return seriallyCalls && holdsAny(seriallyCalls);
}

void Display::threadedRepaintSetup() {
    if (!kThreadedRepaint) return;
    JavaPtr<java::lang::Thread> started;
    {
        std::lock_guard<std::mutex> lock(threadedRepaintMutex);
        if (threadedRepaintThread) return;
        if (!threadedRepaintRunnable) threadedRepaintRunnable = jnew<DisplayThreadedPaint>();
        if (!repaintCanvasPtrs) repaintCanvasPtrs = jnew<JArray<JavaPtr<Canvas>>>(_CANVAS_REPAINT_TOTAL);
        started = jnew<java::lang::Thread>(JavaPtr<java::lang::Runnable>(threadedRepaintRunnable));
        threadedRepaintThread = started;
    }
    started->start();
}

void Display::threadedRepaintTidyUp() {
    if (!kThreadedRepaint) return;
    releaseThreadedRepaint(false);
}

void Display::releaseThreadedRepaint(bool queueOnly) {
    JavaPtr<DisplayThreadedPaint> oldRunnable;
    JavaPtr<java::lang::Thread> oldThread;
    JavaPtr<JArray<JavaPtr<Canvas>>> oldQueue;
    {
        std::lock_guard<std::mutex> lock(threadedRepaintMutex);
        oldQueue = std::move(repaintCanvasPtrs);
        if (!queueOnly) {
            // The thread leaves its loop at its next look at the flag; the tear-down waits for it.
            if (threadedRepaintRunnable) threadedRepaintRunnable->stopRequested.store(true);
            oldRunnable = std::move(threadedRepaintRunnable);
            oldThread = std::move(threadedRepaintThread);
        }
        threadedRepaintChanged.notify_all();
    }
}

void Display::queueThreadedRepaint(const JavaPtr<Canvas>& c) {
    std::lock_guard<std::mutex> lock(threadedRepaintMutex);
    if (!repaintCanvasPtrs || !c) return;
    for (int32_t i = 0; i < repaintCanvasPtrs->length; ++i)
        if (repaintCanvasPtrs->data[i] == c) return;
    for (int32_t i = 0; i < repaintCanvasPtrs->length; ++i) {
        if (!repaintCanvasPtrs->data[i]) {
            repaintCanvasPtrs->data[i] = c;
            threadedRepaintChanged.notify_all();
            return;
        }
    }
}

namespace {

// A wait's longest step: the MIDlet's quit is a flag that nobody signals.
constexpr auto kQuitPollStep = std::chrono::milliseconds(50);

}  // namespace

void Display::waitForThreadedRepaints() {
    std::unique_lock<std::mutex> lock(threadedRepaintMutex);
    for (;;) {
        if (!repaintCanvasPtrs || midlet::MIDlet::quitInvoked.load()) return;
        // A pass that has taken the last canvas is waited for too: its frame is not drawn yet.
        if (!holdsAny(repaintCanvasPtrs) && !Canvas::midRepaintThreaded.load()) return;
        threadedRepaintChanged.wait_for(lock, kQuitPollStep);
    }
}

bool Display::waitForThreadedRepaint(const std::atomic<bool>& stopRequested) {
    std::unique_lock<std::mutex> lock(threadedRepaintMutex);
    auto ready = [&] { return stopRequested.load() || (repaintCanvasPtrs && holdsAny(repaintCanvasPtrs)); };
    threadedRepaintChanged.wait_for(lock, kQuitPollStep, ready);
    return !stopRequested.load() && repaintCanvasPtrs && holdsAny(repaintCanvasPtrs);
}

JavaPtr<Canvas> Display::takeThreadedRepaint(int index) {
    std::lock_guard<std::mutex> lock(threadedRepaintMutex);
    if (!repaintCanvasPtrs || index < 0 || index >= repaintCanvasPtrs->length) return nullptr;
    if (!repaintCanvasPtrs->data[index]) return nullptr;
    Canvas::midRepaintThreaded.store(true);
    return std::exchange(repaintCanvasPtrs->data[index], nullptr);
}

void Display::endThreadedRepaintPass() {
    std::lock_guard<std::mutex> lock(threadedRepaintMutex);
    Canvas::midRepaintThreaded.store(false);
    threadedRepaintChanged.notify_all();
}

void Display::startThreadedSerialCalls() {
    {
        std::lock_guard<std::mutex> lock(threadedRepaintMutex);
        if (serialCallsRunning) {
            serialCallsAgain = true;
            return;
        }
        // A thread per painted pass, runnables or not, would pile up idle threads racing each other.
        if (!hasSeriallyCalls()) return;
        serialCallsRunning = true;
    }
    threadedSerialCallThreadsStarted.fetch_add(1);
    try {
        jnew<java::lang::Thread>(jnew<DisplayThreadedCallSerially>())->start();
    } catch (...) {
        abandonThreadedSerialCalls();
        throw;
    }
}

bool Display::finishThreadedSerialCalls() {
    std::lock_guard<std::mutex> lock(threadedRepaintMutex);
    if (serialCallsAgain) {
        serialCallsAgain = false;
        return true;
    }
    serialCallsRunning = false;
    return false;
}

void Display::abandonThreadedSerialCalls() {
    std::lock_guard<std::mutex> lock(threadedRepaintMutex);
    serialCallsRunning = false;
    serialCallsAgain = false;
}

}  // namespace javax::microedition::lcdui
