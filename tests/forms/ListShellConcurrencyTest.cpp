// An implicit list shown by a MIDlet in the whole shell on the headless host: taps and FIRE travel from
// the host's main thread through the form canvas to the list's listener, and the ticker thread's
// repaints show the highlighted row.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "forms/ChoiceGroup.h"
#include "forms/Form.h"
#include "forms/List.h"
#include "platform/host/HeadlessHost.h"
#include "screens/DisplayableCoreCanvas.h"
#include "screens/ScreenHooks.h"
#include "screens/ScreenStatics.h"
#include "shell/CommandListener.h"
#include "shell/Display.h"
#include "shell/LCDUIHooks.h"
#include "shell/LCDUILock.h"
#include "shell/MIDlet.h"
#include "shell/ProxyMIDlet.h"
#include "shell/StartUp.h"
#include "shell/xyzApp.h"
#include "tests/support/EventLog.h"
#include "tests/support/Eventually.h"
#include "tests/support/StringText.h"
#include "tests/support/TestFont.h"
#include "tests/support/Watchdog.h"

using javax::microedition::lcdui::Choice;
using javax::microedition::lcdui::ChoiceGroup;
using javax::microedition::lcdui::Command;
using javax::microedition::lcdui::CommandListener;
using javax::microedition::lcdui::Display;
using javax::microedition::lcdui::Displayable;
using javax::microedition::lcdui::DisplayableCoreCanvas;
using javax::microedition::lcdui::LCDUIGuard;
using javax::microedition::lcdui::LCDUILock;
using javax::microedition::lcdui::List;
using testsupport::eventually;
using namespace std::chrono_literals;

namespace {

constexpr int kFireKey = -5;
constexpr uint32_t kHighlightedBackground = 0x0000CC;
constexpr uint32_t kBackground = 0xCCCCCC;

// Everything the MIDlet's listener heard, as "<label> sel=<selected index>".
testsupport::EventLog heard;

class ListMIDlet : public javax::microedition::midlet::MIDlet, public CommandListener {
    TESL_CLASS(ListMIDlet, "formstest.ListMIDlet", javax::microedition::midlet::MIDlet, CommandListener)
public:
    ListMIDlet() noexcept {}
    ListMIDlet* TESLinvokeconstructor() {
        MIDlet::TESLinvokeconstructor();
        return this;
    }
    void startApp() override {
        JavaPtr<List::StringArray> texts = jnew<List::StringArray>(3);
        texts->data[0] = testsupport::jstr("alpha");
        texts->data[1] = testsupport::jstr("beta");
        texts->data[2] = testsupport::jstr("gamma");
        JavaPtr<List> made = jnew<List>(testsupport::jstr("Choose"), Choice::IMPLICIT, texts, nullptr);
        made->setCommandListener(JavaPtr<CommandListener>(this));
        {
            LCDUIGuard lock(LCDUILock::mutex());
            list = made;
        }
        Display::getDisplay(JavaPtr<MIDlet>(this))->setCurrent(made);
    }
    void pauseApp() override {}
    void destroyApp(bool) override {
        {
            LCDUIGuard lock(LCDUILock::mutex());
            list = nullptr;
        }
        notifyDestroyed();
    }
    void commandAction(const JavaPtr<Command>& c, const JavaPtr<Displayable>& d) override {
        auto* shown = d ? static_cast<List*>(d->castAsTypeID(List::TESLclassTypeID)) : nullptr;
        heard.add(testsupport::narrow(c->getLabel()) +
                  (shown ? " sel=" + std::to_string(shown->getSelectedIndex()) : " without the list"));
    }

    static JavaPtr<javax::microedition::midlet::MIDlet> create() { return jnew<ListMIDlet>(); }

