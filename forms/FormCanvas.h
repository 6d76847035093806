// javax.microedition.lcdui.FormCanvas: the core canvas through which a Form shows itself. The chrome
// (title, soft keys, ticker, popup, scroll bar) stays the core canvas's; this class lays the form's items
// out in rows, moves the highlight and the items' internal focus with the arrow keys, hands other keys to
// the highlighted item, routes touches to an item overlay or to the item under the finger, keeps the
// highlighted item in view, ticks the items that animate and paints them under the chrome.
//
// Threads: input arrives on the platform main thread, layout, ticks and paints on the ticker thread. Each
// handler marks Display::lcdUIEventInProgress for its whole run and does its work under the screens' lock
// (shell/LCDUILock.h); input that arrives during an LCDUI tick waits in the core canvas's ordered buffer.
// The fields below are guarded by that lock.
#pragma once

#include <cstdint>
#include <vector>

#include "forms/StringItem.h"
#include "runtime/JArray.h"
#include "screens/DisplayableCoreCanvas.h"

namespace javax::microedition::lcdui {

class Form;
class Image;
class Item;

class FormCanvas : public DisplayableCoreCanvas {
    TESL_CLASS(FormCanvas, "javax.microedition.lcdui.FormCanvas", DisplayableCoreCanvas)
public:
    using ItemArray = JArray<JavaPtr<Item>>;

    enum KeyEventType { KEY_EVENT_PRESSED = 0, KEY_EVENT_REPEATED = 1, KEY_EVENT_RELEASED = 2 };

    // The margin between an item's box and its content area on every side.
    static constexpr int HIGHLIGHT_BOX_PAD_X = 3;
    static constexpr int HIGHLIGHT_BOX_PAD_Y = 3;
    // Rows stand this far clear of both edges of the unreserved area.
    static constexpr int ROW_MARGIN = 5;
    // What one arrow step scrolls a never-highlighting form, or a highlighted item taller than the view.
    static constexpr int SCROLL_STEP = 20;

    FormCanvas() noexcept {}
    ~FormCanvas() override;

    FormCanvas* TESLinvokeconstructor(Form* form);

    void sizeChanged(int w, int h) override;
    void hideNotify() override;
    void keyPressed(int key) override;
    void keyReleased(int key) override;
    void keyRepeated(int key) override;
    void paint(const JavaPtr<Graphics>& g) override;
    void pointerDragged(int x, int y) override;
    void pointerPressed(int x, int y) override;
    void pointerReleased(int x, int y) override;
    // Custom items paint their content first, into images, with no lock held; the paint then places them.
    void repaintReal(int x, int y, int w, int h) override;
    void showNotify() override;
    void tick(long long now) override;

    // The parent when it is a form, else null.
    JavaPtr<Form> getForm();
    // The width a row may take: the unreserved area's width less both margins.
    int usableWidth();

    // The whole layout, with the scroll-bar decision; nothing for a parent that is no form or during a
    // layout on this canvas.
    void relayoutFormItems();
    // One pass over all rows at the current usable width.
    void relayoutFormItems_aux(const JavaPtr<ItemArray>& items);
    // Lays out the row that begins at start (a valid index); returns the items it consumed, one less when
    // the row ends with an inline string item that continues on the next row. That item gets its lines
    // when the flow ends, on the next row or at the end of the pass.
    int relayoutFormItemsRow(const JavaPtr<ItemArray>& items, int start);
    // Whether an item stands alone on its row: it says so itself (requiresOwnRow), or it is one of the
    // interactive kinds (choice group, date field, gauge, text field), recognised by class type id so that
    // the rule holds for classes this one does not include.
    static bool m_itemTakesOwnRow(Item* item);

