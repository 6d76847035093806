#include "shell/Display.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "graphics/Graphics.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/IllegalStateException.h"
#include "runtime/NullPointerException.h"
#include "shell/ShellGlobals.h"
#include "tests/shell/DisplayFixtures.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/FunctionRunnable.h"
#include "tests/support/RecordingHost.h"
#include "tests/support/Throws.h"

using javax::microedition::lcdui::Alert;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Graphics;
using javax::microedition::lcdui::Item;
using javax::microedition::lcdui::LCDUIHighLevelHooks;
using javax::microedition::lcdui::Ticker;
using shelltest::eventLog;
using shelltest::LoggingCanvas;
using shelltest::TestAlert;
using shelltest::TestCoreCanvas;
using shelltest::TestScreen;
using testsupport::throws;
using Log = std::vector<std::string>;

QUILL_REGISTER_CLASSES(javax::microedition::lcdui::Display, javax::microedition::lcdui::Displayable,
                       javax::microedition::lcdui::Canvas, javax::microedition::lcdui::Ticker,
                       shelltest::LoggingCanvas, shelltest::TestScreen, shelltest::TestAlert,
                       shelltest::TestCoreCanvas);

namespace {

JavaPtr<Alert> alertOf(const JavaPtr<TestAlert>& alert) {
    return JavaPtr<Alert>(alert.counted(), reinterpret_cast<Alert*>(alert.get()));
}

class DisplayTest : public shelltest::DisplayFixture {};

TEST_F(DisplayTest, ClassIdsFollowTheDottedNames) {
    EXPECT_EQ(Display::TESLclassTypeID, static_cast<int32_t>(0xE97BAAB9));
    EXPECT_EQ(javax::microedition::lcdui::Displayable::TESLclassTypeID, static_cast<int32_t>(0x19F33B93));
    EXPECT_EQ(javax::microedition::lcdui::Canvas::TESLclassTypeID, static_cast<int32_t>(0xFD1E4881));
    EXPECT_EQ(TestScreen::TESLclassTypeID, static_cast<int32_t>(0x18899395));
    EXPECT_EQ(TestAlert::TESLclassTypeID, static_cast<int32_t>(0xA4FA2D13));
    EXPECT_EQ(TestCoreCanvas::TESLclassTypeID, static_cast<int32_t>(0x8C9799CA));
    JavaPtr<Display> d = display();
    EXPECT_NE(d->castAsTypeID(0x3f697993), nullptr);
    EXPECT_EQ(d->castAsTypeID(0x3afc5774), nullptr);  // Graphics
}

TEST_F(DisplayTest, GetDisplayIsOneObjectAndFillsTheKeyCodesOnce) {
    static int canvasCoreInits = 0;
    canvasCoreInits = 0;
    LCDUIHighLevelHooks hooks;
    hooks.initCanvasCore = [] { ++canvasCoreInits; };
    javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
    _outputWidth = 640;
    _outputHeight = 960;
    JavaPtr<Display> first = display();
    EXPECT_EQ(first, display());
    EXPECT_EQ(canvasCoreInits, 1);
    EXPECT_EQ(Display::screenWidth, 640);
    EXPECT_EQ(Display::screenHeight, 960);
    _outputWidth = 0;
    _outputHeight = 0;
}

TEST_F(DisplayTest, FirstSetCurrentSwapsAtOnceLaterOnesAtTheNextTick) {
    JavaPtr<Graphics> master = jnew<Graphics>();
    Display::setMasterGraphics(master);
    JavaPtr<LoggingCanvas> a = canvas("A");
    JavaPtr<LoggingCanvas> b = canvas("B");

    display()->setCurrent(a);
    EXPECT_EQ(display()->getCurrent(), a);
    EXPECT_EQ(Display::currentCanvas(), a);
    EXPECT_EQ(a->getGraphicsReference(), master);
    EXPECT_EQ(eventLog().take(), (Log{"A.show"}));

    display()->setCurrent(b);
    EXPECT_EQ(display()->getCurrent(), a) << "a later request waits for the tick";
    EXPECT_FALSE(b->getGraphicsReference());
    EXPECT_TRUE(eventLog().take().empty());

    Display::tickLCDUI(50);
    EXPECT_EQ(display()->getCurrent(), b);
    EXPECT_EQ(eventLog().take(), (Log{"A.hide", "B.show"}));
    EXPECT_EQ(b->getGraphicsReference(), master);
    EXPECT_EQ(a->getGraphicsReference(), master) << "the outgoing canvas keeps its graphics";
    EXPECT_FALSE(Display::setCurrentRequested.load());
}

TEST_F(DisplayTest, TwoRequestsBeforeATickGiveOneSwapToTheSecond) {
    JavaPtr<LoggingCanvas> a = canvas("A");
    display()->setCurrent(a);
    eventLog().take();
    display()->setCurrent(canvas("B"));
    display()->setCurrent(canvas("C"));
    Display::tickLCDUI(50);
    EXPECT_EQ(eventLog().take(), (Log{"A.hide", "C.show"}));
}

TEST_F(DisplayTest, SetCurrentOfNullOrOfTheCurrentIsIgnoredAndThePendingRequestStands) {
    JavaPtr<LoggingCanvas> a = canvas("A");
    JavaPtr<LoggingCanvas> b = canvas("B");
    display()->setCurrent(a);
    display()->setCurrent(b);
    display()->setCurrent(a);
    display()->setCurrent(JavaPtr<javax::microedition::lcdui::Displayable>());
    eventLog().take();
    Display::tickLCDUI(50);
    EXPECT_EQ(display()->getCurrent(), b);
    EXPECT_EQ(eventLog().take(), (Log{"A.hide", "B.show"}));
}

TEST_F(DisplayTest, ARequestMadeWhileTheSwapNotifiesIsKept) {
    // The incoming canvas asks for another screen from its showNotify: that request must survive
    // the end of the swap that notified it.
    class Redirecting : public LoggingCanvas {
    public:
        void showNotify() override {
            LoggingCanvas::showNotify();
            if (next) Display::getDisplay(nullptr)->setCurrent(std::exchange(next, nullptr));
        }
        JavaPtr<LoggingCanvas> next;
    };
    display()->setCurrent(canvas("A"));
    JavaPtr<Redirecting> r = jnew<Redirecting>("R");
    r->next = canvas("C");
    display()->setCurrent(r);
    Display::tickLCDUI(50);
    EXPECT_TRUE(Display::setCurrentRequested.load());
    Display::tickLCDUI(50);
    EXPECT_EQ(eventLog().take(), (Log{"A.show", "A.hide", "R.show", "R.hide", "C.show"}));
}

TEST_F(DisplayTest, ADisplayableWithoutACanvasBecomesCurrentWithoutCanvasSteps) {
    JavaPtr<TestScreen> screen = jnew<TestScreen>("S");
    display()->setCurrent(screen);
    EXPECT_EQ(display()->getCurrent(), screen);
    EXPECT_FALSE(Display::currentCanvas());
    EXPECT_TRUE(Display::needToTickLCDUI.load());
    display()->setCurrent(canvas("A"));
    Display::tickLCDUI(50);
    EXPECT_EQ(Display::currentCanvas(), display()->getCurrent());
}

TEST_F(DisplayTest, NeedToTickIsDecidedAtEachSwap) {
    display()->setCurrent(canvas("A"));
    EXPECT_FALSE(Display::needToTickLCDUI.load());
    display()->setCurrent(jnew<TestScreen>("S"));
    Display::tickLCDUI(50);
    EXPECT_TRUE(Display::needToTickLCDUI.load());
    display()->setCurrent(canvas("B"));
    Display::tickLCDUI(50);
    EXPECT_FALSE(Display::needToTickLCDUI.load());
}

TEST_F(DisplayTest, AlertRules) {
    JavaPtr<LoggingCanvas> a = canvas("A");
    JavaPtr<TestAlert> alert = jnew<TestAlert>("alert");
    JavaPtr<TestAlert> other = jnew<TestAlert>("other");

    // With nothing current, showing an alert has no displayable to return to.
    EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { display()->setCurrent(alert); }));
    EXPECT_FALSE(display()->getCurrent());

    display()->setCurrent(a);
    EXPECT_TRUE(
        throws<java::lang::IllegalArgumentException>([&] { display()->setCurrent(alertOf(alert), other); }));
    EXPECT_TRUE(
        throws<java::lang::NullPointerException>([&] { display()->setCurrent(JavaPtr<Alert>(), a); }));
    EXPECT_TRUE(throws<java::lang::NullPointerException>(
        [&] { display()->setCurrent(alertOf(alert), JavaPtr<javax::microedition::lcdui::Displayable>()); }));
    EXPECT_FALSE(alert->getNextDisplayable()) << "a refused request changes nothing";
    EXPECT_FALSE(Display::setCurrentRequested.load());

    // An alert without a next displayable returns to the current one.
    display()->setCurrent(alert);
    EXPECT_EQ(alert->getNextDisplayable(), a);
    eventLog().take();
    Display::tickLCDUI(50);
    EXPECT_EQ(display()->getCurrent(), alert);
    EXPECT_EQ(eventLog().take(), (Log{"A.hide", "alert.alertShown", "alert.tick50"}));

    // Over a current alert, another alert would return to an alert.
    EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([&] { display()->setCurrent(other); }));
}

