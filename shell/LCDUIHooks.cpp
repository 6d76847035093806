#include "shell/LCDUIHooks.h"

#include <mutex>

#include "shell/Display.h"

namespace javax::microedition::lcdui {

namespace {

// Guards the installed table, written at start-up and read by every thread.
std::mutex hooksMutex;
LCDUIHighLevelHooks installedHooks;

}  // namespace

void setLCDUIHighLevelHooks(const LCDUIHighLevelHooks& hooks) {
    std::lock_guard<std::mutex> lock(hooksMutex);
    installedHooks = hooks;
}

LCDUIHighLevelHooks lcduiHighLevelHooks() {
    std::lock_guard<std::mutex> lock(hooksMutex);
    return installedHooks;
}

}  // namespace javax::microedition::lcdui

using namespace javax::microedition::lcdui;

void LCDUI_initCanvasCore() {
    Display::initCanvasCore();
}

void LCDUI_staticInit() {
    const LCDUIHighLevelHooks hooks = lcduiHighLevelHooks();
    for (void (*hook)() : {hooks.alertTypeStaticInit, hooks.alertStaticInit, hooks.listStaticInit})
        if (hook) hook();
}

void LCDUI_tickLCDUI(long long ms) {
    Display::tickLCDUI(ms);
}

void LCDUI_tidyUpLCDUI() {
    Display::tidyUpLCDUI();
}

void LCDUI_DisplayAddTicker(const JavaPtr<Ticker>& t) {
    Display::addTicker(t);
}

void LCDUI_setCurrentDisplayable(const JavaPtr<Display>& d, const JavaPtr<Displayable>& x) {
    if (d) d->setCurrentLCDUI(x);
}
