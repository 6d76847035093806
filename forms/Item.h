// javax.microedition.lcdui.Item: the base of everything a form holds. It keeps what all items share (label,
// layout word, locked preferred size, commands, the owning form) and the box the form layout gives it, and
// paints the label and the highlight border around the content each subclass paints. Its virtual
// operations, in this order, are what the form canvas sizes, lays out, drives and paints items through.
// Every operation takes the screens' lock (shell/LCDUILock.h): the application changes items while the
// ticker thread lays them out and paints them and the platform main thread hands them input.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "screens/TouchScreenAreaListener.h"

namespace javax::microedition::lcdui {

class Canvas;
class Command;
class Displayable;
class Font;
class Graphics;
class Image;
class ItemCommandListener;
class ItemOwner;

class Item : public java::lang::Object {
    TESL_CLASS(Item, "javax.microedition.lcdui.Item", java::lang::Object)
public:
    using CommandArray = JArray<JavaPtr<Command>>;

    // Appearance modes, stored by StringItem and ImageItem.
    static constexpr int PLAIN = 0;
    static constexpr int HYPERLINK = 1;
    static constexpr int BUTTON = 2;
    // Layout directives: the low two bits align horizontally, bits 0x30 vertically. The form layout also
    // reads 0x400 (shrink), which has no name here.
    static constexpr int LAYOUT_DEFAULT = 0;
    static constexpr int LAYOUT_LEFT = 1;
    static constexpr int LAYOUT_RIGHT = 2;
    static constexpr int LAYOUT_CENTER = 3;
    static constexpr int LAYOUT_TOP = 0x10;
    static constexpr int LAYOUT_BOTTOM = 0x20;
    static constexpr int LAYOUT_VCENTER = 0x30;
    static constexpr int LAYOUT_NEWLINE_BEFORE = 0x100;
    static constexpr int LAYOUT_NEWLINE_AFTER = 0x200;
    static constexpr int LAYOUT_EXPAND = 0x800;
    static constexpr int LAYOUT_VSHRINK = 0x1000;
    static constexpr int LAYOUT_VEXPAND = 0x2000;
    static constexpr int LAYOUT_2 = 0x4000;

    // The margin between an item's box and its content area on every side, inside which the highlight
    // border is drawn (FormCanvas::HIGHLIGHT_BOX_PAD_X and _Y).
    static constexpr int HIGHLIGHT_BOX_PAD_X = 3;
    static constexpr int HIGHLIGHT_BOX_PAD_Y = 3;

    Item() noexcept {}
    ~Item() override;

    Item* TESLinvokeconstructor();

    // The slot table.
    virtual void addCommand(const JavaPtr<Command>& cmd);
    virtual JavaPtr<java::lang::String> getLabel();
    virtual int getLayout();
    virtual int getMinimumHeight();
    virtual int getMinimumWidth();
    virtual int getPreferredHeight();
    virtual int getPreferredWidth();
    // Tells the form's ItemStateListener; IllegalStateException for an item outside a form.
    virtual void notifyStateChanged();
    virtual void removeCommand(const JavaPtr<Command>& cmd);
    virtual void setDefaultCommand(const JavaPtr<Command>& cmd);
    virtual void setItemCommandListener(const JavaPtr<ItemCommandListener>& l);
    virtual void setLabel(const JavaPtr<java::lang::String>& label);
    virtual void setLayout(int layout);
    // Locks the content size; -1 unlocks a dimension, below -1 is IllegalArgumentException.
    virtual void setPreferredSize(int width, int height);
    // Binds the item to the form; IllegalStateException when another form holds it.
    virtual bool addToForm(ItemOwner* form);
    virtual void removeFromForm();
    virtual void hideNotify();
    virtual void showNotify();
    // The layout word the form layout uses.
    virtual int layoutInternal();
    virtual bool requiresOwnRow();
    virtual void tick(long long nowMs);
    virtual void command(const JavaPtr<Command>& cmd);
    virtual int usableFormWidth();
    virtual void preferredSizeChanged();
    virtual int getMinContentHeight();
    virtual int getMinContentWidth();
    virtual int getPrefContentWidth(int height);
    virtual int getPrefContentHeight(int width);
    // The content: g's origin is the content area's top-left corner, w and h its size.
    virtual void paint(const JavaPtr<Graphics>& g, int w, int h);
    virtual void sizeChanged(int w, int h);
    virtual void invalidate();
    virtual void keyPressed(int keyCode);
    virtual void keyReleased(int keyCode);
    virtual void keyRepeated(int keyCode);
    // Points in content-area coordinates.
    virtual void pointerDragged(int x, int y);
    virtual void pointerPressed(int x, int y);
    virtual void pointerReleased(int x, int y);
    virtual void repaint();
    virtual bool traverse(int dir, int viewportWidth, int viewportHeight,
                          const JavaPtr<JArray<int>>& visRect);
    virtual void traverseOut();
    virtual int getGameAction(int keyCode);
    virtual void rebuildTouchscreenAreas();
    virtual void touchscreenAreaEvent(const JavaPtr<java::lang::String>& code, int eventType, int relX,
                                      int relY, int dx, int dy, bool inside);

