#include "forms/ChoiceGroup.h"

#include "forms/ItemOwner.h"
#include "forms/LCDUIColours.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/Integer.h"
#include "runtime/NullPointerException.h"
#include "runtime/NumberFormatException.h"
#include "screens/DisplayableCoreCanvas.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Canvas.h"
#include "shell/Command.h"
#include "shell/Display.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

using java::lang::String;

namespace {

constexpr int kAnchorTopLeft = Graphics::TOP | Graphics::LEFT;
constexpr int kRelease = 1;
constexpr int kMultipleColumn = ChoiceGroup::ROW_INSET + ChoiceGroup::CHECK_BOX_SIZE + ChoiceGroup::ROW_INSET;
constexpr int kExclusiveColumn = ChoiceGroup::ROW_INSET + ChoiceGroup::RADIO_SIZE + ChoiceGroup::ROW_INSET;

// Element changes build the new arrays before anything is replaced, so a failed allocation leaves the
// group as it was.
template <class E>
JavaPtr<JArray<E>> copyOf(const JavaPtr<JArray<E>>& array) {
    JavaPtr<JArray<E>> copy = jnewArray<E>(array->length);
    for (int32_t i = 0; i < array->length; ++i) copy->data[i] = array->data[i];
    return copy;
}

template <class E>
JavaPtr<JArray<E>> withInserted(const JavaPtr<JArray<E>>& array, int at, const E& value) {
    JavaPtr<JArray<E>> grown = jnewArray<E>(array->length + 1);
    for (int32_t i = 0; i < at; ++i) grown->data[i] = array->data[i];
    grown->data[at] = value;
    for (int32_t i = at; i < array->length; ++i) grown->data[i + 1] = array->data[i];
    return grown;
}

template <class E>
JavaPtr<JArray<E>> withoutElement(const JavaPtr<JArray<E>>& array, int at) {
    JavaPtr<JArray<E>> shrunk = jnewArray<E>(array->length - 1);
    for (int32_t i = 0; i < at; ++i) shrunk->data[i] = array->data[i];
    for (int32_t i = at + 1; i < array->length; ++i) shrunk->data[i - 1] = array->data[i];
    return shrunk;
}

}  // namespace

ChoiceGroup::~ChoiceGroup() = default;

ChoiceGroup* ChoiceGroup::TESLinvokeconstructor(const JavaPtr<String>& label, int choiceType) {
    Item::TESLinvokeconstructor();
    m_init(label, choiceType, jnew<StringArray>(0), jnew<ImageArray>(0), false);
    return this;
}

ChoiceGroup* ChoiceGroup::TESLinvokeconstructor(const JavaPtr<String>& label, int choiceType,
                                                const JavaPtr<StringArray>& stringElements,
                                                const JavaPtr<ImageArray>& imageElements) {
    Item::TESLinvokeconstructor();
    m_init(label, choiceType, stringElements, imageElements, false);
    return this;
}

ChoiceGroup* ChoiceGroup::TESLinvokeconstructor(const JavaPtr<String>& label, int choiceType,
                                                const JavaPtr<StringArray>& stringElements,
                                                const JavaPtr<ImageArray>& imageElements, bool listMode) {
    Item::TESLinvokeconstructor();
    m_init(label, choiceType, stringElements, imageElements, listMode);
    return this;
}

