// The LCDUI hooks: the free functions through which start-up, the ticker thread and the high-level
// classes reach the display, and the table through which the display reaches the static parts of the
// high-level screens. Those live in the layers above the shell (screens/, forms/, dialogs/), so the
// program installs their functions at start-up; an empty entry does nothing, which is a system with
// no high-level screens.
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::lcdui {

class Display;
class Displayable;
class Ticker;

struct LCDUIHighLevelHooks {
    // DisplayableCoreCanvas::init: fills the device key-code statics.
    void (*initCanvasCore)() = nullptr;
    // The static set-ups, called in this order by LCDUI_staticInit.
    void (*alertTypeStaticInit)() = nullptr;
    void (*alertStaticInit)() = nullptr;
    void (*listStaticInit)() = nullptr;
    // Form::tidyUp: lets go of forms nothing refers to any more.
    void (*formTidyUp)() = nullptr;
    // The static tear-downs, called in this order by Display::tidyUpLCDUI after formTidyUp.
    void (*listStaticDestroy)() = nullptr;
    void (*alertTypeStaticDestroy)() = nullptr;
    void (*alertStaticDestroy)() = nullptr;
    void (*touchScreenAreaManagerDestroy)() = nullptr;
    // OnScreenKeyboard::OnScreenKeyboard_staticDestroy, among the tear-down's library tidy-ups.
    void (*onScreenKeyboardStaticDestroy)() = nullptr;
    // OnScreenKeyboard::screenSizeChanged: the keys are laid out again for the new screen width.
    void (*onScreenKeyboardSizeChanged)() = nullptr;
    // Item::getContainingForm of an item (its Smart part), or null.
    JavaPtr<Displayable> (*itemContainingForm)(java::lang::Smart* item) = nullptr;
    // form.m_highlightItem(form.m_indexForItem(item), 0).
    void (*formHighlightItem)(Displayable* form, java::lang::Smart* item) = nullptr;
};

// Installs the table (a copy); the program does this once before the display is created.
void setLCDUIHighLevelHooks(const LCDUIHighLevelHooks& hooks);
LCDUIHighLevelHooks lcduiHighLevelHooks();

}  // namespace javax::microedition::lcdui

// Display::initCanvasCore.
void LCDUI_initCanvasCore();
// The static set-ups of AlertType, Alert and List, in this order.
void LCDUI_staticInit();
// Display::tickLCDUI(ms).
void LCDUI_tickLCDUI(long long ms);
// Display::tidyUpLCDUI.
void LCDUI_tidyUpLCDUI();
// Display::addTicker(t); every Ticker calls it when it is constructed.
void LCDUI_DisplayAddTicker(const JavaPtr<javax::microedition::lcdui::Ticker>& t);
// d.setCurrentLCDUI(x).
void LCDUI_setCurrentDisplayable(const JavaPtr<javax::microedition::lcdui::Display>& d,
                                 const JavaPtr<javax::microedition::lcdui::Displayable>& x);
