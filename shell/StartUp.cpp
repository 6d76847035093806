#include "shell/StartUp.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <new>
#include <thread>

#include "graphics/BitmapFontSystem.h"
#include "graphics/Graphics.h"
#include "library/FileSystem.h"
#include "library/System.h"
#include "library/Thread.h"
#include "library/ThreadImp.h"
#include "media/Manager.h"
#include "rms/RecordStore.h"
#include "runtime/String.h"
#include "runtime/Throwable.h"
#include "sensor/SensorManager.h"
#include "shell/Display.h"
#include "shell/EntryFunctions.h"
#include "shell/LCDUIHooks.h"
#include "shell/MIDlet.h"
#include "shell/MIDletStarter.h"
#include "shell/PaintingThreads.h"
#include "shell/ShellGlobals.h"
#include "shell/StaticProxy.h"
#include "shell/StubTicker.h"
#include "shell/TSlibs.h"
#include "shell/TickerWake.h"

using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::PaintingThreads;
using javax::microedition::midlet::MIDlet;

namespace {

std::mutex midletMutex;
JavaPtr<ProxyMIDlet> myMidlet;
std::atomic<TickerPhase> phase{TickerPhase::notStarted};
// A painting thread outlived the tear-down's wait: its screen buffers and statics are kept.
std::atomic<bool> paintersLeftRunning{false};
std::atomic<void (*)()> finishedCallback{nullptr};
std::atomic<uint64_t> tickerPassCount{0};
std::mutex threadsMutex;
JavaPtr<java::lang::Thread> tickerThread;
JavaPtr<java::lang::Thread> midletThread;

void logThrown(const char* where, java::lang::Throwable& e) {
    JavaPtr<java::lang::String> message = e.getMessage();
    std::fprintf(stderr, "quill: %s threw %s: %s\n", where, e.getClassTypeName(),
                 message ? toUtf8(message).c_str() : "(no message)");
}

// One LCDUI tick; a screen that throws is logged so the ticker thread (and the tear-down) goes on.
void tickLCDUI(long long ms) {
    try {
        LCDUI_tickLCDUI(ms);
    } catch (java::lang::Throwable& e) {
        logThrown("LCDUI tick", e);
    } catch (std::exception& e) {
        std::fprintf(stderr, "quill: LCDUI tick threw %s\n", e.what());
    }
}

}  // namespace

JavaPtr<ProxyMIDlet> _myMidlet() {
    std::lock_guard<std::mutex> lock(midletMutex);
    return myMidlet;
}

void _setMyMidlet(const JavaPtr<ProxyMIDlet>& midlet) {
    JavaPtr<ProxyMIDlet> old;
    {
        std::lock_guard<std::mutex> lock(midletMutex);
        old = std::exchange(myMidlet, midlet);
    }
    // The old proxy (and with it the application's MIDlet) goes here, outside the lock.
}

namespace {
std::atomic<bool> destroyDelivered{false};
}  // namespace

void _deliverDestroyOnce(const JavaPtr<ProxyMIDlet>& midlet) {
    if (!midlet || destroyDelivered.exchange(true)) return;
    midlet->destroyApp(false);
}

void _hookStartUp() {}

bool allocateFrameBuffers(int width, int height) {
    if (width <= 0 || height <= 0) return false;
    const size_t words = static_cast<size_t>(width) * static_cast<size_t>(height);
    auto* pixels = new (std::nothrow) uint32_t[words];
    auto* copy = new (std::nothrow) uint32_t[words];
    if (pixels == nullptr || copy == nullptr) {
        delete[] pixels;
        delete[] copy;
        return false;
    }
    std::fill(pixels, pixels + words, 0xFF000000u);
    std::fill(copy, copy + words, 0xFF000000u);
    _frameBufferPixels.store(pixels);
    _frameBufferPixelsCopy.store(copy);
    _frameBufferPixelCount.store(words);
    return true;
}

void freeFrameBuffers() {
    _frameBufferPixelCount.store(0);
    delete[] _frameBufferPixels.exchange(nullptr);
    delete[] _frameBufferPixelsCopy.exchange(nullptr);
}

