#include "forms/List.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/ChoiceGroup.h"
#include "forms/Form.h"
#include "graphics/Graphics.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"
#include "screens/DisplayableCoreCanvas.h"
#include "screens/ScreenHooks.h"
#include "shell/Command.h"
#include "shell/CommandListener.h"
#include "shell/Display.h"
#include "shell/FrameBufferUpdate.h"
#include "shell/ItemStateListener.h"
#include "shell/LCDUIHooks.h"
#include "shell/MIDlet.h"
#include "shell/ShellGlobals.h"
#include "shell/Ticker.h"
#include "tests/forms/FormsTestFixture.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/ScreenBuffer.h"
#include "tests/support/StringText.h"
#include "tests/support/Throws.h"

using javax::microedition::lcdui::Canvas;
using javax::microedition::lcdui::Choice;
using javax::microedition::lcdui::ChoiceGroup;
using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::CommandListener;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::ItemStateListener;
using javax::microedition::lcdui::List;
using javax::microedition::lcdui::Screen;
using javax::microedition::lcdui::Ticker;
using testsupport::jstr;
using testsupport::narrow;
using testsupport::throws;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::List);

namespace {

using Strings = List::StringArray;
constexpr int kWidth = 320;
constexpr int kHeight = 480;

JavaPtr<Strings> strings(std::initializer_list<const char*> texts) {
    JavaPtr<Strings> array = jnew<Strings>(static_cast<int>(texts.size()));
    int i = 0;
    for (const char* text : texts) array->data[i++] = jstr(text);
    return array;
}

// Writes "<label> <list|other> sel=<the list's selected index when the command arrived>".
class CommandRecorder : public java::lang::Object, public CommandListener {
    TESL_CLASS(CommandRecorder, "formstest.CommandRecorder", java::lang::Object, CommandListener)
public:
    CommandRecorder() noexcept {}
    CommandRecorder* TESLinvokeconstructor(List* list) {
        Object::TESLinvokeconstructor();
        m_list = list;
        return this;
    }
    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Displayable>& d) override {
        const bool isList = d.get() == static_cast<Displayable*>(m_list);
        entries.push_back(narrow(c->getLabel()) + (isList ? " list" : " other") +
                          " sel=" + std::to_string(m_list->getSelectedIndex()));
    }
    std::vector<std::string> take() { return std::exchange(entries, {}); }

    std::vector<std::string> entries;

private:
    List* m_list = nullptr;
};

class StateRecorder : public java::lang::Object, public ItemStateListener {
    TESL_CLASS(StateRecorder, "formstest.StateRecorder", java::lang::Object, ItemStateListener)
public:
    StateRecorder() noexcept {}
    StateRecorder* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }
    void itemStateChanged(const JavaPtr<Item>& item) override {
        auto* group = static_cast<ChoiceGroup*>(item->castAsTypeID(ChoiceGroup::TESLclassTypeID));
        entries.push_back(group ? group->getSelectedIndex() : -100);
    }
    std::vector<int> entries;
};

bool hasCommand(List& list, const JavaPtr<Command>& c) {
    return Displayable::findCommandIndex(list.getInnerForm()->getCommands(), c, nullptr) >= 0;
}

class ListTest : public formstest::FormsFixture {
protected:
    void SetUp() override {
        _outputWidth.store(kWidth);
        _outputHeight.store(kHeight);
        FormsFixture::SetUp();
        // Canvases paint nothing once the MIDlet has asked to quit.
        javax::microedition::midlet::MIDlet::quitInvoked.store(false);
        DisplayableCoreCanvas::init();
        javax::microedition::lcdui::LCDUIHighLevelHooks hooks;
        javax::microedition::lcdui::fillScreenHooks(hooks);
        List::fillListHooks(hooks);
        hooks.formTidyUp = &Form::tidyUp;
        javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
        LCDUI_staticInit();
        display = testsupport::attachScreenBuffer(screenBuffer, kWidth, kHeight);
    }
    void TearDown() override {
        display = nullptr;
        LCDUI_tidyUpLCDUI();
        EXPECT_FALSE(List::SELECT_COMMAND) << "the tear-down releases the select command";
        FormsFixture::TearDown();
        _frameBufferPixels.store(nullptr);
        _frameBufferPixelCount.store(0);
        _outputWidth.store(0);
        _outputHeight.store(0);
    }

