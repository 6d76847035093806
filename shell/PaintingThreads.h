// The runtime threads that paint into the screen: every runtime thread that has repainted or flushed a
// canvas in this launch. The tear-down waits for each of them to end before it frees the screen
// buffers and the statics they draw with.
#pragma once

#include <chrono>

namespace javax::microedition::lcdui {

class PaintingThreads {
public:
    // Notes the calling thread the first time it paints in this launch, and marks it ended when it
    // exits. A thread the runtime did not start (the platform main thread, a test's thread) is not
    // waited for and is not noted.
    static void noteCurrentThread();
    // Waits until every noted thread but the calling one has ended, for at most limit; true when all
    // have. The ended ones, and the calling one, are forgotten.
    static bool waitForOthers(std::chrono::milliseconds limit);
    // Forgets every noted thread; the launch starts afresh.
    static void reset();
    // Threads noted and not yet forgotten (tests).
    static int count();
};

}  // namespace javax::microedition::lcdui