void ChoiceGroup::m_init(const JavaPtr<String>& label, int choiceType,
                         const JavaPtr<StringArray>& stringElements, const JavaPtr<ImageArray>& imageElements,
                         bool listMode) {
    LCDUIGuard lock(LCDUILock::mutex());
    Item::setLabel(label);
    const bool typeAccepted = choiceType == EXCLUSIVE || choiceType == MULTIPLE || choiceType == POPUP ||
                              (choiceType == IMPLICIT && listMode);
    if (!typeAccepted) throw java::lang::IllegalArgumentException();
    if (!stringElements) throw java::lang::NullPointerException();
    for (int32_t i = 0; i < stringElements->length; ++i)
        if (!stringElements->data[i]) throw java::lang::NullPointerException();
    if (imageElements && imageElements->length != stringElements->length)
        throw java::lang::NullPointerException();

    m_choiceType = choiceType;
    // Copies: the caller may write a null into its array later, and the rows must never meet one.
    m_strings = copyOf(stringElements);
    m_images = imageElements ? copyOf(imageElements) : nullptr;
    m_listMode = listMode;
    m_numElements = stringElements->length;
    m_selectedFlags = jnewArray<bool>(m_numElements);
    m_selectedIndex = -1;
    m_highlightedIndex = -1;
    m_defaultFont = Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_SMALL);
    m_fonts = jnewArray<JavaPtr<Font>>(m_numElements);
    for (int32_t i = 0; i < m_numElements; ++i) m_fonts->data[i] = m_defaultFont;
    JavaPtr<Display> display = Display::getDisplay(nullptr);
    const int kind = listMode ? Display::LIST_ELEMENT : Display::CHOICE_GROUP_ELEMENT;
    m_imageHeight = display->getBestImageHeight(kind);
    m_imageWidth = display->getBestImageWidth(kind);
    ensureSelection();
    m_areaBaseCode = TouchScreenAreaManager::getUniqueBaseCode(jnew<String>("ChoiceGroup"));
    m_areasRegistered = false;
    m_registeredRows = 0;
}

// ---- Item ----

void ChoiceGroup::notifyStateChanged() {
    {
        LCDUIGuard lock(LCDUILock::mutex());
        if (m_listMode) return;
    }
    Item::notifyStateChanged();
}

bool ChoiceGroup::addToForm(ItemOwner* form) {
    LCDUIGuard lock(LCDUILock::mutex());
    const bool accepted = Item::addToForm(form);
    // A group made outside a form highlights its first element; in a form, only the form's highlight
    // (a traversal into the group) may show one, or the focus would be drawn twice and the first DOWN
    // into the group would skip its first element.
    if (accepted) ensureSelection();
    return accepted;
}

void ChoiceGroup::m_notifyUser() {
    // A group outside a form has no listener to tell; Item's would throw from inside a touch or key.
    if (m_owner != nullptr) notifyStateChanged();
}

bool ChoiceGroup::requiresOwnRow() {
    return true;
}

int ChoiceGroup::getMinContentHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    int height = 0;
    for (int i = 0; i < m_numElements; ++i) height += m_elementRowHeight(i) + ROW_GAP;
    return height;
}

int ChoiceGroup::getMinContentWidth() {
    return Display::screenWidth;
}

int ChoiceGroup::getPrefContentWidth(int) {
    return Display::screenWidth;
}

int ChoiceGroup::getPrefContentHeight(int) {
    return getMinContentHeight();
}

void ChoiceGroup::sizeChanged(int, int) {}

int ChoiceGroup::m_elementRowHeight(int elementNum) {
    LCDUIGuard lock(LCDUILock::mutex());
    int height = m_choiceType == MULTIPLE ? CHECK_BOX_SIZE : m_choiceType == EXCLUSIVE ? RADIO_SIZE : 0;
    if (m_images && m_images->data[elementNum] && m_imageHeight > height) height = m_imageHeight;
    const int fontHeight = m_fonts->data[elementNum]->getHeight();
    return fontHeight > height ? fontHeight : height;
}

bool ChoiceGroup::hasImages() {
    if (!m_images) return false;
    for (int32_t i = 0; i < m_images->length; ++i)
        if (m_images->data[i]) return true;
    return false;
}

int ChoiceGroup::columnStart() const {
    if (m_choiceType == MULTIPLE) return kMultipleColumn;
    if (m_choiceType == EXCLUSIVE) return kExclusiveColumn;
    return ROW_INSET;
}

JavaPtr<String> ChoiceGroup::m_rowCode(int elementNum) {
    return m_areaBaseCode->concat(String::valueOf(elementNum));
}

