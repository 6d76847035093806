#include "forms/TextField.h"

#include <algorithm>
#include <vector>

#include "forms/ItemOwner.h"
#include "forms/LCDUIColours.h"
#include "forms/StringItem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "library/DeviceClock.h"
#include "library/LCDUIStrings.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"
#include "runtime/StringIndexOutOfBoundsException.h"
#include "screens/DisplayableCoreCanvas.h"
#include "shell/Canvas.h"
#include "shell/Command.h"
#include "shell/Display.h"
#include "shell/Displayable.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

using java::lang::String;

namespace {

constexpr int NUM_KEY_SETS = 9;

// The keypad's letters by multi-tap, one row per key 1..9.
const unsigned short CHARS_IN_KEY_SET[NUM_KEY_SETS][9] = {
    {u'.', u',', u'/', u'1'},       {u'a', u'b', u'c', u'2'}, {u'd', u'e', u'f', u'3'},
    {u'g', u'h', u'i', u'4'},       {u'j', u'k', u'l', u'5'}, {u'm', u'n', u'o', u'6'},
    {u'p', u'q', u'r', u's', u'7'}, {u't', u'u', u'v', u'8'}, {u'w', u'x', u'y', u'z', u'9'},
};
const int NUM_CHARS_IN_KEY_SET[NUM_KEY_SETS] = {4, 4, 4, 4, 4, 4, 5, 4, 5};

// The symbol selector's grid, row by row; index = row * 5 + column.
const unsigned short CHARS_SELECT_CHARS[8] = {u'.', u',', u':', u';', u'/', u'\\', u'@', 0};

JavaPtr<String> emptyText() {
    return jnew<String>(static_cast<const unsigned short*>(nullptr), 0);
}

JavaPtr<String> oneCharacter(unsigned short c) {
    return jnew<String>(&c, 1);
}

// The text with [from, to) replaced by src, in one copy.
JavaPtr<String> spliced(const JavaPtr<String>& text, int from, int to, const unsigned short* src, int count) {
    const unsigned short* units = text->unitData();
    std::vector<unsigned short> out;
    out.reserve(static_cast<size_t>(text->length() - (to - from) + count));
    out.insert(out.end(), units, units + from);
    out.insert(out.end(), src, src + count);
    out.insert(out.end(), units + to, units + text->length());
    return jnew<String>(out.data(), static_cast<int>(out.size()));
}

}  // namespace

TextField::~TextField() = default;

TextField* TextField::TESLinvokeconstructor(const JavaPtr<String>& label, const JavaPtr<String>& text,
                                            int maxSize, int constraints) {
    return TESLinvokeconstructor(label, text, maxSize, constraints, false);
}

TextField* TextField::TESLinvokeconstructor(const JavaPtr<String>& label, const JavaPtr<String>& text,
                                            int maxSize, int constraints, bool fillsForm) {
    Item::TESLinvokeconstructor();
    m_init(label, text, maxSize, constraints, fillsForm);
    return this;
}

void TextField::m_init(const JavaPtr<String>& label, const JavaPtr<String>& text, int maxSize,
                       int constraints, bool fillsForm) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (maxSize < 1) throw java::lang::IllegalArgumentException();
    // A text over the limit would refuse every later insertion, so it is refused here, as setString does.
    if (text && text->length() > maxSize) throw java::lang::IllegalArgumentException();
    m_contentWidth = Display::screenWidth;
    m_font = Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_SMALL);
    setLabel(label);
    m_actualText = text ? text : emptyText();
    m_maxSize = maxSize;
    m_multiTapKeySet = -1;
    m_constraints = constraints;
    m_actualTextChanged(false);
    m_actualPos = 0;
    m_preferredCol = 0;
    m_actualPosChanged();
    m_lastKeyPressMS = -1;
    m_lastKey = DisplayableCoreCanvas::NO_KEY;
    m_charSelectorShown = false;
    m_charSelectorRow = 0;
    m_charSelectorCol = 0;
    m_traversedIn = false;
    m_fillsForm = fillsForm;
}

// ---- The application's operations ----

