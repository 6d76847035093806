#include "forms/Item.h"

#include <algorithm>
#include <cassert>

#include "forms/CustomItem.h"
#include "forms/ItemOwner.h"
#include "forms/LCDUIColours.h"
#include "forms/StringItem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ScreenSize.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "shell/Command.h"
#include "shell/Displayable.h"
#include "shell/ItemCommandListener.h"
#include "shell/KeypressIDs.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

namespace {

// The form canvas lives in a later part of this folder; it is recognised by its type id.
constexpr int32_t kFormCanvasTypeId = tesl::classTypeIdOf("javax.microedition.lcdui.FormCanvas");

constexpr int kAnchorTopLeft = Graphics::TOP | Graphics::LEFT;

// Sizes add with wrap-around, as the language's int arithmetic does: a locked size near the int limit
// must not be undefined behaviour.
int addSizes(int a, int b) {
    return static_cast<int>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// Puts back the font, clip and translation a content paint found, however the paint ends.
class GraphicsStateScope {
public:
    explicit GraphicsStateScope(const JavaPtr<Graphics>& g)
        : m_g(g),
          m_font(g->getFont()),
          m_clipX(g->getClipX()),
          m_clipY(g->getClipY()),
          m_clipWidth(g->getClipWidth()),
          m_clipHeight(g->getClipHeight()),
          m_translateX(g->getTranslateX()),
          m_translateY(g->getTranslateY()) {}
    ~GraphicsStateScope() {
        m_g->translate(m_translateX - m_g->getTranslateX(), m_translateY - m_g->getTranslateY());
        m_g->setClip(m_clipX, m_clipY, m_clipWidth, m_clipHeight);
        m_g->setFont(m_font);
    }
    GraphicsStateScope(const GraphicsStateScope&) = delete;
    GraphicsStateScope& operator=(const GraphicsStateScope&) = delete;

    // The whole screen, so that the content may draw beyond its own area.
    void clipToScreen() { m_g->setClip(-m_translateX, -m_translateY, ScreenSize::width, ScreenSize::height); }

private:
    const JavaPtr<Graphics>& m_g;
    JavaPtr<Font> m_font;
    int m_clipX;
    int m_clipY;
    int m_clipWidth;
    int m_clipHeight;
    int m_translateX;
    int m_translateY;
};

}  // namespace

Item::~Item() {
    LCDUIGuard lock(LCDUILock::mutex());
    // The registry forgets a touch in progress once its listener has no area left, so no drag or release
    // of it reaches the freed item.
    unregisterAll();
}

Item* Item::TESLinvokeconstructor() {
    Object::TESLinvokeconstructor();
    m_commands = jnew<CommandArray>(0);
    m_labelFont = Font::getFont(Font::FACE_SYSTEM, Font::STYLE_BOLD, Font::SIZE_SMALL);
    m_touchListener = jnew<TouchScreenAreaListener>(&touchscreenEventCallback, this);
    return this;
}

void Item::addCommand(const JavaPtr<Command>& cmd) {
    LCDUIGuard lock(LCDUILock::mutex());
    Displayable::addCommand(m_commands, cmd);
    if (!m_defaultCommand) m_defaultCommand = cmd;
}

JavaPtr<java::lang::String> Item::getLabel() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_label;
}

const JavaPtr<java::lang::String>& Item::labelUnderLock() const {
    assert(LCDUILock::heldByCurrentThread() && "labelUnderLock: take the screens' lock around its use");
    return m_label;
}

int Item::getLayout() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_layout;
}

int Item::getMinimumHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    return addSizes(addSizes(labelHeight(), getMinContentHeight()), 2 * HIGHLIGHT_BOX_PAD_Y);
}

int Item::getMinimumWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    return addSizes(getMinContentWidth(), 2 * HIGHLIGHT_BOX_PAD_X);
}

int Item::preferredContent(int locked, int asked, int (Item::*ask)(int), int otherLocked) {
    if (locked != -1) return locked;
    if (asked != -1) return asked;
    // An application's item answers with the lock let go: its code may take locks of its own.
    if (isApplicationItem()) return LCDUILock::callUnheld([&] { return (this->*ask)(otherLocked); });
    return (this->*ask)(otherLocked);
}

