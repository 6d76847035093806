// The paint lock's type: a recursive mutex that also tells the screens' lock (shell/LCDUILock.h) when a
// thread holds it, so that application calls kept meanwhile wait until the thread holds neither lock.
// What it guards and where it stands in the lock order are said at Canvas::paintMutex and in
// shell/LCDUILock.h.
#pragma once

#include <mutex>

namespace javax::microedition::lcdui {

class PaintLock {
public:
    void lock();
    bool try_lock();
    // Ending the thread's last hold of both locks runs the application calls kept meanwhile.
    void unlock();

private:
    std::recursive_mutex m_mutex;
};

}  // namespace javax::microedition::lcdui
