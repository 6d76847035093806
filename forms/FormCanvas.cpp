#include "forms/FormCanvas.h"

#include <algorithm>
#include <cassert>
#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

#include "forms/Form.h"
#include "forms/Gauge.h"
#include "forms/Item.h"
#include "forms/LCDUIColours.h"
#include "forms/StringItem.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/CommandListener.h"
#include "shell/Display.h"
#include "shell/ItemCommandListener.h"
#include "shell/LCDUILock.h"
#include "shell/MIDlet.h"
#include "shell/PaintingThreads.h"

namespace javax::microedition::lcdui {

namespace {

// The interactive items stand alone on their row. They live in other parts of the tree (or arrive later),
// so they are recognised by class type id rather than by including them.
constexpr int32_t kOwnRowTypeIds[] = {
    tesl::classTypeIdOf("javax.microedition.lcdui.ChoiceGroup"),
    tesl::classTypeIdOf("javax.microedition.lcdui.DateField"),
    tesl::classTypeIdOf("javax.microedition.lcdui.Gauge"),
    tesl::classTypeIdOf("javax.microedition.lcdui.TextField"),
};

constexpr int kShrink = 0x400;
constexpr int kVerticalBits = 0x30;

StringItem* asStringItem(Item* item) {
    return item == nullptr ? nullptr
                           : static_cast<StringItem*>(item->castAsTypeID(StringItem::TESLclassTypeID));
}

// The string item's text when there is one and it is not empty, else null; the layout holds the
// screens' lock while it reads it.
java::lang::String* nonEmptyText(StringItem* s) {
    if (s == nullptr) return nullptr;
    java::lang::String* text = s->textUnderLock().get();
    return text != nullptr && text->length() > 0 ? text : nullptr;
}

// Marks an input event for the display (no LCDUI tick starts meanwhile), however the handler ends.
class EventInProgressScope {
public:
    EventInProgressScope() { Display::lcdUIEventInProgress.store(true); }
    ~EventInProgressScope() { Display::lcdUIEventInProgress.store(false); }
    EventInProgressScope(const EventInProgressScope&) = delete;
    EventInProgressScope& operator=(const EventInProgressScope&) = delete;
};

class RelayoutScope {
public:
    explicit RelayoutScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~RelayoutScope() { m_flag = false; }
    RelayoutScope(const RelayoutScope&) = delete;
    RelayoutScope& operator=(const RelayoutScope&) = delete;

private:
    bool& m_flag;
};

template <class T>
bool sameElements(const JavaPtr<JArray<T>>& array, const std::vector<T>& values) {
    if (!array || array->length != static_cast<int>(values.size())) return false;
    return std::equal(values.begin(), values.end(), array->data);
}

bool sameLines(const JavaPtr<StringItem::LineArray>& array, const java::lang::String& text,
               const std::vector<StringItem::LineBreak>& lines) {
    if (!array || array->length != static_cast<int>(lines.size())) return false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].sameAs(text, array->data[i].get())) return false;
    }
    return true;
}

JavaPtr<StringItem::LineArray> linesOf(const java::lang::String& text,
                                       const std::vector<StringItem::LineBreak>& lines) {
    JavaPtr<StringItem::LineArray> array = jnew<StringItem::LineArray>(static_cast<int>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) array->data[i] = StringItem::lineOf(text, lines[i]);
    return array;
}

template <class T>
JavaPtr<JArray<T>> arrayOf(const std::vector<T>& values) {
    JavaPtr<JArray<T>> array = jnew<JArray<T>>(static_cast<int>(values.size()));
    std::copy(values.begin(), values.end(), array->data);
    return array;
}

enum PointerKind { POINTER_PRESSED, POINTER_DRAGGED, POINTER_RELEASED };

}  // namespace

FormCanvas::~FormCanvas() {
    m_traversedItem = nullptr;
}

FormCanvas* FormCanvas::TESLinvokeconstructor(Form* form) {
    DisplayableCoreCanvas::TESLinvokeconstructor(form);
    return this;
}

Form* FormCanvas::m_formParent() {
    if (m_parent == nullptr) return nullptr;
    return static_cast<Form*>(m_parent->castAsTypeID(Form::TESLclassTypeID));
}

JavaPtr<Form> FormCanvas::getForm() {
    LCDUIGuard lock(LCDUILock::mutex());
    return JavaPtr<Form>(m_formParent());
}

int FormCanvas::usableWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_unreservedArea->data[2] - m_unreservedArea->data[0] - 2 * ROW_MARGIN;
}

bool FormCanvas::m_itemTakesOwnRow(Item* item) {
    if (item == nullptr) return false;
    if (item->requiresOwnRow()) return true;
    for (int32_t id : kOwnRowTypeIds) {
        if (item->castAsTypeID(id) != nullptr) return true;
    }
    return false;
}

// ---- Layout ----

