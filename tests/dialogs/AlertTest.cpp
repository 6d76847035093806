// Alert: the timeout on the stepped clock through the display's ticks, the commands that make it modal,
// the indicator's rules, the inner form's content, and AlertType and the default listener.
#include "dialogs/Alert.h"

#include <gtest/gtest.h>

#include "dialogs/AlertForm.h"
#include "dialogs/AlertType.h"
#include "dialogs/DefaultAlertListener.h"
#include "dialogs/DialogHooks.h"
#include "forms/Form.h"
#include "forms/FormCanvas.h"
#include "forms/FormHooks.h"
#include "forms/Gauge.h"
#include "forms/ImageItem.h"
#include "forms/StringItem.h"
#include "graphics/Image.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/NullPointerException.h"
#include "shell/ItemCommandListener.h"
#include "tests/screens/CoreCanvasFixtures.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/Throws.h"

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::Alert, javax::microedition::lcdui::AlertForm,
                       javax::microedition::lcdui::AlertType,
                       javax::microedition::lcdui::DefaultAlertListener);

namespace {

using javax::microedition::lcdui::Alert;
using javax::microedition::lcdui::AlertType;
using javax::microedition::lcdui::DefaultAlertListener;
using javax::microedition::lcdui::Form;
using javax::microedition::lcdui::Gauge;
using javax::microedition::lcdui::Image;
using javax::microedition::lcdui::ImageItem;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::ItemCommandListener;
using javax::microedition::lcdui::StringItem;
using screenstest::Command;
using screenstest::CommandLog;
using screenstest::Display;
using screenstest::Displayable;
using screenstest::TestScreen;
using testsupport::jstr;
using testsupport::throws;

class AlertTest : public screenstest::CoreCanvasFixture {
protected:
    void SetUp() override {
        CoreCanvasFixture::SetUp();
        javax::microedition::lcdui::LCDUIHighLevelHooks hooks =
            javax::microedition::lcdui::lcduiHighLevelHooks();
        javax::microedition::lcdui::fillFormHooks(hooks);
        javax::microedition::lcdui::fillDialogHooks(hooks);
        javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
        LCDUI_staticInit();
    }
    void TearDown() override {
        AlertType_staticDestroy();
        Alert_staticDestroy();
        CoreCanvasFixture::TearDown();
        Form::tidyUp();
    }

    // The alert made current over a screen that is current already; the switch happens at a tick.
    void showOver(const JavaPtr<Alert>& alert, const JavaPtr<Displayable>& next) {
        display->setCurrent(alert, next);
        Display::tickLCDUI(50);
        ASSERT_EQ(Display::currentDisplayable().get(), static_cast<Displayable*>(alert.get()));
    }
    // Steps the clock by ms and runs one tick.
    void tickAfter(long long ms) {
        clock->advance(ms);
        Display::tickLCDUI(50);
    }
    bool isCurrent(const JavaPtr<Displayable>& d) { return Display::currentDisplayable().get() == d.get(); }

