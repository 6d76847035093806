// What the forms put into the display's table of high-level hooks: the keep-alive's tidy-up and the
// item-to-form links Display::setCurrentItem uses. The program fills the table from every layer it links.
#pragma once

#include "shell/LCDUIHooks.h"

namespace javax::microedition::lcdui {

void fillFormHooks(LCDUIHighLevelHooks& hooks);

}  // namespace javax::microedition::lcdui