JavaPtr<String> TextField::getString() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_actualText;
}

int TextField::size() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_size;
}

int TextField::getMaxSize() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_maxSize;
}

int TextField::getConstraints() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_constraints;
}

int TextField::getCaretPosition() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_actualPos;
}

void TextField::setString(const JavaPtr<String>& text) {
    LCDUIGuard lock(LCDUILock::mutex());
    const JavaPtr<String> candidate = text ? text : emptyText();
    if (candidate->length() > m_maxSize) throw java::lang::IllegalArgumentException();
    if (!m_validate(candidate, m_constraints)) throw java::lang::IllegalArgumentException();
    m_actualText = candidate;
    m_multiTapKeySet = -1;
    m_actualTextChanged(false);
}

void TextField::setChars(const JavaPtr<CharArray>& data, int offset, int length) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!data) throw java::lang::NullPointerException();
    if (offset < 0 || length < 0 || static_cast<int64_t>(offset) + length > data->length)
        throw java::lang::ArrayIndexOutOfBoundsException();
    setString(jnew<String>(data->data + offset, length));
}

int TextField::getChars(const JavaPtr<CharArray>& data) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!data) throw java::lang::NullPointerException();
    if (data->length < m_size) throw java::lang::ArrayIndexOutOfBoundsException();
    std::copy_n(m_actualText->unitData(), m_size, data->data);
    return m_size;
}

void TextField::insert(const JavaPtr<String>& src, int position) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_insertInternal(src, position, true, false);
}

void TextField::insert(const JavaPtr<CharArray>& data, int offset, int length, int position) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!data) throw java::lang::NullPointerException();
    if (offset < 0 || length < 0 || static_cast<int64_t>(offset) + length > data->length)
        throw java::lang::ArrayIndexOutOfBoundsException();
    insert(jnew<String>(data->data + offset, length), position);
}

void TextField::deleteJ(int offset, int length) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_deleteInternal(offset, length, true, false);
}

int TextField::setMaxSize(int maxSize) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (maxSize < 1) throw java::lang::IllegalArgumentException();
    if (m_size > maxSize) {
        JavaPtr<String> cut = m_actualText->substring(0, maxSize);
        if (!m_validate(cut, m_constraints)) throw java::lang::IllegalArgumentException();
        m_actualText = cut;
        m_multiTapKeySet = -1;
        m_actualTextChanged(false);
    }
    m_maxSize = maxSize;
    return maxSize;
}

void TextField::setConstraints(int constraints) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_constraints = constraints;
    m_actualTextChanged(false);
    repaint();
}

void TextField::setInitialInputMode(const JavaPtr<String>&) {}

// ---- Item's operations ----

void TextField::notifyStateChanged() {
    {
        LCDUIGuard lock(LCDUILock::mutex());
        // A field outside a form has nobody to tell; the user's typing must not throw for it.
        if (m_fillsForm || m_owner == nullptr) return;
    }
    Item::notifyStateChanged();
}

bool TextField::requiresOwnRow() {
    return true;
}

int TextField::getMinContentWidth() {
    return Display::screenWidth;
}

int TextField::getPrefContentWidth(int) {
    return Display::screenWidth;
}

int TextField::getMinContentHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    int height = m_lines ? m_lines->length * m_lineHeight() + 3 : m_lineHeight();
    if (m_fillsForm) {
        if (JavaPtr<Displayable> form = getContainingForm())
            height = std::max(height, form->getHeight() * 8 / 10);
    }
    return height;
}

int TextField::getPrefContentHeight(int) {
    return getMinContentHeight();
}

void TextField::sizeChanged(int, int) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_wrapText();
}

// ---- Text model ----

int TextField::m_lineHeight() {
    return m_font->getHeight() + 3;
}

int TextField::m_lineLength(int row) {
    return m_lines->data[row]->length();
}

