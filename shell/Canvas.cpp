#include "shell/Canvas.h"

#include "graphics/Graphics.h"
#include "library/System.h"
#include "runtime/RuntimeUtilities.h"
#include "shell/DeviceKeyCodes.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/KeypressIDs.h"
#include "shell/MIDlet.h"
#include "shell/PaintingThreads.h"

#if _ATTEMPTS_2D_OVER_3D
#include "platform/gl/EglOutput.h"
#endif

// Build switches read here (all off in this build): repaints queued for a repaint thread instead of
// painted on the caller's (kThreadedRepaint, in shell/Display.h), and the 2D-over-3D flush
// (_ATTEMPTS_2D_OVER_3D, in graphics/Switch2DOver3D.h).
#ifndef _USES_3D_GRAPHICS
#define _USES_3D_GRAPHICS 0
#endif

namespace javax::microedition::lcdui {

namespace {

// How deep the calling thread is inside repaints of its own: serviceRepaints must not wait for them.
thread_local int repaintDepth = 0;

// Counts a repaint from its start to its end, however it ends: a paint that throws must not leave
// serviceRepaints waiting for ever.
class RepaintScope {
public:
    RepaintScope() {
        ++repaintDepth;
        Canvas::midRepaint.fetch_add(1);
    }
    ~RepaintScope() {
        --repaintDepth;
        Canvas::midRepaint.fetch_sub(1);
        Canvas::midRepaint.notify_all();
    }
    RepaintScope(const RepaintScope&) = delete;
    RepaintScope& operator=(const RepaintScope&) = delete;
};

bool quitInvoked() {
    return midlet::MIDlet::quitInvoked.load();
}

}  // namespace

Canvas::~Canvas() = default;

void Canvas::sizeChanged(int, int) {}

int Canvas::getGameAction(int keyCode) {
    return getGameActionInternal(keyCode);
}

int Canvas::getGameActionInternal(int keyCode) {
    // Key numbers of up, down, left, right and fire, tried in this order.
    struct KeyAction {
        int keyNumber;
        int action;
    };
    for (const KeyAction& k : {KeyAction{18, UP}, KeyAction{19, DOWN}, KeyAction{16, LEFT},
                               KeyAction{17, RIGHT}, KeyAction{20, FIRE}}) {
        if (keyCode == expectedKeypressID(k.keyNumber)) return k.action;
    }
    return 0;
}

int Canvas::getKeyCode(int gameAction) {
    switch (gameAction) {
        case UP:
            return DeviceKeyCodes::KEY_UP.load();
        case LEFT:
            return DeviceKeyCodes::KEY_LEFT.load();
        case RIGHT:
            return DeviceKeyCodes::KEY_RIGHT.load();
        case DOWN:
            return DeviceKeyCodes::KEY_DOWN.load();
        case FIRE:
            return DeviceKeyCodes::KEY_FIRE.load();
        default:
            return 0;
    }
}

JavaPtr<java::lang::String> Canvas::getKeyName(int keyCode) {
    if (keyCode == KEY_POUND) return jnew<java::lang::String>("#");
    if (keyCode == KEY_STAR) return jnew<java::lang::String>("*");
    if (keyCode >= KEY_NUM0 && keyCode <= KEY_NUM9) return jnew<java::lang::String>(keyCode - KEY_NUM0);
    return jnew<java::lang::String>();
}

bool Canvas::hasPointerEvents() {
    return true;
}

bool Canvas::hasPointerMotionEvents() {
    return true;
}

bool Canvas::hasRepeatEvents() {
    return false;
}

void Canvas::hideNotify() {}

bool Canvas::isDoubleBuffered() {
    return true;
}

void Canvas::keyPressed(int) {}

void Canvas::keyReleased(int) {}

void Canvas::keyRepeated(int) {}

void Canvas::paint(const JavaPtr<Graphics>&) {}

void Canvas::pointerDragged(int, int) {}

void Canvas::pointerPressed(int, int) {}

void Canvas::pointerReleased(int, int) {}

void Canvas::setFullScreenMode(bool) {}

void Canvas::showNotify() {}

JavaPtr<Graphics> Canvas::getGraphics() {
    return getGraphicsReference();
}

bool Canvas::needsRepaint() {
    return false;
}

void Canvas::repaintScreen() {}

void Canvas::replayBufferedEvents() {}

void Canvas::repaint() {
    repaint(0, 0, getWidth(), getHeight());
}

void Canvas::repaint(int x, int y, int w, int h) {
    if (quitInvoked()) return;
    if (kThreadedRepaint) {
        // The repaint thread paints the canvas whole and then has the serial calls run.
        Display::queueThreadedRepaint(JavaPtr<Canvas>(this));
        return;
    }
    repaintReal(x, y, w, h);
    // Each slot is cleared before its runnable runs, so one queued from inside a run() waits for the
    // next repaint; a throw leaves the later slots for that repaint too.
    for (int i = 0; i < Display::_CALL_SERIALLY_STACK_SIZE; ++i) {
        if (JavaPtr<java::lang::Runnable> call = Display::takeSeriallyCall(i)) call->run();
    }
}

void Canvas::repaintReal(int x, int y, int w, int h) {
    RepaintScope running;
    // Noted before the quit is read: a thread the tear-down has not seen sees the quit and paints nothing.
    PaintingThreads::noteCurrentThread();
    if (quitInvoked()) return;
    JavaPtr<Graphics> g = getGraphics();
    if (!g) return;
    std::lock_guard<PaintLock> painting(paintMutex);
#if _ATTEMPTS_2D_OVER_3D
    // A GL frame this paint opened and did not present (a paint that throws) is dropped, so that the
    // context is free for the next thread that draws.
    struct DropUnpresentedFrame {
        ~DropUnpresentedFrame() { Graphics::discardFrame2DOver3D(); }
    } dropUnpresented;
#endif
    // The clip stays set afterwards; the whole frame is flushed whatever was repainted.
    g->setClip(x, y, w, h);
    paint(g);
    flushGraphics();
}

void Canvas::serviceRepaints() {
    if (repaintDepth > 0) return;
    if (kThreadedRepaint) {
        Display::waitForThreadedRepaints();
        return;
    }
    for (;;) {
        const int running = midRepaint.load();
        if (running == 0) return;
        midRepaint.wait(running);
    }
}

void Canvas::flushGraphics() {
    flushGraphics(0, 0, Display::screenWidth, Display::screenHeight);
}

void Canvas::flushGraphics(int, int, int, int) {
    JavaPtr<Graphics> g = getGraphicsReference();
    if (!g) {
        if (JavaPtr<java::io::PrintStream> out = java::lang::System::out) {
            out->println(jnew<java::lang::String>(": NULL"));
        } else {
            print_native(": NULL\n");
        }
        return;
    }
    PaintingThreads::noteCurrentThread();
#if _ATTEMPTS_2D_OVER_3D && !_USES_3D_GRAPHICS
    // A hidden canvas's GL frame is dropped, never presented or counted.
    if (!isShown()) {
        Graphics::discardFrame2DOver3D();
        return;
    }
    // Counted as the image path counts its hand-overs, so that a settled screen can tell that its frame
    // still stands and skip its repaint. Only the thread holding the context presents, so the count of
    // presented frames moves here only through this flush.
    const bool drawnHere = Graphics::frameOpenHere2DOver3D();
    const uint64_t presentedBefore = platform::EglOutput::framesPresented();
    _frameBufferUpdates.fetch_add(1);
    flushGraphics2DOver3D(nullptr);
    if (!drawnHere || platform::EglOutput::framesPresented() == presentedBefore)
        _frameBufferUpdatesDropped.fetch_add(1);
#else
    if (!isShown()) return;
    // A frame another thread is painting is not copied half done.
    std::lock_guard<PaintLock> painting(paintMutex);
    _frameBufferUpdate();
#endif
}

}  // namespace javax::microedition::lcdui
