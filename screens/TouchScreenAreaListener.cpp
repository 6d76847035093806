#include "screens/TouchScreenAreaListener.h"

namespace javax::microedition::lcdui {

TouchScreenAreaListener::~TouchScreenAreaListener() = default;

TouchScreenAreaListener* TouchScreenAreaListener::TESLinvokeconstructor(Callback callback, void* context) {
    Object::TESLinvokeconstructor();
    m_callback = callback;
    m_context = context;
    return this;
}

void TouchScreenAreaListener::dispatchEvent(const JavaPtr<java::lang::String>& code, EventType type, int relX,
                                            int relY, int dx, int dy, bool inside) {
    if (m_callback != nullptr) m_callback(m_context, code, type, relX, relY, dx, dy, inside);
}

}  // namespace javax::microedition::lcdui