void _xyzLauncher() {
    // _global_mutex is initialised statically by the runtime, before any thread can take it.
    TouchRing::shared().reset();
    PaintingThreads::reset();
    paintersLeftRunning.store(false);
    if (kThreadedRepaint) Display::threadedRepaintSetup();
    Display::getDisplay(nullptr);
    JavaPtr<Graphics> master = jnew<Graphics>();
    master->isScreen = true;
#if _ATTEMPTS_2D_OVER_3D
    // The screen is drawn through GL: its graphics holds no pixels.
    master->pixels = nullptr;
#else
    master->pixels = _frameBufferPixels.load();
#endif
    master->width = _outputWidth.load();
    master->height = _outputHeight.load();
    master->setClip(0, 0, master->width, master->height);
    Display::setMasterGraphics(master);
    preStartMIDletSetup();
    phase.store(TickerPhase::running);
    JavaPtr<java::lang::Thread> ticker = jnew<java::lang::Thread>(jnew<StubTicker>());
    JavaPtr<java::lang::Thread> starter = jnew<java::lang::Thread>(jnew<MIDletStarter>());
    {
        std::lock_guard<std::mutex> lock(threadsMutex);
        tickerThread = ticker;
        midletThread = starter;
    }
    ticker->start();
    starter->start();
}

void preStartMIDletSetup() {
    TSlibs_staticInit();
    TSlibs_logCall("LCDUI");
    LCDUI_staticInit();
    TSlibs_logCall("StaticProxy");
    StaticProxy::initialiseAllStatics();
    TSlibs_logCall("BitmapFontSystem");
    javax::microedition::lcdui::BitmapFontSystem::init();
}

void preStopMIDletTearDown() {
    if (kThreadedRepaint) Display::threadedRepaintTidyUp();
    TSlibs_logCall("Manager.tidyUp");
    javax::microedition::media::Manager::tidyUp();
}

void postStopMIDletTearDown() {
    TSlibs_logCall("Display.tidyUp");
    Display::tidyUp();
    TSlibs_logCall("StaticProxy.destroy");
    StaticProxy::destroyAllStatics();
    TSlibs_logCall("RecordStore.tidyUp");
    javax::microedition::rms::RecordStore::tidyUp();
    TSlibs_logCall("System.gc");
    java::lang::System::gc();
    TSlibs_logCall("Thread.tidyUpNormal");
    java::lang::Thread::tidyUpNormal();
    TSlibs_logCall("FileSystem.destroy");
    java::io::FileSystem::destroyFileSystem();
    TSlibs_logCall("BitmapFontSystem.destroy");
    javax::microedition::lcdui::BitmapFontSystem::BitmapFontSystem_staticDestroy();
    TSlibs_logCall("OnScreenKeyboard.staticDestroy");
    if (auto keyboardDestroy =
            javax::microedition::lcdui::lcduiHighLevelHooks().onScreenKeyboardStaticDestroy)
        keyboardDestroy();
    TSlibs_staticDestroy();
    _mainThread = nullptr;
}

long long cappedTickMilliseconds(long long elapsed) {
    if (elapsed < 0) return 0;
    return elapsed > kLongestTickMilliseconds ? kLongestTickMilliseconds : elapsed;
}

std::chrono::milliseconds tickerSleepAfterPass() {
    using std::chrono::milliseconds;
    if (Display::needToTickLCDUI.load() || Display::setCurrentRequested.load())
        return milliseconds(kScreenTickMilliseconds);
    long long sleep = kLongestTickerSleepMilliseconds;
    if (javax::microedition::media::Manager::hasPlayersToPoll()) sleep = kMediaPollMilliseconds;
    const long long sensor = javax::microedition::sensor::SensorManager::millisUntilDue();
    if (sensor >= 0 && sensor < sleep) sleep = sensor;
    // A batch whose listener keeps throwing stays due: one millisecond keeps that from spinning.
    return milliseconds(sleep < 1 ? 1 : sleep);
}