void FormCanvas::relayoutFormItems() {
    LCDUIGuard lock(LCDUILock::mutex());
    Form* form = m_formParent();
    if (form == nullptr || m_relayoutInProgress) return;
    JavaPtr<ItemArray> asked = form->getItems();
    if (!asked) return;
    // Custom items' sizes are the application's answers: asked first, each with the lock let go, and
    // used by this layout alone.
    for (int i = 0; i < asked->length; ++i) asked->data[i]->askLayoutSizes();
    struct ForgetSizes {
        const JavaPtr<ItemArray>& items;
        ~ForgetSizes() {
            for (int i = 0; i < items->length; ++i) items->data[i]->forgetLayoutSizes();
        }
    } forget{asked};
    // The form may have changed while the lock was let go.
    form = m_formParent();
    if (form == nullptr || m_relayoutInProgress) return;
    JavaPtr<ItemArray> items = form->getItems();
    if (!items) return;
    RelayoutScope running(m_relayoutInProgress);
    const int n = items->length;

    struct Before {
        int width, height, x, y;
    };
    std::vector<Before> before(n);
    for (int i = 0; i < n; ++i) {
        Item* item = items->data[i].get();
        before[i] = {item->m_contentWidth, item->m_contentHeight, item->m_x + item->m_contentX,
                     item->m_y + item->m_contentY};
    }

    setVerticalScrollbarVisible(false);
    for (;;) {
        const int viewHeight = m_unreservedArea->data[3] - m_unreservedArea->data[1];
        // Without the scroll bar the pass only decides whether the bar is needed: once the content is
        // taller than the view it is, and the pass with the bar lays every item out again.
        m_layoutPass(items, m_verticalScrollbarVisible ? INT_MAX : viewHeight);
        if (m_formHeight <= viewHeight) {
            // Nothing to scroll: a position left from taller content would hide the top for good.
            m_verticalScrollPos = 0;
            break;
        }
        if (!m_verticalScrollbarVisible) {
            setVerticalScrollbarVisible(true);
            continue;
        }
        setVerticalHeight(m_formHeight);
        break;
    }

    const int U = usableWidth();
    for (int i = 0; i < n; ++i) {
        Item* item = items->data[i].get();
        item->updateContentDimensions();
        if (item->m_contentWidth != before[i].width || item->m_contentHeight != before[i].height)
            item->contentSizeChanged();
        StringItem* s = asStringItem(item);
        if (s != nullptr && s->m_inline) {
            s->m_x = s->m_inlineStartX;
            s->m_y = s->m_inlineStartY;
            s->m_row = s->m_inlineStartRow;
            const int lastLineY =
                s->m_lineY && s->m_lineY->length > 0 ? s->m_lineY->data[s->m_lineY->length - 1] : 0;
            s->m_height = s->fontUnderLock()->getHeight() + lastLineY + s->labelHeight();
            s->m_width = U;
        }
        if (item->m_x + item->m_contentX != before[i].x || item->m_y + item->m_contentY != before[i].y)
            item->rebuildTouchscreenAreas();
    }

    if (JavaPtr<Item> highlighted = form->getHighlightedItem()) {
        JavaPtr<JArray<int>> rect = m_defaultVisRect_inout(highlighted.get());
        if (m_traversedItem == highlighted)
            highlighted->traverseFromForm(0, form->getWidth(), form->getHeight(), rect);
        ensureHighlightedItemVisible(rect);
    }
}

void FormCanvas::relayoutFormItems_aux(const JavaPtr<ItemArray>& items) {
    m_layoutPass(items, INT_MAX);
}

void FormCanvas::m_layoutPass(const JavaPtr<ItemArray>& items, int heightLimit) {
    LCDUIGuard lock(LCDUILock::mutex());
    // The form's items wrap to the form's usable width, which stays put while the lock is held.
    Form* form = m_formParent();
    const int formWidth = form != nullptr ? form->usableWidth() : 0;
    // Every string item starts from its own lines at the current width: lines an earlier pass flowed
    // inline, or wrapped for another width, would be painted where the item no longer is.
    m_passStringItems.clear();
    for (int i = 0; i < items->length; ++i) {
        if (StringItem* s = asStringItem(items->data[i].get())) {
            s->beginLayoutPass(form != nullptr && s->owner() == form ? formWidth : s->usableFormWidth());
            m_passStringItems.push_back(s);
        }
    }
    m_inlineTextOffset = -1;
    m_flowItem = nullptr;
    m_nextRowStart = 0;
    m_formHeight = 0;
    m_rowCount = 0;
    while (m_nextRowStart < items->length && m_formHeight <= heightLimit)
        m_nextRowStart += relayoutFormItemsRow(items, m_nextRowStart);
    // A pass cut short may leave a flow open: its item has the lines so far.
    m_giveFlowedLines();
    // A pass cut short only finds that the scroll bar is needed, and the pass with it that always follows
    // (relayoutFormItems) sets every item's lines: those still waiting are left to it, so that the items
    // do not change arrays twice.
    if (m_nextRowStart >= items->length) {
        for (StringItem* s : m_passStringItems) s->endLayoutPass();
    }
    m_passStringItems.clear();
}

