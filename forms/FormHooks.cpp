#include "forms/FormHooks.h"

#include "forms/Form.h"
#include "forms/Item.h"

namespace javax::microedition::lcdui {

namespace {

Item* itemOf(java::lang::Smart* object) {
    return object == nullptr ? nullptr : static_cast<Item*>(object->castAsTypeID(Item::TESLclassTypeID));
}

JavaPtr<Displayable> containingForm(java::lang::Smart* object) {
    Item* item = itemOf(object);
    return item != nullptr ? item->getContainingForm() : nullptr;
}

void highlightItem(Displayable* displayable, java::lang::Smart* object) {
    Item* item = itemOf(object);
    auto* form = displayable == nullptr
                     ? nullptr
                     : static_cast<Form*>(displayable->castAsTypeID(Form::TESLclassTypeID));
    if (form != nullptr && item != nullptr) form->highlightItem(item);
}

}  // namespace

void fillFormHooks(LCDUIHighLevelHooks& hooks) {
    hooks.formTidyUp = &Form::tidyUp;
    hooks.itemContainingForm = &containingForm;
    hooks.formHighlightItem = &highlightItem;
}

}  // namespace javax::microedition::lcdui