int Item::getPreferredHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    const int content = preferredContent(m_preferredHeight, m_layoutSizes ? m_layoutSizes->prefHeight : -1,
                                         &Item::getPrefContentHeight, m_preferredWidth);
    return addSizes(addSizes(labelHeight(), 2 * HIGHLIGHT_BOX_PAD_Y), content);
}

int Item::getPreferredWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    const int content = preferredContent(m_preferredWidth, m_layoutSizes ? m_layoutSizes->prefWidth : -1,
                                         &Item::getPrefContentWidth, m_preferredHeight);
    return addSizes(content, 2 * HIGHLIGHT_BOX_PAD_X);
}

void Item::notifyStateChanged() {
    ItemOwner* owner = nullptr;
    // Holds the form while its listener is told: the lock is let go first, as the listener is the
    // application's (the form tells it at once, or after the screen operation this thread is in).
    JavaPtr<Displayable> form;
    {
        LCDUIGuard lock(LCDUILock::mutex());
        if (m_owner == nullptr) throw java::lang::IllegalStateException();
        owner = m_owner;
        form = JavaPtr<Displayable>(m_owner->ownerDisplayable());
    }
    owner->itemStateChanged(JavaPtr<Item>(this));
}

void Item::removeCommand(const JavaPtr<Command>& cmd) {
    LCDUIGuard lock(LCDUILock::mutex());
    Displayable::removeCommand(m_commands, cmd);
    if (cmd && cmd == m_defaultCommand) m_defaultCommand = nullptr;
}

void Item::setDefaultCommand(const JavaPtr<Command>& cmd) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (cmd && Displayable::findCommandIndex(m_commands, cmd, nullptr) < 0) addCommand(cmd);
    m_defaultCommand = cmd;
}

void Item::setItemCommandListener(const JavaPtr<ItemCommandListener>& l) {
    LCDUIGuard lock(LCDUILock::mutex());
    LCDUILock::dropOutside(std::move(m_itemCommandListener));
    m_itemCommandListenerIsSelf = l && l.counted() == static_cast<java::lang::Smart*>(this);
    m_itemCommandListenerIsOwner = !m_itemCommandListenerIsSelf && l && l.counted() == m_ownerObject();
    if (!m_itemCommandListenerIsSelf && !m_itemCommandListenerIsOwner) m_itemCommandListener = l;
}

java::lang::Smart* Item::m_ownerObject() {
    if (m_owner == nullptr) return nullptr;
    Displayable* form = m_owner->ownerDisplayable();
    return form != nullptr ? static_cast<java::lang::Smart*>(form) : nullptr;
}

void Item::setLabel(const JavaPtr<java::lang::String>& label) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_label = label;
}

void Item::setLayout(int layout) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_layout = layout;
}

void Item::setPreferredSize(int width, int height) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (width < -1 || height < -1) throw java::lang::IllegalArgumentException();
    m_preferredWidth = width;
    m_preferredHeight = height;
    // The minimums are item sizes, margins and label included, so a locked content size is raised to
    // at least the item's whole minimum.
    if (width != -1 && width < getMinimumWidth()) m_preferredWidth = getMinimumWidth();
    if (m_preferredHeight != -1 && m_preferredHeight < getMinimumHeight())
        m_preferredHeight = getMinimumHeight();
    m_widthLocked = width != -1;
    m_heightLocked = height != -1;
    preferredSizeChanged();
}

bool Item::addToForm(ItemOwner* form) {
    JavaPtr<ItemCommandListener> formAsListener;
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_owner != nullptr && m_owner != form) throw java::lang::IllegalStateException();
    m_owner = form;
    // The form holds the item: a listener that is the form would hold it back, and neither would go.
    if (m_itemCommandListener && m_itemCommandListener.counted() == m_ownerObject()) {
        formAsListener = std::move(m_itemCommandListener);
        m_itemCommandListenerIsOwner = true;
    }
    return true;
}

