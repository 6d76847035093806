#include "shell/DeviceKeyCodes.h"

#include "shell/KeypressIDs.h"

namespace javax::microedition::lcdui {

void DeviceKeyCodes::fill() {
    KEY_UP.store(expectedKeypressID(18));
    KEY_DOWN.store(expectedKeypressID(19));
    KEY_LEFT.store(expectedKeypressID(16));
    KEY_RIGHT.store(expectedKeypressID(17));
    KEY_FIRE.store(expectedKeypressID(20));
}

void DeviceKeyCodes::clear() {
    for (std::atomic<int>* code : {&KEY_UP, &KEY_DOWN, &KEY_LEFT, &KEY_RIGHT, &KEY_FIRE}) code->store(0);
}

}  // namespace javax::microedition::lcdui
