// javax.microedition.lcdui.CustomItem: the item an application derives from to draw its own content and
// take raw keys and touches. The form paints its content into an image of the content size, so its
// drawing is cut to its content area (Item::paint), and its minimum size is its minimum content size
// alone. A concrete subclass supplies the four content-size queries.
#pragma once

#include "forms/Item.h"

namespace javax::microedition::lcdui {

class CustomItem : public Item {
    TESL_CLASS(CustomItem, "javax.microedition.lcdui.CustomItem", Item)
public:
    // Interaction modes.
    static constexpr int NONE = 0;
    static constexpr int TRAVERSE_HORIZONTAL = 1;
    static constexpr int TRAVERSE_VERTICAL = 2;
    static constexpr int KEY_PRESS = 4;
    static constexpr int KEY_RELEASE = 8;
    static constexpr int KEY_REPEAT = 0x10;
    static constexpr int POINTER_PRESS = 0x20;
    static constexpr int POINTER_RELEASE = 0x40;
    static constexpr int POINTER_DRAG = 0x80;

    CustomItem() noexcept {}
    ~CustomItem() override;

    CustomItem* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label);

    // Neither adds the label or the margins, unlike every other item; the preferred sizes are Item's.
    int getMinimumHeight() override;
    int getMinimumWidth() override;
    // A custom item registers no touch areas: its touches come through the pointer operations.
    void hideNotify() override;
    void showNotify() override;
    int getMinContentHeight() override = 0;
    int getMinContentWidth() override = 0;
    int getPrefContentWidth(int height) override = 0;
    int getPrefContentHeight(int width) override = 0;
    using Item::paint;
    // g draws into an image of the content size, filled with the background colour, its colour the
    // foreground one.
    void paint(const JavaPtr<Graphics>& g, int w, int h) override;
    void sizeChanged(int w, int h) override;
    void invalidate() override;
    void keyPressed(int keyCode) override;
    void keyReleased(int keyCode) override;
    void keyRepeated(int keyCode) override;
    void pointerDragged(int x, int y) override;
    void pointerPressed(int x, int y) override;
    void pointerReleased(int x, int y) override;
    void repaint() override;
    bool traverse(int dir, int viewportWidth, int viewportHeight,
                  const JavaPtr<JArray<int>>& visRect) override;
    void traverseOut() override;
    int getGameAction(int keyCode) override;

    // All eight modes.
    int getInteractionModes();
    // The whole form is repainted; the rectangle is not used.
    void repaint(int x, int y, int w, int h);
};

}  // namespace javax::microedition::lcdui