TEST_F(DisplayTest, ATickDoesNothingUnlessThereIsWorkAndNoEventOrTickIsRunning) {
    JavaPtr<TestCoreCanvas> core = jnew<TestCoreCanvas>("core");
    core->wantsRepaint = true;
    display()->setCurrent(core);
    eventLog().take();
    Display::tickLCDUI(50);
    EXPECT_TRUE(eventLog().take().empty()) << "a canvas without ticker after its swap needs no ticks";

    display()->setCurrent(canvas("B"));
    Display::lcdUIEventInProgress.store(true);
    Display::tickLCDUI(50);
    EXPECT_EQ(display()->getCurrent(), core) << "no swap while a form canvas handles input";
    Display::lcdUIEventInProgress.store(false);
    Display::lcdUITickInProgress.store(true);
    Display::tickLCDUI(50);
    EXPECT_EQ(display()->getCurrent(), core) << "no tick starts inside another";
    Display::lcdUITickInProgress.store(false);
    Display::tickLCDUI(50);
    EXPECT_NE(display()->getCurrent(), core);
}

TEST_F(DisplayTest, AScreenIsLaidOutWhenItAsksAndTickedEveryTick) {
    JavaPtr<TestScreen> screen = jnew<TestScreen>("S");
    JavaPtr<TestCoreCanvas> core = jnew<TestCoreCanvas>("core");
    screen->setCorrespondingCanvas(core.get());
    display()->setCurrent(screen);
    screen->setNeedsRelayout(true);
    eventLog().take();
    Display::tickLCDUI(50);
    EXPECT_EQ(eventLog().take(), (Log{"S.relayout", "S.tick50", "core.replay"}));
    EXPECT_FALSE(screen->needsRelayout());
    core->wantsRepaint = true;
    Display::tickLCDUI(70);
    EXPECT_EQ(eventLog().take(), (Log{"S.tick70", "core.repaint", "core.replay"}));
}