    // A list of three elements made current and laid out, its commands recorded.
    JavaPtr<List> showList(int type) {
        JavaPtr<List> list = jnew<List>(jstr("Pick one"), type, strings({"alpha", "beta", "gamma"}), nullptr);
        recorder = jnew<CommandRecorder>(list.get());
        list->setCommandListener(recorder);
        display->setCurrent(list);
        Display::tickLCDUI(50);
        canvas = list->getCorrespondingCanvas();
        return list;
    }
    void key(int code) {
        canvas->keyPressed(code);
        canvas->keyReleased(code);
    }
    // The text bar of row i on the screen: rows of an unmarked list are one 10-pixel line plus a 4-pixel gap.
    void rowBarTopLeft(List& list, int row, int* x, int* y) {
        JavaPtr<ChoiceGroup> group = list.getChoiceGroup();
        auto* core =
            static_cast<DisplayableCoreCanvas*>(canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID));
        JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
        core->getUnreservedArea(area);
        *x = group->m_x + group->m_contentX + 6;
        *y = area->data[1] - core->getVerticalScrollPos() + group->m_y + group->m_contentY + 3 + 14 * row;
    }
    int rgb(int x, int y) const {
        return static_cast<int>(Graphics::pixelToArgb(screenBuffer[y * kWidth + x]) & 0xFFFFFF);
    }

    testsupport::RecordingHost host;
    std::vector<uint32_t> screenBuffer;
    JavaPtr<Display> display;
    JavaPtr<CommandRecorder> recorder;
    JavaPtr<Canvas> canvas;
};

TEST_F(ListTest, EveryTypeStartsWithTheSelectCommand) {
    ASSERT_TRUE(List::SELECT_COMMAND);
    EXPECT_EQ(narrow(List::SELECT_COMMAND->getLabel()), "Select");
    EXPECT_EQ(List::SELECT_COMMAND->getCommandType(), Command::ITEM);
    EXPECT_EQ(List::SELECT_COMMAND->getPriority(), 1);
    for (int type : {Choice::EXCLUSIVE, Choice::MULTIPLE, Choice::IMPLICIT, Choice::POPUP}) {
        SCOPED_TRACE(type);
        JavaPtr<List> list = jnew<List>(jstr("t"), type);
        EXPECT_TRUE(hasCommand(*list, List::SELECT_COMMAND));
        EXPECT_EQ(list->getSelectCommand(), List::SELECT_COMMAND);
        EXPECT_EQ(list->getCorrespondingCanvas(), list->getInnerForm()->getCorrespondingCanvas());
        EXPECT_EQ(list->getInnerForm()->size(), 1);
        EXPECT_EQ(list->getChoiceGroup()->getChoiceType(), type);
    }
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([] { jnew<List>(jstr("t"), 5); }));
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([] { jnew<List>(jstr("t"), 0); }));
    EXPECT_TRUE(throws<java::lang::NullPointerException>(
        [] { jnew<List>(jstr("t"), Choice::IMPLICIT, nullptr, nullptr); }));
}

TEST_F(ListTest, ChoiceTitleAndTickerOperationsReachTheInnerParts) {
    JavaPtr<List> list = jnew<List>(jstr("first"), Choice::POPUP, strings({"a", "b"}), nullptr);
    EXPECT_EQ(narrow(list->getTitle()), "first");
    list->setTitle(jstr("second"));
    EXPECT_EQ(narrow(list->getInnerForm()->getTitle()), "second");
    JavaPtr<Ticker> ticker = jnew<Ticker>(jstr("news"));
    list->setTicker(ticker);
    EXPECT_EQ(list->getTicker(), ticker);
    EXPECT_EQ(list->getSelectedIndex(), 0) << "POPUP selects as EXCLUSIVE";
    list->insert(list->size(), jstr("c"), nullptr);
    EXPECT_EQ(narrow(list->getString(2)), "c");
    list->setSelectedIndex(2, true);
    EXPECT_EQ(list->getChoiceGroup()->getSelectedIndex(), 2);
    EXPECT_TRUE(throws<java::lang::IndexOutOfBoundsException>([&] { list->getString(3); }));
    EXPECT_TRUE(list->castAsTypeID(Choice::TESLclassTypeID) != nullptr);
    EXPECT_TRUE(list->castAsTypeID(Screen::TESLclassTypeID) != nullptr);
    list->setNeedsRelayout(false);
    list->append(jstr("d"), nullptr);
    EXPECT_TRUE(list->needsRelayout()) << "the group's relayout request is the one the display reads";
}

