// The menu engine: menus as int[] definitions by id (three header words, then items back to back,
// each led by its type, flags and size word), the current menu and its selection, back links kept
// in the definitions themselves, items built and spliced at run time, and the two soft-key labels.
#include <mutex>

#include "engine/HookCanvas.h"

namespace {

int32_t itemSize(const JavaPtr<JArray<int32_t>>& definition, int32_t index) {
    return definition->data[index] & HookCanvas::MENU_ITEM_TFS_SIZE_MASK;
}

JavaPtr<JArray<int32_t>> newItem(std::initializer_list<int32_t> words) {
    auto item = jnew<JArray<int32_t>>(static_cast<int>(words.size()));
    int i = 0;
    for (int32_t w : words) item->data[i++] = w;
    return item;
}

bool sameLabel(const JavaPtr<java::lang::String>& a, const JavaPtr<java::lang::String>& b) {
    if (a == b) return true;
    return a && b && a->equals(b);
}

}  // namespace

JavaPtr<JArray<int32_t>> HookCanvas::menuDefinition(int32_t menu) {
    if (!menu_definitions || menu < 0 || menu >= menu_definitions->length) return nullptr;
    return menu_definitions->data[menu];
}

int32_t HookCanvas::menuItemIndex(int32_t menu, int32_t item) {
    JavaPtr<JArray<int32_t>> definition = menuDefinition(menu);
    if (!definition || definition->length <= NUM_MENU_DEFINITION_FIELDS || item < 0) return -1;
    int32_t index = NUM_MENU_DEFINITION_FIELDS;
    for (int32_t i = 0; i < item; ++i) {
        const int32_t size = itemSize(definition, index);
        // A stored size of 0 would never advance: the definition ends there.
        if (size == 0) return -1;
        index += size;
        if (index >= definition->length) return -1;
    }
    return index;
}

int32_t HookCanvas::menuItemIndex(int32_t item) {
    return menuItemIndex(menu_current_id, item);
}

void HookCanvas::menuLoad(int32_t menu, int32_t mask) {
    menuLoad(menu, mask, true);
}

void HookCanvas::menuLoad(int32_t menu, int32_t mask, bool setLabels) {
    JavaPtr<JArray<int32_t>> definition = menuDefinition(menu);
    // No definition under that id: the current menu stays as it is.
    if (!definition) return;
    menu_current = definition;
    if (menu != menu_current_id && definition->length > MENU_DEFINITION_PREVIOUS_MENU_ITEM)
        definition->data[MENU_DEFINITION_PREVIOUS_MENU_ITEM] = (menu_current_id << 16) | menu_selected_item;
    menu_selected_item = -1;
    menu_current_id = menu;
    int32_t backText = -1;
    int32_t fwrdText = -1;
    bool hasBack = false;
    bool hasFwrd = false;
    const int32_t count =
        definition->length > MENU_DEFINITION_NUMITEMS ? definition->data[MENU_DEFINITION_NUMITEMS] : 0;
    for (int32_t item = 0; item < count; ++item) {
        const int32_t index = menuItemIndex(menu, item);
        if (index == -1) break;
        const int32_t word = definition->data[index];
        if ((word & MENU_ITEM_TFS_TYPE_MASK) == MENU_ITEMTYPE_SOFTKEY) {
            if (index + MENU_SOFTKEY_FWRD >= definition->length) break;
            const int32_t text = definition->data[index + MENU_SOFTKEY_TEXTID];
            if (definition->data[index + MENU_SOFTKEY_FWRD] == MENU_SOFTKEY_FWRD_VALUE_BACK) {
                backText = text;
                hasBack = true;
            } else {
                fwrdText = text;
                hasFwrd = true;
            }
        } else if ((word & mask) != 0 && menu_selected_item == -1) {
            menu_selected_item = item;
        }
    }
    if (menu_selected_item == -1) menu_selected_item = 0;
    if (setLabels)
        setSoftkeys(hasBack ? getString(backText) : nullptr, hasFwrd ? getString(fwrdText) : nullptr);
}

