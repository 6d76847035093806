// Screens that listen to themselves, the everyday idiom of a screen class that handles its own commands
// and changes: each still hears its calls, and once the application and the display let go of it, it
// is freed with its inner form and items (counted by their destructors).
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "dialogs/Alert.h"
#include "forms/ChoiceGroup.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/Gauge.h"
#include "forms/List.h"
#include "forms/StringItem.h"
#include "shell/ItemCommandListener.h"
#include "shell/ItemStateListener.h"
#include "tests/dialogs/HighLevelScreensFixture.h"

namespace {

using javax::microedition::lcdui::Alert;
using javax::microedition::lcdui::Choice;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::FormCanvas;
using javax::microedition::lcdui::Gauge;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::ItemCommandListener;
using javax::microedition::lcdui::ItemStateListener;
using javax::microedition::lcdui::List;
using javax::microedition::lcdui::StringItem;
using screenstest::Command;
using screenstest::CommandListener;
using screenstest::Display;
using screenstest::Displayable;
using screenstest::DisplayableCoreCanvas;
using testsupport::jstr;
using testsupport::narrow;

// What the screens heard, and how many of them and of their items were destroyed.
std::vector<std::string> heard;
int screensDestroyed = 0;
int itemsDestroyed = 0;

class CountedItem : public StringItem {
    TESL_CLASS(CountedItem, "dialogstest.CountedItem", StringItem)
public:
    CountedItem() noexcept {}
    ~CountedItem() override { ++itemsDestroyed; }
    CountedItem* TESLinvokeconstructor(const char* label) {
        StringItem::TESLinvokeconstructor(jstr(label), jstr("text"));
        return this;
    }
};

// A form that handles its items' changes and commands itself.
class OwnListenerForm : public Form, public ItemStateListener, public ItemCommandListener {
    TESL_CLASS(OwnListenerForm, "dialogstest.OwnListenerForm", Form, ItemStateListener, ItemCommandListener)
public:
    OwnListenerForm() noexcept {}
    ~OwnListenerForm() override { ++screensDestroyed; }
    OwnListenerForm* TESLinvokeconstructor() {
        Form::TESLinvokeconstructor(jstr("own"));
        return this;
    }
    void itemStateChanged(const JavaPtr<Item>& item) override {
        heard.push_back("state " + narrow(item->getLabel()));
    }
    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Item>& item) override {
        heard.push_back(narrow(c->getLabel()) + " on " + narrow(item->getLabel()));
    }
};

class OwnListenerList : public List, public CommandListener {
    TESL_CLASS(OwnListenerList, "dialogstest.OwnListenerList", List, CommandListener)
public:
    OwnListenerList() noexcept {}
    ~OwnListenerList() override { ++screensDestroyed; }
    OwnListenerList* TESLinvokeconstructor() {
        List::TESLinvokeconstructor(jstr("pick"), Choice::IMPLICIT);
        append(jstr("alpha"), nullptr);
        append(jstr("beta"), nullptr);
        return this;
    }
    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Displayable>& d) override {
        heard.push_back(narrow(c->getLabel()) +
                        (d.get() == static_cast<Displayable*>(this) ? " from the list" : ""));
    }
};

class OwnListenerAlert : public Alert, public CommandListener {
    TESL_CLASS(OwnListenerAlert, "dialogstest.OwnListenerAlert", Alert, CommandListener)
public:
    OwnListenerAlert() noexcept {}
    ~OwnListenerAlert() override { ++screensDestroyed; }
    OwnListenerAlert* TESLinvokeconstructor() {
        Alert::TESLinvokeconstructor(jstr("note"), jstr("saved"), nullptr, nullptr);
        return this;
    }
    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Displayable>& d) override {
        heard.push_back(narrow(c->getLabel()) +
                        (d.get() == static_cast<Displayable*>(this) ? " from the alert" : ""));
    }
};

class SelfListeningScreensTest : public dialogstest::HighLevelScreensFixture {
protected:
    void SetUp() override {
        HighLevelScreensFixture::SetUp();
        heard.clear();
        screensDestroyed = 0;
        itemsDestroyed = 0;
    }
};

