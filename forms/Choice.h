// javax.microedition.lcdui.Choice: the element and selection operations a ChoiceGroup and a List share.
// The choice types are plain ints; a List hands every one of these to the choice group it holds.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "runtime/String.h"

namespace javax::microedition::lcdui {

class Font;
class Image;

class Choice : public virtual java::lang::Smart {
    TESL_INTERFACE(Choice, "javax.microedition.lcdui.Choice", java::lang::Smart)
public:
    static constexpr int EXCLUSIVE = 1;
    static constexpr int MULTIPLE = 2;
    // Only a list may be implicit: FIRE chooses the element and triggers the list's select command.
    static constexpr int IMPLICIT = 3;
    // Behaves as EXCLUSIVE and is drawn as an open list without marks.
    static constexpr int POPUP = 4;

    virtual int append(const JavaPtr<java::lang::String>& stringPart, const JavaPtr<Image>& imagePart) = 0;
    virtual void deleteJ(int elementNum) = 0;
    virtual void deleteAll() = 0;
    virtual int getFitPolicy() = 0;
    virtual JavaPtr<Font> getFont(int elementNum) = 0;
    virtual JavaPtr<Image> getImage(int elementNum) = 0;
    virtual int getSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) = 0;
    virtual int getSelectedIndex() = 0;
    virtual JavaPtr<java::lang::String> getString(int elementNum) = 0;
    virtual void insert(int elementNum, const JavaPtr<java::lang::String>& stringPart,
                        const JavaPtr<Image>& imagePart) = 0;
    virtual bool isSelected(int elementNum) = 0;
    virtual void set(int elementNum, const JavaPtr<java::lang::String>& stringPart,
                     const JavaPtr<Image>& imagePart) = 0;
    virtual void setFitPolicy(int fitPolicy) = 0;
    virtual void setFont(int elementNum, const JavaPtr<Font>& font) = 0;
    virtual void setSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) = 0;
    virtual void setSelectedIndex(int elementNum, bool selected) = 0;
    virtual int size() = 0;
    ~Choice() override = default;
};

static_assert(Choice::TESLclassTypeID == static_cast<int32_t>(0xfd8130ca));

}  // namespace javax::microedition::lcdui