void HookCanvas::menuBack() {
    if (!menu_current || menu_current->length <= MENU_DEFINITION_PREVIOUS_MENU_ITEM) return;
    const int32_t link = menu_current->data[MENU_DEFINITION_PREVIOUS_MENU_ITEM];
    const int32_t previous = link >> 16;
    const int32_t selection = link & 0xFFFF;
    JavaPtr<JArray<int32_t>> definition = menuDefinition(previous);
    // A link to a menu that does not exist leads nowhere.
    if (!definition || definition->length <= MENU_DEFINITION_PREVIOUS_MENU_ITEM) return;
    const int32_t savedLink = definition->data[MENU_DEFINITION_PREVIOUS_MENU_ITEM];
    menuLoad(previous, 0);
    menu_selected_item = selection;
    definition->data[MENU_DEFINITION_PREVIOUS_MENU_ITEM] = savedLink;
}

void HookCanvas::menuAdjustCurrentSelectedItem(int32_t delta, int32_t mask, bool wrap) {
    if (!menu_current || menu_current->length <= MENU_DEFINITION_NUMITEMS) return;
    const int32_t n = menu_current->data[MENU_DEFINITION_NUMITEMS];
    if (n <= 0) return;
    const int32_t step = delta > 0 ? 1 : -1;
    const int32_t start = menu_selected_item;
    int32_t item = start;
    // Every item is examined at most once, so a menu whose items carry no bit of the mask (or a
    // delta of 0) ends the search instead of circling.
    for (int32_t examined = 0; examined < n; ++examined) {
        item = ((item + step) % n + n) % n;
        const int32_t index = menuItemIndex(item);
        if (index != -1 && (menu_current->data[index] & mask) != 0) {
            delta -= step;
            if (delta == 0) {
                menu_selected_item = item;
                return;
            }
        }
        if (wrap ? item == start : (item == 0 || item == n - 1)) return;
    }
}

int32_t HookCanvas::menuGetSoftkeyIndex(bool forward) {
    if (!menu_current || menu_current->length <= MENU_DEFINITION_NUMITEMS) return -1;
    const int32_t count = menu_current->data[MENU_DEFINITION_NUMITEMS];
    const int32_t wanted = forward ? MENU_SOFTKEY_FWRD_VALUE_FWRD : MENU_SOFTKEY_FWRD_VALUE_BACK;
    for (int32_t item = 0; item < count; ++item) {
        const int32_t index = menuItemIndex(item);
        if (index == -1) return -1;
        if ((menu_current->data[index] & MENU_ITEM_TFS_TYPE_MASK) != MENU_ITEMTYPE_SOFTKEY) continue;
        if (index + MENU_SOFTKEY_FWRD < menu_current->length &&
            menu_current->data[index + MENU_SOFTKEY_FWRD] == wanted)
            return index;
    }
    return -1;
}

void HookCanvas::menuInjectItem(int32_t menu, int32_t position, const JavaPtr<JArray<int32_t>>& item) {
    JavaPtr<JArray<int32_t>> old = menuDefinition(menu);
    if (!old || !item || item->length == 0 || old->length < NUM_MENU_DEFINITION_FIELDS) return;
    const int32_t count = old->data[MENU_DEFINITION_NUMITEMS];
    if (position < 0 || position > count) return;
    // The items must all be there to be copied across.
    int32_t end = NUM_MENU_DEFINITION_FIELDS;
    for (int32_t i = 0; i < count; ++i) {
        if (end >= old->length || itemSize(old, end) == 0) return;
        end += itemSize(old, end);
    }
    if (end > old->length) return;
    item->data[MENU_ITEM_TYPE_SIZE_FLAGS] |= item->length;
    auto grown = jnew<JArray<int32_t>>(old->length + item->length);
    for (int32_t i = 0; i < NUM_MENU_DEFINITION_FIELDS; ++i) grown->data[i] = old->data[i];
    grown->data[MENU_DEFINITION_NUMITEMS] += 1;
    int32_t from = NUM_MENU_DEFINITION_FIELDS;
    int32_t to = NUM_MENU_DEFINITION_FIELDS;
    for (int32_t i = 0; i <= count; ++i) {
        if (i == position) {
            for (int32_t w = 0; w < item->length; ++w) grown->data[to++] = item->data[w];
        } else {
            const int32_t size = itemSize(old, from);
            for (int32_t w = 0; w < size; ++w) grown->data[to++] = old->data[from++];
        }
    }
    // Words past the last item, if the definition had any, stay at its end.
    while (from < old->length) grown->data[to++] = old->data[from++];
    menu_definitions->data[menu] = grown;
}