    // Added to a screen y it gives a content y.
    int m_screenToLogicalOffsetY();
    void ensureUpToDate();
    // The form highlighted item without a direction: it may take internal focus, and is scrolled into view.
    void itemAutoHighlighted(Item* item);
    // {0, 0, content width, content height} of the item: the visible rectangle handed to traverse.
    JavaPtr<JArray<int>> m_defaultVisRect_inout(Item* item);
    // Scrolls so that the highlighted item's top (or the rectangle it asked for, while it holds internal
    // focus) is in view. visRect is in the item's content coordinates; its clamped y is written back.
    void ensureHighlightedItemVisible(const JavaPtr<JArray<int>>& visRect);
    // The first item whose box holds the content point, edges included; null when none.
    JavaPtr<Item> m_findItemForCoords(int x, int y);
    // The target of an UP (dir -1) or DOWN (dir 1) move from the item at index; index when there is none.
    int m_findNextItemIndexVertically(int dir, int index);
    void m_handleKeyEvent(int key, KeyEventType type);
    // UP (dir -1) or DOWN (dir 1) with nowhere to move the highlight: the view moves a step on through
    // the highlighted item while part of it lies beyond the view that way, so that keys alone reach the
    // last lines of a tall last item (and the first of a tall first one).
    void m_scrollThroughItem(Item* item, int dir);

    // The highlighted item while it holds internal focus, or null.
    JavaPtr<Item> getTraversedItem();
    // The form lets go of an item: a traversed item that leaves the form is no longer traversed.
    void itemRemoved(Item* item);

    // Laid-out state, under the screens' lock.
    int32_t m_formHeight = 0;
    bool m_relayoutInProgress = false;
    int32_t m_rowAlignment = 1;
    int32_t m_nextRowStart = 0;
    int32_t m_rowCount = 0;
    int32_t m_inlineTextOffset = -1;
    JavaPtr<Item> m_traversedItem;
    int32_t m_column = 0;
    int32_t m_lastPressedKey = NO_KEY;

protected:
    // A chosen command reaches the highlighted item's command listener (for its own commands) and the
    // highlighted item itself.
    void m_triggerItemCommand(const JavaPtr<Command>& cmd, bool isItemCommand) override;
    // The form's listener, its owner's when a List or an Alert listens to itself.
    JavaPtr<CommandListener> m_parentCommandListener(const JavaPtr<Displayable>& shown) override;

private:
    // A custom item's content, painted before the paint took any lock, at the content size it had then.
    struct PreparedContent {
        JavaPtr<Item> item;
        int width;
        int height;
        JavaPtr<Image> image;
    };

    // Has the custom items in view paint their content, when this thread holds no lock.
    void m_prepareApplicationContent();
    // The content painted beforehand for the item; null when there is none.
    JavaPtr<Image> m_preparedContentFor(Item* item);

    // Under the screens' lock; set only for the paint that follows it.
    std::vector<PreparedContent> m_preparedContent;

    // One pass over the rows; it ends early once the content is taller than heightLimit.
    void m_layoutPass(const JavaPtr<ItemArray>& items, int heightLimit);
    // Ends the open inline flow: its item gets the lines gathered (the arrays of its last flow when they
    // hold the same).
    void m_giveFlowedLines();

    // The string item whose text the pass flows inline through its rows, and the lines, x and y gathered
    // for it so far; under the screens' lock. The item is set only between the row that opens the flow
    // and the one that ends it, within one pass; the vectors keep their storage from pass to pass.
    StringItem* m_flowItem = nullptr;
    std::vector<StringItem::LineBreak> m_flowLines;
    std::vector<int32_t> m_flowX;
    std::vector<int32_t> m_flowY;
    // The items of the row being laid out, with what the layout asks of each again and again; the vector
    // keeps its storage from row to row.
    struct RowItem {
        Item* item;
        StringItem* string;
        int32_t layout;
        // Set when the row's height is found, for an item that does not shrink vertically.
        int32_t preferredHeight;
    };
    std::vector<RowItem> m_rowItems;
    // The string items of the pass, which get their own lines back at its end unless it flowed them
    // inline; set and emptied within one pass.
    std::vector<StringItem*> m_passStringItems;
    Form* m_formParent();
    void m_keyEvent(int key, KeyEventType type);
    void m_pointerEvent(int kind, int x, int y);
};

}  // namespace javax::microedition::lcdui