void FormCanvas::m_giveFlowedLines() {
    StringItem* s = std::exchange(m_flowItem, nullptr);
    if (s == nullptr) return;
    // An unchanged form flows the same lines to the same places on every pass: the arrays of an earlier
    // flow are given back rather than made again. Two are kept, as the form is laid out with and
    // without its scroll bar in turn.
    const java::lang::String& text = *s->textUnderLock();
    StringItem::FlowedLines* same = nullptr;
    for (StringItem::FlowedLines& kept : s->m_flowed) {
        if (sameLines(kept.lines, text, m_flowLines) && sameElements(kept.lineX, m_flowX) &&
            sameElements(kept.lineY, m_flowY)) {
            same = &kept;
            break;
        }
    }
    if (same == nullptr) {
        s->m_flowed[1] = std::move(s->m_flowed[0]);
        s->m_flowed[0] = {linesOf(text, m_flowLines), arrayOf(m_flowX), arrayOf(m_flowY)};
        same = &s->m_flowed[0];
    }
    if (s->m_lines.get() != same->lines.get()) s->m_lines = same->lines;
    if (s->m_lineX.get() != same->lineX.get()) s->m_lineX = same->lineX;
    if (s->m_lineY.get() != same->lineY.get()) s->m_lineY = same->lineY;
    m_flowLines.clear();
    m_flowX.clear();
    m_flowY.clear();
}

