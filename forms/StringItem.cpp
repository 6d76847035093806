#include "forms/StringItem.h"

#include <algorithm>
#include <cassert>
#include <utility>
#include <vector>

#include "forms/LCDUIColours.h"
#include "graphics/BitmapFontSystem.h"
#include "graphics/Font.h"
#include "graphics/FontMeasurer.h"
#include "graphics/Graphics.h"
#include "graphics/ScreenSize.h"
#include "runtime/StringIndexOutOfBoundsException.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

namespace {

bool isBreakingSpace(unsigned short c) {
    return c == u' ' || c == u'\r' || c == u'\t';
}

JavaPtr<Font> systemFont() {
    return Font::getFont(Font::FACE_SYSTEM, Font::STYLE_PLAIN, Font::SIZE_SMALL);
}

// The word wrap's own steps, inlined into it: it runs them for every line of every text it wraps.
[[gnu::always_inline]] inline StringItem::LineBreak measureLineBreak(int start, int width,
                                                                     const java::lang::String& text,
                                                                     const Font& font) {
    const int length = text.length();
    const unsigned short* units = text.unitData();

    int breakAt = -1;
    bool hyphen = false;
    int lineW = 0;
    if (units[start] == u'\n') {
        breakAt = start;
    } else {
        // Up to the break, without a String made or a call out: the lock it holds is the font's.
        const FontMeasurer measure(font);
        const int hyphenWidth = measure.charWidth(u'-');
        int w = 0;
        int lastWordEnd = -1;
        int lastHyphenPoint = -1;
        int widthAtWordEnd = 0;
        int widthAtHyphenPoint = 0;
        bool inWord = true;
        for (int i = start; i < length; ++i) {
            const unsigned short c = units[i];
            if (c == u'\n') {
                breakAt = i;
                break;
            }
            // A whitespace character counts toward the width, so a space that would overflow breaks the
            // line before it.
            const int before = w;
            w += measure.charWidth(c);
            if (isBreakingSpace(c)) {
                if (inWord) {
                    lastWordEnd = i - 1;
                    widthAtWordEnd = before;
                }
                inWord = false;
            } else {
                if (w + hyphenWidth <= width) {
                    lastHyphenPoint = i;
                    widthAtHyphenPoint = w + hyphenWidth;
                }
                inWord = true;
            }
            if (w > width) {
                if (lastWordEnd != -1) {
                    breakAt = lastWordEnd;
                    w = widthAtWordEnd;
                } else if (lastHyphenPoint != -1) {
                    breakAt = lastHyphenPoint;
                    hyphen = true;
                    w = widthAtHyphenPoint;
                } else {
                    // The overflowing character stays on the line: every line takes at least one, so the
                    // wrap ends at any width, 0 included.
                    breakAt = i;
                }
                break;
            }
        }
        lineW = w;
    }

    int next = -1;
    if (breakAt != -1) {
        // Whitespace after the break is skipped, but a line feed starts the next line.
        for (int i = breakAt + 1; i < length; ++i) {
            if (!isBreakingSpace(units[i])) {
                next = i;
                break;
            }
        }
    }

    // breakAt may be start - 1 when the line begins with whitespace too wide for it: an empty line.
    const int end = breakAt == -1 ? length : breakAt + 1;
    int lineLength = end - start;
    if (lineLength > 0 && units[end - 1] == u'\n') --lineLength;
    return StringItem::LineBreak{start, lineLength, next, hyphen, lineW};
}

[[gnu::always_inline]] inline JavaPtr<java::lang::String> makeLine(const java::lang::String& text,
                                                                   const StringItem::LineBreak& line) {
    const unsigned short* units = text.unitData() + line.start;
    if (!line.hyphenated) return jnew<java::lang::String>(units, line.length);
    std::vector<unsigned short> withHyphen(units, units + line.length);
    withHyphen.push_back(u'-');
    return jnew<java::lang::String>(withHyphen.data(), static_cast<int>(withHyphen.size()));
}

}  // namespace

StringItem::~StringItem() = default;