TEST_F(DisplayTest, TickersAreTickedDroppedWhenOnlyTheListHoldsThemAndTheirSlotsReused) {
    JavaPtr<Ticker> first = jnew<Ticker>(jnew<java::lang::String>("one"));
    JavaPtr<Ticker> second = jnew<Ticker>(jnew<java::lang::String>("two"));
    Display::addTicker(first);
    EXPECT_EQ(Display::numActiveTickers(), 2) << "a ticker registers itself once";

    JavaPtr<TestScreen> screen = jnew<TestScreen>("S");
    screen->ticker = first;
    display()->setCurrent(screen);
    Display::tickLCDUI(50);
    EXPECT_EQ(first->getTotalTickedTimeMS(), 50);
    EXPECT_EQ(second->getTotalTickedTimeMS(), 50);

    second = nullptr;
    EXPECT_EQ(Display::numActiveTickers(), 2) << "kept until the next tick";
    Display::tickLCDUI(70);
    EXPECT_EQ(Display::numActiveTickers(), 1);
    EXPECT_EQ(first->getTotalTickedTimeMS(), 120);

    // The freed slot is taken before the list grows.
    JavaPtr<Ticker> third = jnew<Ticker>(jnew<java::lang::String>("three"));
    EXPECT_EQ(Display::numActiveTickers(), 2);
    Display::tickLCDUI(10);
    EXPECT_EQ(third->getTotalTickedTimeMS(), 10);
}