void ChoiceGroup::paint(const JavaPtr<Graphics>& g, int w, int h) {
    LCDUIGuard lock(LCDUILock::mutex());
    const bool registerRows = !m_areasRegistered;
    if (registerRows) {
        // Rows that deletions took away keep no area: a release there would name no element.
        for (int i = m_numElements; i < m_registeredRows; ++i)
            TouchScreenAreaManager::unregisterArea(m_rowCode(i));
        m_registeredRows = m_numElements;
    }
    if (m_numElements == 0) {
        m_areasRegistered = true;
        return;
    }
    const bool images = hasImages();
    const int c = columnStart();
    const int tx = images ? c + m_imageWidth + ROW_INSET : c + ROW_INSET;
    int y = ROW_INSET;
    for (int i = 0; i < m_numElements; ++i) {
        const int rowH = m_elementRowHeight(i);
        g->setColor(_LCDUI_COLOR_FOREGROUND);
        if (m_choiceType == MULTIPLE) {
            const int top = y + (rowH - CHECK_BOX_SIZE) / 2;
            g->drawRect(ROW_INSET, top, CHECK_BOX_SIZE, CHECK_BOX_SIZE);
            if (m_selectedFlags->data[i]) {
                g->drawLine(7, top + 4, 19, top + 16);
                g->drawLine(19, top + 4, 7, top + 16);
            }
        } else if (m_choiceType == EXCLUSIVE) {
            const int top = y + (rowH - RADIO_SIZE) / 2;
            g->drawArc(ROW_INSET, top, RADIO_SIZE, RADIO_SIZE, 0, 360);
            if (m_selectedFlags->data[i]) g->drawArc(7, top + 4, 8, 8, 0, 360);
        }
        if (m_images && m_images->data[i]) {
            const int iy = y + (rowH - m_imageHeight) / 2;
            g->setClip(c, iy, m_imageWidth, m_imageHeight);
            g->drawImage(m_images->data[i], c, iy, kAnchorTopLeft);
            g->setClip(0, 0, w, h);
        }
        const JavaPtr<Font>& font = m_fonts->data[i];
        g->setFont(font);
        const int fh = font->getHeight();
        const int ty = y + (rowH - fh) / 2;
        const bool highlighted = i == m_highlightedIndex;
        g->setColor(highlighted ? _LCDUI_COLOR_HIGHLIGHTED_BACKGROUND : _LCDUI_COLOR_BACKGROUND);
        g->fillRect(tx, ty, w - tx, fh);
        g->setColor(highlighted ? _LCDUI_COLOR_HIGHLIGHTED_FOREGROUND : _LCDUI_COLOR_FOREGROUND);
        g->drawString(m_strings->data[i], tx, ty, kAnchorTopLeft);
        if (registerRows) registerArea(ROW_INSET, y, m_contentWidth - ROW_INSET, y + rowH, m_rowCode(i));
        y += rowH + ROW_GAP;
    }
    m_areasRegistered = true;
}

void ChoiceGroup::rebuildTouchscreenAreas() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_areasRegistered = false;
}

int ChoiceGroup::m_rowIndexForCode(const JavaPtr<String>& code) {
    if (!code) return -1;
    const int underscore = code->indexOf('_');
    if (underscore < 0) return -1;
    int index = -1;
    try {
        index = java::lang::Integer::parseInt(code->substring(underscore + 1));
    } catch (java::lang::NumberFormatException&) {
        return -1;
    }
    return index >= 0 && index < m_numElements ? index : -1;
}

void ChoiceGroup::touchscreenAreaEvent(const JavaPtr<String>& code, int eventType, int relX, int relY, int dx,
                                       int dy, bool inside) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (eventType != kRelease) {
        Item::touchscreenAreaEvent(code, eventType, relX, relY, dx, dy, inside);
        return;
    }
    if (!inside) return;
    const int index = m_rowIndexForCode(code);
    // A row left over from before a deletion names no element: it does nothing.
    if (index < 0) return;
    if (m_choiceType == MULTIPLE) {
        m_selectedFlags->data[index] = !m_selectedFlags->data[index];
        repaint();
        m_notifyUser();
    } else {
        m_setSelectedIndex(index, true, true);
    }
    m_highlightedIndex = index;
    repaint();
}

