// javax.microedition.lcdui.ItemStateListener: told when the user changed an interactive item's value, on
// the thread that delivered the change and with no lock of the screens held (shell/LCDUILock.h).
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Item;

class ItemStateListener : public virtual java::lang::Smart {
    TESL_INTERFACE(ItemStateListener, "javax.microedition.lcdui.ItemStateListener", java::lang::Smart)
public:
    virtual void itemStateChanged(const JavaPtr<Item>& item) = 0;
    ~ItemStateListener() override = default;
};

}  // namespace javax::microedition::lcdui