int FormCanvas::relayoutFormItemsRow(const JavaPtr<ItemArray>& items, int start) {
    LCDUIGuard lock(LCDUILock::mutex());
    const int n = items->length;
    const int U = usableWidth();
    const int rowTop = m_formHeight;
    // A row may both continue one string item's flow (its first item) and open another's (its last), so
    // the two offsets are kept apart; m_inlineTextOffset carries the one opened here to the next row.
    const bool continuing = m_inlineTextOffset != -1;
    const int continueOffset = m_inlineTextOffset;
    int openedInline = -1;
    int openedOffset = -1;
    StringItem::LineBreak openedLine{};
    auto at = [&](int i) { return items->data[i].get(); };
    // The row's items with their kind and layout word, which stay put while the lock is held: asked
    // once here rather than in every loop below. Indexed from start.
    m_rowItems.clear();
    auto row = [&](int j) -> const RowItem& { return m_rowItems[static_cast<size_t>(j - start)]; };
    Item* const first = at(start);
    m_rowItems.push_back({first, asStringItem(first), first->layoutInternal(), 0});

    // Alignment and extent.
    const int firstAlignment = m_rowItems[0].layout & 3;
    m_rowAlignment = firstAlignment != 0 ? firstAlignment : Item::LAYOUT_LEFT;
    int last = start;
    for (int i = start + 1; i < n; ++i) {
        Item* item = at(i);
        const RowItem& previous = m_rowItems.back();
        const int layout = item->layoutInternal();
        if ((layout & Item::LAYOUT_NEWLINE_BEFORE) != 0) break;
        if ((layout & 3) != 0 && (layout & 3) != m_rowAlignment) break;
        const java::lang::String* label = item->labelUnderLock().get();
        if (label != nullptr && label->length() > 0) break;
        StringItem* string = asStringItem(item);
        if (const java::lang::String* text = nonEmptyText(string); text != nullptr && text->charAt(0) == '\n')
            break;
        // An item that joined the row was found not to take its own row on the way in.
        if (m_itemTakesOwnRow(item) || (i == start + 1 && m_itemTakesOwnRow(previous.item))) break;
        if (const java::lang::String* text = nonEmptyText(previous.string);
            text != nullptr && text->charAt(text->length() - 1) == '\n')
            break;
        m_rowItems.push_back({item, string, layout, 0});
        last = i;
    }

    // Widths: the longest run from start that fits, at least one item.
    int rowWidth = 0;
    // The continuing text's rest is measured once, for the row's width and for its own place.
    int restWidth = -1;
    for (;;) {
        rowWidth = 0;
        bool restart = false;
        for (int j = start; j <= last; ++j) {
            Item* item = row(j).item;
            StringItem* s = row(j).string;
            if (s != nullptr && j == start && continuing) {
                if (restWidth < 0) {
                    const JavaPtr<java::lang::String>& text = s->textUnderLock();
                    restWidth = s->fontUnderLock()->substringWidth(text, continueOffset,
                                                                   text->length() - continueOffset);
                }
                rowWidth += restWidth;
            } else if (s != nullptr && !s->isWidthLocked() && !s->isHeightLocked()) {
                const JavaPtr<java::lang::String>& text = s->textUnderLock();
                const JavaPtr<Font>& font = s->fontUnderLock();
                int next = -1;
                int lineWidth = s->oneLineWidthWithin(U, U - rowWidth);
                if (lineWidth < 0) {
                    lineWidth = 0;
                    // The line is made only if the text flows inline, and then only if it differs from
                    // the last flow's.
                    if (text && font && text->length() > 0) {
                        openedLine = StringItem::breakTextLine(0, U - rowWidth, *text, *font);
                        next = openedLine.next;
                        lineWidth = StringItem::widthOf(*text, *font, openedLine);
                    }
                }
                if (next == -1) {
                    s->m_width = lineWidth;
                } else {
                    openedOffset = next;
                    openedInline = j;
                    s->m_inline = true;
                    s->m_height = font->getHeight();
                    s->updateContentDimensions();
                    last = j;
                }
                rowWidth += lineWidth;
            } else {
                item->m_width =
                    (row(j).layout & kShrink) != 0 ? item->getMinimumWidth() : item->getPreferredWidth();
                rowWidth += item->m_width;
            }
            if (rowWidth > U) {
                if (last == start) break;
                if (openedInline == last) {
                    // The inline item's first line did not fit what was left: it starts the next row afresh,
                    // with its own lines again in place of the one the flow began.
                    StringItem* givenUp = row(last).string;
                    givenUp->m_inline = false;
                    givenUp->m_updatecontentHeightAndWidth();
                    openedInline = -1;
                    openedOffset = -1;
                }
                --last;
                restart = true;
                break;
            }
        }
        if (!restart) break;
    }

    // Slack: shrinking items grow toward their preferred width, then expanding items share the rest.
    int slack = U - rowWidth;
    if (slack < 0) {
        first->m_width = U;
        slack = 0;
    } else if (slack > 0) {
        int64_t sum = 0;
        for (int j = start; j <= last; ++j) {
            Item* item = row(j).item;
            if ((row(j).layout & kShrink) != 0 && row(j).string == nullptr)
                sum += item->getPreferredWidth() - item->getMinimumWidth();
        }
        if (sum > 0) {
            const int64_t slack0 = slack;
            for (int j = start; j <= last; ++j) {
                Item* item = row(j).item;
                if ((row(j).layout & kShrink) == 0 || row(j).string != nullptr) continue;
                const int minimum = item->getMinimumWidth();
                const int preferred = item->getPreferredWidth();
                const int width = static_cast<int>(
                    std::min<int64_t>(minimum + slack0 * (preferred - minimum) / sum, preferred));
                slack -= width - minimum;
                item->m_width = width;
            }
        }
        if (slack > 0) {
            // One pixel at a time in item order comes to this: an equal share each, the odd pixels to
            // the first items.
            int expanders = 0;
            for (int j = start; j <= last; ++j) {
                if ((row(j).layout & Item::LAYOUT_EXPAND) != 0 && row(j).string == nullptr) ++expanders;
            }
            if (expanders > 0) {
                const int share = slack / expanders;
                int odd = slack % expanders;
                for (int j = start; j <= last; ++j) {
                    Item* item = row(j).item;
                    if ((row(j).layout & Item::LAYOUT_EXPAND) == 0 || row(j).string != nullptr) continue;
                    item->m_width += share + (odd > 0 ? 1 : 0);
                    if (odd > 0) --odd;
                }
                slack = 0;
            }
        }
    }

    int x = ROW_MARGIN;
    if (m_rowAlignment == Item::LAYOUT_RIGHT) x = slack + ROW_MARGIN;
    if (m_rowAlignment == Item::LAYOUT_CENTER) x = slack / 2 + ROW_MARGIN;

    // Nothing below changes what an item prefers: the height asked here is the one it gets.
    int rowHeight = 0;
    for (int j = start; j <= last; ++j) {
        RowItem& entry = m_rowItems[static_cast<size_t>(j - start)];
        if ((entry.layout & Item::LAYOUT_VSHRINK) != 0) {
            rowHeight = std::max(rowHeight, entry.item->getMinimumHeight());
        } else {
            entry.preferredHeight = entry.item->getPreferredHeight();
            rowHeight = std::max(rowHeight, entry.preferredHeight);
        }
    }

    for (int j = start; j <= last; ++j) {
        Item* item = row(j).item;
        const int layout = row(j).layout;
        if (j != openedInline && !(continuing && j == start)) {
            if ((layout & Item::LAYOUT_VSHRINK) != 0) {
                item->m_height = std::min(item->getPreferredHeight(), rowHeight);
            } else if ((layout & Item::LAYOUT_VEXPAND) != 0) {
                item->m_height = rowHeight;
            } else {
                item->m_height = row(j).preferredHeight;
            }
        }
        int offset = rowHeight - item->m_height;
        if ((layout & kVerticalBits) == Item::LAYOUT_TOP) offset = 0;
        if ((layout & kVerticalBits) == Item::LAYOUT_VCENTER) offset = (rowHeight - item->m_height) / 2;
        item->m_y = rowTop + offset;
        item->m_row = m_rowCount;
    }

    m_formHeight += rowHeight;
    if (!(last == start && (continuing || openedInline == start))) ++m_rowCount;

    for (int j = start; j <= last; ++j) {
        Item* item = row(j).item;
        if (continuing && j == start) {
            StringItem* s = row(j).string;
            assert(m_flowItem == s && "a continued flow is the one the row before opened");
            const int restLength = s->textUnderLock()->length() - continueOffset;
            m_flowLines.push_back({continueOffset, restLength, -1, false, restWidth});
            m_flowX.push_back(x);
            m_flowY.push_back(s->m_y - s->m_inlineStartY);
            m_giveFlowedLines();
            x += restWidth;
            s->m_height = s->fontUnderLock()->getHeight();
            s->updateContentDimensions();
            m_formHeight += s->labelHeight();
        } else {
            item->m_x = x;
            x += item->m_width;
        }
    }

    int count = last - start + 1;

    m_inlineTextOffset = openedOffset;
    if (openedInline != -1) {
        StringItem* s = row(openedInline).string;
        const JavaPtr<java::lang::String>& text = s->textUnderLock();
        const JavaPtr<Font>& font = s->fontUnderLock();
        const int fh = font->getHeight();
        // The flow's lines are gathered and reach the item once the flow ends: growing its arrays row by
        // row, or line by line, would copy them again each time.
        m_flowItem = s;
        m_flowLines.clear();
        m_flowX.clear();
        m_flowY.clear();
        m_flowLines.push_back(openedLine);
        m_flowX.push_back(s->m_x);
        m_flowY.push_back(0);
        s->m_inlineStartX = 0;
        s->m_inlineStartY = s->m_y;
        s->m_inlineStartRow = m_rowCount;
        ++m_rowCount;
        int y = rowTop + rowHeight - s->m_inlineStartY;
        const int ownAlignment = row(openedInline).layout & 3;
        const int alignment = ownAlignment != 0 ? ownAlignment : m_rowAlignment;
        for (;;) {
            const StringItem::LineBreak line = StringItem::breakTextLine(m_inlineTextOffset, U, *text, *font);
            if (line.next == -1) break;
            const int lineWidth = StringItem::widthOf(*text, *font, line);
            int lineX = ROW_MARGIN;
            if (alignment == Item::LAYOUT_RIGHT) lineX = U - lineWidth + ROW_MARGIN;
            if (alignment == Item::LAYOUT_CENTER) lineX = (U - lineWidth) / 2 + ROW_MARGIN;
            m_flowLines.push_back(line);
            m_flowX.push_back(lineX);
            m_flowY.push_back(y);
            m_inlineTextOffset = line.next;
            m_formHeight += fh;
            y += fh;
        }
        --count;
    }
    return count;
}