    // Under the screens' lock.
    static inline JavaPtr<List> list;
};

// The screen position of the text bar of row i of the shown list; false while it is not laid out.
bool rowBar(int row, int* x, int* y) {
    LCDUIGuard lock(LCDUILock::mutex());
    if (!ListMIDlet::list) return false;
    JavaPtr<ChoiceGroup> group = ListMIDlet::list->getChoiceGroup();
    if (group->m_contentWidth <= 0) return false;
    JavaPtr<javax::microedition::lcdui::Canvas> canvas = ListMIDlet::list->getCorrespondingCanvas();
    auto* core =
        static_cast<DisplayableCoreCanvas*>(canvas->castAsTypeID(DisplayableCoreCanvas::TESLclassTypeID));
    JavaPtr<JArray<int>> area = jnew<JArray<int>>(4);
    core->getUnreservedArea(area);
    // Unmarked rows: 10-pixel lines 4 apart, from 3 below the content top, text from x 3 + 3.
    *x = group->m_x + group->m_contentX + 6;
    *y = area->data[1] - core->getVerticalScrollPos() + group->m_y + group->m_contentY + 3 + 14 * row;
    return true;
}

class ListShellConcurrencyTest : public ::testing::Test {
protected:
    void SetUp() override {
        javax::microedition::lcdui::resetScreenStatics();
        ASSERT_TRUE(testsupport::loadTestFont());
        resetStartUpForTests();
        heard.take();
        javax::microedition::lcdui::LCDUIHighLevelHooks hooks;
        javax::microedition::lcdui::fillScreenHooks(hooks);
        List::fillListHooks(hooks);
        hooks.formTidyUp = &javax::microedition::lcdui::Form::tidyUp;
        javax::microedition::lcdui::setLCDUIHighLevelHooks(hooks);
        ProxyMIDlet::setMIDletFactory(ListMIDlet::create);
    }
    void TearDown() override {
        ProxyMIDlet::setMIDletFactory(nullptr);
        // The MIDlet asked to quit; later tests must see a running one.
        resetStartUpForTests();
        javax::microedition::lcdui::resetScreenStatics();
    }
};

TEST_F(ListShellConcurrencyTest, TapsAndFireReachTheListenerInOrderAndTheHighlightShows) {
    testsupport::Watchdog watchdog;
    platform::HostScreen screen;
    screen.widthPoints = 320;
    screen.heightPoints = 480;
    screen.scale = 1;
    platform::HeadlessHost host(screen);
    xyzApp app(host);
    platform::setCurrentHost(&host);
    std::thread loop([&] { host.run(app); });
    ASSERT_TRUE(host.waitUntilRunning(5s));

    int x = 0;
    int y = 0;
    ASSERT_TRUE(eventually([&] { return rowBar(0, &x, &y) && host.pixel(x, y) == kHighlightedBackground; }))
        << "the first row shows highlighted";

    ASSERT_TRUE(rowBar(2, &x, &y));
    EXPECT_EQ(host.pixel(x, y), kBackground);
    ASSERT_TRUE(host.tap(x + 30, y + 5));
    ASSERT_TRUE(host.keyPress(kFireKey));
    ASSERT_TRUE(host.keyRelease(kFireKey));
    ASSERT_TRUE(rowBar(1, &x, &y));
    ASSERT_TRUE(host.tap(x + 30, y + 5));
    ASSERT_TRUE(host.keyPress(kFireKey));
    ASSERT_TRUE(host.keyRelease(kFireKey));
    ASSERT_TRUE(eventually([&] { return heard.size() >= 2; }));
    EXPECT_EQ(heard.take(), (std::vector<std::string>{"Select sel=2", "Select sel=1"}));

    int firstX = 0;
    int firstY = 0;
    ASSERT_TRUE(rowBar(0, &firstX, &firstY));
    EXPECT_TRUE(eventually([&] {
        return host.pixel(x, y) == kHighlightedBackground && host.pixel(firstX, firstY) == kBackground;
    })) << "the tapped row shows highlighted";

    ASSERT_TRUE(host.terminate());
    EXPECT_TRUE(host.waitUntilFinished(10s));
    loop.join();
    platform::setCurrentHost(nullptr);
}

}  // namespace
