// javax.microedition.lcdui.Form: the screen that holds an ordered list of items. It keeps the list, decides
// which item is highlighted (and so whose commands the soft keys offer), and forwards item state changes
// to its listener; its FormCanvas lays the items out, scrolls, paints and routes input.
//
// Items point back to their form without a count, so every form is pinned in a static list from its
// construction until tidyUp finds nothing outside refers to it or to any of its items. Every operation
// takes the screens' lock (shell/LCDUILock.h); the pinned list is read and changed only under it.
#pragma once

#include <cstdint>

#include "forms/ItemOwner.h"
#include "runtime/JArray.h"
#include "runtime/String.h"
#include "screens/Screen.h"

namespace javax::microedition::lcdui {

class CommandListener;
class FormCanvas;
class Image;
class Item;
class ItemStateListener;

class Form : public Screen, public ItemOwner {
    TESL_CLASS(Form, "javax.microedition.lcdui.Form", Screen)
public:
    using ItemArray = JArray<JavaPtr<Item>>;
    using FormArray = JArray<JavaPtr<Form>>;

    // How a highlight moved: without a direction, by LEFT or RIGHT, by UP or DOWN.
    static constexpr int HIGHLIGHT_AUTO = 0;
    static constexpr int HIGHLIGHT_HORIZONTAL = 1;
    static constexpr int HIGHLIGHT_VERTICAL = 2;

    Form() noexcept {}
    ~Form() override;

    Form* TESLinvokeconstructor(const JavaPtr<java::lang::String>& title);
    // A null element of items throws as append does.
    Form* TESLinvokeconstructor(const JavaPtr<java::lang::String>& title, const JavaPtr<ItemArray>& items);

    // The viewport: the canvas's unreserved area, without title, ticker, soft keys, keyboard and scroll bar.
    int getHeight() override;
    int getWidth() override;
    // Lays the items out on the canvas, clears the relayout flag and asks for a repaint.
    void relayout() override;

    // The form's own operations, in this order. All throw without a message.
    virtual int append(const JavaPtr<Image>& img);
    // IllegalStateException for an item held by any form, this one included.
    virtual int append(const JavaPtr<Item>& item);
    virtual int append(const JavaPtr<java::lang::String>& str);
    virtual void deleteJ(int index);
    virtual void deleteAll();
    virtual JavaPtr<Item> get(int index);
    // IllegalStateException for an item held by any form, this one included.
    virtual void insert(int index, const JavaPtr<Item>& item);
    virtual void set(int index, const JavaPtr<Item>& item);
    // The form itself as its listener is kept as a flag, not a reference: it would never be freed.
    virtual void setItemStateListener(const JavaPtr<ItemStateListener>& listener);
    virtual int size();

    // The List or Alert that built this form as its inner form, uncounted: the owner holds the form and
    // clears this when it goes. The owner as the form's command listener is kept as a flag for the same
    // reason as the self listeners.
    void setCommandListener(const JavaPtr<CommandListener>& l) override;
    void setOwnerScreen(Displayable* owner);
    // The listener for a command triggered while shown is the displayable shown (the owner, for an
    // inner form): the form's own listener, or the owner itself when it listens to itself.
    JavaPtr<CommandListener> commandListenerFor(const JavaPtr<Displayable>& shown);

    // What the items ask of their form.
    Displayable* ownerDisplayable() override;
    Item* highlightedItem() override;
    void highlightItem(Item* item) override;
    void itemStateChanged(const JavaPtr<Item>& item) override;
    int usableWidth() override;
    void setCanvasNeedsRepaint() override;

    // Removes the item at index without touching the highlight; IndexOutOfBoundsException for a bad index.
    bool deleteInternal(int index);
    // The index of the first element that is item, or -1.
    int m_indexForItem(Item* item);
    // Moves the highlight to the item at index (a valid index); how is one of the HIGHLIGHT_ values.
    // Nothing on a never-highlighting form.
    void m_highlightItem(int index, int how);
    // Ends the highlight when it stands at index: the item commands leave the soft keys and the item gets
    // traverseOut. False, and nothing changed, otherwise.
    bool m_unhighlightItem(int index);
    // Once set, the form never highlights an item and the arrow keys scroll it; the flag is never cleared.
    void setNeverHighlightItems(bool never);
    bool neverHighlightItems();

    // The current item array (replaced whole by every change of the list, so a snapshot stays consistent).
    JavaPtr<ItemArray> getItems();
    JavaPtr<Item> getHighlightedItem();
    JavaPtr<ItemStateListener> getItemStateListener();
    // The form's own canvas; null only while the form is being built or torn down.
    JavaPtr<FormCanvas> getFormCanvas();

    // Lets go of every pinned form that nothing outside refers to, neither the form nor any of its items.
    // Display calls it after each change of the current displayable and at tear-down.
    static void tidyUp();
    // The forms pinned now (a copy of the list; empty when there is none).
    static JavaPtr<FormArray> pinnedForms();

protected:
    void m_init(const JavaPtr<java::lang::String>& title, const JavaPtr<ItemArray>& items);
    // The checks of append and insert: null, and an item held by any form.
    void m_checkFreeItem(const JavaPtr<Item>& item);

    // Guarded by the screens' lock. Every insertion and removal replaces m_items with a new array.
    JavaPtr<ItemArray> m_items;
    JavaPtr<Item> m_highlightedItem;
    bool m_neverHighlightItems = false;
    JavaPtr<ItemStateListener> m_itemStateListener;
    bool m_itemStateListenerIsSelf = false;
    Displayable* m_ownerScreen = nullptr;
    bool m_commandListenerIsOwner = false;

    // Every form constructed since the last tidyUp and every form tidyUp kept; null when none.
    static inline JavaPtr<FormArray> m_pinnedForms;
};

}  // namespace javax::microedition::lcdui
