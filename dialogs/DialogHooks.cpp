#include "dialogs/DialogHooks.h"

#include "dialogs/Alert.h"
#include "dialogs/AlertType.h"

namespace javax::microedition::lcdui {

void fillDialogHooks(LCDUIHighLevelHooks& hooks) {
    hooks.alertTypeStaticInit = &AlertType_staticInit;
    hooks.alertStaticInit = &Alert_staticInit;
    hooks.alertTypeStaticDestroy = &AlertType_staticDestroy;
    hooks.alertStaticDestroy = &Alert_staticDestroy;
}

}  // namespace javax::microedition::lcdui