void TextField::m_setDisplayTextFromActualText() {
    if ((m_constraints & PASSWORD) == 0) {
        m_displayText = m_actualText;
        return;
    }
    const int n = m_actualText->length();
    std::vector<unsigned short> masked(static_cast<size_t>(n), u'*');
    // The multi-tap character just typed shows in clear until it is committed.
    if (m_multiTapKeySet != -1 && m_actualPos > 0 && m_actualPos <= n)
        masked[static_cast<size_t>(m_actualPos - 1)] = m_actualText->charAt(m_actualPos - 1);
    m_displayText = jnew<String>(masked.data(), n);
}

void TextField::m_actualTextChanged(bool notify) {
    m_size = m_actualText->length();
    // The caret follows every change of the text, not only one that changes the number of lines: a
    // caret past the end would make the next typed character throw.
    if (m_actualPos > m_size) m_actualPos = m_size;
    if (m_actualPos < 0) m_actualPos = 0;
    m_displayPos = m_actualPos;
    m_setDisplayTextFromActualText();
    if (notify) notifyStateChanged();
    m_wrapText();
    m_setCaretDisplayRowAndColFromPos();
    repaint();
}

bool TextField::m_validate(const JavaPtr<String>& candidate, int) {
    if ((m_constraints & UNEDITABLE) != 0) return candidate.get() == m_actualText.get();
    return true;
}

void TextField::m_wrapText() {
    const int oldCount = m_lines ? m_lines->length : -1;
    std::vector<JavaPtr<String>> lines;
    std::vector<int> starts;
    std::vector<bool> hyphens;
    const JavaPtr<String>& text = m_displayText;
    int position = 0;
    for (;;) {
        int next = -1;
        bool hyphenated = false;
        JavaPtr<String> line =
            StringItem::wrapTextLine(position, m_contentWidth, &next, &hyphenated, text, m_font);
        if (!line) line = emptyText();
        // The wrap appends the hyphen; the field draws it itself and keeps the line's text true.
        if (hyphenated && line->length() > 0) line = line->substring(0, line->length() - 1);
        lines.push_back(line);
        starts.push_back(position);
        hyphens.push_back(hyphenated);
        if (next == -1) break;
        position = next;
    }
    const int count = static_cast<int>(lines.size());
    JavaPtr<LineArray> lineArray = jnewArray<JavaPtr<String>>(count);
    JavaPtr<JArray<int>> startArray = jnewArray<int>(count);
    JavaPtr<JArray<bool>> hyphenArray = jnewArray<bool>(count);
    for (int i = 0; i < count; ++i) {
        lineArray->data[i] = std::move(lines[static_cast<size_t>(i)]);
        startArray->data[i] = starts[static_cast<size_t>(i)];
        hyphenArray->data[i] = hyphens[static_cast<size_t>(i)];
    }
    m_lines = std::move(lineArray);
    m_lineStarts = std::move(startArray);
    m_lineHyphenated = std::move(hyphenArray);
    if (count != oldCount) {
        invalidate();
        m_setCaretDisplayRowAndColFromPos();
        repaint();
    }
}

void TextField::m_setCaretDisplayRowAndColFromPos() {
    if (!m_lines || m_lines->length == 0) return;
    // The last line starting at or before the position; at the seam of a line broken inside a word the
    // later line wins.
    const int* starts = m_lineStarts->data;
    const int count = m_lines->length;
    const int row = static_cast<int>(std::upper_bound(starts, starts + count, m_displayPos) - starts) - 1;
    if (row >= 0 && m_displayPos <= starts[row] + m_lineLength(row)) {
        m_caretDisplayRow = row;
        m_caretDisplayCol = m_displayPos - starts[row];
    }
    // A position inside the spaces at a line break keeps the row and column; they must still name a line.
    if (m_caretDisplayRow >= count || m_caretDisplayRow < 0) {
        m_caretDisplayRow = count - 1;
        m_caretDisplayCol = m_lineLength(count - 1);
        m_displayPos = starts[count - 1] + m_caretDisplayCol;
        m_setActualPosFromDisplayPos();
    }
}

void TextField::m_setCaretDisplayPosFromRowAndCol() {
    m_displayPos = m_lineStarts->data[m_caretDisplayRow] + m_caretDisplayCol;
}

