// javax.microedition.lcdui.List: the full-screen choice. It draws nothing itself: it builds an inner form
// holding one choice group in list mode, lends that form's canvas to the display, and passes every Choice
// operation to the group and every title, ticker, command and layout operation to the form. An IMPLICIT
// list chooses with FIRE, which also delivers the select command to the list's command listener.
#pragma once

#include "forms/Choice.h"
#include "screens/Screen.h"

namespace javax::microedition::lcdui {

class ChoiceGroup;
class Command;
class Form;
struct LCDUIHighLevelHooks;

class List : public Screen, public Choice {
    TESL_CLASS(List, "javax.microedition.lcdui.List", Screen, Choice)
public:
    using StringArray = JArray<JavaPtr<java::lang::String>>;
    using ImageArray = JArray<JavaPtr<Image>>;

    // "Select", an ITEM command of priority 1; null outside List_staticInit .. List_staticDestroy.
    static inline JavaPtr<Command> SELECT_COMMAND;

    List() noexcept {}
    ~List() override;

    List* TESLinvokeconstructor(const JavaPtr<java::lang::String>& title, int listType);
    List* TESLinvokeconstructor(const JavaPtr<java::lang::String>& title, int listType,
                                const JavaPtr<StringArray>& stringElements,
                                const JavaPtr<ImageArray>& imageElements);

    static void List_staticInit();
    static void List_staticDestroy();
    // Puts the two above into the display's table of high-level hooks.
    static void fillListHooks(LCDUIHighLevelHooks& hooks);

    // Displayable, passed to the inner form.
    void addCommand(const JavaPtr<Command>& c) override;
    JavaPtr<Ticker> getTicker() override;
    JavaPtr<java::lang::String> getTitle() override;
    void removeCommand(const JavaPtr<Command>& c) override;
    void setCommandListener(const JavaPtr<CommandListener>& l) override;
    void setTicker(const JavaPtr<Ticker>& t) override;
    void setTitle(const JavaPtr<java::lang::String>& s) override;
    void relayout() override;
    void setNeedsRelayout(bool needed) override;
    bool needsRelayout() override;
    // An implicit list selects its highlighted element before any of its commands is delivered.
    void prepareForCommand() override;

    // Choice, passed to the choice group; setSelectCommand in its alphabetical place.
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
    virtual void setSelectCommand(const JavaPtr<Command>& command);
    void setSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) override;
    void setSelectedIndex(int elementNum, bool selected) override;
    int size() override;

    // The inner form and its one item, as the core canvas and the tests reach them.
    JavaPtr<Form> getInnerForm();
    JavaPtr<ChoiceGroup> getChoiceGroup();
    JavaPtr<Command> getSelectCommand();

private:
    void m_init(const JavaPtr<java::lang::String>& title, int listType,
                const JavaPtr<StringArray>& stringElements, const JavaPtr<ImageArray>& imageElements);

    // Set once by m_init and never replaced.
    JavaPtr<Form> m_form;
    JavaPtr<ChoiceGroup> m_choiceGroup;
    // Under the screens' lock.
    JavaPtr<Command> m_selectCommand;
};

}  // namespace javax::microedition::lcdui
