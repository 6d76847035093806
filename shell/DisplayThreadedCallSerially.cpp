#include "shell/DisplayThreadedCallSerially.h"

#include "shell/Display.h"
#include "shell/PaintingThreads.h"

namespace javax::microedition::lcdui {

DisplayThreadedCallSerially::~DisplayThreadedCallSerially() = default;

void DisplayThreadedCallSerially::run() {
    // Its runnables may draw and use the statics as a paint does.
    PaintingThreads::noteCurrentThread();
    for (;;) {
        // A runnable that throws ends the thread; the display must still learn that none runs, or no
        // serial-call thread would ever start again.
        bool passEnded = false;
        struct AbandonUnlessEnded {
            bool& passEnded;
            ~AbandonUnlessEnded() {
                if (!passEnded) Display::abandonThreadedSerialCalls();
            }
        } guard{passEnded};
        for (int i = 0; i < Display::_CALL_SERIALLY_STACK_SIZE; ++i) {
            if (JavaPtr<java::lang::Runnable> call = Display::takeSeriallyCall(i)) call->run();
        }
        passEnded = true;
        if (!Display::finishThreadedSerialCalls()) return;
    }
}

}  // namespace javax::microedition::lcdui
