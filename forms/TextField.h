// javax.microedition.lcdui.TextField: the editable text item of a form. It keeps the text (the actual
// text) and the text shown (masked for passwords), wraps the shown text into lines of the content
// width, keeps the caret as a position and as a line and column, and paints both. The application edits
// it through the MIDP operations; the user through multi-tap on the keypad, keyboard keys (drawn or
// real), delete, and a small symbol selector opened by holding star. Every operation takes the screens'
// lock (shell/LCDUILock.h).
#pragma once

#include <cstdint>

#include "forms/Item.h"
#include "runtime/JArray.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

class Command;
class Font;

class TextField : public Item {
    TESL_CLASS(TextField, "javax.microedition.lcdui.TextField", Item)
public:
    static constexpr int ANY = 0;
    static constexpr int EMAILADDR = 1;
    static constexpr int NUMERIC = 2;
    static constexpr int PHONENUMBER = 3;
    static constexpr int URL = 4;
    static constexpr int DECIMAL = 5;
    static constexpr int CONSTRAINT_MASK = 0xFFFF;
    static constexpr int PASSWORD = 0x10000;
    static constexpr int UNEDITABLE = 0x20000;
    static constexpr int SENSITIVE = 0x40000;
    static constexpr int NON_PREDICTIVE = 0x80000;
    static constexpr int INITIAL_CAPS_WORD = 0x100000;
    static constexpr int INITIAL_CAPS_SENTENCE = 0x200000;
    static constexpr int INTERNAL_MAX_SIZE = 10000;

    // How long a multi-tap character stays open to the next press of its key.
    static constexpr long long MULTI_TAP_MS = 1200;
    static constexpr int SELECTOR_CELL = 18;
    static constexpr int SELECTOR_COLUMNS = 5;
    static constexpr int SELECTOR_ROWS = 2;
    static constexpr int SELECTOR_SYMBOLS = 7;

    using LineArray = JArray<JavaPtr<java::lang::String>>;
    using CharArray = JArray<unsigned short>;

    TextField() noexcept {}
    ~TextField() override;

    TextField* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                     const JavaPtr<java::lang::String>& text, int maxSize, int constraints);
    TextField* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label,
                                     const JavaPtr<java::lang::String>& text, int maxSize, int constraints,
                                     bool fillsForm);

    // Item's operations.
    void notifyStateChanged() override;
    bool requiresOwnRow() override;
    void tick(long long nowMs) override;
    void command(const JavaPtr<Command>& cmd) override;
    int getMinContentHeight() override;
    int getMinContentWidth() override;
    int getPrefContentWidth(int height) override;
    int getPrefContentHeight(int width) override;
    using Item::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override;
    void sizeChanged(int w, int h) override;
    void keyPressed(int keyCode) override;
    void keyReleased(int keyCode) override;
    void keyRepeated(int keyCode) override;
    void pointerPressed(int x, int y) override;
    bool traverse(int dir, int viewportWidth, int viewportHeight,
                  const JavaPtr<JArray<int>>& visRect) override;

    // TextField's own, in slot order.
    virtual void deleteJ(int offset, int length);
    virtual int getCaretPosition();
    virtual int getChars(const JavaPtr<CharArray>& data);
    virtual int getConstraints();
    virtual int getMaxSize();
    virtual JavaPtr<java::lang::String> getString();
    virtual void insert(const JavaPtr<CharArray>& data, int offset, int length, int position);
    virtual void insert(const JavaPtr<java::lang::String>& src, int position);
    virtual void setChars(const JavaPtr<CharArray>& data, int offset, int length);
    virtual void setConstraints(int constraints);
    virtual void setInitialInputMode(const JavaPtr<java::lang::String>& characterSubset);
    virtual int setMaxSize(int maxSize);
    virtual void setString(const JavaPtr<java::lang::String>& text);
    virtual int size();

    // What the tests and the painting checks read.
    JavaPtr<java::lang::String> getDisplayText();
    JavaPtr<LineArray> getLines();
    int caretRow();
    int caretColumn();
    bool isTraversedIn();
    bool isCharSelectorShown();
    int charSelectorRow();
    int charSelectorColumn();
    // The pending multi-tap key set, -1 when no character is pending.
    int multiTapKeySet();

private:
    void m_init(const JavaPtr<java::lang::String>& label, const JavaPtr<java::lang::String>& text,
                int maxSize, int constraints, bool fillsForm);
    void m_actualTextChanged(bool notify);
    void m_setDisplayTextFromActualText();
    bool m_validate(const JavaPtr<java::lang::String>& candidate, int constraints);
    bool m_insertInternal(const JavaPtr<java::lang::String>& src, int position, bool throwErrors,
                          bool notify);
    // The insertion itself; pendingKeySet is the multi-tap key set left pending once the text is stored
    // (-1 for every edit but a multi-tap character's).
    bool m_insertText(const JavaPtr<java::lang::String>& src, int position, bool throwErrors, bool notify,
                      int pendingKeySet);
    bool m_deleteInternal(int offset, int length, bool throwErrors, bool notify);
    void m_wrapText();
    void m_setCaretDisplayRowAndColFromPos();
    void m_setCaretDisplayPosFromRowAndCol();
    void m_setActualPosFromDisplayPos();
    void m_setDisplayPosFromActualPos();
    void m_actualPosChanged();
    // Ends a pending multi-tap character; a password masks it again at once.
    void m_endPendingCharacter();
    void m_showCharSelector();
    void m_hideCharSelector();
    void m_paintCharSelector(const JavaPtr<Graphics>& g);
    void m_setVisibleRectangle(const JavaPtr<JArray<int>>& visRect);
    int m_lineHeight();
    int m_lineLength(int row);

    bool m_fillsForm = false;
    JavaPtr<java::lang::String> m_actualText;
    JavaPtr<java::lang::String> m_displayText;
    bool m_traversedIn = false;
    int32_t m_maxSize = 1;
    int32_t m_size = 0;
    int32_t m_constraints = ANY;
    JavaPtr<Font> m_font;
    int32_t m_caretDisplayCol = 0;
    int32_t m_caretDisplayRow = 0;
    int32_t m_actualPos = 0;
    int32_t m_displayPos = 0;
    int32_t m_preferredCol = 0;
    JavaPtr<LineArray> m_lines;
    JavaPtr<JArray<int>> m_lineStarts;
    JavaPtr<JArray<bool>> m_lineHyphenated;
    int64_t m_lastKeyPressMS = -1;
    int32_t m_lastKey = -9999;
    int32_t m_multiTapKeySet = -1;
    int32_t m_multiTapIndex = 0;
    bool m_charSelectorShown = false;
    int32_t m_charSelectorRow = 0;
    int32_t m_charSelectorCol = 0;
    JavaPtr<Command> m_charSelectorCancel;
};

}  // namespace javax::microedition::lcdui