void ChoiceGroup::keyReleased(int keyCode) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (getGameAction(keyCode) != Canvas::FIRE || m_highlightedIndex == -1) return;
    const int h = m_highlightedIndex;
    if (m_choiceType == IMPLICIT) {
        if (m_selectedIndex != h) {
            if (m_selectedIndex != -1) m_selectedFlags->data[m_selectedIndex] = false;
            m_selectedFlags->data[h] = true;
            m_selectedIndex = h;
            repaint();
            m_notifyUser();
        }
        JavaPtr<Canvas> canvas = getFormCanvas();
        auto* core = canvas ? static_cast<DisplayableCoreCanvas*>(
                                  canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID))
                            : nullptr;
        if (core != nullptr) core->triggerCommand(m_selectCommand);
    } else if (m_choiceType == MULTIPLE) {
        m_selectedFlags->data[h] = !m_selectedFlags->data[h];
        repaint();
        m_notifyUser();
    } else if (!m_selectedFlags->data[h]) {
        if (m_selectedIndex != -1) m_selectedFlags->data[m_selectedIndex] = false;
        m_selectedFlags->data[h] = true;
        m_selectedIndex = h;
        repaint();
        m_notifyUser();
    }
}

bool ChoiceGroup::traverse(int dir, int, int, const JavaPtr<JArray<int>>& visRect) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_numElements == 0) return false;
    const int h = m_highlightedIndex;
    const int last = m_numElements - 1;
    int next = h;
    switch (dir) {
        case 0:
            next = h == -1 ? 0 : h;
            break;
        case Canvas::UP:
            next = h == -1 ? last : h > 0 ? h - 1 : h;
            break;
        case Canvas::DOWN:
            next = h == -1 ? 0 : h < last ? h + 1 : h;
            break;
        case Canvas::LEFT:
            next = h == -1 ? last : h;
            break;
        case Canvas::RIGHT:
            next = h == -1 ? 0 : h;
            break;
        default:
            next = h;
            break;
    }
    m_highlightedIndex = next;
    if (next != -1 && visRect && visRect->length >= 4) {
        int top = 0;
        for (int i = 0; i < next; ++i) top += m_elementRowHeight(i) + ROW_GAP;
        visRect->data[1] = top;
        visRect->data[3] = m_elementRowHeight(next);
    }
    if (dir == 0 || next != h) {
        repaint();
        return true;
    }
    m_highlightedIndex = -1;
    repaint();
    return false;
}

void ChoiceGroup::traverseOut() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_highlightedIndex = -1;
    repaint();
}

// ---- Element access ----

bool ChoiceGroup::validateElementNum(int elementNum) {
    if (elementNum < 0 || elementNum >= m_numElements) throw java::lang::IndexOutOfBoundsException();
    return true;
}

int ChoiceGroup::size() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_numElements;
}

JavaPtr<String> ChoiceGroup::getString(int elementNum) {
    LCDUIGuard lock(LCDUILock::mutex());
    validateElementNum(elementNum);
    return m_strings->data[elementNum];
}

JavaPtr<Image> ChoiceGroup::getImage(int elementNum) {
    LCDUIGuard lock(LCDUILock::mutex());
    validateElementNum(elementNum);
    return m_images ? m_images->data[elementNum] : nullptr;
}

JavaPtr<Font> ChoiceGroup::getFont(int elementNum) {
    LCDUIGuard lock(LCDUILock::mutex());
    validateElementNum(elementNum);
    return m_fonts->data[elementNum];
}

bool ChoiceGroup::isSelected(int elementNum) {
    LCDUIGuard lock(LCDUILock::mutex());
    validateElementNum(elementNum);
    return m_selectedFlags->data[elementNum];
}

int ChoiceGroup::getSelectedIndex() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_choiceType == MULTIPLE ? -1 : m_selectedIndex;
}

int ChoiceGroup::getFitPolicy() {
    return 0;
}

void ChoiceGroup::setFitPolicy(int) {}

