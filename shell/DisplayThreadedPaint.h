// The repaint thread's body in the threaded-repaint build: paints the canvases queued on the display,
// then has the serial calls run on a thread of their own.
#pragma once

#include <atomic>

#include "runtime/Object.h"
#include "runtime/Runnable.h"

namespace javax::microedition::lcdui {

class DisplayThreadedPaint : public java::lang::Object, public virtual java::lang::Runnable {
    TESL_CLASS(DisplayThreadedPaint, "javax.microedition.lcdui.DisplayThreadedPaint", java::lang::Object,
               java::lang::Runnable)
public:
    DisplayThreadedPaint() noexcept {}
    ~DisplayThreadedPaint() override;
    DisplayThreadedPaint* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }
    // Until stopRequested or the MIDlet's quit: waits for a queued canvas, paints every queued one
    // whole, and after a pass that painted starts the serial calls when any wait.
    void run() override;

    std::atomic<bool> stopRequested{false};
};

}  // namespace javax::microedition::lcdui