void TextField::m_setActualPosFromDisplayPos() {
    m_actualPos = m_displayPos;
}

void TextField::m_setDisplayPosFromActualPos() {
    m_displayPos = m_actualPos;
}

void TextField::m_actualPosChanged() {
    m_setDisplayPosFromActualPos();
    m_setCaretDisplayRowAndColFromPos();
    repaint();
}

bool TextField::m_insertInternal(const JavaPtr<String>& src, int position, bool throwErrors, bool notify) {
    return m_insertText(src, position, throwErrors, notify, -1);
}

bool TextField::m_insertText(const JavaPtr<String>& src, int position, bool throwErrors, bool notify,
                             int pendingKeySet) {
    if (!src) {
        if (throwErrors) throw java::lang::NullPointerException();
        return false;
    }
    if (static_cast<int64_t>(m_size) + src->length() > m_maxSize) {
        if (throwErrors) throw java::lang::IllegalArgumentException();
        return false;
    }
    // Whatever the caller asked for, a position outside the text is the substring's exception.
    if (position < 0 || position > m_size) throw java::lang::StringIndexOutOfBoundsException();
    JavaPtr<String> candidate = spliced(m_actualText, position, position, src->unitData(), src->length());
    if (!m_validate(candidate, m_constraints)) {
        if (throwErrors) throw java::lang::IllegalArgumentException();
        return false;
    }
    if (position <= m_actualPos) m_actualPos += src->length();
    m_actualText = candidate;
    // Every edit ends a pending multi-tap character but the one it is itself.
    m_multiTapKeySet = pendingKeySet;
    m_actualTextChanged(notify);
    m_displayPos = m_actualPos;
    m_setCaretDisplayRowAndColFromPos();
    repaint();
    return true;
}

bool TextField::m_deleteInternal(int offset, int length, bool throwErrors, bool notify) {
    if (offset < 0 || length < 0 || offset > m_size || static_cast<int64_t>(offset) + length > m_size) {
        if (throwErrors) throw java::lang::StringIndexOutOfBoundsException();
        return false;
    }
    if (length == 0) return true;
    JavaPtr<String> candidate = spliced(m_actualText, offset, offset + length, nullptr, 0);
    if (!m_validate(candidate, m_constraints)) {
        if (throwErrors) throw java::lang::IllegalArgumentException();
        return false;
    }
    if (offset + length <= m_actualPos) {
        m_actualPos -= length;
    } else if (offset <= m_actualPos) {
        m_actualPos = offset;
    }
    m_actualText = candidate;
    m_multiTapKeySet = -1;
    m_actualTextChanged(notify);
    m_displayPos = m_actualPos;
    m_setCaretDisplayRowAndColFromPos();
    repaint();
    return true;
}

void TextField::m_endPendingCharacter() {
    if (m_multiTapKeySet == -1) return;
    m_multiTapKeySet = -1;
    if ((m_constraints & PASSWORD) != 0) m_actualTextChanged(false);
    repaint();
}

// ---- Traversal and touch ----

void TextField::m_setVisibleRectangle(const JavaPtr<JArray<int>>& visRect) {
    if (!visRect || visRect->length < 4) return;
    visRect->data[1] = m_caretDisplayRow * m_lineHeight();
    visRect->data[3] = m_lineHeight();
}

