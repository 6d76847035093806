#include "forms/Form.h"

#include <algorithm>
#include <vector>

#include "forms/FormCanvas.h"
#include "forms/ImageItem.h"
#include "forms/Item.h"
#include "forms/StringItem.h"
#include "graphics/Image.h"
#include "runtime/IllegalStateException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "shell/CommandListener.h"
#include "shell/ItemStateListener.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

namespace {

using ItemArray = Form::ItemArray;

// A new array of the items with `item` at index (0 <= index <= length).
JavaPtr<ItemArray> withItemAt(const JavaPtr<ItemArray>& items, int index, const JavaPtr<Item>& item) {
    const int n = items->length;
    JavaPtr<ItemArray> grown = jnew<ItemArray>(n + 1);
    for (int i = 0; i < index; ++i) grown->data[i] = items->data[i];
    grown->data[index] = item;
    for (int i = index; i < n; ++i) grown->data[i + 1] = items->data[i];
    return grown;
}

JavaPtr<ItemArray> withoutItemAt(const JavaPtr<ItemArray>& items, int index) {
    const int n = items->length;
    JavaPtr<ItemArray> shrunk = jnew<ItemArray>(n - 1);
    for (int i = 0, j = 0; i < n; ++i) {
        if (i != index) shrunk->data[j++] = items->data[i];
    }
    return shrunk;
}

int32_t referenceCount(java::lang::Smart* object) {
    return object->m_referenceCount.load(std::memory_order_acquire);
}

}  // namespace

Form::~Form() {
    // The listener and the items are the application's: they are let go after the lock is.
    JavaPtr<ItemStateListener> listener;
    JavaPtr<Item> highlighted;
    JavaPtr<ItemArray> items;
    LCDUIGuard lock(LCDUILock::mutex());
    // An item that outlives its form must not reach it through its owner pointer.
    if (m_items) {
        for (int i = 0; i < m_items->length; ++i) {
            Item* item = m_items->data[i].get();
            if (item != nullptr && item->owner() == this) item->removeFromForm();
        }
    }
    listener = std::move(m_itemStateListener);
    highlighted = std::move(m_highlightedItem);
    items = std::move(m_items);
    LCDUILock::dropOutside(std::move(listener));
    LCDUILock::dropOutside(std::move(highlighted));
    LCDUILock::dropOutside(std::move(items));
}

Form* Form::TESLinvokeconstructor(const JavaPtr<java::lang::String>& title) {
    Screen::TESLinvokeconstructor();
    m_init(title, nullptr);
    return this;
}

Form* Form::TESLinvokeconstructor(const JavaPtr<java::lang::String>& title, const JavaPtr<ItemArray>& items) {
    Screen::TESLinvokeconstructor();
    m_init(title, items);
    return this;
}

void Form::m_init(const JavaPtr<java::lang::String>& title, const JavaPtr<ItemArray>& items) {
    LCDUIGuard lock(LCDUILock::mutex());
    JavaPtr<FormCanvas> canvas = jnew<FormCanvas>(this);
    setCorrespondingCanvas(canvas.get());
    m_items = jnew<ItemArray>(0);
    m_highlightedItem = nullptr;
    setNeedsRelayout(true);
    setTitle(title);
    if (items) {
        for (int i = 0; i < items->length; ++i) append(JavaPtr<Item>(items->data[i]));
    }
    const int pinned = m_pinnedForms ? m_pinnedForms->length : 0;
    JavaPtr<FormArray> grown = jnew<FormArray>(pinned + 1);
    for (int i = 0; i < pinned; ++i) grown->data[i] = m_pinnedForms->data[i];
    grown->data[pinned] = JavaPtr<Form>(this);
    m_pinnedForms = grown;
    m_neverHighlightItems = false;
}

int Form::getHeight() {
    JavaPtr<FormCanvas> canvas = getFormCanvas();
    if (!canvas) return 0;
    JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
    canvas->getUnreservedArea(area);
    return area->data[3] - area->data[1];
}

