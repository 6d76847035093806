// What a form item asks of the form that holds it. Form implements it; an item keeps its owner as an
// uncounted pointer (the form holds the item, so a counted one would be a cycle), and the owner must call
// Item::removeFromForm on every item it lets go of, at its own destruction too, so that no item reaches
// a form through a stale pointer. Every call comes under the screens' lock (shell/LCDUILock.h), except
// itemStateChanged, which leads to the application's listener and may come without it.
#pragma once

#include "runtime/JavaPtr.h"

namespace javax::microedition::lcdui {

class Displayable;
class Item;

class ItemOwner {
public:
    // The form itself: the item's relayout requests and its form canvas go through it.
    virtual Displayable* ownerDisplayable() = 0;
    // The form's highlighted item, or null.
    virtual Item* highlightedItem() = 0;
    // m_highlightItem(m_indexForItem(item), 0): an item's own request for the highlight.
    virtual void highlightItem(Item* item) = 0;
    // Tells the form's ItemStateListener, when one is set, that the user changed the item.
    virtual void itemStateChanged(const JavaPtr<Item>& item) = 0;
    // The usable width of the form's canvas (FormCanvas::usableWidth); 0 while the form has none.
    virtual int usableWidth() = 0;
    // DisplayableCoreCanvas::setNeedsRepaint on the form's canvas; nothing while the form has none.
    virtual void setCanvasNeedsRepaint() = 0;

protected:
    ~ItemOwner() = default;
};

}  // namespace javax::microedition::lcdui