// ---- Focus and scrolling ----

int FormCanvas::m_screenToLogicalOffsetY() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_verticalScrollPos - m_unreservedArea->data[1];
}

void FormCanvas::ensureUpToDate() {}

void FormCanvas::itemAutoHighlighted(Item* item) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (item == nullptr) return;
    m_column = item->m_x + item->m_width / 2;
    Form* form = m_formParent();
    if (form == nullptr) return;
    JavaPtr<Item> held(item);
    JavaPtr<JArray<int>> rect = m_defaultVisRect_inout(item);
    const bool kept = item->traverseFromForm(0, form->getWidth(), form->getHeight(), rect);
    m_traversedItem = kept ? held : nullptr;
    ensureHighlightedItemVisible(rect);
}

JavaPtr<JArray<int>> FormCanvas::m_defaultVisRect_inout(Item* item) {
    JavaPtr<JArray<int>> rect = jnew<JArray<int>>(4);
    if (item != nullptr) {
        LCDUIGuard lock(LCDUILock::mutex());
        rect->data[2] = item->m_contentWidth;
        rect->data[3] = item->m_contentHeight;
    }
    return rect;
}

void FormCanvas::ensureHighlightedItemVisible(const JavaPtr<JArray<int>>& visRect) {
    LCDUIGuard lock(LCDUILock::mutex());
    Form* form = m_formParent();
    if (form == nullptr || !m_verticalScrollbarVisible) return;
    JavaPtr<Item> item = form->getHighlightedItem();
    if (!item) return;
    const int view = form->getHeight();
    int top = item->m_y;
    int h = 0;
    if (m_traversedItem && visRect && visRect->length >= 4) {
        const int contentHeight = item->m_contentHeight;
        int y = visRect->data[1];
        h = visRect->data[3];
        if (y > contentHeight) {
            y = contentHeight;
            h = 0;
        }
        if (y < 0) {
            y = 0;
            h = 0;
        }
        if (y + h > contentHeight) h = contentHeight - y;
        if (h > view) h = view;
        visRect->data[1] = y;
        top = item->m_y + item->m_contentY + y;
    }
    const int bottom = top + h;
    if (bottom > m_verticalScrollPos + view) setVerticalScrollPos(bottom);
    if (top < m_verticalScrollPos) setVerticalScrollPos(top);
}

JavaPtr<Item> FormCanvas::m_findItemForCoords(int x, int y) {
    LCDUIGuard lock(LCDUILock::mutex());
    Form* form = m_formParent();
    if (form == nullptr) return nullptr;
    JavaPtr<ItemArray> items = form->getItems();
    for (int i = 0; items && i < items->length; ++i) {
        Item* item = items->data[i].get();
        if (item->m_x <= x && x <= item->m_x + item->m_width && item->m_y <= y &&
            y <= item->m_y + item->m_height)
            return items->data[i];
    }
    return nullptr;
}