int Form::getWidth() {
    JavaPtr<FormCanvas> canvas = getFormCanvas();
    if (!canvas) return 0;
    JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
    canvas->getUnreservedArea(area);
    return area->data[2] - area->data[0];
}

void Form::relayout() {
    LCDUIGuard lock(LCDUILock::mutex());
    JavaPtr<FormCanvas> canvas = getFormCanvas();
    if (canvas) canvas->relayoutFormItems();
    setNeedsRelayout(false);
    if (canvas) canvas->setNeedsRepaint();
}

void Form::m_checkFreeItem(const JavaPtr<Item>& item) {
    if (!item) throw java::lang::NullPointerException();
    // An item already in this form would stand in it twice with one box, and deleting one copy would
    // free the other's owner.
    if (item->owner() != nullptr) throw java::lang::IllegalStateException();
}

int Form::append(const JavaPtr<Image>& img) {
    if (!img) throw java::lang::NullPointerException();
    return append(JavaPtr<Item>(jnew<ImageItem>(nullptr, img, Item::LAYOUT_DEFAULT, nullptr)));
}

int Form::append(const JavaPtr<Item>& item) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_checkFreeItem(item);
    item->addToForm(this);
    m_items = withItemAt(m_items, m_items->length, item);
    const int index = m_items->length - 1;
    if (!m_highlightedItem) m_highlightItem(index, HIGHLIGHT_AUTO);
    setNeedsRelayout(true);
    return index;
}

int Form::append(const JavaPtr<java::lang::String>& str) {
    if (!str) throw java::lang::NullPointerException();
    return append(JavaPtr<Item>(jnew<StringItem>(nullptr, str)));
}

void Form::deleteJ(int index) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (index < 0 || index >= m_items->length) throw java::lang::IndexOutOfBoundsException();
    const bool wasHighlighted = m_unhighlightItem(index);
    deleteInternal(index);
    const int n = m_items->length;
    if (wasHighlighted && n >= 1) m_highlightItem(std::min(index, n - 1), HIGHLIGHT_AUTO);
}

void Form::deleteAll() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_highlightedItem) m_unhighlightItem(m_indexForItem(m_highlightedItem.get()));
    JavaPtr<ItemArray> old = std::move(m_items);
    m_items = jnew<ItemArray>(0);
    m_highlightedItem = nullptr;
    JavaPtr<FormCanvas> canvas = getFormCanvas();
    for (int i = 0; i < old->length; ++i) {
        old->data[i]->removeFromForm();
        if (canvas) canvas->itemRemoved(old->data[i].get());
    }
    setNeedsRelayout(true);
}

JavaPtr<Item> Form::get(int index) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (index < 0 || index >= m_items->length) throw java::lang::IndexOutOfBoundsException();
    return m_items->data[index];
}

void Form::insert(int index, const JavaPtr<Item>& item) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (index < 0 || index > m_items->length) throw java::lang::IndexOutOfBoundsException();
    if (!item) throw java::lang::NullPointerException();
    if (index == m_items->length) {
        append(item);
    } else {
        m_checkFreeItem(item);
        item->addToForm(this);
        m_items = withItemAt(m_items, index, item);
    }
    setNeedsRelayout(true);
}

void Form::set(int index, const JavaPtr<Item>& item) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (index < 0 || index >= m_items->length) throw java::lang::IndexOutOfBoundsException();
    if (!item) throw java::lang::NullPointerException();
    if (item->owner() != nullptr) throw java::lang::IllegalStateException();
    JavaPtr<Item> old = m_items->data[index];
    old->removeFromForm();
    m_unhighlightItem(index);
    if (JavaPtr<FormCanvas> canvas = getFormCanvas()) canvas->itemRemoved(old.get());
    m_items->data[index] = item;
    item->addToForm(this);
    setNeedsRelayout(true);
    m_highlightItem(index, HIGHLIGHT_AUTO);
}

