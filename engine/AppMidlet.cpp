#include "engine/AppMidlet.h"

#include "engine/HookCanvas.h"
#include "sensor/SensorConnection.h"
#include "shell/Display.h"

using javax::microedition::lcdui::Display;

JavaPtr<HookCanvas> AppMidlet::canvas_;
JavaPtr<Display> AppMidlet::display_;

AppMidlet::~AppMidlet() = default;

JavaPtr<HookCanvas> AppMidlet::canvas() {
    std::lock_guard<std::mutex> lock(canvas_mutex);
    return canvas_;
}

void AppMidlet::setCanvas(const JavaPtr<HookCanvas>& c) {
    // The old canvas is released after the lock: its destructor must not run under it.
    JavaPtr<HookCanvas> old;
    {
        std::lock_guard<std::mutex> lock(canvas_mutex);
        old = canvas_;
        canvas_ = c;
    }
}

JavaPtr<Display> AppMidlet::display() {
    std::lock_guard<std::mutex> lock(canvas_mutex);
    return display_;
}

void AppMidlet::startApp() {
    if (!canvas()) {
        setAppCanvas();
        JavaPtr<Display> d = Display::getDisplay(JavaPtr<MIDlet>(this));
        {
            std::lock_guard<std::mutex> lock(canvas_mutex);
            display_ = d;
        }
        d->setCurrent(JavaPtr<javax::microedition::lcdui::Displayable>(canvas()));
    }
    JavaPtr<HookCanvas> c = canvas();
    if (!c) return;
    c->startMainThread();
    c->showNotify();
}

void AppMidlet::setAppCanvas() {
    JavaPtr<HookCanvas> c = jnew<HookCanvas>();
    setCanvas(c);
    c->midlet = JavaPtr<AppMidlet>(this);
}

void AppMidlet::pauseApp() {
    JavaPtr<HookCanvas> c = canvas();
    if (c) c->hideNotify();
}

void AppMidlet::destroyApp(bool) {
    app_terminating.store(true);
    JavaPtr<HookCanvas> c = canvas();
    if (c) {
        c->hideNotify();
        c->stopMainThread();
        // The tear-down after this frees what a screen's load writes into: let a load in progress
        // finish first. A load that ended on an exception leaves the bit set, hence the limit.
        if (!HookCanvas::onLoadingThread()) HookCanvas::waitForLoading(kLoadingWaitMs);
        // The tilt sensor holds the canvas as its listener: without letting go, the two would keep
        // each other, and everything the canvas loaded, alive after the canvas is dropped.
        if (c->tilt_sensor) c->tilt_sensor->removeDataListener();
        setCanvas(nullptr);
    }
    notifyDestroyed();
}

void AppMidlet::AppMidlet_globalStaticDestroy() {
    JavaPtr<Display> oldDisplay;
    JavaPtr<HookCanvas> oldCanvas;
    {
        std::lock_guard<std::mutex> lock(canvas_mutex);
        oldDisplay = std::move(display_);
        oldCanvas = std::move(canvas_);
    }
}

JavaPtr<javax::microedition::midlet::MIDlet> AppMidlet::create() {
    return jnew<AppMidlet>();
}

int AppMidlet::exitStatusFor(int hostStatus) {
    return hostStatus == 0 && HookCanvas::thread_failed.load() ? kExitApplicationFailed : hostStatus;
}