int FormCanvas::m_findNextItemIndexVertically(int dir, int index) {
    LCDUIGuard lock(LCDUILock::mutex());
    Form* form = m_formParent();
    if (form == nullptr) return index;
    JavaPtr<ItemArray> items = form->getItems();
    if (!items || index < 0 || index >= items->length) return index;
    const int row = items->data[index]->m_row;
    int best = -1;
    int bestDistance = -1;
    for (int i = index + dir; i >= 0 && i < items->length; i += dir) {
        Item* item = items->data[i].get();
        if (item->m_row != row + dir) continue;
        StringItem* s = asStringItem(item);
        if (s != nullptr && s->m_inline) return i;
        if (item->m_x <= m_column && m_column <= item->m_x + item->m_width) return i;
        const int distance = std::abs(item->m_x + item->m_width / 2 - m_column);
        if (best == -1 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best == -1 ? index : best;
}

void FormCanvas::m_handleKeyEvent(int key, KeyEventType type) {
    LCDUIGuard lock(LCDUILock::mutex());
    // Counted: a custom item's traverse runs with the lock let go, and the form must outlive it.
    JavaPtr<Form> form(m_formParent());
    if (!form) return;
    JavaPtr<ItemArray> items = form->getItems();
    if (!items || items->length == 0) return;
    if (type == KEY_EVENT_RELEASED && key != m_lastPressedKey) return;
    setNeedsRepaint();
    const int action = getGameAction(key);

    if (form->neverHighlightItems()) {
        if (type == KEY_EVENT_PRESSED || !m_verticalScrollbarVisible) return;
        int position = m_verticalScrollPos;
        if (action == Canvas::UP) position -= SCROLL_STEP;
        if (action == Canvas::DOWN) position += SCROLL_STEP;
        setVerticalScrollPos(position);
        return;
    }

    JavaPtr<Item> item = form->getHighlightedItem();
    const bool arrow = key == KEY_LEFT || key == KEY_RIGHT || key == KEY_UP || key == KEY_DOWN;
    if (arrow || !item) {
        if (type == KEY_EVENT_PRESSED) return;
        int how = 0;
        if (action == Canvas::LEFT || action == Canvas::RIGHT) how = Form::HIGHLIGHT_HORIZONTAL;
        if (action == Canvas::UP || action == Canvas::DOWN) how = Form::HIGHLIGHT_VERTICAL;
        if (how == 0) return;
        const int viewWidth = form->getWidth();
        const int viewHeight = form->getHeight();
        // Moves the highlight to the target and lets it take internal focus from the key's direction.
        auto moveTo = [&](int target) {
            form->m_highlightItem(target, how);
            JavaPtr<Item> next = form->getHighlightedItem();
            if (!next) return;
            JavaPtr<JArray<int>> rect = m_defaultVisRect_inout(next.get());
            const bool kept = next->traverseFromForm(action, viewWidth, viewHeight, rect);
            m_traversedItem = kept ? next : nullptr;
            ensureHighlightedItemVisible(rect);
        };
        if (!item) {
            // No highlight on a form that can have one: the key starts it at the first item.
            moveTo(0);
        } else {
            const int index = form->m_indexForItem(item.get());
            JavaPtr<JArray<int>> rect = m_defaultVisRect_inout(item.get());
            if (item->traverseFromForm(action, viewWidth, viewHeight, rect)) {
                m_traversedItem = item;
            } else {
                if (m_traversedItem == item) item->deliver([](Item& i) { i.traverseOut(); });
                m_traversedItem = nullptr;
            }
            if (m_traversedItem) {
                ensureHighlightedItemVisible(rect);
            } else {
                const int size = form->size();
                int target = -1;
                if (action == Canvas::LEFT && index > 0) target = index - 1;
                if (action == Canvas::RIGHT && index < size - 1) target = index + 1;
                if (action == Canvas::UP) target = m_findNextItemIndexVertically(-1, index);
                if (action == Canvas::DOWN) target = m_findNextItemIndexVertically(1, index);
                if (target >= 0 && target != index) {
                    moveTo(target);
                } else if (how == Form::HIGHLIGHT_VERTICAL) {
                    m_scrollThroughItem(item.get(), action == Canvas::DOWN ? 1 : -1);
                }
            }
        }
        if (how == Form::HIGHLIGHT_HORIZONTAL) {
            if (JavaPtr<Item> highlighted = form->getHighlightedItem())
                m_column = highlighted->m_x + highlighted->m_width / 2;
        }
        return;
    }

    switch (type) {
        case KEY_EVENT_PRESSED:
            item->deliver([key](Item& i) { i.keyPressed(key); });
            break;
        case KEY_EVENT_REPEATED:
            item->deliver([key](Item& i) { i.keyRepeated(key); });
            break;
        case KEY_EVENT_RELEASED:
            item->deliver([key](Item& i) { i.keyReleased(key); });
            break;
    }
}

void FormCanvas::m_scrollThroughItem(Item* item, int dir) {
    const int view = m_viewHeight();
    const int pos = m_verticalScrollPos;
    if (dir > 0) {
        const int hiddenBelow = item->m_y + item->m_height - (pos + view);
        if (hiddenBelow > 0) setVerticalScrollPos(pos + std::min(SCROLL_STEP, hiddenBelow));
    } else {
        const int hiddenAbove = pos - item->m_y;
        if (hiddenAbove > 0) setVerticalScrollPos(pos - std::min(SCROLL_STEP, hiddenAbove));
    }
}

JavaPtr<Item> FormCanvas::getTraversedItem() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_traversedItem;
}

void FormCanvas::itemRemoved(Item* item) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (item != nullptr && m_traversedItem.get() == item) m_traversedItem = nullptr;
}

