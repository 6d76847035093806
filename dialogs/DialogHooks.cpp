#include "dialogs/DialogHooks.h"

#include "dialogs/Alert.h"
#include "dialogs/AlertForm.h"
#include "dialogs/AlertType.h"
#include "forms/Item.h"

namespace javax::microedition::lcdui {

namespace {

// An item's form as the display may show it: an item on an alert has none, since its form is only the
// alert's content (the display then refuses to make the item current).
JavaPtr<Displayable> showableContainingForm(java::lang::Smart* object) {
    auto* item =
        object == nullptr ? nullptr : static_cast<Item*>(object->castAsTypeID(Item::TESLclassTypeID));
    if (item == nullptr) return nullptr;
    JavaPtr<Displayable> form = item->getContainingForm();
    if (form && instanceofObj(form.counted(), AlertForm::TESLclassTypeID)) return nullptr;
    return form;
}

}  // namespace

void fillDialogHooks(LCDUIHighLevelHooks& hooks) {
    hooks.alertTypeStaticInit = &AlertType_staticInit;
    hooks.alertStaticInit = &Alert_staticInit;
    hooks.alertTypeStaticDestroy = &AlertType_staticDestroy;
    hooks.alertStaticDestroy = &Alert_staticDestroy;
    hooks.itemContainingForm = &showableContainingForm;
}

}  // namespace javax::microedition::lcdui
