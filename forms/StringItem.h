// javax.microedition.lcdui.StringItem: a label and a read-only text, broken into lines that fit the form.
// It also holds wrapTextLine, the one word wrap of the high-level screens, which the form layout and the
// text field use too.
#pragma once

#include <cstdint>

#include "forms/Item.h"

namespace javax::microedition::lcdui {

class StringItem : public Item {
    TESL_CLASS(StringItem, "javax.microedition.lcdui.StringItem", Item)
public:
    using LineArray = JArray<JavaPtr<java::lang::String>>;

    StringItem() noexcept {}
    ~StringItem() override;

    StringItem* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                      const JavaPtr<java::lang::String>& text);
    StringItem* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                      const JavaPtr<java::lang::String>& text, int appearanceMode);

    bool addToForm(ItemOwner* form) override;
    int layoutInternal() override;
    void preferredSizeChanged() override;
    int getMinContentHeight() override;
    int getMinContentWidth() override;
    int getPrefContentWidth(int height) override;
    int getPrefContentHeight(int width) override;
    using Item::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override;

    virtual int getAppearanceMode();
    virtual JavaPtr<Font> getFont();
    virtual JavaPtr<java::lang::String> getText();
    // A null font selects the small plain system font.
    virtual void setFont(const JavaPtr<Font>& font);
    virtual void setText(const JavaPtr<java::lang::String>& text);

    void init(const JavaPtr<java::lang::String>& label, const JavaPtr<java::lang::String>& text, int mode,
              const JavaPtr<Font>& font);

    // One line of text from index start, at most width pixels wide where the text allows: it breaks after
    // the last whole word that fits, at a line feed, or, when the line's first word alone is too wide,
    // inside it with a hyphen. Every line takes at least one character, whatever the width, so a caller
    // stepping through nextStart always gets to the end. *nextStart gets the next line's start (-1 at the
    // end), *hyphenated whether "-" was added; either may be null. Null when text or font is null, and
    // then nothing is written; the empty text itself for an empty text. A start outside a non-empty text
    // is StringIndexOutOfBoundsException. *lineWidth, when given, gets the returned line's stringWidth,
    // summed on the way rather than measured again.
    static JavaPtr<java::lang::String> wrapTextLine(int start, int width, int* nextStart, bool* hyphenated,
                                                    const JavaPtr<java::lang::String>& text,
                                                    const JavaPtr<Font>& font, int* lineWidth = nullptr);
    // Where wrapTextLine breaks, with no String made: the line is text[start, start + length), followed
    // by "-" when hyphenated; next is the next line's start (-1 at the end); width is summed on the way,
    // which is the line's width for the bitmap font (widthOf gives it for any font). start must lie
    // inside the text, which is not empty.
    struct LineBreak {
        int start;
        int length;
        int next;
        bool hyphenated;
        int width;
        // Whether made holds this line.
        bool sameAs(const java::lang::String& text, const java::lang::String* made) const;
    };
    static LineBreak breakTextLine(int start, int width, const java::lang::String& text, const Font& font);
    static JavaPtr<java::lang::String> lineOf(const java::lang::String& text, const LineBreak& line);
    static int widthOf(const java::lang::String& text, const Font& font, const LineBreak& line);
    // Rebuilds the three line arrays: wrapped to the locked or usable width, aligned within width (-1:
    // the usable width).
    void wrapTextLines(int width);
    // The same, with the form's usable width (usableFormWidth) as the caller knows it already.
    void wrapTextLines(int width, int formWidth);
    // Recomputes the lines and the content size; nothing until the item belongs to a form.
    void m_updatecontentHeightAndWidth();
    // The same, with the form's usable width (usableFormWidth) as the caller knows it already.
    void m_updatecontentHeightAndWidth(int formWidth);
    // The form layout's pass starts every string item over, not inline, at its content size from its own
    // lines; m_lines gets those lines back at the pass's end unless the pass flowed the text inline again
    // meanwhile. Lines flowed as the last pass flowed them need then no change of arrays at all.
    void beginLayoutPass(int formWidth);
    void endLayoutPass();
    // For the form layout: the width of the whole text as one line when the item's own wrap at wrapWidth
    // is that one line and it is no wider than room, -1 otherwise. wrapTextLine to room then gives that
    // same line, with no next line, so the layout need not wrap again.
    int oneLineWidthWithin(int wrapWidth, int room);

    // The text and the font as they are, uncounted and unlocked, for a caller that holds the screens' lock
    // while it uses them (the form layout reads them for every item on every pass).
    const JavaPtr<java::lang::String>& textUnderLock() const;
    const JavaPtr<Font>& fontUnderLock() const;

    JavaPtr<LineArray> getLines();
    JavaPtr<JArray<int>> getLineX();
    JavaPtr<JArray<int>> getLineY();

    // The lines, replaced together; the form layout sets its own while it flows the text inline.
    JavaPtr<LineArray> m_lines;
    JavaPtr<JArray<int>> m_lineX;
    JavaPtr<JArray<int>> m_lineY;
    // Written by the form layout: whether it flowed the text inline through its rows, and where it began.
    bool m_inline = false;
    int32_t m_inlineStartX = 0;
    int32_t m_inlineStartY = 0;
    int32_t m_inlineStartRow = 0;
    // The line arrays of the layout's last two inline flows of the text, the latest first, which it gives
    // back while it flows the same lines to the same places.
    struct FlowedLines {
        JavaPtr<LineArray> lines;
        JavaPtr<JArray<int>> lineX;
        JavaPtr<JArray<int>> lineY;
    };
    FlowedLines m_flowed[2];

private:
    bool neitherDimensionLocked() const { return !m_widthLocked && !m_heightLocked; }

    // A wrap of the item's own lines and what it was made for. Texts are immutable, so the same String
    // is the same text; the kept reference stops another from taking its address.
    struct OwnWrap {
        JavaPtr<java::lang::String> text;
        signed char fontByte = 0;
        uint32_t fontTables = 0;
        int32_t wrapWidth = 0;
        int32_t width = 0;
        int32_t alignment = 0;
        JavaPtr<LineArray> lines;
        JavaPtr<JArray<int>> lineX;
        JavaPtr<JArray<int>> lineY;
        int32_t firstLineWidth = 0;
    };
    // The kept wrap of the item's text and font as they are now, at these widths, or null.
    OwnWrap* keptWrapFor(int wrapWidth, int width);
    // Gives m_lines, m_lineX and m_lineY the kept wrap's arrays.
    void m_takeLinesOf(const OwnWrap& kept);
    // The content size for the form width; the own lines go to m_lines now or, ownLinesLater, at
    // endLayoutPass.
    void m_updateContentSize(int formWidth, bool ownLinesLater);

    JavaPtr<java::lang::String> m_text;
    JavaPtr<Font> m_font;
    int32_t m_appearanceMode = PLAIN;
    // The last two wraps of the item's own lines, the latest first, which m_lines may have given way to
    // while the form flowed the text inline. Every layout pass starts from them and wraps again only when
    // the text, the font or a width changed; two, as a form laid out with and without its scroll bar
    // asks for two widths in turn.
    OwnWrap m_ownWraps[2];
    // Set by beginLayoutPass when m_lines still waits for the own lines wrapped at this width.
    bool m_ownLinesWaiting = false;
    int32_t m_ownLinesWidth = 0;
};

}  // namespace javax::microedition::lcdui