TEST_F(ListTest, ImplicitFireSelectsTheHighlightedElementAndDeliversSelect) {
    JavaPtr<List> list = showList(Choice::IMPLICIT);
    EXPECT_EQ(list->getSelectedIndex(), -1);
    key(DisplayableCoreCanvas::KEY_DOWN);
    EXPECT_EQ(list->getChoiceGroup()->getHighlightedIndex(), 1);
    key(DisplayableCoreCanvas::KEY_FIRE);
    EXPECT_EQ(recorder->take(), (std::vector<std::string>{"Select list sel=1"}));
    key(DisplayableCoreCanvas::KEY_FIRE);
    EXPECT_EQ(recorder->take(), (std::vector<std::string>{"Select list sel=1"}))
        << "again on the selected one";

    // Another select command replaces it; both stay among the commands.
    JavaPtr<Command> pick = jnew<Command>(jstr("Pick"), Command::ITEM, 2);
    list->setSelectCommand(pick);
    EXPECT_TRUE(hasCommand(*list, pick));
    EXPECT_TRUE(hasCommand(*list, List::SELECT_COMMAND));
    key(DisplayableCoreCanvas::KEY_UP);
    key(DisplayableCoreCanvas::KEY_FIRE);
    EXPECT_EQ(recorder->take(), (std::vector<std::string>{"Pick list sel=0"}));

    // Without a select command FIRE only selects.
    list->setSelectCommand(nullptr);
    EXPECT_FALSE(hasCommand(*list, pick));
    EXPECT_TRUE(hasCommand(*list, List::SELECT_COMMAND));
    list->setSelectCommand(nullptr);
    EXPECT_TRUE(hasCommand(*list, List::SELECT_COMMAND));
    key(DisplayableCoreCanvas::KEY_DOWN);
    key(DisplayableCoreCanvas::KEY_FIRE);
    EXPECT_EQ(list->getSelectedIndex(), 1);
    EXPECT_TRUE(recorder->take().empty());
}

TEST_F(ListTest, SoftKeyCommandsOnAnImplicitListSelectFirst) {
    JavaPtr<List> list = showList(Choice::IMPLICIT);
    list->addCommand(jnew<Command>(jstr("Back"), Command::BACK, 1));
    Display::tickLCDUI(50);
    key(DisplayableCoreCanvas::KEY_DOWN);
    key(DisplayableCoreCanvas::KEY_DOWN);
    // Back on the left soft key, Select alone on the right.
    key(DisplayableCoreCanvas::KEY_SOFTKEY_LEFT);
    EXPECT_EQ(recorder->take(), (std::vector<std::string>{"Back list sel=2"}));
    key(DisplayableCoreCanvas::KEY_UP);
    key(DisplayableCoreCanvas::KEY_SOFTKEY_RIGHT);
    EXPECT_EQ(recorder->take(), (std::vector<std::string>{"Select list sel=1"}));
}

TEST_F(ListTest, SelectOnOtherTypesDeliversWithoutChangingTheSelection) {
    for (int type : {Choice::EXCLUSIVE, Choice::MULTIPLE, Choice::POPUP}) {
        SCOPED_TRACE(type);
        JavaPtr<List> list = showList(type);
        const int before = list->getSelectedIndex();
        key(DisplayableCoreCanvas::KEY_DOWN);
        key(DisplayableCoreCanvas::KEY_SOFTKEY_RIGHT);
        EXPECT_EQ(recorder->take(), (std::vector<std::string>{"Select list sel=" + std::to_string(before)}));
        EXPECT_EQ(list->getSelectedIndex(), before);
        display->setCurrent(jnew<Form>(jstr("elsewhere")));
        Display::tickLCDUI(50);
    }
}

