// What the dialogs put into the display's table of high-level hooks: the static set-ups and tear-downs
// of AlertType and Alert.
#pragma once

#include "shell/LCDUIHooks.h"

namespace javax::microedition::lcdui {

void fillDialogHooks(LCDUIHighLevelHooks& hooks);

}  // namespace javax::microedition::lcdui