TEST_F(SelfListeningScreensTest, AScreenThatListensToItselfHearsAndIsFreed) {
    struct Case {
        const char* name;
        // Builds the screen, lets it hear one call as the user would cause it, and lets go of it.
        std::function<void()> use;
        std::vector<std::string> heard;
        int itemsDestroyed;
    };
    const Case cases[] = {
        {"a form that is its own item state listener",
         [] {
             JavaPtr<OwnListenerForm> form = jnew<OwnListenerForm>();
             JavaPtr<Item> item = jnew<CountedItem>("a");
             form->append(item);
             form->setItemStateListener(form);
             item->notifyStateChanged();
         },
         {"state a"},
         1},
        {"a form that is its items' command listener, set before and after they join it",
         [this] {
             JavaPtr<OwnListenerForm> form = jnew<OwnListenerForm>();
             JavaPtr<Item> before = jnew<CountedItem>("before");
             before->setDefaultCommand(jnew<Command>(jstr("Open"), Command::ITEM, 1));
             before->setItemCommandListener(form);
             form->append(before);
             JavaPtr<Item> after = jnew<CountedItem>("after");
             form->append(after);
             after->setItemCommandListener(form);
             show(form);
             key(form->getFormCanvas(), DisplayableCoreCanvas::KEY_SOFTKEY_RIGHT);
             show(jnew<screenstest::TestScreen>());
         },
         {"Open on before"},
         2},
        {"a list that is its own command listener",
         [this] {
             JavaPtr<OwnListenerList> list = jnew<OwnListenerList>();
             list->setCommandListener(list);
             show(list);
             key(list->getCorrespondingCanvas(), DisplayableCoreCanvas::KEY_FIRE);
             show(jnew<screenstest::TestScreen>());
         },
         {"Select from the list"},
         0},
        {"an alert that is its own command listener",
         [this] {
             JavaPtr<screenstest::TestScreen> next = jnew<screenstest::TestScreen>();
             show(next);
             JavaPtr<OwnListenerAlert> alert = jnew<OwnListenerAlert>();
             alert->addCommand(jnew<Command>(jstr("OK"), Command::OK, 1));
             alert->setCommandListener(alert);
             display->setCurrent(alert, next);
             Display::tickLCDUI(50);
             clock->advance(Alert::DEFAULT_TIMEOUT_MS + 1);
             Display::tickLCDUI(50);
             show(next);
         },
         {"OK from the alert"},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        heard.clear();
        screensDestroyed = 0;
        itemsDestroyed = 0;
        c.use();
        // The display tidies the forms up after every switch; once more for the form never shown.
        Form::tidyUp();
        EXPECT_EQ(heard, c.heard);
        EXPECT_EQ(screensDestroyed, 1);
        EXPECT_EQ(itemsDestroyed, c.itemsDestroyed);
        EXPECT_EQ(pinnedForms(), 0) << "the screen's form (or inner form) is gone too";
    }
}

TEST_F(SelfListeningScreensTest, AnItemLeavingTheFormKeepsTheFormAsItsListener) {
    JavaPtr<OwnListenerForm> form = jnew<OwnListenerForm>();
    JavaPtr<Item> item = jnew<CountedItem>("kept");
    form->append(item);
    item->setItemCommandListener(form);
    form->deleteJ(0);
    EXPECT_EQ(item->getItemCommandListener().get(), static_cast<ItemCommandListener*>(form.get()));
    // Appended again, it does not hold the form, which goes with the last outside reference.
    form->append(item);
    item = nullptr;
    form = nullptr;
    Form::tidyUp();
    EXPECT_EQ(screensDestroyed, 1);
    EXPECT_EQ(itemsDestroyed, 1);
}

// A form that handles its own commands: on any command it shows the screen set as next.
class SelfCommandForm : public Form, public CommandListener {
    TESL_CLASS(SelfCommandForm, "dialogstest.SelfCommandForm", Form, CommandListener)
public:
    SelfCommandForm() noexcept {}
    ~SelfCommandForm() override { ++screensDestroyed; }
    SelfCommandForm* TESLinvokeconstructor() {
        Form::TESLinvokeconstructor(jstr("self"));
        return this;
    }
    void commandAction(const JavaPtr<Command>&, const JavaPtr<Displayable>&) override {
        Display::getDisplay(nullptr)->setCurrent(next);
    }
    JavaPtr<Displayable> next;
};

// A listener that holds the application's last reference to its form, and lets go of it on a command.
class LastHolder : public java::lang::Object, public CommandListener {
    TESL_CLASS(LastHolder, "dialogstest.LastHolder", java::lang::Object, CommandListener)
public:
    LastHolder() noexcept {}
    LastHolder* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }
    void commandAction(const JavaPtr<Command>&, const JavaPtr<Displayable>&) override {
        form = nullptr;
        Display::getDisplay(nullptr)->setCurrent(next);
    }
    JavaPtr<Form> form;
    JavaPtr<Displayable> next;
};

TEST_F(SelfListeningScreensTest, AFormLetGoIsFreedAtTheSwitchThatLeavesIt) {
    struct Case {
        const char* name;
        // Builds the form, shows it and lets go of the test's reference; the form's canvas comes back.
        std::function<JavaPtr<FormCanvas>(const JavaPtr<Displayable>& next)> show;
    };
    const Case cases[] = {
        {"a form that is its own command listener",
         [this](const JavaPtr<Displayable>& next) {
             JavaPtr<SelfCommandForm> form = jnew<SelfCommandForm>();
             form->next = next;
             form->addCommand(jnew<Command>(jstr("Done"), Command::CANCEL, 1));
             form->setCommandListener(form);
             HighLevelScreensFixture::show(form);
             return form->getFormCanvas();
         }},
        {"a form whose listener holds its last reference",
         [this](const JavaPtr<Displayable>& next) {
             JavaPtr<LastHolder> holder = jnew<LastHolder>();
             holder->form = jnew<SelfCommandForm>();
             holder->next = next;
             holder->form->addCommand(jnew<Command>(jstr("Done"), Command::CANCEL, 1));
             holder->form->setCommandListener(holder);
             HighLevelScreensFixture::show(holder->form);
             return holder->form->getFormCanvas();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screensDestroyed = 0;
        JavaPtr<screenstest::TestScreen> next = jnew<screenstest::TestScreen>();
        JavaPtr<FormCanvas> canvas = c.show(next);
        key(canvas, DisplayableCoreCanvas::KEY_SOFTKEY_LEFT);
        EXPECT_EQ(screensDestroyed, 0) << "shown until the switch";
        Display::tickLCDUI(50);
        ASSERT_EQ(Display::currentDisplayable().get(), static_cast<Displayable*>(next.get()));
        EXPECT_EQ(screensDestroyed, 1) << "freed at the switch that left it";
        EXPECT_EQ(pinnedForms(), 0);
    }
}

}  // namespace
