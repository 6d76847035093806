#include "shell/Display.h"

namespace javax::microedition::lcdui {

Display::~Display() = default;

}  // namespace javax::microedition::lcdui
