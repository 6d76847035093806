#include "shell/Displayable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/NullPointerException.h"
#include "shell/Command.h"
#include "shell/CommandListener.h"
#include "shell/Display.h"
#include "shell/Ticker.h"
#include "tests/shell/DisplayFixtures.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"
#include "tests/support/Throws.h"

using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::CommandListener;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::Ticker;
using testsupport::jstr;
using testsupport::throws;

namespace {

// A core canvas that counts the chrome re-layouts and hears when its screen goes.
class CountingCoreCanvas : public shelltest::TestCoreCanvas {
    TESL_CLASS(CountingCoreCanvas, "screenstest.CountingCoreCanvas", shelltest::TestCoreCanvas)
public:
    CountingCoreCanvas() noexcept {}
    void reLayout() override { ++reLayouts; }
    void notifyParentDestroyed() override { parentDestroyed = true; }

    int reLayouts = 0;
    bool parentDestroyed = false;
};

// A screen stand-in that listens to its own commands.
class SelfListeningScreen : public Displayable, public CommandListener {
    TESL_CLASS(SelfListeningScreen, "screenstest.SelfListeningScreen", Displayable, CommandListener)
public:
    SelfListeningScreen() noexcept {}
    void commandAction(const JavaPtr<Command>&, const JavaPtr<Displayable>&) override { ++actions; }
    int actions = 0;
};

class OtherListener : public java::lang::Object, public CommandListener {
    TESL_CLASS(OtherListener, "screenstest.OtherListener", java::lang::Object, CommandListener)
public:
    OtherListener() noexcept {}
    void commandAction(const JavaPtr<Command>&, const JavaPtr<Displayable>&) override {}
};

QUILL_REGISTER_CLASSES(CountingCoreCanvas, SelfListeningScreen, OtherListener);

JavaPtr<Command> command(const char* label) {
    return jnew<Command>(jstr(label), Command::SCREEN, 1);
}

int32_t referenceCount(java::lang::Smart* object) {
    return object->m_referenceCount.load();
}

class DisplayableTest : public shelltest::DisplayFixture {
protected:
    void SetUp() override {
        DisplayFixture::SetUp();
        screen = jnew<shelltest::TestScreen>("S");
        core = jnew<CountingCoreCanvas>();
        screen->setCorrespondingCanvas(core.get());
    }
    void TearDown() override {
        screen = nullptr;
        core = nullptr;
        DisplayFixture::TearDown();
    }

    // The array as labels, "-" for a free slot.
    std::string slots() {
        std::string out;
        JavaPtr<Displayable::CommandArray> array = screen->getCommands();
        for (int32_t i = 0; i < array->length; ++i)
            out += array->data[i] ? testsupport::narrow(array->data[i]->getLabel()) : std::string("-");
        return out;
    }

    JavaPtr<shelltest::TestScreen> screen;
    JavaPtr<CountingCoreCanvas> core;
};

TEST_F(DisplayableTest, CommandSlotsAreReusedLastHoleFirstAndTheArrayGrowsInPlace) {
    JavaPtr<Command> a = command("A"), b = command("B"), c = command("C"), d = command("D"), e = command("E");
    const JavaPtr<Displayable::CommandArray> live = screen->getCommands();
    EXPECT_EQ(live->length, 0);
    screen->addCommand(a);
    screen->addCommand(b);
    screen->addCommand(c);
    EXPECT_EQ(slots(), "ABC");
    screen->removeCommand(b);
    EXPECT_EQ(slots(), "A-C");
    screen->addCommand(d);
    EXPECT_EQ(slots(), "ADC");
    screen->addCommand(e);
    EXPECT_EQ(slots(), "ADCE");
    // Holders of the array see every change: it is never replaced.
    EXPECT_EQ(screen->getCommands(), live);
    EXPECT_EQ(live->length, 4);
    EXPECT_EQ(core->reLayouts, 6);

    screen->removeCommand(a);
    screen->removeCommand(c);
    EXPECT_EQ(slots(), "-D-E");
    screen->addCommand(b);
    EXPECT_EQ(slots(), "-DBE");
}

TEST_F(DisplayableTest, OnlyRealChangesReLayOut) {
    JavaPtr<Command> a = command("A");
    // Equal fields, another command: both are kept.
    JavaPtr<Command> twin = command("A");
    screen->addCommand(a);
    screen->addCommand(a);
    screen->removeCommand(command("absent"));
    screen->removeCommand(nullptr);
    EXPECT_EQ(slots(), "A");
    EXPECT_EQ(core->reLayouts, 1);
    screen->addCommand(twin);
    EXPECT_EQ(slots(), "AA");
    EXPECT_EQ(core->reLayouts, 2);

    EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { screen->addCommand(nullptr); }));
    EXPECT_EQ(slots(), "AA");
    EXPECT_EQ(core->reLayouts, 2);

    screen->setTitle(jstr("Title"));
    screen->setTicker(nullptr);
    EXPECT_EQ(testsupport::narrow(screen->getTitle()), "Title");
    EXPECT_EQ(core->reLayouts, 4);
}

