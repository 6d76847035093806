#include "shell/Ticker.h"

#include "shell/LCDUIHooks.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

Ticker::~Ticker() = default;

Ticker* Ticker::TESLinvokeconstructor(const JavaPtr<java::lang::String>& str) {
    Object::TESLinvokeconstructor();
    setString(str);
    m_totalTickedTimeMS.store(0);
    LCDUI_DisplayAddTicker(JavaPtr<Ticker>(this));
    return this;
}

JavaPtr<java::lang::String> Ticker::getString() {
    std::lock_guard<std::mutex> lock(m_stringMutex);
    return m_string;
}

void Ticker::setString(const JavaPtr<java::lang::String>& str) {
    JavaPtr<java::lang::String> drawable = str ? str->replace(u'\n', u' ') : nullptr;
    LCDUIGuard screensLock(LCDUILock::mutex());
    std::lock_guard<std::mutex> lock(m_stringMutex);
    m_string = str;
    m_drawableString = std::move(drawable);
}

JavaPtr<java::lang::String> Ticker::getDrawableString() {
    std::lock_guard<std::mutex> lock(m_stringMutex);
    return m_drawableString;
}

}  // namespace javax::microedition::lcdui