bool TextField::traverse(int dir, int, int, const JavaPtr<JArray<int>>& visRect) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_charSelectorShown) {
        if (dir == Canvas::DOWN) {
            m_charSelectorRow = 1;
        } else if (dir == Canvas::UP) {
            m_charSelectorRow = 0;
        } else if (dir == Canvas::LEFT) {
            if (m_charSelectorCol > 0) {
                --m_charSelectorCol;
            } else if (m_charSelectorRow == 1) {
                m_charSelectorRow = 0;
                m_charSelectorCol = SELECTOR_COLUMNS - 1;
            }
        } else if (dir == Canvas::RIGHT) {
            if (m_charSelectorCol < SELECTOR_COLUMNS - 1) {
                ++m_charSelectorCol;
            } else if (m_charSelectorRow == 0) {
                m_charSelectorRow = 1;
                m_charSelectorCol = 0;
            }
        }
        m_traversedIn = true;
        m_setVisibleRectangle(visRect);
        repaint();
        return true;
    }
    const bool inside = m_traversedIn;
    const int last = m_lines->length - 1;
    int row = std::min(m_caretDisplayRow, last);
    int col = m_caretDisplayCol;
    bool leave = false;
    if (!inside) {
        if (dir == Canvas::DOWN) row = 0;
        if (dir == Canvas::UP) row = last;
    } else if (dir == Canvas::DOWN) {
        if (row < last) {
            ++row;
            col = m_preferredCol;
        } else {
            leave = true;
        }
    } else if (dir == Canvas::UP) {
        if (row > 0) {
            --row;
            col = m_preferredCol;
        } else {
            leave = true;
        }
    } else if (dir == Canvas::LEFT) {
        if (col > 0) {
            col = std::min(col, m_lineLength(row)) - 1;
        } else if (row > 0) {
            --row;
            col = m_lineLength(row);
        } else {
            col = 0;
            leave = true;
        }
    } else if (dir == Canvas::RIGHT) {
        if (col < m_lineLength(row)) {
            ++col;
        } else if (row < last) {
            ++row;
            col = 0;
        } else {
            leave = true;
        }
    }
    col = std::clamp(col, 0, m_lineLength(row));
    if (inside && (dir == Canvas::LEFT || dir == Canvas::RIGHT)) m_preferredCol = col;
    m_traversedIn = !leave;
    m_caretDisplayRow = row;
    m_caretDisplayCol = col;
    const int oldPos = m_actualPos;
    m_setCaretDisplayPosFromRowAndCol();
    m_setActualPosFromDisplayPos();
    // A caret moved away from a pending multi-tap character commits it: the next press of the key
    // must not replace a character somewhere else.
    if (m_actualPos != oldPos) m_endPendingCharacter();
    repaint();
    m_setVisibleRectangle(visRect);
    repaint();
    return m_traversedIn;
}

void TextField::pointerPressed(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    const int row = std::clamp(y / m_lineHeight(), 0, m_lines->length - 1);
    const JavaPtr<String>& line = m_lines->data[row];
    const int length = line->length();
    int col = length;
    for (int c = 1; c <= length; ++c) {
        if (m_font->stringWidth(line->substring(0, c)) > x) {
            col = c;
            break;
        }
    }
    m_caretDisplayRow = row;
    m_caretDisplayCol = col;
    m_preferredCol = col;
    m_setCaretDisplayPosFromRowAndCol();
    m_setActualPosFromDisplayPos();
    m_endPendingCharacter();
    repaint();
    requestHighlight();
}

// ---- Painting ----

void TextField::paint(const JavaPtr<Graphics>& g, int, int) {
    LCDUIGuard lock(LCDUILock::mutex());
    const bool highlighted = m_owner != nullptr && isHighlighted();
    g->setFont(m_font);
    g->setColor(_LCDUI_COLOR_FOREGROUND);
    const int fontHeight = m_font->getHeight();
    const JavaPtr<String> hyphen = oneCharacter(u'-');
    for (int32_t i = 0; i < m_lines->length; ++i) {
        const int y = 3 + i * m_lineHeight();
        const JavaPtr<String>& line = m_lines->data[i];
        g->drawString(m_lineHyphenated->data[i] ? line->concat(hyphen) : line, 0, y,
                      Graphics::TOP | Graphics::LEFT);
        if (highlighted && i == m_caretDisplayRow && m_multiTapKeySet == -1) {
            const int col = std::clamp(m_caretDisplayCol, 0, line->length());
            const int x = m_font->stringWidth(line->substring(0, col));
            g->drawLine(x, y, x, y + fontHeight);
        }
    }
    if (m_charSelectorShown) m_paintCharSelector(g);
}