void Form::setItemStateListener(const JavaPtr<ItemStateListener>& listener) {
    LCDUIGuard lock(LCDUILock::mutex());
    LCDUILock::dropOutside(std::move(m_itemStateListener));
    m_itemStateListenerIsSelf = listener && listener.counted() == static_cast<java::lang::Smart*>(this);
    if (!m_itemStateListenerIsSelf) m_itemStateListener = listener;
}

void Form::setCommandListener(const JavaPtr<CommandListener>& l) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_commandListenerIsOwner =
        l && m_ownerScreen != nullptr && l.counted() == static_cast<java::lang::Smart*>(m_ownerScreen);
    Screen::setCommandListener(m_commandListenerIsOwner ? nullptr : l);
}

void Form::setOwnerScreen(Displayable* owner) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_ownerScreen = owner;
    // The owner that goes takes its part as this form's listener with it.
    if (owner == nullptr) m_commandListenerIsOwner = false;
}

JavaPtr<CommandListener> Form::commandListenerFor(const JavaPtr<Displayable>& shown) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_commandListenerIsOwner) return getCommandListener();
    // The owner is reached through the display's own reference to it: while it shows this form, it is
    // the displayable shown.
    if (!shown || shown.get() != m_ownerScreen) return nullptr;
    return JavaPtr<CommandListener>(
        shown.counted(),
        static_cast<CommandListener*>(shown->castAsTypeID(CommandListener::TESLclassTypeID)));
}

int Form::size() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_items ? m_items->length : 0;
}

Displayable* Form::ownerDisplayable() {
    return this;
}

Item* Form::highlightedItem() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_highlightedItem.get();
}

void Form::highlightItem(Item* item) {
    LCDUIGuard lock(LCDUILock::mutex());
    const int index = m_indexForItem(item);
    // An item that is not (or no longer) in the list has nothing to highlight.
    if (index >= 0) m_highlightItem(index, HIGHLIGHT_AUTO);
}

void Form::itemStateChanged(const JavaPtr<Item>& item) {
    JavaPtr<ItemStateListener> listener = getItemStateListener();
    // The application's listener runs with no lock held (shell/LCDUILock.h).
    if (listener) LCDUILock::callOutside([listener, item] { listener->itemStateChanged(item); });
}

int Form::usableWidth() {
    JavaPtr<FormCanvas> canvas = getFormCanvas();
    return canvas ? canvas->usableWidth() : 0;
}

void Form::setCanvasNeedsRepaint() {
    if (JavaPtr<FormCanvas> canvas = getFormCanvas()) canvas->setNeedsRepaint();
}

bool Form::deleteInternal(int index) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (index < 0 || index >= m_items->length) throw java::lang::IndexOutOfBoundsException();
    JavaPtr<Item> item = m_items->data[index];
    item->removeFromForm();
    m_items = withoutItemAt(m_items, index);
    if (JavaPtr<FormCanvas> canvas = getFormCanvas()) canvas->itemRemoved(item.get());
    setNeedsRelayout(true);
    return true;
}

int Form::m_indexForItem(Item* item) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_items || item == nullptr) return -1;
    for (int i = 0; i < m_items->length; ++i) {
        if (m_items->data[i].get() == item) return i;
    }
    return -1;
}

void Form::m_highlightItem(int index, int how) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_neverHighlightItems) return;
    if (index < 0 || index >= m_items->length) return;
    if (m_highlightedItem) m_unhighlightItem(m_indexForItem(m_highlightedItem.get()));
    JavaPtr<Item> item = m_items->data[index];
    JavaPtr<FormCanvas> canvas = getFormCanvas();
    if (canvas) canvas->setFormItemCommands(item->getCommands(), item->getDefaultCommand());
    m_highlightedItem = item;
    if (canvas) {
        if (how == HIGHLIGHT_AUTO) canvas->itemAutoHighlighted(item.get());
        canvas->setNeedsRepaint();
    }
}