void Item::removeFromForm() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_itemCommandListenerIsOwner) {
        m_itemCommandListenerIsOwner = false;
        // Out of the form, the item holds its listener again; a form being destroyed leaves none.
        Displayable* form = m_owner != nullptr ? m_owner->ownerDisplayable() : nullptr;
        if (form != nullptr && form->m_referenceCount.load() > 0)
            m_itemCommandListener = JavaPtr<ItemCommandListener>(
                static_cast<java::lang::Smart*>(form),
                static_cast<ItemCommandListener*>(form->castAsTypeID(ItemCommandListener::TESLclassTypeID)));
    }
    m_owner = nullptr;
}

void Item::hideNotify() {
    unregisterAll();
}

void Item::showNotify() {
    LCDUIGuard lock(LCDUILock::mutex());
    rebuildTouchscreenAreas();
}

int Item::layoutInternal() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_layout;
}

bool Item::requiresOwnRow() {
    return false;
}

void Item::tick(long long) {}

void Item::command(const JavaPtr<Command>&) {}

int Item::usableFormWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_owner != nullptr ? m_owner->usableWidth() : 0;
}

void Item::preferredSizeChanged() {}

int Item::getMinContentHeight() {
    return 0;
}

int Item::getMinContentWidth() {
    return 0;
}

int Item::getPrefContentWidth(int) {
    return 0;
}

int Item::getPrefContentHeight(int) {
    return 0;
}

void Item::paint(const JavaPtr<Graphics>&, int, int) {}

void Item::sizeChanged(int, int) {}

void Item::invalidate() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_owner == nullptr) return;
    if (Displayable* form = m_owner->ownerDisplayable()) form->setNeedsRelayout(true);
}

void Item::keyPressed(int) {}

void Item::keyReleased(int) {}

void Item::keyRepeated(int) {}

void Item::pointerDragged(int, int) {}

void Item::pointerPressed(int, int) {}

void Item::pointerReleased(int, int) {}

void Item::repaint() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_owner != nullptr) m_owner->setCanvasNeedsRepaint();
}

bool Item::traverse(int, int, int, const JavaPtr<JArray<int>>&) {
    return false;
}

void Item::traverseOut() {}

int Item::getGameAction(int keyCode) {
    const int action = Canvas::getGameActionInternal(keyCode);
    if (action != 0) return action;
    const int zero = expectedKeypressID(0);
    if (keyCode < zero || keyCode > expectedKeypressID(9)) return 0;
    // The digits as on a phone keypad.
    switch (keyCode - zero) {
        case 2:
            return Canvas::UP;
        case 4:
            return Canvas::LEFT;
        case 5:
            return Canvas::FIRE;
        case 6:
            return Canvas::RIGHT;
        case 8:
            return Canvas::DOWN;
        default:
            return 0;
    }
}

void Item::rebuildTouchscreenAreas() {}

void Item::touchscreenAreaEvent(const JavaPtr<java::lang::String>&, int, int, int, int, int, bool) {}

JavaPtr<Displayable> Item::getContainingForm() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_owner == nullptr) return nullptr;
    return JavaPtr<Displayable>(m_owner->ownerDisplayable());
}

ItemOwner* Item::owner() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_owner;
}

JavaPtr<Canvas> Item::getFormCanvas() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_owner == nullptr) return nullptr;
    Displayable* form = m_owner->ownerDisplayable();
    if (form == nullptr) return nullptr;
    JavaPtr<Canvas> canvas = form->getCorrespondingCanvas();
    if (!canvas || !instanceofObj(canvas.counted(), kFormCanvasTypeId)) return nullptr;
    return canvas;
}

int Item::labelHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_label && m_label->length() > 0 ? m_labelFont->getHeight() : 0;
}

int Item::labelWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_label) return 0;
    return std::min(m_labelFont->stringWidth(m_label), usableFormWidth());
}

void Item::updateContentDimensions() {
    LCDUIGuard lock(LCDUILock::mutex());
    const int label = labelHeight();
    m_contentX = HIGHLIGHT_BOX_PAD_X;
    m_contentY = label + HIGHLIGHT_BOX_PAD_Y;
    m_contentWidth = m_width - 2 * HIGHLIGHT_BOX_PAD_X;
    m_contentHeight = m_height - 2 * HIGHLIGHT_BOX_PAD_Y - label;
}