    std::vector<Command*> commandsOf(const JavaPtr<Alert>& alert) {
        std::vector<Command*> out;
        JavaPtr<Displayable::CommandArray> commands = alert->innerForm()->getCommands();
        for (int i = 0; i < commands->length; ++i)
            if (commands->data[i]) out.push_back(commands->data[i].get());
        return out;
    }
};

TEST_F(AlertTest, DismissesItselfAtTheFirstTickAfterTheTimeoutAndShowsTheNextScreen) {
    JavaPtr<TestScreen> first = showScreen();
    JavaPtr<TestScreen> next = jnew<TestScreen>();
    JavaPtr<Alert> alert = jnew<Alert>(jstr("Note"), jstr("Saved"), nullptr, AlertType::INFO);
    EXPECT_EQ(alert->getTimeout(), 2000);
    EXPECT_EQ(alert->getDefaultTimeout(), 2000);
    EXPECT_EQ(commandsOf(alert), std::vector<Command*>{Alert::DISMISS_COMMAND.get()});
    showOver(alert, next);
    EXPECT_EQ(alert->getNextDisplayable().get(), static_cast<Displayable*>(next.get()));
    EXPECT_EQ(Display::currentCanvas().get(),
              static_cast<javax::microedition::lcdui::Canvas*>(alert->innerForm()->getFormCanvas().get()));
    tickAfter(2000);  // exactly the timeout: not yet
    tickAfter(0);
    EXPECT_TRUE(isCurrent(alert));
    tickAfter(1);  // the trigger asks for the switch
    tickAfter(0);  // which the next tick carries out
    EXPECT_TRUE(isCurrent(next));
    // The alert keeps its next screen and can be shown again, with a fresh timeout.
    display->setCurrent(alert);
    Display::tickLCDUI(50);
    EXPECT_TRUE(isCurrent(alert));
    tickAfter(1500);
    EXPECT_TRUE(isCurrent(alert));
    tickAfter(501);
    tickAfter(0);
    EXPECT_TRUE(isCurrent(next));
    (void)first;
}

TEST_F(AlertTest, ModalAlertsStayUntilTheUserChooses) {
    struct Case {
        const char* name;
        void (*makeModal)(Alert&);
    };
    const Case cases[] = {
        {"FOREVER", [](Alert& a) { a.setTimeout(Alert::FOREVER); }},
        {"FOREVER, then 1000",
         [](Alert& a) {
             a.setTimeout(Alert::FOREVER);
             a.setTimeout(1000);
         }},
        {"two commands",
         [](Alert& a) {
             a.addCommand(screenstest::command("a", Command::OK, 1));
             a.addCommand(screenstest::command("b", Command::OK, 1));
         }},
        {"two commands, then 1000",
         [](Alert& a) {
             a.addCommand(screenstest::command("a", Command::OK, 1));
             a.addCommand(screenstest::command("b", Command::OK, 1));
             a.setTimeout(1000);
         }},
    };
    JavaPtr<TestScreen> next = showScreen();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<Alert> alert = jnew<Alert>(jstr("Modal"));
        c.makeModal(*alert);
        EXPECT_FALSE(alert->autoDismiss());
        showOver(alert, next);
        tickAfter(100000);
        tickAfter(0);
        EXPECT_TRUE(isCurrent(alert));
        display->setCurrent(next);
        Display::tickLCDUI(50);
    }
}

TEST_F(AlertTest, TimeoutChecksAndCommandSequence) {
    JavaPtr<Alert> alert = jnew<Alert>(jstr("Commands"));
    for (int bad : {0, -1, -3}) {
        SCOPED_TRACE(bad);
        EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([&] { alert->setTimeout(bad); }));
        EXPECT_EQ(alert->getTimeout(), 2000);
    }
    EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { alert->addCommand(nullptr); }));
    alert->addCommand(Alert::DISMISS_COMMAND);
    alert->removeCommand(Alert::DISMISS_COMMAND);
    EXPECT_EQ(commandsOf(alert), std::vector<Command*>{Alert::DISMISS_COMMAND.get()});

    JavaPtr<Command> a = screenstest::command("a", Command::OK, 1);
    JavaPtr<Command> b = screenstest::command("b", Command::OK, 1);
    alert->addCommand(a);
    EXPECT_EQ(commandsOf(alert), std::vector<Command*>{a.get()});
    EXPECT_TRUE(alert->autoDismiss());
    alert->addCommand(a);  // already there
    EXPECT_TRUE(alert->autoDismiss());
    alert->addCommand(b);
    EXPECT_FALSE(alert->autoDismiss());
    alert->removeCommand(a);
    EXPECT_EQ(commandsOf(alert), std::vector<Command*>{b.get()});
    alert->removeCommand(b);
    EXPECT_EQ(commandsOf(alert), std::vector<Command*>{Alert::DISMISS_COMMAND.get()});
    EXPECT_FALSE(alert->autoDismiss());
}