void ChoiceGroup::setFont(int elementNum, const JavaPtr<Font>& font) {
    LCDUIGuard lock(LCDUILock::mutex());
    validateElementNum(elementNum);
    // Every row measurement needs a font: null stands for the font new elements get.
    m_fonts->data[elementNum] = font ? font : m_defaultFont;
}

void ChoiceGroup::set(int elementNum, const JavaPtr<String>& stringPart, const JavaPtr<Image>& imagePart) {
    LCDUIGuard lock(LCDUILock::mutex());
    validateElementNum(elementNum);
    if (!stringPart) throw java::lang::NullPointerException();
    if (!m_images && imagePart) m_images = jnewArray<JavaPtr<Image>>(m_numElements);
    m_strings->data[elementNum] = stringPart;
    if (m_images) m_images->data[elementNum] = imagePart;
    invalidate();
    // The row's height may change with its image; its area follows at the next paint.
    rebuildTouchscreenAreas();
}

// ---- Element changes ----

int ChoiceGroup::append(const JavaPtr<String>& stringPart, const JavaPtr<Image>& imagePart) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!stringPart) throw java::lang::NullPointerException();
    const int index = m_numElements;
    JavaPtr<StringArray> strings = withInserted(m_strings, index, stringPart);
    JavaPtr<ImageArray> images;
    if (m_images || imagePart) {
        images =
            withInserted(m_images ? m_images : jnewArray<JavaPtr<Image>>(m_numElements), index, imagePart);
    }
    JavaPtr<JArray<bool>> flags = withInserted(m_selectedFlags, index, false);
    JavaPtr<JArray<JavaPtr<Font>>> fonts = withInserted(m_fonts, index, m_defaultFont);
    m_strings = strings;
    m_images = images;
    m_selectedFlags = flags;
    m_fonts = fonts;
    ++m_numElements;
    ensureSelection();
    invalidate();
    rebuildTouchscreenAreas();
    return index;
}

void ChoiceGroup::insert(int elementNum, const JavaPtr<String>& stringPart, const JavaPtr<Image>& imagePart) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (elementNum < 0 || elementNum > m_numElements) throw java::lang::IndexOutOfBoundsException();
    if (!stringPart) throw java::lang::NullPointerException();
    JavaPtr<StringArray> strings = withInserted(m_strings, elementNum, stringPart);
    JavaPtr<ImageArray> images;
    if (m_images || imagePart) {
        images = withInserted(m_images ? m_images : jnewArray<JavaPtr<Image>>(m_numElements), elementNum,
                              imagePart);
    }
    JavaPtr<JArray<bool>> flags = withInserted(m_selectedFlags, elementNum, false);
    JavaPtr<JArray<JavaPtr<Font>>> fonts = withInserted(m_fonts, elementNum, m_defaultFont);
    if (elementNum <= m_selectedIndex) ++m_selectedIndex;
    if (elementNum <= m_highlightedIndex) ++m_highlightedIndex;
    m_strings = strings;
    m_images = images;
    m_selectedFlags = flags;
    m_fonts = fonts;
    ++m_numElements;
    invalidate();
    ensureSelection();
    // The rows below the new one move down; their areas follow at the next paint.
    rebuildTouchscreenAreas();
}

void ChoiceGroup::deleteJ(int elementNum) {
    LCDUIGuard lock(LCDUILock::mutex());
    validateElementNum(elementNum);
    JavaPtr<StringArray> strings = withoutElement(m_strings, elementNum);
    JavaPtr<ImageArray> images = m_images ? withoutElement(m_images, elementNum) : nullptr;
    JavaPtr<JArray<bool>> flags = withoutElement(m_selectedFlags, elementNum);
    JavaPtr<JArray<JavaPtr<Font>>> fonts = withoutElement(m_fonts, elementNum);
    m_strings = strings;
    m_images = images;
    m_selectedFlags = flags;
    m_fonts = fonts;
    if (elementNum <= m_selectedIndex) --m_selectedIndex;
    if (elementNum <= m_highlightedIndex) --m_highlightedIndex;
    --m_numElements;
    invalidate();
    ensureSelection();
    rebuildTouchscreenAreas();
}