TEST_F(DisplayTest, TickerKeepsItsTextAndDrawsLineFeedsAsSpaces) {
    JavaPtr<Ticker> t = jnew<Ticker>(jnew<java::lang::String>("a\nb\n"));
    EXPECT_TRUE(t->getString()->equals(jnew<java::lang::String>("a\nb\n")));
    EXPECT_TRUE(t->getDrawableString()->equals(jnew<java::lang::String>("a b ")));
    t->tick(50);
    t->setString(nullptr);
    EXPECT_FALSE(t->getString());
    EXPECT_FALSE(t->getDrawableString());
    EXPECT_EQ(t->getTotalTickedTimeMS(), 50);
}

TEST_F(DisplayTest, CoreCanvasRepaintsOnEveryTickWhileATickerRuns) {
    JavaPtr<Ticker> t = jnew<Ticker>(jnew<java::lang::String>("t"));
    JavaPtr<TestScreen> screen = jnew<TestScreen>("S");
    JavaPtr<TestCoreCanvas> core = jnew<TestCoreCanvas>("core");
    screen->setCorrespondingCanvas(core.get());
    display()->setCurrent(screen);
    eventLog().take();
    Display::tickLCDUI(50);
    EXPECT_EQ(eventLog().take(), (Log{"S.tick50", "core.repaint", "core.replay"}));
}

TEST_F(DisplayTest, CallSeriallyQueuesOnceIgnoresAFifthAndClearsASlotBeforeItRuns) {
    std::vector<JavaPtr<testsupport::FunctionRunnable>> runnables;
    for (int i = 0; i < 5; ++i) runnables.push_back(jnew<testsupport::FunctionRunnable>([] {}));
    display()->callSerially(runnables[0]);
    display()->callSerially(runnables[0]);
    for (int i = 1; i < 5; ++i) display()->callSerially(runnables[i]);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Display::takeSeriallyCall(i), runnables[i]) << "slot " << i;
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(Display::takeSeriallyCall(i)) << "slot " << i;
    EXPECT_FALSE(Display::takeSeriallyCall(4));
    EXPECT_FALSE(Display::takeSeriallyCall(-1));

    // A runnable taken out of its slot may queue itself again while it runs.
    JavaPtr<testsupport::FunctionRunnable> again;
    again = jnew<testsupport::FunctionRunnable>([&] { Display::getDisplay(nullptr)->callSerially(again); });
    display()->callSerially(again);
    JavaPtr<java::lang::Runnable> taken = Display::takeSeriallyCall(0);
    taken->run();
    EXPECT_EQ(Display::takeSeriallyCall(0), again);
    again = nullptr;
}

TEST_F(DisplayTest, Queries) {
    JavaPtr<Display> d = display();
    const int colours[][2] = {{0, 0xCCCCCC}, {1, 0x000000}, {2, 0x0000CC}, {3, 0xFFFFFF},
                              {4, 0x666666}, {5, 0x0000FF}, {6, 0},        {-1, 0}};
    for (const auto& [spec, colour] : colours) EXPECT_EQ(d->getColor(spec), colour) << "specifier " << spec;
    EXPECT_EQ(d->getBorderStyle(true), Graphics::SOLID);
    EXPECT_EQ(d->getBorderStyle(false), Graphics::DOTTED);
    EXPECT_TRUE(d->isColor());
    EXPECT_EQ(d->numColors(), 16777216);
    EXPECT_EQ(d->numAlphaLevels(), 256);
    EXPECT_FALSE(d->flashBacklight(100));

    const int savedWidth = Display::screenWidth;
    const int savedHeight = Display::screenHeight;
    Display::screenWidth = 320;
    for (const auto& [height, alertHeight] : {std::pair{480, 320}, std::pair{1024, 682}}) {
        Display::screenHeight = height;
        EXPECT_EQ(d->getBestImageHeight(Display::ALERT), alertHeight);
    }
    EXPECT_EQ(d->getBestImageWidth(Display::ALERT), 320);
    for (int type : {Display::LIST_ELEMENT, Display::CHOICE_GROUP_ELEMENT}) {
        EXPECT_EQ(d->getBestImageWidth(type), 12);
        EXPECT_EQ(d->getBestImageHeight(type), 12);
    }
    for (int type : {0, 4, -1}) {
        EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([&] { d->getBestImageWidth(type); }));
        EXPECT_TRUE(throws<java::lang::IllegalArgumentException>([&] { d->getBestImageHeight(type); }));
    }
    Display::screenWidth = savedWidth;
    Display::screenHeight = savedHeight;
}

