// javax.microedition.lcdui.ItemCommandListener: receives the commands of a form item, on the thread
// that triggered the command and with no lock of the screens held (shell/LCDUILock.h).
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Command;
class Item;

class ItemCommandListener : public virtual java::lang::Smart {
    TESL_INTERFACE(ItemCommandListener, "javax.microedition.lcdui.ItemCommandListener", java::lang::Smart)
public:
    virtual void commandAction(const JavaPtr<Command>& c, const JavaPtr<Item>& item) = 0;
    ~ItemCommandListener() override = default;
};

}  // namespace javax::microedition::lcdui