void TextField::m_paintCharSelector(const JavaPtr<Graphics>& g) {
    const int savedX = g->getTranslateX();
    const int savedY = g->getTranslateY();
    g->translate(-savedX, -savedY);
    g->setClip(0, 0, Display::screenWidth, Display::screenHeight);
    JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
    area->data[2] = Display::screenWidth;
    area->data[3] = Display::screenHeight;
    JavaPtr<Canvas> canvas = getFormCanvas();
    if (auto* core = canvas ? static_cast<DisplayableCoreCanvas*>(
                                  canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID))
                            : nullptr)
        core->getUnreservedArea(area);
    const int width = SELECTOR_COLUMNS * SELECTOR_CELL;
    const int height = SELECTOR_ROWS * SELECTOR_CELL;
    const int x0 = ((area->data[2] - area->data[0]) - width) / 2;
    const int y0 = ((area->data[3] - area->data[1]) - height) / 2;
    g->setColor(_LCDUI_COLOR_BORDER);
    g->drawRect(x0, y0, width, height);
    for (int c = 0; c < SELECTOR_COLUMNS; ++c) {
        const int x = x0 + SELECTOR_CELL * c;
        for (int r = 0; r < SELECTOR_ROWS; ++r) {
            const int y = y0 + SELECTOR_CELL * r;
            const int index = r * SELECTOR_COLUMNS + c;
            const bool selected = r == m_charSelectorRow && c == m_charSelectorCol;
            g->setColor(selected ? _LCDUI_COLOR_HIGHLIGHTED_BACKGROUND : _LCDUI_COLOR_BACKGROUND);
            g->fillRect(x, y, SELECTOR_CELL, SELECTOR_CELL);
            if (index < SELECTOR_SYMBOLS) {
                g->setColor(selected ? _LCDUI_COLOR_HIGHLIGHTED_FOREGROUND : _LCDUI_COLOR_FOREGROUND);
                g->drawString(oneCharacter(CHARS_SELECT_CHARS[index]), x + SELECTOR_CELL / 2,
                              y + SELECTOR_CELL / 2, Graphics::HCENTER | Graphics::VCENTER);
            }
            g->setColor(_LCDUI_COLOR_BORDER);
            g->drawRect(x, y, SELECTOR_CELL, SELECTOR_CELL);
        }
    }
    g->translate(savedX, savedY);
}

// ---- Input ----

void TextField::keyPressed(int keyCode) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_charSelectorShown) return;
    const long long now = java::lang::DeviceClock::currentTimeMillis();
    const int firstKey = DisplayableCoreCanvas::KEY_NUM0 + 1;
    if (keyCode < firstKey || keyCode > DisplayableCoreCanvas::KEY_NUM9) {
        if (m_multiTapKeySet != -1) {
            invalidate();
            m_endPendingCharacter();
        }
    } else {
        const int set = keyCode - firstKey;
        // The same key within the window steps the character it typed, as long as that character is
        // still pending just before the caret: a refused insertion, a caret move or another edit has
        // ended it, and then the press types a new character rather than overwrite an old one.
        const bool step = keyCode == m_lastKey && now <= m_lastKeyPressMS + MULTI_TAP_MS &&
                          m_multiTapKeySet == set && m_actualPos > 0;
        if (step) {
            m_multiTapIndex = (m_multiTapIndex + 1) % NUM_CHARS_IN_KEY_SET[set];
            const unsigned short c = CHARS_IN_KEY_SET[set][m_multiTapIndex];
            JavaPtr<String> candidate = spliced(m_actualText, m_actualPos - 1, m_actualPos, &c, 1);
            if (m_validate(candidate, m_constraints)) {
                m_actualText = candidate;
                m_actualTextChanged(true);
            } else {
                m_endPendingCharacter();
            }
        } else {
            const bool wasPending = m_multiTapKeySet != -1;
            m_multiTapKeySet = -1;
            m_multiTapIndex = 0;
            if (!m_insertText(oneCharacter(CHARS_IN_KEY_SET[set][0]), m_actualPos, false, true, set)) {
                // Nothing was typed, so nothing is pending; a password hides the earlier character again.
                if (wasPending && (m_constraints & PASSWORD) != 0) m_actualTextChanged(false);
                repaint();
            }
        }
    }
    m_lastKey = keyCode;
    m_lastKeyPressMS = now;
}

