// Puts the process-wide state of the screens back to its start: the display's current and pending
// displayables, tickers and serial calls, the LCDUI flags, the interrupted flag, the touch-area registry
// and the clock seam. Tests call it between cases; each later screen class adds its statics here.
#pragma once

namespace javax::microedition::lcdui {

void resetScreenStatics();

}  // namespace javax::microedition::lcdui