TEST_F(ListTest, RemovingTheSelectCommandLeavesNone) {
    JavaPtr<List> list = showList(Choice::IMPLICIT);
    list->removeCommand(List::SELECT_COMMAND);
    EXPECT_FALSE(list->getSelectCommand());
    EXPECT_FALSE(hasCommand(*list, List::SELECT_COMMAND));
    key(DisplayableCoreCanvas::KEY_FIRE);
    EXPECT_EQ(list->getSelectedIndex(), 0);
    EXPECT_TRUE(recorder->take().empty());
}

TEST_F(ListTest, ATapSelectsWithoutCommandAndThePaintShowsTheHighlightedRow) {
    JavaPtr<List> list = showList(Choice::IMPLICIT);
    int x = 0;
    int y = 0;
    rowBarTopLeft(*list, 0, &x, &y);
    EXPECT_EQ(rgb(x, y), formstest::kHighlightedBackground);
    EXPECT_EQ(rgb(x - 1, y), formstest::kBackground);
    rowBarTopLeft(*list, 2, &x, &y);
    EXPECT_EQ(rgb(x, y), formstest::kBackground);
    canvas->pointerPressed(x + 20, y + 5);
    canvas->pointerReleased(x + 20, y + 5);
    EXPECT_EQ(list->getSelectedIndex(), 2);
    EXPECT_TRUE(recorder->take().empty()) << "a touch never triggers the select command";
    Display::tickLCDUI(50);
    EXPECT_EQ(rgb(x, y), formstest::kHighlightedBackground);
    rowBarTopLeft(*list, 0, &x, &y);
    EXPECT_EQ(rgb(x, y), formstest::kBackground);
}

// The road of a touch on an element of a choice group in a plain form, through the form canvas.
TEST_F(ListTest, AChoiceGroupInAFormTellsTheStateListenerOfUserChangesOnly) {
    JavaPtr<Form> form = jnew<Form>(jstr("Form"));
    JavaPtr<ChoiceGroup> group =
        jnew<ChoiceGroup>(jstr("Size"), Choice::EXCLUSIVE, strings({"S", "M", "L"}), nullptr);
    form->append(JavaPtr<Item>(group));
    JavaPtr<StateRecorder> states = jnew<StateRecorder>();
    form->setItemStateListener(states);
    display->setCurrent(form);
    Display::tickLCDUI(50);
    canvas = form->getCorrespondingCanvas();
    auto* core =
        static_cast<DisplayableCoreCanvas*>(canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID));
    JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
    core->getUnreservedArea(area);
    // Radio rows are 16 high and 4 apart, from 3 below the content top.
    const int x = group->m_x + group->m_contentX + 100;
    const int rowTop = area->data[1] - core->getVerticalScrollPos() + group->m_y + group->m_contentY + 3;
    canvas->pointerPressed(x, rowTop + 20 + 8);
    canvas->pointerReleased(x, rowTop + 20 + 8);
    EXPECT_EQ(group->getSelectedIndex(), 1);
    canvas->pointerPressed(x, rowTop + 20 + 8);
    canvas->pointerReleased(x, rowTop + 20 + 8);
    key(DisplayableCoreCanvas::KEY_FIRE);
    group->setSelectedIndex(0, true);
    EXPECT_EQ(states->entries, (std::vector<int>{1})) << "once, and not for the application's own change";
    key(DisplayableCoreCanvas::KEY_DOWN);
    key(DisplayableCoreCanvas::KEY_FIRE);
    EXPECT_EQ(group->getSelectedIndex(), 2);
    EXPECT_EQ(states->entries, (std::vector<int>{1, 2}));
    Display::tickLCDUI(50);
    // The radio dot of the selected row shows on the screen.
    const int dotX = group->m_x + group->m_contentX + 11;
    EXPECT_EQ(rgb(dotX, rowTop + 40 + 4), formstest::kForeground);
    EXPECT_NE(rgb(dotX, rowTop + 4), formstest::kForeground);
}

}  // namespace
