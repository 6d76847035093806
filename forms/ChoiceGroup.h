// javax.microedition.lcdui.ChoiceGroup: the form item that offers elements (a string, an optional image
// and a font each) to select one or several of, drawn as rows with check boxes or radio marks. It is also
// the body of every List, where it runs in list mode: it may be IMPLICIT, and it tells no state listener.
// Every operation takes the screens' lock (shell/LCDUILock.h), as all items do.
#pragma once

#include <cstdint>

#include "forms/Choice.h"
#include "forms/Item.h"

namespace javax::microedition::lcdui {

class Command;

class ChoiceGroup : public Item, public Choice {
    TESL_CLASS(ChoiceGroup, "javax.microedition.lcdui.ChoiceGroup", Item, Choice)
public:
    using StringArray = JArray<JavaPtr<java::lang::String>>;
    using ImageArray = JArray<JavaPtr<Image>>;

    // Row geometry in pixels.
    static constexpr int ROW_INSET = 3;
    static constexpr int ROW_GAP = 4;
    static constexpr int CHECK_BOX_SIZE = 20;
    static constexpr int RADIO_SIZE = 16;

    ChoiceGroup() noexcept {}
    ~ChoiceGroup() override;

    ChoiceGroup* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, int choiceType);
    ChoiceGroup* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, int choiceType,
                                       const JavaPtr<StringArray>& stringElements,
                                       const JavaPtr<ImageArray>& imageElements);
    ChoiceGroup* TESLinvokeconstructor(const JavaPtr<java::lang::String>& label, int choiceType,
                                       const JavaPtr<StringArray>& stringElements,
                                       const JavaPtr<ImageArray>& imageElements, bool listMode);

    // Item.
    void notifyStateChanged() override;
    bool addToForm(ItemOwner* form) override;
    bool requiresOwnRow() override;
    int getMinContentHeight() override;
    int getMinContentWidth() override;
    int getPrefContentWidth(int height) override;
    int getPrefContentHeight(int width) override;
    using Item::paint;
    void paint(const JavaPtr<Graphics>& g, int w, int h) override;
    void sizeChanged(int w, int h) override;
    void keyReleased(int keyCode) override;
    bool traverse(int dir, int viewportWidth, int viewportHeight,
                  const JavaPtr<JArray<int>>& visRect) override;
    void traverseOut() override;
    void rebuildTouchscreenAreas() override;
    void touchscreenAreaEvent(const JavaPtr<java::lang::String>& code, int eventType, int relX, int relY,
                              int dx, int dy, bool inside) override;

    // Choice.
    int append(const JavaPtr<java::lang::String>& stringPart, const JavaPtr<Image>& imagePart) override;
    void deleteJ(int elementNum) override;
    void deleteAll() override;
    int getFitPolicy() override;
    JavaPtr<Font> getFont(int elementNum) override;
    JavaPtr<Image> getImage(int elementNum) override;
    int getSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) override;
    int getSelectedIndex() override;
    JavaPtr<java::lang::String> getString(int elementNum) override;
    void insert(int elementNum, const JavaPtr<java::lang::String>& stringPart,
                const JavaPtr<Image>& imagePart) override;
    bool isSelected(int elementNum) override;
    void set(int elementNum, const JavaPtr<java::lang::String>& stringPart,
             const JavaPtr<Image>& imagePart) override;
    void setFitPolicy(int fitPolicy) override;
    void setFont(int elementNum, const JavaPtr<Font>& font) override;
    void setSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) override;
    void setSelectedIndex(int elementNum, bool selected) override;
    int size() override;

    // The list's select command, triggered by FIRE in an IMPLICIT group; null allowed.
    void setSelectCommand(const JavaPtr<Command>& c);
    // Selects without an index check; notify reports a change to the state listener. The core canvas
    // calls it on an implicit list's highlighted element before it delivers any command.
    void m_setSelectedIndex(int elementNum, bool selected, bool notify);
    int getChoiceType();
    // The highlighted element, -1 for none.
    int getHighlightedIndex();
    // Height of element i's row, without the gap after it.
    int m_elementRowHeight(int elementNum);

private:
    void m_init(const JavaPtr<java::lang::String>& label, int choiceType,
                const JavaPtr<StringArray>& stringElements, const JavaPtr<ImageArray>& imageElements,
                bool listMode);
    bool validateElementNum(int elementNum);
    void ensureSelection();
    bool isSingleSelection() const;
    bool hasImages();
    // The column where the image (or, without images, the text) starts, by type.
    int columnStart() const;
    // The user changed the selection: the state listener hears of it, when there is a form to ask.
    void m_notifyUser();
    // The element a row area's code names, or -1 when it names none of the present elements.
    int m_rowIndexForCode(const JavaPtr<java::lang::String>& code);
    JavaPtr<java::lang::String> m_rowCode(int elementNum);

    int32_t m_choiceType = 0;
    int32_t m_numElements = 0;
    // The group's own copies of the caller's arrays: a caller's later write cannot reach them.
    JavaPtr<StringArray> m_strings;
    // Null until the first image when the group was built without an image array.
    JavaPtr<ImageArray> m_images;
    JavaPtr<JArray<bool>> m_selectedFlags;
    JavaPtr<JArray<JavaPtr<Font>>> m_fonts;
    JavaPtr<Font> m_defaultFont;
    int32_t m_selectedIndex = -1;
    int32_t m_highlightedIndex = -1;
    bool m_listMode = false;
    JavaPtr<Command> m_selectCommand;
    int32_t m_imageWidth = 0;
    int32_t m_imageHeight = 0;
    bool m_areasRegistered = false;
    JavaPtr<java::lang::String> m_areaBaseCode;
    // Rows whose areas the last registration left in the registry; the rows beyond the size are dropped
    // at the next one.
    int32_t m_registeredRows = 0;
};

}  // namespace javax::microedition::lcdui
