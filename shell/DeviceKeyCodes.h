// The device key codes of the four directions and fire, which Canvas::getKeyCode answers and the core
// canvas of the high-level screens compares input with. They live below both, in the shell: the display
// fills them when it is created, and until then they are 0.
#pragma once

#include <atomic>

namespace javax::microedition::lcdui {

struct DeviceKeyCodes {
    static inline std::atomic<int> KEY_UP{0};
    static inline std::atomic<int> KEY_DOWN{0};
    static inline std::atomic<int> KEY_LEFT{0};
    static inline std::atomic<int> KEY_RIGHT{0};
    static inline std::atomic<int> KEY_FIRE{0};

    // From the key table: up, down, left, right and fire are key numbers 18, 19, 16, 17 and 20.
    static void fill();
    // Back to 0, as before the display existed.
    static void clear();
};

}  // namespace javax::microedition::lcdui