void Item::contentSizeChanged() {
    LCDUIGuard lock(LCDUILock::mutex());
    const int w = m_contentWidth;
    const int h = m_contentHeight;
    deliver([w, h](Item& item) { item.sizeChanged(w, h); });
    rebuildTouchscreenAreas();
}

bool Item::isApplicationItem() {
    return castAsTypeID(CustomItem::TESLclassTypeID) != nullptr;
}

void Item::deliver(std::function<void(Item&)> call) {
    if (!isApplicationItem()) {
        call(*this);
        return;
    }
    JavaPtr<Item> self(this);
    LCDUILock::callOutside([self, call = std::move(call)] { call(*self); });
}

bool Item::traverseFromForm(int dir, int viewportWidth, int viewportHeight,
                            const JavaPtr<JArray<int>>& visRect) {
    if (!isApplicationItem()) return traverse(dir, viewportWidth, viewportHeight, visRect);
    // Held through the call: the form may let go of the item meanwhile.
    JavaPtr<Item> self(this);
    const bool kept =
        LCDUILock::callUnheld([&] { return traverse(dir, viewportWidth, viewportHeight, visRect); });
    LCDUIGuard lock(LCDUILock::mutex());
    return kept && isHighlighted();
}

void Item::askLayoutSizes() {
    if (!isApplicationItem()) return;
    int lockedWidth = -1;
    int lockedHeight = -1;
    {
        LCDUIGuard lock(LCDUILock::mutex());
        lockedWidth = m_preferredWidth;
        lockedHeight = m_preferredHeight;
    }
    JavaPtr<Item> self(this);
    const ContentSizes sizes = LCDUILock::callUnheld([&] {
        return ContentSizes{getMinContentWidth(), getMinContentHeight(),
                            lockedWidth == -1 ? getPrefContentWidth(lockedHeight) : -1,
                            lockedHeight == -1 ? getPrefContentHeight(lockedWidth) : -1};
    });
    LCDUIGuard lock(LCDUILock::mutex());
    // A size locked when asked and unlocked by the layout's time is asked then.
    m_layoutSizes = sizes;
}

void Item::forgetLayoutSizes() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_layoutSizes.reset();
}

bool Item::isHighlighted() {
    return m_owner != nullptr && m_owner->highlightedItem() == this;
}

void Item::paint(const JavaPtr<Graphics>& g) {
    paint(g, nullptr);
}

void Item::paint(const JavaPtr<Graphics>& g, const JavaPtr<Image>& content) {
    LCDUIGuard lock(LCDUILock::mutex());
    g->setColor(_LCDUI_COLOR_FOREGROUND);
    if (m_label && m_label->length() > 0) {
        g->setFont(m_labelFont);
        g->drawString(m_label, m_x, m_y, kAnchorTopLeft);
    }
    if (isHighlighted()) {
        // An inline string item highlights its lines instead.
        auto* text = static_cast<StringItem*>(castAsTypeID(StringItem::TESLclassTypeID));
        if (text == nullptr || !text->m_inline) {
            g->setColor(_LCDUI_COLOR_HIGHLIGHTED_BORDER);
            g->drawRect(m_x, m_y, m_width, m_height);
        }
    }
    if (isApplicationItem()) {
        paintCustomContent(g, content);
    } else {
        paintContent(g);
    }
}

void Item::paintContent(const JavaPtr<Graphics>& g) {
    GraphicsStateScope saved(g);
    saved.clipToScreen();
    g->translate(m_x + m_contentX, m_y + m_contentY);
    paint(g, m_contentWidth, m_contentHeight);
}

JavaPtr<Image> Item::paintContentImage(int w, int h) {
    // Drawn into an image of the content size, so the item's drawing is cut to its content area.
    JavaPtr<Image> image = Image::createImage(w, h);
    JavaPtr<Graphics> imageGraphics = image->getGraphics();
    imageGraphics->setColor(_LCDUI_COLOR_BACKGROUND);
    imageGraphics->fillRect(0, 0, w, h);
    imageGraphics->setColor(_LCDUI_COLOR_FOREGROUND);
    paint(imageGraphics, w, h);
    return image;
}

