// The serial-call thread's body in the threaded-repaint build: runs the display's callSerially slots
// in index order, each cleared before it runs.
#pragma once

#include "runtime/Object.h"
#include "runtime/Runnable.h"

namespace javax::microedition::lcdui {

class DisplayThreadedCallSerially : public java::lang::Object, public virtual java::lang::Runnable {
    TESL_CLASS(DisplayThreadedCallSerially, "javax.microedition.lcdui.DisplayThreadedCallSerially",
               java::lang::Object, java::lang::Runnable)
public:
    DisplayThreadedCallSerially() noexcept {}
    ~DisplayThreadedCallSerially() override;
    DisplayThreadedCallSerially* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }
    // One pass over the slots, and another for each painted pass that asked while it ran.
    void run() override;
};

}  // namespace javax::microedition::lcdui