TEST_F(AlertTest, TheTimeoutTriggersTheApplicationsOnlyCommand) {
    JavaPtr<TestScreen> next = showScreen();
    JavaPtr<Alert> alert = jnew<Alert>(jstr("One command"));
    screenstest::Log log;
    alert->addCommand(screenstest::command("Go", Command::OK, 1));
    JavaPtr<CommandLog> listener = jnew<CommandLog>(&log);
    alert->setCommandListener(listener);
    showOver(alert, next);
    tickAfter(2001);
    EXPECT_EQ(log.take(), std::vector<std::string>{"command Go"});
    // The application's listener keeps the alert up: it is not called again on every later tick.
    tickAfter(50);
    tickAfter(5000);
    EXPECT_TRUE(log.take().empty());
    EXPECT_TRUE(isCurrent(alert));
    // Shown again, the alert times out again, once.
    display->setCurrent(next);
    Display::tickLCDUI(50);
    display->setCurrent(alert);
    Display::tickLCDUI(50);
    tickAfter(2001);
    tickAfter(2001);
    EXPECT_EQ(log.take(), std::vector<std::string>{"command Go"});
    // Null puts the default listener back, which dismisses.
    alert->setCommandListener(nullptr);
    display->setCurrent(next);
    Display::tickLCDUI(50);
    display->setCurrent(alert);
    Display::tickLCDUI(50);
    tickAfter(2001);
    tickAfter(0);
    EXPECT_TRUE(isCurrent(next));
}

TEST_F(AlertTest, NoDismissalWhileInterruptedButAnExpiredAlertGoesOnResumption) {
    JavaPtr<TestScreen> next = showScreen();
    JavaPtr<Alert> alert = jnew<Alert>(jstr("Paused"));
    showOver(alert, next);
    Displayable::isInterrupted.store(true);
    tickAfter(3000);
    tickAfter(0);
    EXPECT_TRUE(isCurrent(alert));
    Displayable::isInterrupted.store(false);
    tickAfter(0);
    tickAfter(0);
    EXPECT_TRUE(isCurrent(next));
}

class ItemCommandSink : public java::lang::Object, public ItemCommandListener {
    TESL_CLASS(ItemCommandSink, "alerttest.ItemCommandSink", java::lang::Object, ItemCommandListener)
public:
    ItemCommandSink() noexcept {}
    void commandAction(const JavaPtr<Command>&, const JavaPtr<Item>&) override {}
};