TEST_F(DisplayableTest, StaticCommandArrayOperations) {
    JavaPtr<Command> a = command("A"), b = command("B");
    int freeSlot = 7;
    EXPECT_EQ(Displayable::findCommandIndex(nullptr, a, &freeSlot), -1);
    EXPECT_EQ(freeSlot, -1);
    EXPECT_FALSE(Displayable::removeCommand(nullptr, a));
    EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { Displayable::addCommand(nullptr, a); }));

    JavaPtr<Displayable::CommandArray> array = jnew<Displayable::CommandArray>(4);
    array->data[1] = a;
    array->data[3] = a;
    EXPECT_EQ(Displayable::findCommandIndex(array, a, &freeSlot), 3);
    EXPECT_EQ(freeSlot, 2);
    EXPECT_EQ(Displayable::findCommandIndex(array, b, nullptr), -1);
    // A null command finds the last free slot.
    EXPECT_EQ(Displayable::findCommandIndex(array, nullptr, nullptr), 2);
    EXPECT_TRUE(Displayable::removeCommand(array, a));
    EXPECT_FALSE(array->data[3]);
    EXPECT_TRUE(array->data[1] == a);
}

TEST_F(DisplayableTest, SelfReferencesAreFlagsNotCounts) {
    JavaPtr<shelltest::LoggingCanvas> canvas = jnew<shelltest::LoggingCanvas>("C");
    const int32_t canvasCount = referenceCount(canvas.counted());
    EXPECT_EQ(canvas->getCorrespondingCanvas().get(), canvas.get());
    EXPECT_EQ(referenceCount(canvas.counted()), canvasCount);
    // A plain canvas has no chrome: adding a command re-lays out nothing and must not recurse.
    canvas->addCommand(command("A"));

    JavaPtr<SelfListeningScreen> self = jnew<SelfListeningScreen>();
    const int32_t selfCount = referenceCount(self.counted());
    self->setCommandListener(JavaPtr<CommandListener>(self));
    EXPECT_EQ(referenceCount(self.counted()), selfCount);
    JavaPtr<CommandListener> heard = self->getCommandListener();
    ASSERT_TRUE(heard);
    heard->commandAction(command("A"), self);
    EXPECT_EQ(self->actions, 1);
    heard = nullptr;

    JavaPtr<OtherListener> other = jnew<OtherListener>();
    self->setCommandListener(other);
    EXPECT_TRUE(self->getCommandListener() == other);
    self->setCommandListener(nullptr);
    EXPECT_FALSE(self->getCommandListener());
}

TEST_F(DisplayableTest, DestructionTellsTheCoreCanvas) {
    screen = nullptr;
    EXPECT_TRUE(core->parentDestroyed);
}

TEST_F(DisplayableTest, SizeIsTheWholeScreen) {
    const int32_t width = Display::screenWidth, height = Display::screenHeight;
    Display::screenWidth = 240;
    Display::screenHeight = 320;
    screen->setTitle(jstr("Title"));
    EXPECT_EQ(screen->getWidth(), 240);
    EXPECT_EQ(screen->getHeight(), 320);
    Display::screenWidth = width;
    Display::screenHeight = height;
}

TEST_F(DisplayableTest, ATickerShownByADisplayableKeepsTickingUntilOnlyTheListHoldsIt) {
    JavaPtr<shelltest::LoggingCanvas> canvas = jnew<shelltest::LoggingCanvas>("C");
    JavaPtr<Ticker> ticker = jnew<Ticker>(jstr("news\nflash"));
    canvas->setTicker(ticker);
    Display::getDisplay(nullptr)->setCurrent(canvas);
    Ticker* raw = ticker.get();
    ticker = nullptr;
    Display::tickLCDUI(50);
    Display::tickLCDUI(70);
    EXPECT_EQ(Display::numActiveTickers(), 1);
    EXPECT_EQ(raw->getTotalTickedTimeMS(), 120);
    raw->setString(jstr("other"));
    EXPECT_EQ(raw->getTotalTickedTimeMS(), 120);
    EXPECT_EQ(testsupport::narrow(canvas->getTicker()->getDrawableString()), "other");

    canvas->setTicker(nullptr);
    Display::tickLCDUI(10);
    EXPECT_EQ(Display::numActiveTickers(), 0);
}

}  // namespace
