// What the dialogs put into the display's table of high-level hooks: the static set-ups and tear-downs
// of AlertType and Alert, and the containing form of an item, which for an alert's item is none. Fill
// the table with this after the forms' hooks, whose item lookup it replaces.
#pragma once

#include "shell/LCDUIHooks.h"

namespace javax::microedition::lcdui {

void fillDialogHooks(LCDUIHighLevelHooks& hooks);

}  // namespace javax::microedition::lcdui