TEST_F(AlertTest, IndicatorRules) {
    struct Case {
        const char* name;
        JavaPtr<Gauge> (*make)();
        bool accepted;
    };
    static JavaPtr<Form> elsewhere;
    elsewhere = jnew<Form>(jstr("elsewhere"));
    const Case cases[] = {
        {"plain non-interactive", [] { return jnew<Gauge>(nullptr, false, 10, 0); }, true},
        {"indefinite",
         [] { return jnew<Gauge>(nullptr, false, Gauge::INDEFINITE, Gauge::CONTINUOUS_RUNNING); }, true},
        {"interactive", [] { return jnew<Gauge>(nullptr, true, 10, 0); }, false},
        {"in another form",
         [] {
             JavaPtr<Gauge> g = jnew<Gauge>(nullptr, false, 10, 0);
             elsewhere->append(JavaPtr<Item>(g));
             return g;
         },
         false},
        {"with a command",
         [] {
             JavaPtr<Gauge> g = jnew<Gauge>(nullptr, false, 10, 0);
             g->addCommand(screenstest::command("c", Command::ITEM, 1));
             return g;
         },
         false},
        {"with an item command listener",
         [] {
             JavaPtr<Gauge> g = jnew<Gauge>(nullptr, false, 10, 0);
             g->setItemCommandListener(jnew<ItemCommandSink>());
             return g;
         },
         false},
        {"labelled", [] { return jnew<Gauge>(jstr("label"), false, 10, 0); }, false},
        {"locked width",
         [] {
             JavaPtr<Gauge> g = jnew<Gauge>(nullptr, false, 10, 0);
             g->setPreferredSize(100, -1);
             return g;
         },
         false},
        {"locked height only",
         [] {
             JavaPtr<Gauge> g = jnew<Gauge>(nullptr, false, 10, 0);
             g->setPreferredSize(-1, 20);
             return g;
         },
         true},
        {"with a layout",
         [] {
             JavaPtr<Gauge> g = jnew<Gauge>(nullptr, false, 10, 0);
             g->setLayout(Item::LAYOUT_LEFT);
             return g;
         },
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<Alert> alert = jnew<Alert>(jstr("Progress"), jstr("Working"), nullptr, nullptr);
        JavaPtr<Gauge> gauge = c.make();
        const bool threw = throws<java::lang::IllegalArgumentException>([&] { alert->setIndicator(gauge); });
        EXPECT_EQ(threw, !c.accepted);
        EXPECT_EQ(alert->getIndicator().get(), c.accepted ? gauge.get() : nullptr);
        EXPECT_EQ(alert->innerForm()->size(), c.accepted ? 2 : 1);
        if (c.accepted) alert->setIndicator(gauge);  // already this alert's indicator
        EXPECT_EQ(alert->innerForm()->size(), c.accepted ? 2 : 1);
    }
    elsewhere->deleteAll();
    elsewhere = nullptr;
}

TEST_F(AlertTest, AnIndicatorRefusesChangesUntilReleased) {
    JavaPtr<Alert> alert = jnew<Alert>(jstr("Progress"));
    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, false, 10, 0);
    alert->setIndicator(gauge);
    JavaPtr<Command> cmd = screenstest::command("c", Command::ITEM, 1);
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { gauge->addCommand(cmd); }));
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { gauge->setLabel(jstr("x")); }));
    EXPECT_FALSE(gauge->traverse(javax::microedition::lcdui::Canvas::RIGHT, 100, 100, jnew<JArray<int>>(4)));
    alert->setIndicator(nullptr);
    EXPECT_EQ(alert->innerForm()->size(), 0);
    gauge->addCommand(cmd);
    EXPECT_EQ(gauge->getCommands()->data[0].get(), cmd.get());

    // An alert that dies hands its indicator back, free for another form.
    JavaPtr<Gauge> second = jnew<Gauge>(nullptr, false, 10, 0);
    JavaPtr<Alert> shortLived = jnew<Alert>(jstr("Gone"));
    shortLived->setIndicator(second);
    shortLived = nullptr;
    second->setLabel(jstr("free"));
    JavaPtr<Form> form = jnew<Form>(jstr("form"));
    EXPECT_EQ(form->append(JavaPtr<Item>(second)), 0);
    form->deleteAll();
}

TEST_F(AlertTest, AnItemOfAnAlertCannotBeMadeCurrent) {
    JavaPtr<TestScreen> shown = showScreen();
    JavaPtr<Alert> alert = jnew<Alert>(jstr("Progress"));
    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, false, 10, 0);
    alert->setIndicator(gauge);
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { display->setCurrentItem(gauge); }));
    Display::tickLCDUI(50);
    EXPECT_TRUE(isCurrent(shown));
    // An item of a plain form still can.
    JavaPtr<Form> form = jnew<Form>(jstr("Plain"));
    JavaPtr<Gauge> onForm = jnew<Gauge>(nullptr, true, 10, 0);
    form->append(JavaPtr<Item>(onForm));
    display->setCurrentItem(onForm);
    Display::tickLCDUI(50);
    EXPECT_TRUE(isCurrent(form));
    EXPECT_EQ(form->getHighlightedItem().get(), static_cast<Item*>(onForm.get()));
    display->setCurrent(shown);
    Display::tickLCDUI(50);
}

