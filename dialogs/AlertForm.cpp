#include "dialogs/AlertForm.h"

namespace javax::microedition::lcdui {

AlertForm::~AlertForm() = default;

}  // namespace javax::microedition::lcdui
