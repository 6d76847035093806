#include "forms/FormCanvas.h"

#include "forms/Form.h"
#include "forms/Item.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

FormCanvas::~FormCanvas() = default;

FormCanvas* FormCanvas::TESLinvokeconstructor(Form* form) {
    DisplayableCoreCanvas::TESLinvokeconstructor(form);
    return this;
}

void FormCanvas::sizeChanged(int, int) {}
void FormCanvas::hideNotify() {
    DisplayableCoreCanvas::hideNotify();
}
void FormCanvas::keyPressed(int key) {
    handleKeyPressed(key);
}
void FormCanvas::keyReleased(int key) {
    handleKeyReleased(key);
}
void FormCanvas::keyRepeated(int key) {
    handleKeyRepeated(key);
}
void FormCanvas::paint(const JavaPtr<Graphics>& g) {
    DisplayableCoreCanvas::paint(g);
}
void FormCanvas::pointerDragged(int x, int y) {
    handlePointerDragged(x, y);
}
void FormCanvas::pointerPressed(int x, int y) {
    handlePointerPressed(x, y);
}
void FormCanvas::pointerReleased(int x, int y) {
    handlePointerReleased(x, y);
}
void FormCanvas::showNotify() {
    DisplayableCoreCanvas::showNotify();
}
void FormCanvas::tick(long long now) {
    DisplayableCoreCanvas::tick(now);
}

JavaPtr<Form> FormCanvas::getForm() {
    return nullptr;
}
int FormCanvas::usableWidth() {
    return 0;
}
void FormCanvas::relayoutFormItems() {}
void FormCanvas::relayoutFormItems_aux(const JavaPtr<ItemArray>&) {}
int FormCanvas::relayoutFormItemsRow(const JavaPtr<ItemArray>&, int) {
    return 1;
}
bool FormCanvas::m_itemTakesOwnRow(Item* item) {
    return item != nullptr && item->requiresOwnRow();
}
int FormCanvas::m_screenToLogicalOffsetY() {
    return 0;
}
void FormCanvas::ensureUpToDate() {}
void FormCanvas::itemAutoHighlighted(Item*) {}
JavaPtr<JArray<int>> FormCanvas::m_defaultVisRect_inout(Item*) {
    return jnew<JArray<int>>(4);
}
void FormCanvas::ensureHighlightedItemVisible(const JavaPtr<JArray<int>>&) {}
JavaPtr<Item> FormCanvas::m_findItemForCoords(int, int) {
    return nullptr;
}
int FormCanvas::m_findNextItemIndexVertically(int, int index) {
    return index;
}
void FormCanvas::m_handleKeyEvent(int, KeyEventType) {}
JavaPtr<Item> FormCanvas::getTraversedItem() {
    return m_traversedItem;
}
void FormCanvas::itemRemoved(Item* item) {
    if (m_traversedItem.get() == item) m_traversedItem = nullptr;
}
void FormCanvas::m_triggerItemCommand(const JavaPtr<Command>&, bool) {}
Form* FormCanvas::m_formParent() {
    return nullptr;
}
void FormCanvas::m_keyEvent(int, KeyEventType) {}
void FormCanvas::m_pointerEvent(int, int, int) {}

}  // namespace javax::microedition::lcdui