StringItem* StringItem::TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                              const JavaPtr<java::lang::String>& text) {
    return TESLinvokeconstructor(label, text, PLAIN);
}

StringItem* StringItem::TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                              const JavaPtr<java::lang::String>& text, int appearanceMode) {
    Item::TESLinvokeconstructor();
    init(label, text, appearanceMode, systemFont());
    return this;
}

void StringItem::init(const JavaPtr<java::lang::String>& label, const JavaPtr<java::lang::String>& text,
                      int mode, const JavaPtr<Font>& font) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_label = label;
    m_text = text;
    m_appearanceMode = mode;
    m_font = font;
    m_lines = nullptr;
    m_updatecontentHeightAndWidth();
}

bool StringItem::addToForm(ItemOwner* form) {
    LCDUIGuard lock(LCDUILock::mutex());
    const bool accepted = Item::addToForm(form);
    if (accepted) m_updatecontentHeightAndWidth();
    return accepted;
}

int StringItem::layoutInternal() {
    LCDUIGuard lock(LCDUILock::mutex());
    return neitherDimensionLocked() ? m_layout | LAYOUT_EXPAND | LAYOUT_VEXPAND : m_layout;
}

void StringItem::preferredSizeChanged() {
    m_updatecontentHeightAndWidth();
}

int StringItem::getMinContentHeight() {
    LCDUIGuard lock(LCDUILock::mutex());
    return neitherDimensionLocked() ? m_font->getHeight() : m_contentHeight;
}

int StringItem::getMinContentWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    return neitherDimensionLocked() ? ScreenSize::width / 4 : m_contentWidth;
}

int StringItem::getPrefContentWidth(int) {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_contentWidth;
}

int StringItem::getPrefContentHeight(int) {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_contentHeight;
}

void StringItem::paint(const JavaPtr<Graphics>& g, int, int) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_lines) return;
    const bool highlighted = m_inline && isHighlighted();
    g->setFont(m_font);
    const int lineHeight = m_font->getHeight();
    const int32_t count =
        std::min({m_lines->length, m_lineX ? m_lineX->length : 0, m_lineY ? m_lineY->length : 0});
    for (int32_t i = 0; i < count; ++i) {
        const JavaPtr<java::lang::String>& line = m_lines->data[i];
        if (!line) continue;
        const int x = m_lineX->data[i];
        const int y = m_lineY->data[i];
        if (highlighted) {
            g->setColor(_LCDUI_COLOR_HIGHLIGHTED_BACKGROUND);
            g->fillRect(x, y, m_font->stringWidth(line), lineHeight);
            g->setColor(_LCDUI_COLOR_HIGHLIGHTED_FOREGROUND);
        } else {
            g->setColor(_LCDUI_COLOR_FOREGROUND);
        }
        g->drawString(line, x, y, Graphics::TOP | Graphics::LEFT);
    }
}

int StringItem::getAppearanceMode() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_appearanceMode;
}

JavaPtr<Font> StringItem::getFont() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_font;
}

JavaPtr<java::lang::String> StringItem::getText() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_text;
}

void StringItem::setFont(const JavaPtr<Font>& font) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_font = font ? font : systemFont();
    m_updatecontentHeightAndWidth();
}

void StringItem::setText(const JavaPtr<java::lang::String>& text) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_text = text;
    m_updatecontentHeightAndWidth();
}

JavaPtr<java::lang::String> StringItem::wrapTextLine(int start, int width, int* nextStart, bool* hyphenated,
                                                     const JavaPtr<java::lang::String>& text,
                                                     const JavaPtr<Font>& font, int* lineWidth) {
    if (!text || !font) return nullptr;
    const int length = text->length();
    if (length == 0) {
        if (nextStart != nullptr) *nextStart = -1;
        if (hyphenated != nullptr) *hyphenated = false;
        if (lineWidth != nullptr) *lineWidth = 0;
        return text;
    }
    if (start < 0 || start >= length) throw java::lang::StringIndexOutOfBoundsException();
    const LineBreak line = measureLineBreak(start, width, *text, *font);
    if (nextStart != nullptr) *nextStart = line.next;
    if (hyphenated != nullptr) *hyphenated = line.hyphenated;
    JavaPtr<java::lang::String> made = makeLine(*text, line);
    if (lineWidth != nullptr) {
        // Widths add up character by character only for the bitmap font.
        *lineWidth = font->usesNativeText() ? font->stringWidth(made) : line.width;
    }
    return made;
}