    // The owning form as a counted reference, or null.
    JavaPtr<Displayable> getContainingForm();
    // The owner, uncounted; null while the item is free.
    ItemOwner* owner();
    // The form's corresponding canvas when it is a form canvas, else null.
    JavaPtr<Canvas> getFormCanvas();
    int labelHeight();
    int labelWidth();
    void updateContentDimensions();
    void contentSizeChanged();
    // The whole item (label, highlight border, content); g is translated to the form's content
    // coordinates.
    void paint(const JavaPtr<Graphics>& g);
    // The same, with a custom item's content taken from content, an image its paint drew beforehand
    // (paintContentImage) when it still has the item's content size; otherwise painted now, with the
    // screens' lock let go.
    void paint(const JavaPtr<Graphics>& g, const JavaPtr<Image>& content);
    // A custom item's content, painted by the application into a new image of w x h (both positive),
    // filled with the background colour first. Called with no lock held.
    JavaPtr<Image> paintContentImage(int w, int h);

    // Whether the item is the application's own (a CustomItem): its operations are application code,
    // which runs with no library lock held (shell/LCDUILock.h).
    bool isApplicationItem();
    // Runs call on the item now, or for a custom item once this thread holds no lock (the call's
    // answer is not needed, so it waits with the listener calls).
    void deliver(std::function<void(Item&)> call);
    // traverse as the form canvas asks it. A custom item answers with the lock let go, and its yes
    // counts only while it is still its form's highlighted item.
    bool traverseFromForm(int dir, int viewportWidth, int viewportHeight,
                          const JavaPtr<JArray<int>>& visRect);
    // Custom items: the layout about to run asks the four content sizes here, with the lock let go, and
    // uses these answers (getMinimumWidth and the rest) until forgetLayoutSizes.
    void askLayoutSizes();
    void forgetLayoutSizes();
    // A touch rectangle in content-area coordinates, edges included, registered in the form items' group.
    void registerArea(int x1, int y1, int x2, int y2, const JavaPtr<java::lang::String>& code);
    void unregisterAll();
    static void touchscreenEventCallback(void* context, const JavaPtr<java::lang::String>& code,
                                         int eventType, int relX, int relY, int dx, int dy, bool inside);
    // The form canvas's touches on the item, (x, y) relative to the item box.
    void pointerPressedInternal(int x, int y);
    void pointerDraggedInternal(int x, int y);
    void pointerReleasedInternal(int x, int y);
    void requestHighlight();
    // Moves the point into content-area coordinates; true when it lies in the area, edges included.
    bool m_toContentArea(int* x, int* y);

    // What the core canvas reads when the form highlights the item: the live array (free slots
    // included), the default command and the command listener.
    JavaPtr<CommandArray> getCommands();
    JavaPtr<Command> getDefaultCommand();
    JavaPtr<ItemCommandListener> getItemCommandListener();
    // The label as it is, uncounted and unlocked, for a caller that holds the screens' lock while it uses
    // it (the form layout reads it for every item on every pass).
    const JavaPtr<java::lang::String>& labelUnderLock() const;
    bool isWidthLocked();
    bool isHeightLocked();
    int getLockedPreferredWidth();
    int getLockedPreferredHeight();

    // Geometry, written by the form layout (and by subclasses announcing their content size) under the
    // screens' lock. The box is in the form's content coordinates, the content area relative to the box.
    int32_t m_contentWidth = -1;
    int32_t m_contentHeight = -1;
    int32_t m_contentX = 0;
    int32_t m_contentY = 0;
    int32_t m_width = -1;
    int32_t m_height = -1;
    int32_t m_x = 0;
    int32_t m_y = 0;
    int32_t m_row = -1;

protected:
    // Whether the owner's highlighted item is this one.
    bool isHighlighted();

    bool m_widthLocked = false;
    bool m_heightLocked = false;
    JavaPtr<CommandArray> m_commands;
    JavaPtr<Command> m_defaultCommand;
    JavaPtr<ItemCommandListener> m_itemCommandListener;
    // An item may be its own command listener, or have its form as one; a flag stands in for a reference
    // to itself, and another for one to the form that holds it (its uncounted owner).
    bool m_itemCommandListenerIsSelf = false;
    bool m_itemCommandListenerIsOwner = false;
    JavaPtr<Font> m_labelFont;
    JavaPtr<java::lang::String> m_label;
    int32_t m_layout = LAYOUT_DEFAULT;
    int32_t m_preferredWidth = -1;
    int32_t m_preferredHeight = -1;
    // Set by addToForm, cleared by removeFromForm; the form keeps the item alive, not the other way.
    ItemOwner* m_owner = nullptr;
    JavaPtr<TouchScreenAreaListener> m_touchListener;

    // A custom item's content sizes asked before a layout; empty outside one.
    struct ContentSizes {
        int minWidth;
        int minHeight;
        int prefWidth;
        int prefHeight;
    };
    std::optional<ContentSizes> m_layoutSizes;

private:
    // The owner as an object, to tell a listener that is the form; null while the item is free.
    java::lang::Smart* m_ownerObject();
    void paintContent(const JavaPtr<Graphics>& g);
    void paintCustomContent(const JavaPtr<Graphics>& g, const JavaPtr<Image>& content);
    // One preferred content size (with the lock held): the one the application locked, else the one
    // the layout already asked for, else asked now of the item given the other size locked.
    int preferredContent(int locked, int asked, int (Item::*ask)(int), int otherLocked);
};

}  // namespace javax::microedition::lcdui