// ---- Input ----

void FormCanvas::m_keyEvent(int key, KeyEventType type) {
    EventInProgressScope marked;
    bool taken = false;
    switch (type) {
        case KEY_EVENT_PRESSED:
            taken = handleKeyPressed(key);
            break;
        case KEY_EVENT_REPEATED:
            taken = handleKeyRepeated(key);
            break;
        case KEY_EVENT_RELEASED:
            taken = handleKeyReleased(key);
            break;
    }
    if (taken) return;
    LCDUIGuard lock(LCDUILock::mutex());
    m_handleKeyEvent(key, type);
    if (type == KEY_EVENT_PRESSED) m_lastPressedKey = key;
    if (type == KEY_EVENT_RELEASED) m_lastPressedKey = NO_KEY;
}

void FormCanvas::keyPressed(int key) {
    m_keyEvent(key, KEY_EVENT_PRESSED);
}

void FormCanvas::keyReleased(int key) {
    m_keyEvent(key, KEY_EVENT_RELEASED);
}

void FormCanvas::keyRepeated(int key) {
    m_keyEvent(key, KEY_EVENT_REPEATED);
}

void FormCanvas::m_pointerEvent(int kind, int x, int y) {
    EventInProgressScope marked;
    bool taken = false;
    if (kind == POINTER_PRESSED) taken = handlePointerPressed(x, y);
    if (kind == POINTER_DRAGGED) taken = handlePointerDragged(x, y);
    if (kind == POINTER_RELEASED) taken = handlePointerReleased(x, y);
    if (taken) return;
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_formParent() == nullptr) return;
    using Manager = TouchScreenAreaManager;
    auto route = [kind](int px, int py) {
        if (kind == POINTER_PRESSED) Manager::pointerPressed(px, py);
        if (kind == POINTER_DRAGGED) Manager::pointerDragged(px, py);
        if (kind == POINTER_RELEASED) Manager::pointerReleased(px, py);
    };
    if (Manager::numInGroup(Manager::ITEM_OVERLAYS) > 0) {
        // An open overlay takes every touch, in screen coordinates; no item sees it.
        Manager::setAreaGroup(Manager::ITEM_OVERLAYS);
        route(x, y);
        return;
    }
    const int contentY = y + m_screenToLogicalOffsetY();
    Manager::setAreaGroup(Manager::FORM_ITEMS);
    route(x, contentY);
    JavaPtr<Item> item = m_findItemForCoords(x, contentY);
    if (!item) return;
    const int relX = x - item->m_x;
    const int relY = contentY - item->m_y;
    if (kind == POINTER_PRESSED) item->pointerPressedInternal(relX, relY);
    if (kind == POINTER_DRAGGED) item->pointerDraggedInternal(relX, relY);
    if (kind == POINTER_RELEASED) item->pointerReleasedInternal(relX, relY);
}

void FormCanvas::pointerPressed(int x, int y) {
    m_pointerEvent(POINTER_PRESSED, x, y);
}

void FormCanvas::pointerDragged(int x, int y) {
    m_pointerEvent(POINTER_DRAGGED, x, y);
}

void FormCanvas::pointerReleased(int x, int y) {
    m_pointerEvent(POINTER_RELEASED, x, y);
}

// ---- The rest of the canvas's life ----

void FormCanvas::sizeChanged(int, int) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_relayoutInProgress) return;
    relayoutFormItems();
    setNeedsRepaint();
}

void FormCanvas::showNotify() {
    LCDUIGuard lock(LCDUILock::mutex());
    DisplayableCoreCanvas::showNotify();
    Form* form = m_formParent();
    JavaPtr<ItemArray> items = form != nullptr ? form->getItems() : nullptr;
    for (int i = 0; items && i < items->length; ++i)
        items->data[i]->deliver([](Item& item) { item.showNotify(); });
}

void FormCanvas::hideNotify() {
    LCDUIGuard lock(LCDUILock::mutex());
    DisplayableCoreCanvas::hideNotify();
    Form* form = m_formParent();
    JavaPtr<ItemArray> items = form != nullptr ? form->getItems() : nullptr;
    for (int i = 0; items && i < items->length; ++i)
        items->data[i]->deliver([](Item& item) { item.hideNotify(); });
}