void Item::paintCustomContent(const JavaPtr<Graphics>& g, const JavaPtr<Image>& content) {
    // Before its first layout, or laid out at a minimum that leaves out the margins, a custom item has no
    // content area; an image of that size cannot be made.
    if (m_contentWidth <= 0 || m_contentHeight <= 0) return;
    JavaPtr<Image> image = content;
    if (!image || image->getWidth() != m_contentWidth || image->getHeight() != m_contentHeight) {
        const int w = m_contentWidth;
        const int h = m_contentHeight;
        JavaPtr<Item> self(this);
        image = LCDUILock::callUnheld([&] { return paintContentImage(w, h); });
        // Laid out anew meanwhile: the next paint has the new size.
        if (m_contentWidth != w || m_contentHeight != h) return;
    }
    GraphicsStateScope saved(g);
    saved.clipToScreen();
    g->drawImage(image, m_x + m_contentX, m_y + m_contentY, kAnchorTopLeft);
}

void Item::registerArea(int x1, int y1, int x2, int y2, const JavaPtr<java::lang::String>& code) {
    LCDUIGuard lock(LCDUILock::mutex());
    const int bx = m_x + m_contentX;
    const int by = m_y + m_contentY;
    TouchScreenAreaManager::registerArea(x1 + bx, y1 + by, x2 + bx, y2 + by, code, m_touchListener,
                                         TouchScreenAreaManager::FORM_ITEMS);
}

void Item::unregisterAll() {
    if (m_touchListener) TouchScreenAreaManager::unregisterAllAreas(m_touchListener);
}

void Item::touchscreenEventCallback(void* context, const JavaPtr<java::lang::String>& code, int eventType,
                                    int relX, int relY, int dx, int dy, bool inside) {
    static_cast<Item*>(context)->touchscreenAreaEvent(code, eventType, relX, relY, dx, dy, inside);
}

void Item::pointerPressedInternal(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    requestHighlight();
    if (m_toContentArea(&x, &y)) deliver([x, y](Item& item) { item.pointerPressed(x, y); });
}

void Item::pointerDraggedInternal(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_toContentArea(&x, &y)) deliver([x, y](Item& item) { item.pointerDragged(x, y); });
}

void Item::pointerReleasedInternal(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_toContentArea(&x, &y)) deliver([x, y](Item& item) { item.pointerReleased(x, y); });
}

void Item::requestHighlight() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_owner == nullptr || m_owner->highlightedItem() == this) return;
    m_owner->highlightItem(this);
    repaint();
}

bool Item::m_toContentArea(int* x, int* y) {
    *x -= m_contentX;
    *y -= m_contentY;
    return *x >= 0 && *x <= m_contentWidth && *y >= 0 && *y <= m_contentHeight;
}

JavaPtr<Item::CommandArray> Item::getCommands() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_commands;
}

JavaPtr<Command> Item::getDefaultCommand() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_defaultCommand;
}

JavaPtr<ItemCommandListener> Item::getItemCommandListener() {
    LCDUIGuard lock(LCDUILock::mutex());
    java::lang::Smart* listener = m_itemCommandListenerIsSelf    ? static_cast<java::lang::Smart*>(this)
                                  : m_itemCommandListenerIsOwner ? m_ownerObject()
                                                                 : nullptr;
    if (listener == nullptr) return m_itemCommandListener;
    return JavaPtr<ItemCommandListener>(
        listener,
        static_cast<ItemCommandListener*>(listener->castAsTypeID(ItemCommandListener::TESLclassTypeID)));
}

bool Item::isWidthLocked() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_widthLocked;
}

bool Item::isHeightLocked() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_heightLocked;
}

int Item::getLockedPreferredWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_preferredWidth;
}

int Item::getLockedPreferredHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_preferredHeight;
}

}  // namespace javax::microedition::lcdui