void* startapp_thread(void*) {
    bool canvasShown = false;
    bool graphicsHandedOver = false;
    auto previous = std::chrono::steady_clock::now();
    for (;;) {
        tickerPassCount.fetch_add(1, std::memory_order_relaxed);
        if (!canvasShown) {
            if (auto canvas = Display::currentCanvas()) {
                canvas->showNotify();
                canvasShown = true;
            }
        }
        if (kThreadedInputs) TouchRing::shared().drain();
        if (!graphicsHandedOver) {
            if (auto displayable = Display::currentDisplayable()) {
                displayable->setGraphicsReference(Display::getMasterGraphics());
                graphicsHandedOver = true;
            }
        }
        const auto now = std::chrono::steady_clock::now();
        const long long elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - previous).count();
        if (elapsed > 0) {
            // Whole milliseconds only; the rest carries over to the next pass.
            previous += std::chrono::milliseconds(elapsed);
            tickLCDUI(cappedTickMilliseconds(elapsed));
        } else if (Display::setCurrentRequested.load()) {
            // A set-current request rang within the same millisecond: it is served now, not a tick late.
            tickLCDUI(0);
        }
        TSlibs_tickPolling();
        if (MIDlet::quitInvoked.load()) break;
        // Instead of a yield, which keeps a core busy: asleep until rung (a set-current request
        // rings too, which brings the first canvas its showNotify) or until the pass's own timers
        // fall due.
        TickerWake::waitUntil(std::chrono::steady_clock::now() + tickerSleepAfterPass());
    }
    phase.store(TickerPhase::tearingDown);
    // Every thread that painted ends before the statics and the screen buffers it draws with go: the
    // application's canvas thread finishes its pass after the quit, the repaint thread is told to stop.
    if (kThreadedRepaint) Display::threadedRepaintTidyUp();
    if (PaintingThreads::waitForOthers(kPaintingThreadsWait)) {
        preStopMIDletTearDown();
        _setMyMidlet(nullptr);
        postStopMIDletTearDown();
    } else {
        // Freeing under a thread that still draws would corrupt memory; the process ends soon anyway.
        paintersLeftRunning.store(true);
        std::fprintf(
            stderr, "quill: a painting thread did not end within %lld ms; its statics and buffers are kept\n",
            static_cast<long long>(kPaintingThreadsWait.count()));
    }
    phase.store(TickerPhase::finished);
    if (auto callback = finishedCallback.load()) callback();
    return nullptr;
}

uint64_t tickerPasses() {
    return tickerPassCount.load(std::memory_order_relaxed);
}

TickerPhase tickerPhase() {
    return phase.load();
}

void setTickerFinishedCallback(void (*callback)()) {
    finishedCallback.store(callback);
}

bool runtimeThreadsLeftRunning() {
    const TickerPhase now = phase.load();
    return paintersLeftRunning.load() || now == TickerPhase::running || now == TickerPhase::tearingDown;
}

void exitNowIfRuntimeThreadsRun(int status) {
    if (!runtimeThreadsLeftRunning()) return;
    // The static destructors would run under a thread that still uses the statics.
    std::fflush(nullptr);
    std::_Exit(status);
}

void resetStartUpForTests() {
    phase.store(TickerPhase::notStarted);
    paintersLeftRunning.store(false);
    MIDlet::quitInvoked.store(false);
    javax::microedition::lcdui::Displayable::isInterrupted.store(false);
    _sendInputsPlease.store(false);
    _destroyRequested.store(false);
    destroyDelivered.store(false);
    _setMyMidlet(nullptr);
}

void joinRuntimeThreads() {
    JavaPtr<java::lang::Thread> ticker;
    JavaPtr<java::lang::Thread> starter;
    {
        std::lock_guard<std::mutex> lock(threadsMutex);
        ticker = tickerThread;
        starter = midletThread;
    }
    if (ticker && phase.load() == TickerPhase::finished) {
        ticker->join();
        std::lock_guard<std::mutex> lock(threadsMutex);
        tickerThread = nullptr;
    }
    if (starter && !starter->isAlive()) {
        starter->join();
        std::lock_guard<std::mutex> lock(threadsMutex);
        midletThread = nullptr;
    }
    ticker = nullptr;
    starter = nullptr;
    // Reclaims the finished threads' records, which lets go of their POSIX threads.
    java::lang::Thread::iterateThreads();
}