void FormCanvas::tick(long long now) {
    DisplayableCoreCanvas::tick(now);
    LCDUIGuard lock(LCDUILock::mutex());
    Form* form = m_formParent();
    if (form == nullptr) return;
    if (JavaPtr<Item> highlighted = form->getHighlightedItem()) highlighted->tick(now);
    JavaPtr<ItemArray> items = form->getItems();
    for (int i = 0; items && i < items->length; ++i) {
        if (items->data[i]->castAsTypeID(Gauge::TESLclassTypeID) != nullptr) items->data[i]->tick(now);
    }
}

void FormCanvas::paint(const JavaPtr<Graphics>& g) {
    LCDUIGuard lock(LCDUILock::mutex());
    // A ticker-only repaint leaves the content as it is.
    if (m_repaintTickerOnly) {
        DisplayableCoreCanvas::paint(g);
        return;
    }
    Form* form = m_formParent();
    if (form == nullptr) return;
    g->setClip(0, 0, Display::screenWidth, Display::screenHeight);
    const int left = m_unreservedArea->data[0];
    const int top = m_unreservedArea->data[1];
    g->setColor(_LCDUI_COLOR_BACKGROUND);
    g->fillRect(left, top, m_unreservedArea->data[2] - left, m_unreservedArea->data[3] - top);

    const int tx = g->getTranslateX();
    const int ty = g->getTranslateY();
    g->translate(-tx, top - m_verticalScrollPos - ty);
    const int clipTop = g->getClipY();
    const int clipBottom = clipTop + g->getClipHeight();
    JavaPtr<ItemArray> items = form->getItems();
    for (int i = 0; items && i < items->length; ++i) {
        Item* item = items->data[i].get();
        if (item->m_y + item->m_height >= clipTop && item->m_y <= clipBottom)
            item->paint(g, m_preparedContentFor(item));
    }
    if (m_formItemOverlay) m_formItemOverlay->paint(g);
    g->translate(tx - g->getTranslateX(), ty - g->getTranslateY());

    DisplayableCoreCanvas::paint(g);
}

void FormCanvas::repaintReal(int x, int y, int w, int h) {
    m_prepareApplicationContent();
    struct DropPrepared {
        FormCanvas& canvas;
        ~DropPrepared() {
            std::vector<PreparedContent> prepared;
            {
                LCDUIGuard lock(LCDUILock::mutex());
                prepared.swap(canvas.m_preparedContent);
            }
        }
    } drop{*this};
    DisplayableCoreCanvas::repaintReal(x, y, w, h);
}

void FormCanvas::m_prepareApplicationContent() {
    // Inside another hold the application's paint could not run free of it; the paint then asks the
    // item itself, with the screens' lock let go.
    if (LCDUILock::anyHeldByCurrentThread()) return;
    // As the paint itself: a thread the tear-down has not seen yet sees the quit and paints nothing.
    PaintingThreads::noteCurrentThread();
    if (midlet::MIDlet::quitInvoked.load()) return;
    std::vector<PreparedContent> wanted;
    {
        LCDUIGuard lock(LCDUILock::mutex());
        Form* form = m_formParent();
        if (form == nullptr || m_repaintTickerOnly) return;
        const int viewTop = m_verticalScrollPos;
        const int viewBottom = viewTop + m_viewHeight();
        JavaPtr<ItemArray> items = form->getItems();
        for (int i = 0; items && i < items->length; ++i) {
            Item* item = items->data[i].get();
            if (!item->isApplicationItem() || item->m_contentWidth <= 0 || item->m_contentHeight <= 0)
                continue;
            if (item->m_y + item->m_height < viewTop || item->m_y > viewBottom) continue;
            wanted.push_back({items->data[i], item->m_contentWidth, item->m_contentHeight, nullptr});
        }
    }
    if (wanted.empty()) return;
    for (PreparedContent& content : wanted)
        content.image = content.item->paintContentImage(content.width, content.height);
    LCDUIGuard lock(LCDUILock::mutex());
    m_preparedContent = std::move(wanted);
}

JavaPtr<Image> FormCanvas::m_preparedContentFor(Item* item) {
    for (const PreparedContent& content : m_preparedContent) {
        // The paint checks the size against the item's layout now.
        if (content.item.get() == item) return content.image;
    }
    return nullptr;
}

JavaPtr<CommandListener> FormCanvas::m_parentCommandListener(const JavaPtr<Displayable>& shown) {
    Form* form = m_formParent();
    return form != nullptr ? form->commandListenerFor(shown)
                           : DisplayableCoreCanvas::m_parentCommandListener(shown);
}

void FormCanvas::m_triggerItemCommand(const JavaPtr<Command>& cmd, bool isItemCommand) {
    JavaPtr<Item> item;
    JavaPtr<ItemCommandListener> listener;
    {
        LCDUIGuard lock(LCDUILock::mutex());
        Form* form = m_formParent();
        if (form == nullptr) return;
        item = form->getHighlightedItem();
        if (!item) return;
        if (isItemCommand) listener = item->getItemCommandListener();
    }
    // The listener is the application's and runs with no lock held; the item's own handling follows it.
    if (listener) LCDUILock::callOutside([listener, cmd, item] { listener->commandAction(cmd, item); });
    LCDUILock::callOutside([item, cmd] { item->command(cmd); });
}

}  // namespace javax::microedition::lcdui
