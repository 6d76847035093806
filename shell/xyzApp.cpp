#include "shell/xyzApp.h"

#include <atomic>
#include <cstdio>

#include "platform/device/DeviceNatives.h"
#include "platform/files/FileSystemPaths.h"
#include "sensor/TiltFeed.h"
#include "shell/Display.h"
#include "shell/EntryFunctions.h"
#include "shell/GLViewSwitch.h"
#include "shell/ShellGlobals.h"
#include "shell/StartUp.h"
#include "shell/TickerWake.h"

namespace {
// The delegate the ticker thread reports its end to.
std::atomic<xyzApp*> _xyzAppHolder{nullptr};
}  // namespace

xyzApp::xyzApp(platform::Host& host) : m_host(host) {}

xyzApp::~xyzApp() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_finishedSignal.notify_all();
    if (m_watchdog.joinable()) m_watchdog.join();
    xyzApp* self = this;
    _xyzAppHolder.compare_exchange_strong(self, nullptr);
    setTickerFinishedCallback(nullptr);
    if (m_launched) joinRuntimeThreads();
    cleanup();
}

std::string xyzApp::launchImageName(bool highResolution, bool isIPad, int outputWidth, int outputHeight) {
    if (highResolution) return "Default";
    if (isIPad && outputWidth > 640 && outputHeight > 640) return "Default-Portrait.png";
    return "Default.png";
}

void xyzApp::launched() {
    _hookStartUp();
    _landscapeModeOrientationCache.store(3);
    const platform::HostScreen screen = m_host.screen();
    const bool highResolution = screen.scale == 2;
    _shiftScale.store(highResolution ? 1 : 0);
    const int width = screen.widthPoints << _shiftScale.load();
    const int height = screen.heightPoints << _shiftScale.load();
    _outputWidth.store(width);
    _outputHeight.store(height);
    if (!allocateFrameBuffers(width, height)) {
        std::fprintf(stderr, "quill: cannot allocate the %dx%d frame buffers\n", width, height);
        m_host.quit(kExitLaunchFailed);
        return;
    }
    m_bufferWords = static_cast<size_t>(width) * static_cast<size_t>(height);
#if _ATTEMPTS_2D_OVER_3D
    _glViewLaunched(width, height);
#endif
    const std::string image = launchImageName(highResolution, _isIPad(), width, height);
    m_host.showLaunchImage(_appPathIs != nullptr ? std::string(_appPathIs) + "/" + image : image);
    _sendInputsPlease.store(true);
    _xyzAppHolder.store(this);
    setTickerFinishedCallback([] {
        if (xyzApp* app = _xyzAppHolder.load()) app->tickerFinished();
    });
    m_launched = true;
    _xyzLauncher();
}

void xyzApp::tickerFinished() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_finished = true;
    }
    m_finishedSignal.notify_all();
    m_host.runOnMain(
        [this] {
            joinRuntimeThreads();
            cleanup();
            m_host.quit(runtimeThreadsLeftRunning() ? kExitTearDownTimedOut : kExitClean);
        },
        false);
}

void xyzApp::touchDown(int x, int y) {
    if (_sendInputsPlease.load()) _xyzMouseDown(x << _shiftScale.load(), y << _shiftScale.load());
}

void xyzApp::touchDragged(int x, int y) {
    if (_sendInputsPlease.load()) _xyzMouseDragged(x << _shiftScale.load(), y << _shiftScale.load());
}

void xyzApp::touchUp(int x, int y) {
    if (_sendInputsPlease.load()) _xyzMouseUp(x << _shiftScale.load(), y << _shiftScale.load());
}

void xyzApp::keyPressed(int keyCode) {
    _xyzKeyPressed(keyCode);
}

void xyzApp::keyReleased(int keyCode) {
    _xyzKeyReleased(keyCode);
}

bool xyzApp::highLevelScreenShown() {
    // The core canvas lives in the layer above; it is recognised by its type id.
    constexpr int32_t kCoreCanvasTypeId =
        tesl::classTypeIdOf("javax.microedition.lcdui.DisplayableCoreCanvas");
    const JavaPtr<javax::microedition::lcdui::Canvas> canvas =
        javax::microedition::lcdui::Display::currentCanvas();
    return canvas && instanceofObj(canvas.counted(), kCoreCanvasTypeId);
}

void xyzApp::accelerated(double x, double y, double z) {
    if (!_sendInputsPlease.load()) return;
    _setTilt(static_cast<float>(x), static_cast<float>(y), static_cast<float>(z));
    // The sensor poll on the ticker hands the sample on.
    TickerWake::wake();
}

void xyzApp::sizeChanged(int width, int height) {
    const int newWidth = width << _shiftScale.load();
    const int newHeight = height << _shiftScale.load();
    if (newWidth <= 0 || newHeight <= 0) return;
    // The buffers keep their size: a turn swaps the sides, anything larger would draw past them.
    if (static_cast<size_t>(newWidth) * static_cast<size_t>(newHeight) > m_bufferWords) {
        std::fprintf(stderr, "quill: ignoring a size of %dx%d larger than the frame buffers\n", newWidth,
                     newHeight);
        return;
    }
    if (newWidth == _outputWidth.load() && newHeight == _outputHeight.load()) return;
    changeOutputSize(newWidth, newHeight);
#if _ATTEMPTS_2D_OVER_3D
    _glViewSizeChanged(newWidth, newHeight);
#endif
}

void xyzApp::paused() {
    _sendInputsPlease.store(false);
    _xyzPauseApp();
}

void xyzApp::resumed() {
    _sendInputsPlease.store(true);
    _xyzResumeApp();
}

void xyzApp::terminating() {
    _sendInputsPlease.store(false);
    if (!m_launched) {
        m_host.quit(kExitClean);
        return;
    }
    _xyzDestroy();
    if (m_watchdog.joinable()) return;
    // The loop keeps serving main-thread tasks (the tear-down may need them) while this waits.
    m_watchdog = std::thread([this] {
        bool finished;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            finished = m_finishedSignal.wait_for(lock, kTearDownWait, [this] { return m_finished; });
        }
        if (!finished) {
            std::fprintf(stderr, "quill: the application did not finish within %lld ms\n",
                         static_cast<long long>(kTearDownWait.count()));
            m_host.quit(kExitTearDownTimedOut);
        }
    });
}

void xyzApp::cleanup() {
    if (m_cleanupHasBeenRun) return;
    // While a runtime thread may still draw, the buffers stay (the process is about to end anyway).
    if (runtimeThreadsLeftRunning()) return;
    m_cleanupHasBeenRun = true;
    freeFrameBuffers();
}