TEST_F(DisplayTest, VibrateAsksTheHostForAnyDurationButZero) {
    EXPECT_TRUE(display()->vibrate(100)) << "no host installed: still true";
    testsupport::RecordingHost host;
    EXPECT_TRUE(display()->vibrate(0));
    EXPECT_TRUE(display()->vibrate(200));
    EXPECT_TRUE(display()->vibrate(-300));
    EXPECT_EQ(host.vibrations, (std::vector<int>{200, 300}));
}

TEST_F(DisplayTest, SetCurrentItemGoesToTheItemsFormAndHighlightsIt) {
    // Items belong to the forms layer: any object stands for one here.
    JavaPtr<LoggingCanvas> itemObject = canvas("item");
    JavaPtr<Item> item(itemObject.counted(), reinterpret_cast<Item*>(itemObject.get()));
    EXPECT_TRUE(throws<java::lang::NullPointerException>([&] { display()->setCurrentItem(nullptr); }));
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { display()->setCurrentItem(item); }))
        << "without forms no item has one";

    static JavaPtr<javax::microedition::lcdui::Displayable> form;
    static java::lang::Smart* highlighted = nullptr;
    form = jnew<TestScreen>("form");
    LCDUIHighLevelHooks hooks;
    hooks.itemContainingForm = [](java::lang::Smart*) { return form; };
    hooks.formHighlightItem = [](javax::microedition::lcdui::Displayable* f, java::lang::Smart* i) {
        EXPECT_EQ(f, form.get());
        highlighted = i;
    };
    javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
    display()->setCurrentItem(item);
    EXPECT_EQ(display()->getCurrent(), form);
    EXPECT_EQ(highlighted, item.counted());

    form = jnew<TestAlert>("alertForm");
    EXPECT_TRUE(throws<java::lang::IllegalStateException>([&] { display()->setCurrentItem(item); }));
    form = nullptr;
}

TEST_F(DisplayTest, IsShownFollowsTheCurrentCanvasAndTheInterruption) {
    JavaPtr<LoggingCanvas> a = canvas("A");
    JavaPtr<LoggingCanvas> b = canvas("B");
    EXPECT_FALSE(a->isShown());
    display()->setCurrent(a);
    EXPECT_TRUE(a->isShown());
    EXPECT_FALSE(b->isShown());
    javax::microedition::lcdui::Displayable::isInterrupted.store(true);
    EXPECT_FALSE(a->isShown());
}

TEST_F(DisplayTest, TearDownReleasesEverythingAndRunsTheHighLevelHooksInOrder) {
    static std::vector<std::string> calls;
    calls.clear();
    LCDUIHighLevelHooks hooks;
    hooks.formTidyUp = [] { calls.push_back("form"); };
    hooks.listStaticDestroy = [] { calls.push_back("list"); };
    hooks.alertTypeStaticDestroy = [] { calls.push_back("alertType"); };
    hooks.alertStaticDestroy = [] { calls.push_back("alert"); };
    hooks.touchScreenAreaManagerDestroy = [] { calls.push_back("touchAreas"); };
    hooks.alertTypeStaticInit = [] { calls.push_back("alertTypeInit"); };
    hooks.alertStaticInit = [] { calls.push_back("alertInit"); };
    hooks.listStaticInit = [] { calls.push_back("listInit"); };
    javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);

    LCDUI_staticInit();
    EXPECT_EQ(calls, (std::vector<std::string>{"alertTypeInit", "alertInit", "listInit"}));
    calls.clear();

    JavaPtr<LoggingCanvas> a = canvas("A");
    JavaPtr<Ticker> t = jnew<Ticker>(jnew<java::lang::String>("t"));
    display()->setCurrent(a);
    calls.clear();  // the swap tidied up the forms
    Display::tidyUp();
    EXPECT_EQ(calls, (std::vector<std::string>{"form", "list", "alertType", "alert", "touchAreas"}));
    EXPECT_FALSE(Display::currentCanvas());
    EXPECT_EQ(Display::numActiveTickers(), 0);
    Display::needToTickLCDUI.store(true);
    Display::tickLCDUI(50);  // a late tick finds nothing to walk
    EXPECT_EQ(t->getTotalTickedTimeMS(), 0);
}

}  // namespace