StringItem::LineBreak StringItem::breakTextLine(int start, int width, const java::lang::String& text,
                                                const Font& font) {
    return measureLineBreak(start, width, text, font);
}

JavaPtr<java::lang::String> StringItem::lineOf(const java::lang::String& text, const LineBreak& line) {
    return makeLine(text, line);
}

bool StringItem::LineBreak::sameAs(const java::lang::String& text, const java::lang::String* made) const {
    if (made == nullptr || made->length() != length + (hyphenated ? 1 : 0)) return false;
    const unsigned short* own = made->unitData();
    if (hyphenated && own[length] != u'-') return false;
    return std::equal(own, own + length, text.unitData() + start);
}

int StringItem::widthOf(const java::lang::String& text, const Font& font, const LineBreak& line) {
    // Widths add up character by character only for the bitmap font.
    return font.usesNativeText() ? font.stringWidth(lineOf(text, line)) : line.width;
}

StringItem::OwnWrap* StringItem::keptWrapFor(int wrapWidth, int width) {
    if (!m_text) return nullptr;
    const int alignment = getLayout() & 3;
    const uint32_t fontTables = BitmapFontSystem::tablesGeneration();
    for (OwnWrap& kept : m_ownWraps) {
        if (kept.lines && kept.text.get() == m_text.get() && kept.fontByte == m_font->fontByte() &&
            kept.fontTables == fontTables && kept.wrapWidth == wrapWidth && kept.width == width &&
            kept.alignment == alignment)
            return &kept;
    }
    return nullptr;
}

void StringItem::wrapTextLines(int width) {
    LCDUIGuard lock(LCDUILock::mutex());
    wrapTextLines(width, m_text ? usableFormWidth() : 0);
}

void StringItem::wrapTextLines(int width, int formWidth) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_text) {
        m_lines = nullptr;
        m_lineX = nullptr;
        m_lineY = nullptr;
        return;
    }
    // Read before the wrap: a font installed meanwhile must not pass for the one measured with.
    const uint32_t fontTables = BitmapFontSystem::tablesGeneration();
    if (width == -1) width = formWidth;
    const int wrapWidth = m_widthLocked ? m_preferredWidth : formWidth;
    const int alignment = getLayout() & 3;
    const int lineHeight = m_font->getHeight();

    // Gathered first and copied once: growing the arrays line by line would copy them again for every line.
    std::vector<JavaPtr<java::lang::String>> lines;
    std::vector<int> xs;
    std::vector<int> ys;
    int position = 0;
    int y = 0;
    int firstLineWidth = 0;
    for (;;) {
        int next = -1;
        int lineWidth = 0;
        JavaPtr<java::lang::String> line =
            wrapTextLine(position, wrapWidth, &next, nullptr, m_text, m_font, &lineWidth);
        if (lines.empty()) firstLineWidth = lineWidth;
        int x = 0;
        if (alignment == LAYOUT_RIGHT) {
            x = width - lineWidth;
        } else if (alignment == LAYOUT_CENTER) {
            x = (width - lineWidth) / 2;
        }
        lines.push_back(std::move(line));
        xs.push_back(x);
        ys.push_back(y);
        if (next == -1) break;
        position = next;
        y += lineHeight;
    }

    const int count = static_cast<int>(lines.size());
    JavaPtr<LineArray> lineArray = jnewArray<JavaPtr<java::lang::String>>(count);
    JavaPtr<JArray<int>> xArray = jnewArray<int>(count);
    JavaPtr<JArray<int>> yArray = jnewArray<int>(count);
    for (int i = 0; i < count; ++i) {
        lineArray->data[i] = std::move(lines[static_cast<size_t>(i)]);
        xArray->data[i] = xs[static_cast<size_t>(i)];
        yArray->data[i] = ys[static_cast<size_t>(i)];
    }
    m_lines = lineArray;
    m_lineX = xArray;
    m_lineY = yArray;
    m_ownWraps[1] = std::move(m_ownWraps[0]);
    m_ownWraps[0] =
        OwnWrap{m_text,    m_font->fontByte(),   fontTables,        wrapWidth,         width,
                alignment, std::move(lineArray), std::move(xArray), std::move(yArray), firstLineWidth};
}

