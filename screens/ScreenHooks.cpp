#include "screens/ScreenHooks.h"

#include "screens/DisplayableCoreCanvas.h"
#include "screens/OnScreenKeyboard.h"
#include "screens/TouchScreenAreaManager.h"

namespace javax::microedition::lcdui {

void fillScreenHooks(LCDUIHighLevelHooks& hooks) {
    hooks.initCanvasCore = &DisplayableCoreCanvas::init;
    hooks.touchScreenAreaManagerDestroy = &TouchScreenAreaManager::destroy;
    hooks.onScreenKeyboardStaticDestroy = &OnScreenKeyboard::OnScreenKeyboard_staticDestroy;
    hooks.onScreenKeyboardSizeChanged = &OnScreenKeyboard::screenSizeChanged;
}

}  // namespace javax::microedition::lcdui