TEST_F(AlertTest, InnerFormHoldsImageGaugeAndTextInThatOrder) {
    JavaPtr<Image> image = Image::createImage(10, 10);
    JavaPtr<Alert> alert = jnew<Alert>(jstr("Title"), jstr("Text"), image, AlertType::WARNING);
    EXPECT_EQ(testsupport::narrow(alert->getTitle()), "Title");
    alert->setTitle(jstr("Other"));
    EXPECT_EQ(testsupport::narrow(alert->getTitle()), "Other");
    EXPECT_EQ(testsupport::narrow(alert->innerForm()->getTitle()), "Other");
    EXPECT_EQ(alert->getType().get(), AlertType::WARNING.get());
    JavaPtr<Gauge> gauge = jnew<Gauge>(nullptr, false, 10, 3);
    alert->setIndicator(gauge);
    JavaPtr<Form> form = alert->innerForm();
    ASSERT_EQ(form->size(), 3);
    JavaPtr<ImageItem> imageItem = jcast<ImageItem>(form->get(0));
    ASSERT_TRUE(imageItem);
    EXPECT_EQ(imageItem->getImage().get(), image.get());
    EXPECT_EQ(imageItem->getLayout(), Item::LAYOUT_CENTER);
    EXPECT_EQ(form->get(1).get(), static_cast<Item*>(gauge.get()));
    JavaPtr<StringItem> text = jcast<StringItem>(form->get(2));
    ASSERT_TRUE(text);
    EXPECT_EQ(testsupport::narrow(text->getText()), "Text");
    EXPECT_EQ(text->getLayout(), Item::LAYOUT_NEWLINE_BEFORE);
    EXPECT_FALSE(text->getLabel());
    alert->setString(nullptr);
    ASSERT_EQ(form->size(), 2);
    EXPECT_TRUE(jcast<ImageItem>(form->get(0)));
    EXPECT_EQ(form->get(1).get(), static_cast<Item*>(gauge.get()));
    EXPECT_TRUE(form->neverHighlightItems());
}

TEST_F(AlertTest, ATextSetLaterThatNeedsScrollingMakesTheAlertModal) {
    std::string longText;
    for (int i = 0; i < 200; ++i) longText += "word ";
    JavaPtr<Alert> given = jnew<Alert>(jstr("Long"), jstr(longText.c_str()), nullptr, nullptr);
    EXPECT_TRUE(given->innerForm()->getFormCanvas()->verticalScrollbarVisible());
    EXPECT_TRUE(given->autoDismiss());

    JavaPtr<Alert> later = jnew<Alert>(jstr("Long"), jstr("short"), nullptr, nullptr);
    EXPECT_FALSE(later->innerForm()->getFormCanvas()->verticalScrollbarVisible());
    EXPECT_TRUE(later->autoDismiss());
    later->setString(jstr(longText.c_str()));
    EXPECT_FALSE(later->autoDismiss());
    later->setString(jstr("short again"));
    EXPECT_FALSE(later->autoDismiss());

    JavaPtr<TestScreen> next = showScreen();
    showOver(later, next);
    tickAfter(10000);
    tickAfter(0);
    EXPECT_TRUE(isCurrent(later));
}

TEST_F(AlertTest, AlertTypesAndTheDefaultListener) {
    const JavaPtr<AlertType> types[] = {AlertType::ALARM, AlertType::CONFIRMATION, AlertType::ERROR,
                                        AlertType::INFO, AlertType::WARNING};
    for (int i = 0; i < 5; ++i) {
        ASSERT_TRUE(types[i]);
        for (int j = 0; j < i; ++j) EXPECT_NE(types[i].get(), types[j].get());
    }
    EXPECT_FALSE(AlertType::ALARM->playSound(display));
    EXPECT_EQ(testsupport::narrow(Alert::DISMISS_COMMAND->getLabel()), "Dismiss");
    EXPECT_EQ(Alert::DISMISS_COMMAND->getCommandType(), Command::ITEM);
    EXPECT_EQ(Alert::DISMISS_COMMAND->getPriority(), 1);

    // Given a displayable that is not an alert, the default listener does nothing.
    JavaPtr<TestScreen> shown = showScreen();
    JavaPtr<TestScreen> other = jnew<TestScreen>();
    JavaPtr<DefaultAlertListener> listener = jnew<DefaultAlertListener>();
    listener->commandAction(Alert::DISMISS_COMMAND, other);
    Display::tickLCDUI(50);
    EXPECT_TRUE(isCurrent(shown));

    AlertType_staticDestroy();
    Alert_staticDestroy();
    EXPECT_FALSE(AlertType::ALARM);
    EXPECT_FALSE(Alert::DISMISS_COMMAND);
}

}  // namespace
