#include "screens/ScreenStatics.h"

#include "library/DeviceClock.h"
#include "screens/OnScreenKeyboard.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Display.h"
#include "shell/Displayable.h"
#include "shell/LCDUIHooks.h"

namespace javax::microedition::lcdui {

void resetScreenStatics() {
    setLCDUIHighLevelHooks({});
    Display::tidyUp();
    Display::Display_staticDestroy();
    Display::lcdUITickInProgress.store(false);
    Display::lcdUIEventInProgress.store(false);
    Displayable::isInterrupted.store(false);
    TouchScreenAreaManager::destroy();
    OnScreenKeyboard::OnScreenKeyboard_staticDestroy();
    java::lang::DeviceClock::setSource(nullptr);
}

}  // namespace javax::microedition::lcdui
