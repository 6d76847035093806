// javax.microedition.lcdui.AlertType: the kind of an alert. Five shared instances, told apart by
// identity; an alert stores its type and nothing looks at it, and no sound is ever played.
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Display;

class AlertType : public java::lang::Object {
    TESL_CLASS(AlertType, "javax.microedition.lcdui.AlertType", java::lang::Object)
public:
    AlertType() noexcept {}
    ~AlertType() override;

    AlertType* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // Plays nothing: the device has no alert sounds.
    virtual bool playSound(const JavaPtr<Display>& display);

    // Between AlertType_staticInit and AlertType_staticDestroy.
    static inline JavaPtr<AlertType> ALARM;
    static inline JavaPtr<AlertType> CONFIRMATION;
    static inline JavaPtr<AlertType> ERROR;
    static inline JavaPtr<AlertType> INFO;
    static inline JavaPtr<AlertType> WARNING;
};

}  // namespace javax::microedition::lcdui

void AlertType_staticInit();
void AlertType_staticDestroy();
