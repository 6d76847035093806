#include "forms/List.h"

#include "forms/ChoiceGroup.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "graphics/Image.h"
#include "library/LCDUIStrings.h"
#include "shell/Command.h"
#include "shell/LCDUIHooks.h"
#include "shell/LCDUILock.h"

namespace javax::microedition::lcdui {

using java::lang::String;

List::~List() {
    // The canvas is the inner form's: its back link is the form's to clear, not this list's.
    setCorrespondingCanvas(nullptr);
    if (m_form) m_form->setOwnerScreen(nullptr);
}

List* List::TESLinvokeconstructor(const JavaPtr<String>& title, int listType) {
    Screen::TESLinvokeconstructor();
    m_init(title, listType, jnew<StringArray>(0), jnew<ImageArray>(0));
    return this;
}

List* List::TESLinvokeconstructor(const JavaPtr<String>& title, int listType,
                                  const JavaPtr<StringArray>& stringElements,
                                  const JavaPtr<ImageArray>& imageElements) {
    Screen::TESLinvokeconstructor();
    m_init(title, listType, stringElements, imageElements);
    return this;
}

void List::m_init(const JavaPtr<String>& title, int listType, const JavaPtr<StringArray>& stringElements,
                  const JavaPtr<ImageArray>& imageElements) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_form = jnew<Form>(title);
    m_form->setOwnerScreen(this);
    setCorrespondingCanvas(m_form->getCorrespondingCanvas().get());
    m_choiceGroup = jnew<ChoiceGroup>(nullptr, listType, stringElements, imageElements, true);
    m_form->append(JavaPtr<Item>(m_choiceGroup));
    setSelectCommand(SELECT_COMMAND);
}

void List::List_staticInit() {
    SELECT_COMMAND = jnew<Command>(LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_SELECT), Command::ITEM, 1);
}

void List::List_staticDestroy() {
    SELECT_COMMAND = nullptr;
}

void List::fillListHooks(LCDUIHighLevelHooks& hooks) {
    hooks.listStaticInit = &List_staticInit;
    hooks.listStaticDestroy = &List_staticDestroy;
}

// ---- Passed to the inner form ----

void List::addCommand(const JavaPtr<Command>& c) {
    m_form->addCommand(c);
}

JavaPtr<Ticker> List::getTicker() {
    return m_form->getTicker();
}

JavaPtr<String> List::getTitle() {
    return m_form->getTitle();
}

void List::removeCommand(const JavaPtr<Command>& c) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (c && c == m_selectCommand) setSelectCommand(nullptr);
    m_form->removeCommand(c);
}

void List::setCommandListener(const JavaPtr<CommandListener>& l) {
    m_form->setCommandListener(l);
}

void List::setTicker(const JavaPtr<Ticker>& t) {
    m_form->setTicker(t);
}

void List::setTitle(const JavaPtr<String>& s) {
    m_form->setTitle(s);
}

void List::relayout() {
    m_form->relayout();
}

void List::setNeedsRelayout(bool needed) {
    // Screen's constructor asks before the inner form exists.
    if (m_form) m_form->setNeedsRelayout(needed);
}

bool List::needsRelayout() {
    return m_form->needsRelayout();
}

void List::prepareForCommand() {
    LCDUIGuard lock(LCDUILock::mutex());
    if (m_choiceGroup->getChoiceType() != IMPLICIT) return;
    const int highlighted = m_choiceGroup->getHighlightedIndex();
    if (highlighted != -1) m_choiceGroup->m_setSelectedIndex(highlighted, true, true);
}

// ---- Select command ----

void List::setSelectCommand(const JavaPtr<Command>& command) {
    LCDUIGuard lock(LCDUILock::mutex());
    m_choiceGroup->setSelectCommand(command);
    if (command) {
        addCommand(command);
        m_selectCommand = command;
        return;
    }
    JavaPtr<Command> former = std::move(m_selectCommand);
    if (former) removeCommand(former);
}

JavaPtr<Form> List::getInnerForm() {
    return m_form;
}

JavaPtr<ChoiceGroup> List::getChoiceGroup() {
    return m_choiceGroup;
}

JavaPtr<Command> List::getSelectCommand() {
    LCDUIGuard lock(LCDUILock::mutex());
    return m_selectCommand;
}

// ---- Passed to the choice group ----

int List::append(const JavaPtr<String>& stringPart, const JavaPtr<Image>& imagePart) {
    return m_choiceGroup->append(stringPart, imagePart);
}

void List::deleteJ(int elementNum) {
    m_choiceGroup->deleteJ(elementNum);
}

void List::deleteAll() {
    m_choiceGroup->deleteAll();
}

int List::getFitPolicy() {
    return m_choiceGroup->getFitPolicy();
}

JavaPtr<Font> List::getFont(int elementNum) {
    return m_choiceGroup->getFont(elementNum);
}

JavaPtr<Image> List::getImage(int elementNum) {
    return m_choiceGroup->getImage(elementNum);
}

int List::getSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) {
    return m_choiceGroup->getSelectedFlags(selectedArray);
}

int List::getSelectedIndex() {
    return m_choiceGroup->getSelectedIndex();
}

JavaPtr<String> List::getString(int elementNum) {
    return m_choiceGroup->getString(elementNum);
}

void List::insert(int elementNum, const JavaPtr<String>& stringPart, const JavaPtr<Image>& imagePart) {
    m_choiceGroup->insert(elementNum, stringPart, imagePart);
}

bool List::isSelected(int elementNum) {
    return m_choiceGroup->isSelected(elementNum);
}

void List::set(int elementNum, const JavaPtr<String>& stringPart, const JavaPtr<Image>& imagePart) {
    m_choiceGroup->set(elementNum, stringPart, imagePart);
}

void List::setFitPolicy(int fitPolicy) {
    m_choiceGroup->setFitPolicy(fitPolicy);
}

void List::setFont(int elementNum, const JavaPtr<Font>& font) {
    m_choiceGroup->setFont(elementNum, font);
}

void List::setSelectedFlags(const JavaPtr<JArray<bool>>& selectedArray) {
    m_choiceGroup->setSelectedFlags(selectedArray);
}

void List::setSelectedIndex(int elementNum, bool selected) {
    m_choiceGroup->setSelectedIndex(elementNum, selected);
}

int List::size() {
    return m_choiceGroup->size();
}

}  // namespace javax::microedition::lcdui
