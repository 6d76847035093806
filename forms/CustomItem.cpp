#include "forms/CustomItem.h"

#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

CustomItem::~CustomItem() = default;

CustomItem* CustomItem::TESLinvokeconstructor(const JavaPtr<java::lang::String>& label) {
    Item::TESLinvokeconstructor();
    LCDUIGuard lock(LCDUILock::mutex());
    m_label = label;
    return this;
}

// The sizes are the application's answers: asked before the layout that uses them, or else now with the
// screens' lock let go.
int CustomItem::getMinimumHeight() {
    {
        LCDUIGuard lock(LCDUILock::mutex());
        if (m_layoutSizes) return m_layoutSizes->minHeight;
    }
    return LCDUILock::callUnheld([this] { return getMinContentHeight(); });
}

int CustomItem::getMinimumWidth() {
    {
        LCDUIGuard lock(LCDUILock::mutex());
        if (m_layoutSizes) return m_layoutSizes->minWidth;
    }
    return LCDUILock::callUnheld([this] { return getMinContentWidth(); });
}

void CustomItem::hideNotify() {}

void CustomItem::showNotify() {}

void CustomItem::paint(const JavaPtr<Graphics>&, int, int) {}

void CustomItem::sizeChanged(int, int) {}

void CustomItem::invalidate() {
    Item::invalidate();
}

void CustomItem::keyPressed(int) {}

void CustomItem::keyReleased(int) {}

void CustomItem::keyRepeated(int) {}

void CustomItem::pointerDragged(int, int) {}

void CustomItem::pointerPressed(int, int) {}

void CustomItem::pointerReleased(int, int) {}

void CustomItem::repaint() {
    Item::repaint();
}

bool CustomItem::traverse(int, int, int, const JavaPtr<JArray<int>>&) {
    return false;
}

void CustomItem::traverseOut() {
    repaint();
}

int CustomItem::getGameAction(int keyCode) {
    return Item::getGameAction(keyCode);
}

int CustomItem::getInteractionModes() {
    return TRAVERSE_HORIZONTAL | TRAVERSE_VERTICAL | KEY_PRESS | KEY_RELEASE | KEY_REPEAT | POINTER_PRESS |
           POINTER_RELEASE | POINTER_DRAG;
}

void CustomItem::repaint(int, int, int, int) {
    Item::repaint();
}

}  // namespace javax::microedition::lcdui
