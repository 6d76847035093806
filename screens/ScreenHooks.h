// What the screen framework puts into the display's table of high-level hooks: the key codes of the
// core canvas, the touch-area registry's tear-down and the on-screen keyboard's. The program fills one
// table from every layer it links and installs it before the display exists.
#pragma once

#include "shell/LCDUIHooks.h"

namespace javax::microedition::lcdui {

void fillScreenHooks(LCDUIHighLevelHooks& hooks);

}  // namespace javax::microedition::lcdui