bool Form::m_unhighlightItem(int index) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_highlightedItem || index < 0 || m_indexForItem(m_highlightedItem.get()) != index) return false;
    JavaPtr<Item> item = std::move(m_highlightedItem);
    JavaPtr<FormCanvas> canvas = getFormCanvas();
    if (canvas) canvas->setFormItemCommands(nullptr, nullptr);
    item->deliver([](Item& i) { i.traverseOut(); });
    if (canvas) canvas->itemRemoved(item.get());
    return true;
}

void Form::setNeverHighlightItems(bool) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_neverHighlightItems = true;
    m_highlightedItem = nullptr;
}

bool Form::neverHighlightItems() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_neverHighlightItems;
}

JavaPtr<Form::ItemArray> Form::getItems() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_items;
}

JavaPtr<Item> Form::getHighlightedItem() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_highlightedItem;
}

JavaPtr<ItemStateListener> Form::getItemStateListener() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_itemStateListenerIsSelf) {
        return JavaPtr<ItemStateListener>(
            static_cast<java::lang::Smart*>(this),
            static_cast<ItemStateListener*>(castAsTypeID(ItemStateListener::TESLclassTypeID)));
    }
    return m_itemStateListener;
}

JavaPtr<FormCanvas> Form::getFormCanvas() {
    JavaPtr<Canvas> canvas = getCorrespondingCanvas();
    if (!canvas) return nullptr;
    auto* formCanvas = static_cast<FormCanvas*>(canvas->castAsTypeID(FormCanvas::TESLclassTypeID));
    return JavaPtr<FormCanvas>(canvas.counted(), formCanvas);
}

void Form::tidyUp() {
    // The forms let go here are the application's, and so are their listeners and items: they die once
    // this thread holds no lock (dropOutside). Out of the pinned list, no other thread can reach one
    // through an item's owner pointer or take a new reference to it meanwhile: none is referred to from
    // outside, and a form that is not shown has no touch areas left.
    std::vector<JavaPtr<Form>> dropped;
    {
        LCDUIGuard lock(LCDUILock::mutex());
        if (!m_pinnedForms) return;
        JavaPtr<FormArray> pinned = std::move(m_pinnedForms);
        JavaPtr<FormArray> kept = jnew<FormArray>(0);
        for (int i = 0; i < pinned->length; ++i) {
            // Two references are the list's and this one; a third comes from outside.
            JavaPtr<Form> form = pinned->data[i];
            bool keep = referenceCount(form.counted()) >= 3;
            if (!keep) {
                JavaPtr<ItemArray> items = form->m_items;
                JavaPtr<FormCanvas> canvas = form->getFormCanvas();
                Item* traversed = canvas ? canvas->m_traversedItem.get() : nullptr;
                for (int j = 0; items && j < items->length; ++j) {
                    JavaPtr<Item> item = items->data[j];
                    int32_t expected = 2;
                    if (item.get() == form->m_highlightedItem.get()) ++expected;
                    if (item.get() == traversed) ++expected;
                    if (referenceCount(item.counted()) > expected) keep = true;
                }
            }
            if (keep) {
                JavaPtr<FormArray> grown = jnew<FormArray>(kept->length + 1);
                for (int k = 0; k < kept->length; ++k) grown->data[k] = kept->data[k];
                grown->data[kept->length] = form;
                kept = grown;
            } else {
                dropped.push_back(std::move(pinned->data[i]));
            }
        }
        m_pinnedForms = kept->length > 0 ? kept : nullptr;
    }
    LCDUILock::dropOutside(std::move(dropped));
}

JavaPtr<Form::FormArray> Form::pinnedForms() {
    LCDUIGuard lock(LCDUILock::mutex());
    const int n = m_pinnedForms ? m_pinnedForms->length : 0;
    JavaPtr<FormArray> copy = jnew<FormArray>(n);
    for (int i = 0; i < n; ++i) copy->data[i] = m_pinnedForms->data[i];
    return copy;
}

}  // namespace javax::microedition::lcdui