void TextField::keyReleased(int keyCode) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_charSelectorShown && getGameAction(keyCode) == Canvas::FIRE) {
        const int index = m_charSelectorRow * SELECTOR_COLUMNS + m_charSelectorCol;
        if (index < SELECTOR_SYMBOLS)
            m_insertInternal(oneCharacter(CHARS_SELECT_CHARS[index]), m_actualPos, false, true);
        m_hideCharSelector();
        return;
    }
    unsigned short c = 0;
    if (keyCode == DisplayableCoreCanvas::KEY_DELETE) {
        if (m_actualPos > 0) m_deleteInternal(m_actualPos - 1, 1, false, true);
        return;
    } else if (keyCode >= DisplayableCoreCanvas::KEY_a && keyCode <= DisplayableCoreCanvas::KEY_z) {
        c = static_cast<unsigned short>(u'a' + (keyCode - DisplayableCoreCanvas::KEY_a));
    } else if (keyCode >= DisplayableCoreCanvas::KEY_A && keyCode <= DisplayableCoreCanvas::KEY_Z) {
        c = static_cast<unsigned short>(u'A' + (keyCode - DisplayableCoreCanvas::KEY_A));
    } else if (keyCode >= DisplayableCoreCanvas::KEY_KEYBOARD_NUM0 &&
               keyCode <= DisplayableCoreCanvas::KEY_KEYBOARD_NUM9) {
        c = static_cast<unsigned short>(u'0' + (keyCode - DisplayableCoreCanvas::KEY_KEYBOARD_NUM0));
    } else {
        c = DisplayableCoreCanvas::getExtendedCharForCode(keyCode);
    }
    if (c != 0) m_insertInternal(oneCharacter(c), m_actualPos, false, true);
}

void TextField::keyRepeated(int keyCode) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (keyCode == DisplayableCoreCanvas::KEY_STAR && !m_charSelectorShown) m_showCharSelector();
}

void TextField::tick(long long) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_multiTapKeySet == -1) return;
    if (java::lang::DeviceClock::currentTimeMillis() < m_lastKeyPressMS + MULTI_TAP_MS) return;
    m_endPendingCharacter();
}

void TextField::command(const JavaPtr<Command>& cmd) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (cmd && cmd == m_charSelectorCancel) m_hideCharSelector();
}

void TextField::m_showCharSelector() {
    m_charSelectorShown = true;
    JavaPtr<Canvas> canvas = getFormCanvas();
    if (auto* core = canvas ? static_cast<DisplayableCoreCanvas*>(
                                  canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID))
                            : nullptr) {
        m_charSelectorCancel =
            jnew<Command>(LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_CANCEL), Command::CANCEL, 0);
        JavaPtr<CommandArray> commands = jnew<CommandArray>(1);
        commands->data[0] = m_charSelectorCancel;
        core->setFormItemOverlay(JavaPtr<Item>(this), commands);
    }
    invalidate();
}

void TextField::m_hideCharSelector() {
    JavaPtr<Canvas> canvas = getFormCanvas();
    if (auto* core = canvas ? static_cast<DisplayableCoreCanvas*>(
                                  canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID))
                            : nullptr)
        core->setFormItemOverlay(nullptr, nullptr);
    m_charSelectorShown = false;
    invalidate();
}

// ---- For the tests ----

JavaPtr<String> TextField::getDisplayText() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_displayText;
}

JavaPtr<TextField::LineArray> TextField::getLines() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_lines;
}

int TextField::caretRow() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_caretDisplayRow;
}

int TextField::caretColumn() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_caretDisplayCol;
}

bool TextField::isTraversedIn() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_traversedIn;
}

bool TextField::isCharSelectorShown() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_charSelectorShown;
}

int TextField::charSelectorRow() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_charSelectorRow;
}

int TextField::charSelectorColumn() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_charSelectorCol;
}

int TextField::multiTapKeySet() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_multiTapKeySet;
}

}  // namespace javax::microedition::lcdui
