#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

std::recursive_mutex& LCDUILock::mutex() {
    static std::recursive_mutex lock;
    return lock;
}

}  // namespace javax::microedition::lcdui
