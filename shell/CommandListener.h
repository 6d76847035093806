// javax.microedition.lcdui.CommandListener: receives the commands of a displayable, on the thread that
// triggered the command and with no lock of the screens held (shell/LCDUILock.h).
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Command;
class Displayable;

class CommandListener : public virtual java::lang::Smart {
    TESL_INTERFACE(CommandListener, "javax.microedition.lcdui.CommandListener", java::lang::Smart)
public:
    virtual void commandAction(const JavaPtr<Command>& c, const JavaPtr<Displayable>& d) = 0;
    ~CommandListener() override = default;
};

static_assert(CommandListener::TESLclassTypeID == 0x45373816);

}  // namespace javax::microedition::lcdui
