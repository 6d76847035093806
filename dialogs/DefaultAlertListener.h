// javax.microedition.lcdui.DefaultAlertListener: the command listener every alert starts with. Any
// command of the alert dismisses it: the alert's next screen is shown.
#pragma once

#include "runtime/Object.h"
#include "shell/CommandListener.h"

namespace javax::microedition::lcdui {

class DefaultAlertListener : public java::lang::Object, public CommandListener {
    TESL_CLASS(DefaultAlertListener, "javax.microedition.lcdui.DefaultAlertListener", java::lang::Object,
               CommandListener)
public:
    DefaultAlertListener() noexcept {}
    ~DefaultAlertListener() override;

    DefaultAlertListener* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // Advances the alert d; a displayable that is not an alert is left alone.
    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Displayable>& d) override;
};

}  // namespace javax::microedition::lcdui
