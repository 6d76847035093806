#include "shell/PaintLock.h"

#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

void PaintLock::lock() {
    m_mutex.lock();
    LCDUILock::notePaintHold();
}

bool PaintLock::try_lock() {
    if (!m_mutex.try_lock()) return false;
    LCDUILock::notePaintHold();
    return true;
}

void PaintLock::unlock() {
    m_mutex.unlock();
    LCDUILock::notePaintRelease();
}

}  // namespace javax::microedition::lcdui
