// javax.microedition.lcdui.TouchScreenAreaListener: a plain callback and the context it is called with
// (the owner of the areas, which the listener does not keep alive).
#pragma once

#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

class TouchScreenAreaListener : public java::lang::Object {
    TESL_CLASS(TouchScreenAreaListener, "javax.microedition.lcdui.TouchScreenAreaListener",
               java::lang::Object)
public:
    enum EventType { PRESSED = 0, RELEASED = 1, DRAGGED = 2 };
    using Callback = void (*)(void* context, const JavaPtr<java::lang::String>& code, int eventType, int relX,
                              int relY, int dx, int dy, bool inside);

    TouchScreenAreaListener() noexcept {}
    ~TouchScreenAreaListener() override;

    TouchScreenAreaListener* TESLinvokeconstructor(Callback callback, void* context);

    void dispatchEvent(const JavaPtr<java::lang::String>& code, EventType type, int relX, int relY, int dx,
                       int dy, bool inside);

    // Written once by the constructor body.
    Callback m_callback = nullptr;
    void* m_context = nullptr;
};

}  // namespace javax::microedition::lcdui
