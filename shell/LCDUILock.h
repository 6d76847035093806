// The one lock of the high-level screens. The platform main thread (input), the ticker thread (the
// LCDUI tick: layout, painting, buffered input) and the application's threads (titles, commands,
// tickers, touch areas) all change the same screen state; each takes this lock around its work.
// Order: this lock before the display's own mutex, never after. Listeners run under it on the thread
// that triggered them; a listener must not wait for another thread that needs it.
#pragma once

#include <mutex>

namespace javax::microedition::lcdui {

class LCDUILock {
public:
    // Recursive: a listener that runs under the lock may call back into any screen operation.
    static std::recursive_mutex& mutex();
};

using LCDUIGuard = std::lock_guard<std::recursive_mutex>;

}  // namespace javax::microedition::lcdui