void StringItem::m_updatecontentHeightAndWidth() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_owner == nullptr) return;
    m_updatecontentHeightAndWidth(usableFormWidth());
}

void StringItem::m_updatecontentHeightAndWidth(int formWidth) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_updateContentSize(formWidth, false);
}

void StringItem::beginLayoutPass(int formWidth) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_inline = false;
    m_updateContentSize(formWidth, true);
}

void StringItem::endLayoutPass() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!std::exchange(m_ownLinesWaiting, false) || m_inline) return;
    if (OwnWrap* kept = keptWrapFor(m_ownLinesWidth, m_ownLinesWidth)) m_takeLinesOf(*kept);
}

void StringItem::m_takeLinesOf(const OwnWrap& kept) {
    if (m_lines.get() != kept.lines.get()) m_lines = kept.lines;
    if (m_lineX.get() != kept.lineX.get()) m_lineX = kept.lineX;
    if (m_lineY.get() != kept.lineY.get()) m_lineY = kept.lineY;
}

void StringItem::m_updateContentSize(int formWidth, bool ownLinesLater) {
    m_ownLinesWaiting = false;
    if (m_owner == nullptr) return;
    m_contentWidth = m_widthLocked ? m_preferredWidth : formWidth;
    // The form lays its items out several times a second and in two passes; the lines change only with
    // the text, the font or the widths, so an unchanged item gets its own lines back without a wrap.
    OwnWrap* kept = keptWrapFor(m_contentWidth, m_contentWidth);
    if (kept != nullptr) {
        if (ownLinesLater) {
            m_ownLinesWaiting = true;
            m_ownLinesWidth = m_contentWidth;
        } else {
            m_takeLinesOf(*kept);
        }
    } else {
        wrapTextLines(m_contentWidth, formWidth);
        if (m_text) kept = &m_ownWraps[0];
    }
    // A single line's width is summed as it is wrapped, as Font::stringWidth sums it.
    const int count = kept != nullptr ? kept->lines->length : 0;
    if (count == 1) m_contentWidth = kept->firstLineWidth;
    if (m_heightLocked) {
        m_contentHeight = m_preferredHeight;
    } else {
        m_contentHeight = count * m_font->getHeight();
    }
}

int StringItem::oneLineWidthWithin(int wrapWidth, int room) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!m_text) return -1;
    const uint32_t fontTables = BitmapFontSystem::tablesGeneration();
    for (const OwnWrap& kept : m_ownWraps) {
        if (kept.lines && kept.text.get() == m_text.get() && kept.fontByte == m_font->fontByte() &&
            kept.fontTables == fontTables && kept.wrapWidth == wrapWidth) {
            return kept.lines->length == 1 && kept.firstLineWidth <= room ? kept.firstLineWidth : -1;
        }
    }
    return -1;
}

const JavaPtr<java::lang::String>& StringItem::textUnderLock() const {
    assert(LCDUILock::heldByCurrentThread() && "textUnderLock: take the screens' lock around its use");
    return m_text;
}

const JavaPtr<Font>& StringItem::fontUnderLock() const {
    assert(LCDUILock::heldByCurrentThread() && "fontUnderLock: take the screens' lock around its use");
    return m_font;
}

JavaPtr<StringItem::LineArray> StringItem::getLines() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_lines;
}

JavaPtr<JArray<int>> StringItem::getLineX() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_lineX;
}

JavaPtr<JArray<int>> StringItem::getLineY() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_lineY;
}

}  // namespace javax::microedition::lcdui