void ChoiceGroup::deleteAll() {
    LCDUIGuard lock(LCDUILock::mutex());
    m_strings = jnew<StringArray>(0);
    m_images = jnew<ImageArray>(0);
    m_selectedFlags = jnew<JArray<bool>>(0);
    m_fonts = jnew<JArray<JavaPtr<Font>>>(0);
    m_numElements = 0;
    ensureSelection();
    invalidate();
    rebuildTouchscreenAreas();
}

// ---- Selection ----

bool ChoiceGroup::isSingleSelection() const {
    return m_choiceType != MULTIPLE;
}

void ChoiceGroup::setSelectedIndex(int elementNum, bool selected) {
    LCDUIGuard lock(LCDUILock::mutex());
    validateElementNum(elementNum);
    m_setSelectedIndex(elementNum, selected, false);
}

void ChoiceGroup::m_setSelectedIndex(int elementNum, bool selected, bool notify) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (elementNum < 0 || elementNum >= m_numElements) return;
    if (m_choiceType == MULTIPLE) {
        if (m_selectedFlags->data[elementNum] == selected) return;
        m_selectedFlags->data[elementNum] = selected;
        repaint();
        if (notify) m_notifyUser();
        return;
    }
    // A single-selection element cannot be deselected.
    if (!selected) return;
    const int previous = m_selectedIndex;
    if (previous != -1) m_selectedFlags->data[previous] = false;
    m_selectedFlags->data[elementNum] = true;
    m_selectedIndex = elementNum;
    if (elementNum != previous) {
        repaint();
        if (notify) m_notifyUser();
    }
}

int ChoiceGroup::getSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!selectedArray || selectedArray->length < m_numElements) throw java::lang::NullPointerException();
    int selected = 0;
    for (int32_t i = 0; i < selectedArray->length; ++i) {
        const bool flag = i < m_numElements && m_selectedFlags->data[i];
        selectedArray->data[i] = flag;
        selected += flag ? 1 : 0;
    }
    return selected;
}

void ChoiceGroup::setSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!selectedArray || selectedArray->length < m_numElements) throw java::lang::NullPointerException();
    const int previousIndex = m_selectedIndex;
    JavaPtr<JArray<bool>> previousFlags = m_selectedFlags;
    m_selectedFlags = jnewArray<bool>(m_numElements);
    m_selectedIndex = -1;
    bool flagsChanged = false;
    if (m_choiceType == MULTIPLE) {
        for (int32_t i = 0; i < m_numElements; ++i) {
            m_selectedFlags->data[i] = selectedArray->data[i];
            flagsChanged = flagsChanged || selectedArray->data[i] != previousFlags->data[i];
        }
    } else {
        for (int32_t i = 0; i < m_numElements; ++i) {
            if (selectedArray->data[i]) {
                m_selectedIndex = i;
                break;
            }
        }
        ensureSelection();
    }
    if (m_selectedIndex != previousIndex || flagsChanged) invalidate();
}

void ChoiceGroup::ensureSelection() {
    const bool exclusive = m_choiceType == EXCLUSIVE || m_choiceType == POPUP;
    const int remembered = m_selectedIndex;
    if (exclusive) {
        if (m_numElements == 0) {
            m_selectedIndex = -1;
        } else if (m_selectedIndex == -1) {
            m_selectedIndex = 0;
        }
    }
    if (isSingleSelection() && m_selectedIndex != -1) m_selectedFlags->data[m_selectedIndex] = true;
    if (exclusive && m_selectedIndex != remembered) invalidate();
    if (m_numElements == 0) {
        m_highlightedIndex = -1;
    } else if (m_owner != nullptr && m_owner->highlightedItem() != this) {
        m_highlightedIndex = -1;
    } else if (m_highlightedIndex == -1) {
        m_highlightedIndex = 0;
    }
}

void ChoiceGroup::setSelectCommand(const JavaPtr<Command>& c) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_selectCommand = c;
}

int ChoiceGroup::getChoiceType() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_choiceType;
}

int ChoiceGroup::getHighlightedIndex() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_highlightedIndex;
}

}  // namespace javax::microedition::lcdui
