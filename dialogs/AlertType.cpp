#include "dialogs/AlertType.h"

namespace javax::microedition::lcdui {

AlertType::~AlertType() = default;

bool AlertType::playSound(const JavaPtr<Display>&) {
    return false;
}

}  // namespace javax::microedition::lcdui

void AlertType_staticInit() {
    using javax::microedition::lcdui::AlertType;
    AlertType::ALARM = jnew<AlertType>();
    AlertType::CONFIRMATION = jnew<AlertType>();
    AlertType::ERROR = jnew<AlertType>();
    AlertType::INFO = jnew<AlertType>();
    AlertType::WARNING = jnew<AlertType>();
}

void AlertType_staticDestroy() {
    using javax::microedition::lcdui::AlertType;
    AlertType::ALARM = nullptr;
    AlertType::CONFIRMATION = nullptr;
    AlertType::ERROR = nullptr;
    AlertType::INFO = nullptr;
    AlertType::WARNING = nullptr;
}
