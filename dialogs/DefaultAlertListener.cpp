#include "dialogs/DefaultAlertListener.h"

#include "dialogs/Alert.h"

namespace javax::microedition::lcdui {

DefaultAlertListener::~DefaultAlertListener() = default;

void DefaultAlertListener::commandAction(const JavaPtr<Command>&, const JavaPtr<Displayable>& d) {
    if (JavaPtr<Alert> alert = jcast<Alert>(d)) alert->advance();
}

}  // namespace javax::microedition::lcdui
