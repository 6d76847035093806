// The form an alert shows its content on. A form of its own kind only so that it can be told apart: its
// items belong to the alert, and the display must never show the form without the alert around it.
#pragma once

#include "forms/Form.h"

namespace javax::microedition::lcdui {

class AlertForm : public Form {
    TESL_CLASS(AlertForm, "javax.microedition.lcdui.AlertForm", Form)
public:
    AlertForm() noexcept {}
    ~AlertForm() override;

    AlertForm* TESLinvokeconstructor(const JavaPtr<java::lang::String>& title) {
        Form::TESLinvokeconstructor(title);
        return this;
    }
};

}  // namespace javax::microedition::lcdui