void HookCanvas::menuRemoveItem(int32_t menu, int32_t item) {
    JavaPtr<JArray<int32_t>> old = menuDefinition(menu);
    if (!old || old->length <= NUM_MENU_DEFINITION_FIELDS) return;
    if (item < 0 || item >= old->data[MENU_DEFINITION_NUMITEMS]) return;
    const int32_t index = menuItemIndex(menu, item);
    if (index == -1) return;
    const int32_t size = itemSize(old, index);
    if (size == 0 || index + size > old->length) return;
    auto shrunk = jnew<JArray<int32_t>>(old->length - size);
    int32_t to = 0;
    for (int32_t from = 0; from < old->length; ++from) {
        if (from >= index && from < index + size) continue;
        shrunk->data[to++] = old->data[from];
    }
    shrunk->data[MENU_DEFINITION_NUMITEMS] -= 1;
    menu_definitions->data[menu] = shrunk;
}

JavaPtr<JArray<int32_t>> HookCanvas::menuItemHeader(int32_t textId) {
    return newItem({MENU_ITEMTYPE_HEADER, textId, -1});
}

JavaPtr<JArray<int32_t>> HookCanvas::menuItemText(int32_t textId) {
    return newItem({MENU_ITEMTYPE_TEXT, textId, -1});
}

JavaPtr<JArray<int32_t>> HookCanvas::menuItemButton(int32_t textId, int32_t flags, int32_t action) {
    return newItem({flags | MENU_ITEMTYPE_BUTTON, textId, -1, action});
}

JavaPtr<JArray<int32_t>> HookCanvas::menuItemSoftkey(int32_t textId, bool forward, int32_t action) {
    return newItem({MENU_ITEMTYPE_SOFTKEY, textId, forward ? 1 : 0, action});
}

JavaPtr<java::lang::String> HookCanvas::adjustGraphicalSoftkeyLabel(const JavaPtr<String>& label, bool back) {
    if (!label || label->length() == 0) return label;
    JavaPtr<String> decoration;
    {
        std::lock_guard<std::mutex> lock(softkey_mutex);
        decoration = back ? softkey_add_back : softkey_add_fwrd;
    }
    if (!decoration) return label;
    return back ? decoration->concat(label) : label->concat(decoration);
}

void HookCanvas::setSoftkeys(const JavaPtr<String>& back, const JavaPtr<String>& forward) {
    JavaPtr<String> newBack = adjustGraphicalSoftkeyLabel(back, true);
    JavaPtr<String> newFwrd = adjustGraphicalSoftkeyLabel(forward, false);
    // The replaced labels are released after the lock.
    JavaPtr<String> oldBack;
    JavaPtr<String> oldFwrd;
    std::lock_guard<std::mutex> lock(softkey_mutex);
    if (sameLabel(newBack, back_softkey_string) && sameLabel(newFwrd, fwrd_softkey_string)) return;
    oldBack = std::exchange(back_softkey_string, newBack);
    oldFwrd = std::exchange(fwrd_softkey_string, newFwrd);
}
