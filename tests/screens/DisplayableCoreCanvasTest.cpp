// The core canvas: chrome layout and painting, scrolling, soft keys and the popup, command delivery,
// key codes and repeat, chrome touches, and the input kept during an LCDUI tick.
#include "screens/DisplayableCoreCanvas.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "graphics/Font.h"
#include "screens/OnScreenKeyboard.h"
#include "screens/TouchScreenAreaManager.h"
#include "shell/Ticker.h"
#include "tests/screens/CoreCanvasFixtures.h"
#include "tests/support/ClassRegistry.h"

namespace screenstest {
namespace {

using javax::microedition::lcdui::Font;
using javax::microedition::lcdui::OnScreenKeyboard;
using javax::microedition::lcdui::Ticker;
using Manager = javax::microedition::lcdui::TouchScreenAreaManager;
using Core = DisplayableCoreCanvas;
using testsupport::jstr;

QUILL_REGISTER_CLASSES(DisplayableCoreCanvas, Screen, TestCoreCanvas, TestScreen, CommandLog);

class CoreCanvasTest : public CoreCanvasFixture {};

// ---- Layout ----

TEST_F(CoreCanvasTest, UnreservedAreaLeavesRoomForEachPieceOfChrome) {
    struct Case {
        const char* name;
        bool title;
        bool ticker;
        bool command;
        bool keyboard;
        bool scrollBar;
        std::vector<int> area;
        int keyboardBottom;
    };
    // Bars are 14 high; the soft-key bar is reserved with or without commands.
    const Case cases[] = {
        {"nothing", false, false, false, false, false, {0, 0, 240, 200}, -1},
        {"title", true, false, false, false, false, {0, 14, 240, 200}, -1},
        {"ticker", false, true, false, false, false, {0, 0, 240, 186}, -1},
        {"commands", false, false, true, false, false, {0, 0, 240, 200}, -1},
        {"keyboard", false, false, false, true, false, {0, 0, 240, 85}, 200},
        {"keyboard above ticker", false, true, false, true, false, {0, 0, 240, 71}, 186},
        {"scroll bar", false, false, false, false, true, {0, 0, 225, 200}, -1},
        {"all", true, true, true, false, true, {0, 14, 225, 186}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        javax::microedition::lcdui::resetScreenStatics();
        SetUp();
        JavaPtr<TestScreen> screen = showScreen();
        TestCoreCanvas& canvas = *screen->canvas;
        EXPECT_EQ(canvas.sizes, std::vector<std::string>{"240x200"});
        canvas.sizes.clear();
        JavaPtr<Ticker> ticker = jnew<Ticker>(jstr("news"));
        if (c.title) screen->setTitle(jstr("Title"));
        if (c.ticker) screen->setTicker(ticker);
        if (c.command) screen->addCommand(command("Go", Command::OK, 1));
        if (c.keyboard) OnScreenKeyboard::show();
        if (c.scrollBar) canvas.setVerticalScrollbarVisible(true);
        canvas.reLayout();
        EXPECT_EQ(canvas.area(), c.area);
        if (c.ticker) {
            EXPECT_EQ(canvas.m_tickerY, 186);
        }
        if (c.keyboard) {
            EXPECT_EQ(OnScreenKeyboard::getBottomY(), c.keyboardBottom);
        }
        // One call per change of the area, and none for a layout that changes nothing.
        const std::string last = std::to_string(c.area[2]) + "x" + std::to_string(c.area[3] - c.area[1]);
        const std::vector<std::string> sizesSeen = canvas.sizes;
        if (c.area != std::vector<int>{0, 0, 240, 200}) {
            ASSERT_FALSE(sizesSeen.empty());
            EXPECT_EQ(sizesSeen.back(), last);
        } else {
            EXPECT_TRUE(sizesSeen.empty());
        }
        canvas.reLayout();
        EXPECT_EQ(canvas.sizes, sizesSeen);
        OnScreenKeyboard::hide();
        TearDown();
    }
}

TEST_F(CoreCanvasTest, ScrollPositionStaysBetweenTheTopAndTheLastView) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    canvas.setVerticalHeight(800);
    struct Step {
        int asked;
        int expected;
    };
    for (const Step& step : {Step{-5, 0}, Step{700, 600}, Step{400, 400}, Step{600, 600}}) {
        canvas.setVerticalScrollPos(step.asked);
        EXPECT_EQ(canvas.getVerticalScrollPos(), step.expected) << "asked " << step.asked;
    }
    // A shorter content pulls the position back so that its last row stays at the bottom.
    canvas.setVerticalHeight(500);
    EXPECT_EQ(canvas.getVerticalScrollPos(), 300);
    // Content shorter than the view scrolls to the top, never above it.
    canvas.setVerticalHeight(100);
    EXPECT_EQ(canvas.getVerticalScrollPos(), 0);
    canvas.setVerticalScrollPos(50);
    EXPECT_EQ(canvas.getVerticalScrollPos(), 0);
}

TEST_F(CoreCanvasTest, ThumbShowsTheViewInTheTrack) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    canvas.setVerticalScrollbarVisible(true);
    // View 200 over 800, track 200 - 22 = 178: the thumb is 200 * 178 / 800 = 44 long and, at 400, starts
    // 400 * 178 / 800 = 89 below the track's top (y 11).
    canvas.setVerticalHeight(800);
    canvas.setVerticalScrollPos(400);
    canvas.repaint();
    const int x = 232;
    EXPECT_EQ(rgb(x, 11 + 89 - 1), Core::COLOR_BACKGROUND);
    EXPECT_EQ(rgb(x, 11 + 89), Core::COLOR_FOREGROUND);
    EXPECT_EQ(rgb(x, 11 + 89 + 43), Core::COLOR_FOREGROUND);
    EXPECT_EQ(rgb(x, 11 + 89 + 44), Core::COLOR_BACKGROUND);
    // The content was painted left of the bar only.
    EXPECT_EQ(rgb(224, 100), TestCoreCanvas::kContentColour);
    EXPECT_NE(rgb(226, 100), TestCoreCanvas::kContentColour);
}

TEST_F(CoreCanvasTest, ScrollBoxDragMovesByTheTrackAndIgnoresATrackTooShort) {
    struct Case {
        const char* name;
        int screenHeight;
        int dy;
        int expected;
        int chromeAreas;
    };
    // Full view: 200 high, track 178; the toggle, both arrows and the box are areas. A 150-high screen
    // with the keyboard shown leaves a 21-pixel view and no track: no box, and a drag moves nothing.
    const Case cases[] = {
        {"down", 214, 5, 400 + 800 * 5 / 178, 4},
        {"past the top", 214, -500, 0, 4},
        {"past the end", 214, 500, 600, 4},
        {"short view", 150, 5, 400, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        javax::microedition::lcdui::resetScreenStatics();
        SetUp();
        JavaPtr<TestScreen> screen = showScreen();
        TestCoreCanvas& canvas = *screen->canvas;
        Display::screenHeight = c.screenHeight;
        if (c.screenHeight != kHeight) OnScreenKeyboard::show();
        canvas.setVerticalScrollbarVisible(true);
        canvas.setVerticalHeight(800);
        canvas.setVerticalScrollPos(400);
        const int start = canvas.getVerticalScrollPos();
        canvas.repaint();
        EXPECT_EQ(Manager::numInGroup(Manager::CHROME), c.chromeAreas);
        canvas.touchscreenAreaEvent(canvas.m_scrollBoxCode, 0, 0, 0, -1, -1, true);
        canvas.touchscreenAreaEvent(canvas.m_scrollBoxCode, 2, 0, 0, 0, c.dy, true);
        EXPECT_EQ(canvas.getVerticalScrollPos(), c.screenHeight == kHeight ? c.expected : start);
        OnScreenKeyboard::hide();
        TearDown();
    }
}

TEST_F(CoreCanvasTest, ScrollArrowsStepTenPixelsWithinTheContent) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    canvas.setVerticalScrollbarVisible(true);
    canvas.setVerticalHeight(800);
    canvas.setVerticalScrollPos(595);
    canvas.repaint();
    // The down arrow's area is (225, 191)-(240, 198).
    canvas.pointerPressed(230, 195);
    EXPECT_EQ(canvas.getVerticalScrollPos(), 600);
    canvas.pointerReleased(230, 195);
    canvas.pointerPressed(230, 195);
    canvas.pointerReleased(230, 195);
    EXPECT_EQ(canvas.getVerticalScrollPos(), 600);
    canvas.repaint();
    canvas.pointerPressed(230, 3);
    canvas.pointerReleased(230, 3);
    EXPECT_EQ(canvas.getVerticalScrollPos(), 590);
    EXPECT_TRUE(canvas.log.take().empty());
}

// ---- Painting ----

TEST_F(CoreCanvasTest, SoftKeyBarAndToggleArePaintedWithoutCommands) {
    JavaPtr<TestScreen> screen = showScreen();
    screen->canvas->repaint();
    // Bar from y 200: its top border, its background, the divider above the toggle.
    EXPECT_EQ(rgb(50, 200), Core::COLOR_BORDER);
    EXPECT_EQ(rgb(50, 207), Core::COLOR_BACKGROUND);
    EXPECT_EQ(rgb(120, 201), Core::COLOR_BORDER);
    EXPECT_EQ(rgb(50, 199), TestCoreCanvas::kContentColour);
    // Toggle: k = 10, at (112, 202); dot rows at 205, 207, 209.
    EXPECT_EQ(rgb(112, 202), Core::COLOR_FOREGROUND);
    EXPECT_EQ(rgb(127, 212), Core::COLOR_FOREGROUND);
    EXPECT_EQ(rgb(114, 205), Core::COLOR_FOREGROUND);
    EXPECT_EQ(rgb(115, 205), Core::COLOR_BACKGROUND);
    EXPECT_EQ(rgb(115, 207), Core::COLOR_FOREGROUND);
    EXPECT_EQ(rgb(114, 207), Core::COLOR_BACKGROUND);
    EXPECT_EQ(rgb(124, 209), Core::COLOR_FOREGROUND);
}

TEST_F(CoreCanvasTest, PressedSoftKeyHighlightsItsHalf) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    screen->addCommand(command("Back", Command::BACK, 1));
    screen->addCommand(command("OK", Command::OK, 1));
    canvas.keyPressed(Core::KEY_SOFTKEY_LEFT);
    canvas.repaint();
    EXPECT_EQ(rgb(100, 202), Core::COLOR_HIGHLIGHTED_BACKGROUND);
    EXPECT_EQ(rgb(200, 202), Core::COLOR_BACKGROUND);
    canvas.keyReleased(Core::KEY_SOFTKEY_LEFT);
    canvas.repaint();
    EXPECT_EQ(rgb(100, 202), Core::COLOR_BACKGROUND);
}

TEST_F(CoreCanvasTest, TickerTextMovesLeftAcrossFrames) {
    JavaPtr<TestScreen> screen = showScreen();
    JavaPtr<Ticker> ticker = jnew<Ticker>(jstr("News"));
    screen->setTicker(ticker);
    // The leftmost drawn pixel of the ticker's text row, or -1.
    const auto textLeft = [&] {
        for (int x = 0; x < kWidth; ++x)
            for (int y = 186 + 3; y < 186 + 12; ++y)
                if (rgb(x, y) == Core::COLOR_FOREGROUND) return x;
        return -1;
    };
    Display::tickLCDUI(0);
    EXPECT_EQ(textLeft(), -1);
    // Half the screen width per second: 60 pixels each half second.
    Display::tickLCDUI(500);
    const int first = textLeft();
    Display::tickLCDUI(500);
    const int second = textLeft();
    EXPECT_EQ(first, kWidth - 60);
    EXPECT_EQ(second, first - 60);
}

TEST_F(CoreCanvasTest, AShownTickerScrollsTheWholeOfALongerTextGivenLater) {
    JavaPtr<TestScreen> screen = showScreen();
    JavaPtr<Ticker> ticker = jnew<Ticker>(jstr("News"));
    screen->setTicker(ticker);
    Display::tickLCDUI(500);
    // 60 characters, 360 pixels, given to the ticker while it is shown.
    ticker->setString(jstr(std::string(60, 'w').c_str()));
    // After 4.5 s at 120 pixels a second the text starts at 240 - 540 = -300: its last ten characters
    // show at the left of the bar, the last glyph from -300 + 59 * 6 = 54 to 58.
    Display::tickLCDUI(4000);
    int left = -1;
    int right = -1;
    for (int x = 0; x < kWidth; ++x) {
        for (int y = 186 + 3; y < 186 + 12; ++y) {
            if (rgb(x, y) != Core::COLOR_FOREGROUND) continue;
            if (left == -1) left = x;
            right = x;
        }
    }
    EXPECT_EQ(left, 0);
    EXPECT_EQ(right, 58);
}

TEST_F(CoreCanvasTest, TickerWithoutTextShowsAnEmptyBar) {
    JavaPtr<TestScreen> screen = showScreen();
    JavaPtr<Ticker> ticker = jnew<Ticker>(jstr("News"));
    ticker->setString(nullptr);
    EXPECT_NO_THROW(screen->setTicker(ticker));
    EXPECT_EQ(screen->canvas->area(), (std::vector<int>{0, 0, 240, 186}));
    EXPECT_NO_THROW(Display::tickLCDUI(500));
    EXPECT_EQ(screen->canvas->paints, 1);
    EXPECT_EQ(rgb(120, 192), Core::COLOR_BACKGROUND);
}

TEST_F(CoreCanvasTest, HideNotifyDropsTheChromeAreasUntilTheNextPaint) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    screen->addCommand(command("Back", Command::BACK, 1));
    screen->addCommand(command("OK", Command::OK, 1));
    canvas.repaint();
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 3);
    canvas.hideNotify();
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 0);
    canvas.showNotify();
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 0);
    canvas.repaint();
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 3);
}

TEST_F(CoreCanvasTest, LayoutAskedForInsideAPaintWaitsForTheNextPaint) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    canvas.repaint();
    ASSERT_EQ(Manager::numInGroup(Manager::CHROME), 1);
    int nested = 0;
    canvas.insidePaint = [&] {
        canvas.reLayout();
        canvas.repaint();
        ++nested;
    };
    canvas.setNeedsRepaint();
    canvas.repaint();
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(canvas.paints, 2) << "the repaint inside the paint did nothing";
    EXPECT_TRUE(canvas.m_touchscreenAreasInvalid);
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 0);
    EXPECT_TRUE(canvas.needsRepaint());
    canvas.insidePaint = nullptr;
    canvas.repaint();
    EXPECT_EQ(Manager::numInGroup(Manager::CHROME), 1);
    EXPECT_FALSE(canvas.needsRepaint());
}

TEST_F(CoreCanvasTest, RepaintOfACanvasNotShownDoesNothing) {
    JavaPtr<TestScreen> shown = showScreen();
    JavaPtr<TestScreen> other = jnew<TestScreen>();
    other->canvas->repaint();
    EXPECT_EQ(other->canvas->paints, 0);
    shown->canvas->repaint();
    EXPECT_EQ(shown->canvas->paints, 1);
}

// ---- Commands and the popup ----

TEST_F(CoreCanvasTest, SoftKeysAreAssignedFromTheGatheredCommands) {
    struct Spec {
        const char* label;
        int type;
        int priority;
    };
    struct Case {
        const char* name;
        std::vector<Spec> screen;
        std::vector<Spec> item;
        const char* itemDefault;
        std::vector<const char*> shared;  // screen commands also in the item's array
        bool overlay;
        std::vector<Spec> overlayCommands;
        const char* expected;
    };
    const Case cases[] = {
        {"one screen command", {{"S", Command::SCREEN, 1}}, {}, nullptr, {}, false, {}, "back=- fwd=S"},
        {"back and ok",
         {{"B", Command::BACK, 1}, {"O", Command::OK, 1}},
         {},
         nullptr,
         {},
         false,
         {},
         "back=B fwd=O"},
        {"back, cancel and two more",
         {{"B", Command::BACK, 1},
          {"C", Command::CANCEL, 1},
          {"S1", Command::SCREEN, 1},
          {"S2", Command::SCREEN, 1}},
         {},
         nullptr,
         {},
         false,
         {},
         "back=B fwd=- menu=[C,S1,S2]"},
        {"by priority, ties in order",
         {{"A", Command::SCREEN, 3}, {"B", Command::SCREEN, 1}, {"C", Command::SCREEN, 1}},
         {},
         nullptr,
         {},
         false,
         {},
         "back=- fwd=- menu=[B,C,A]"},
        {"item default, item, screen",
         {{"Z", Command::SCREEN, 0}},
         {{"Y", Command::ITEM, 1}, {"X", Command::ITEM, 2}},
         "X",
         {},
         false,
         {},
         "back=- fwd=- menu=[X,Y,Z]"},
        {"shared command listed once with the item's",
         {{"Z", Command::SCREEN, 0}, {"Y", Command::SCREEN, 5}},
         {{"X", Command::ITEM, 9}},
         nullptr,
         {"Y"},
         false,
         {},
         "back=- fwd=- menu=[Y,X,Z]"},
        {"overlay replaces the rest",
         {{"B", Command::BACK, 1}, {"S", Command::SCREEN, 1}},
         {{"X", Command::ITEM, 1}},
         nullptr,
         {},
         true,
         {{"Done", Command::OK, 1}},
         "back=- fwd=Done"},
        {"empty overlay", {{"S", Command::SCREEN, 1}}, {}, nullptr, {}, true, {}, "back=- fwd=-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        JavaPtr<TestScreen> screen = jnew<TestScreen>();
        std::vector<JavaPtr<Command>> screenCommands;
        for (const Spec& s : c.screen) {
            screenCommands.push_back(command(s.label, s.type, s.priority));
            screen->addCommand(screenCommands.back());
        }
        JavaPtr<Displayable::CommandArray> itemCommands = jnew<Displayable::CommandArray>(0);
        JavaPtr<Command> itemDefault;
        for (const Spec& s : c.item) {
            JavaPtr<Command> cmd = command(s.label, s.type, s.priority);
            Displayable::addCommand(itemCommands, cmd);
            if (c.itemDefault && std::string(c.itemDefault) == s.label) itemDefault = cmd;
        }
        for (const char* shared : c.shared)
            for (const JavaPtr<Command>& cmd : screenCommands)
                if (testsupport::narrow(cmd->getLabel()) == shared)
                    Displayable::addCommand(itemCommands, cmd);
        if (!c.item.empty() || !c.shared.empty())
            screen->canvas->setFormItemCommands(itemCommands, itemDefault);
        JavaPtr<Displayable::CommandArray> overlay = jnew<Displayable::CommandArray>(0);
        for (const Spec& s : c.overlayCommands)
            Displayable::addCommand(overlay, command(s.label, s.type, s.priority));
        if (c.overlay) screen->canvas->setFormItemOverlay(nullptr, overlay);
        EXPECT_EQ(screen->canvas->softKeys(), c.expected);
        if (c.overlay) {
            const std::string withOverlay = screen->canvas->softKeys();
            screen->canvas->setFormItemOverlay(nullptr, nullptr);
            EXPECT_NE(screen->canvas->softKeys(), withOverlay) << "closing the overlay restores the others";
        }
    }
}

TEST_F(CoreCanvasTest, PopupIsSizedByItsLabelsAndUsesShortLabelsThatFit) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    // 45 characters of 6 pixels do not fit 240 pixels: the short label stands in.
    screen->addCommand(command("Go", Command::SCREEN, 1, "Go there at once, whatever else may be waiting"));
    screen->addCommand(command("S", Command::SCREEN, 2, "Longer"));
    screen->addCommand(command("T", Command::SCREEN, 3));
    const JavaPtr<Font> font = Font::getFont(0, 0, 8);
    EXPECT_EQ(canvas.m_popupWidth, font->stringWidth(jstr("Longer")) + 4);
    EXPECT_EQ(canvas.m_popupHeight, 3 * kBar + 10);
    EXPECT_LT(font->stringWidth(jstr("Go")), font->stringWidth(jstr("Longer")));
}

class PopupTest : public CoreCanvasFixture {
protected:
    void SetUp() override {
        CoreCanvasFixture::SetUp();
        screen = showScreen();
        listener = jnew<CommandLog>(&screen->canvas->log);
        screen->setCommandListener(listener);
        for (const char* label : {"A", "B", "C"}) {
            commands.push_back(command(label, Command::SCREEN, 1));
            screen->addCommand(commands.back());
        }
    }
    void TearDown() override {
        screen = nullptr;
        listener = nullptr;
        commands.clear();
        CoreCanvasFixture::TearDown();
    }
    void key(int code) {
        screen->canvas->keyPressed(code);
        screen->canvas->keyReleased(code);
    }
    // The commands triggered, without the key presses the content saw.
    std::vector<std::string> commandsLogged() {
        std::vector<std::string> entries;
        for (const std::string& entry : screen->canvas->log.take())
            if (entry.rfind("keyPressed", 0) != 0) entries.push_back(entry);
        return entries;
    }
    void openPopup() {
        key(Core::KEY_SOFTKEY_RIGHT);
        ASSERT_TRUE(screen->canvas->m_popupShown);
    }

    JavaPtr<TestScreen> screen;
    JavaPtr<CommandLog> listener;
    std::vector<JavaPtr<Command>> commands;
};

TEST_F(PopupTest, MenuOpensOnTheForwardKeyAndWrapsAround) {
    TestCoreCanvas& canvas = *screen->canvas;
    openPopup();
    EXPECT_EQ(canvas.m_popupSelectedIndex, 0);
    key(Core::KEY_UP);
    EXPECT_EQ(canvas.m_popupSelectedIndex, 2);
    canvas.keyRepeated(Core::KEY_DOWN);
    EXPECT_EQ(canvas.m_popupSelectedIndex, 0);
    key(Core::KEY_UP);
    key(Core::KEY_DOWN);
    key(Core::KEY_DOWN);
    EXPECT_EQ(canvas.m_popupSelectedIndex, 1);
    for (const std::string& entry : canvas.log.take())
        EXPECT_EQ(entry.rfind("keyPressed", 0), 0u) << entry << ": the popup keeps the releases";
}

TEST_F(PopupTest, FireChoosesTheSelectedEntryAndBackCancels) {
    TestCoreCanvas& canvas = *screen->canvas;
    openPopup();
    key(Core::KEY_DOWN);
    key(Core::KEY_FIRE);
    EXPECT_FALSE(canvas.m_popupShown);
    EXPECT_EQ(commandsLogged(), (std::vector<std::string>{"command B", "item B"}));
    openPopup();
    key(Core::KEY_SOFTKEY_LEFT);
    EXPECT_FALSE(canvas.m_popupShown);
    EXPECT_TRUE(commandsLogged().empty());
}

TEST_F(PopupTest, SelectionFollowsAShrinkingListAndTheMenuClosesWhenItGoes) {
    TestCoreCanvas& canvas = *screen->canvas;
    openPopup();
    key(Core::KEY_UP);
    ASSERT_EQ(canvas.m_popupSelectedIndex, 2);
    screen->removeCommand(commands[0]);
    EXPECT_TRUE(canvas.m_popupShown);
    EXPECT_EQ(canvas.m_popupSelectedIndex, 1);
    key(Core::KEY_FIRE);
    EXPECT_EQ(commandsLogged(), (std::vector<std::string>{"command C", "item C"}));
    openPopup();
    screen->removeCommand(commands[1]);
    EXPECT_FALSE(canvas.m_popupShown);
    EXPECT_EQ(canvas.softKeys(), "back=- fwd=C");
}

TEST_F(PopupTest, TouchesOnRowsChooseAndTouchesElsewhereAreConsumed) {
    TestCoreCanvas& canvas = *screen->canvas;
    openPopup();
    canvas.repaint();
    // Rows are 14 high from y = 214 - 4 - 52 - 10 + 5 = 153, at the right edge.
    canvas.pointerPressed(20, 60);
    canvas.pointerReleased(20, 60);
    EXPECT_TRUE(canvas.m_popupShown);
    EXPECT_TRUE(commandsLogged().empty());
    canvas.pointerPressed(238, 153 + 14 + 5);
    EXPECT_EQ(canvas.m_popupSelectedIndex, 1);
    canvas.pointerReleased(238, 153 + 14 + 5);
    EXPECT_FALSE(canvas.m_popupShown);
    EXPECT_EQ(commandsLogged(), (std::vector<std::string>{"command B", "item B"}));
    // A release on the forward soft key closes the popup without choosing.
    openPopup();
    canvas.repaint();
    canvas.pointerPressed(200, 207);
    canvas.pointerReleased(200, 207);
    EXPECT_FALSE(canvas.m_popupShown);
    EXPECT_TRUE(commandsLogged().empty());
}

TEST_F(PopupTest, RowEventsOfRowsNoLongerListedDoNothing) {
    TestCoreCanvas& canvas = *screen->canvas;
    openPopup();
    canvas.repaint();
    screen->removeCommand(commands[2]);
    JavaPtr<java::lang::String> staleRow = canvas.m_popupCodePrefix->concat(jstr("2"));
    canvas.touchscreenAreaEvent(staleRow, 0, 0, 0, -1, -1, true);
    canvas.touchscreenAreaEvent(staleRow, 1, 0, 0, -1, -1, true);
    EXPECT_TRUE(canvas.m_popupShown);
    EXPECT_EQ(canvas.m_popupSelectedIndex, 0);
    EXPECT_TRUE(commandsLogged().empty());
}

TEST_F(CoreCanvasTest, TriggeredCommandsReachTheScreenThenTheItem) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    JavaPtr<CommandLog> listener = jnew<CommandLog>(&canvas.log);
    screen->setCommandListener(listener);
    JavaPtr<Command> screenCommand = command("S", Command::SCREEN, 1);
    JavaPtr<Command> itemCommand = command("I", Command::ITEM, 1);
    screen->addCommand(screenCommand);
    JavaPtr<Displayable::CommandArray> itemCommands = jnew<Displayable::CommandArray>(0);
    Displayable::addCommand(itemCommands, itemCommand);
    canvas.setFormItemCommands(itemCommands, nullptr);
    canvas.triggerCommand(screenCommand);
    canvas.triggerCommand(itemCommand);
    canvas.triggerCommand(nullptr);
    EXPECT_EQ(canvas.log.take(), (std::vector<std::string>{"command S", "item S", "item I own"}));
}

// ---- Keys ----

TEST_F(CoreCanvasTest, DeviceKeyStaticsComeFromThePlatformKeyTable) {
    const std::vector<int> keys = {
        Core::KEY_UP,   Core::KEY_DOWN,         Core::KEY_LEFT,          Core::KEY_RIGHT,
        Core::KEY_FIRE, Core::KEY_SOFTKEY_LEFT, Core::KEY_SOFTKEY_RIGHT, Core::KEY_DELETE,
        Core::KEY_HASH, Core::KEY_STAR,         Core::KEY_NUM0,          Core::KEY_NUM9};
    EXPECT_EQ(keys, (std::vector<int>{-1, -2, -3, -4, -5, -6, -7, -8, 35, 42, 48, 57}));
    ASSERT_NE(javax::microedition::lcdui::_extendedCharList, nullptr);
    EXPECT_EQ(javax::microedition::lcdui::_extendedCharList[Core::KEY_POUND - 2000], '\xA3');
}

TEST_F(CoreCanvasTest, ExtendedCharactersAndTheirCodes) {
    struct CharCase {
        int code;
        unsigned short ch;
    };
    for (const CharCase& c :
         {CharCase{2032, 0xA3}, CharCase{2034, '@'}, CharCase{2000, '#'}, CharCase{2002, '\n'},
          CharCase{2003, ' '}, CharCase{2030, '^'}, CharCase{2019, '\\'}}) {
        EXPECT_EQ(Core::getExtendedCharForCode(c.code), c.ch) << c.code;
        EXPECT_EQ(Core::getExtendedCodeForChar(c.ch), c.code) << c.ch;
    }
    for (int code : {1999, 2035, 1000, -1}) EXPECT_EQ(Core::getExtendedCharForCode(code), 0) << code;
    for (int ch : {0, int{'A'}, int{'z'}, int{'5'}, 0xE9, 0x20AC})
        EXPECT_EQ(Core::getExtendedCodeForChar(static_cast<unsigned short>(ch)), Core::NO_KEY) << ch;
}

TEST_F(CoreCanvasTest, HeldKeyRepeatsFirstAfterASecondThenEvery150MsAtTicksOf50) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    const long long start = clock->millis();
    canvas.keyPressed('5');
    for (int elapsed = 50; elapsed <= 1400; elapsed += 50) {
        clock->advance(50);
        canvas.tick(50);
    }
    std::vector<long long> after;
    for (long long t : canvas.repeatTimes) after.push_back(t - start);
    EXPECT_EQ(after, (std::vector<long long>{1050, 1200, 1350}));
    // Releasing another key leaves the held one repeating.
    canvas.keyReleased('6');
    clock->advance(150);
    canvas.tick(50);
    EXPECT_EQ(canvas.repeatTimes.size(), 4u);
    canvas.keyReleased('5');
    canvas.tick(50);
    EXPECT_FALSE(canvas.m_keyRepeating);
    EXPECT_EQ(canvas.log.take(),
              (std::vector<std::string>{"keyPressed 53", "keyRepeated 53", "keyRepeated 53", "keyRepeated 53",
                                        "keyReleased 54", "keyRepeated 53", "keyReleased 53"}));
}

TEST_F(CoreCanvasTest, SoftKeyReleasedAfterRepeatingTriggersNothingAndLosesItsHighlight) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    JavaPtr<CommandLog> listener = jnew<CommandLog>(&canvas.log);
    screen->setCommandListener(listener);
    screen->addCommand(command("Go", Command::OK, 1));
    canvas.keyPressed(Core::KEY_SOFTKEY_RIGHT);
    EXPECT_TRUE(canvas.m_forwardSoftkeyPressed);
    clock->advance(1001);
    canvas.tick(50);
    ASSERT_TRUE(canvas.m_keyRepeating);
    canvas.keyReleased(Core::KEY_SOFTKEY_RIGHT);
    EXPECT_FALSE(canvas.m_forwardSoftkeyPressed);
    canvas.repaint();
    EXPECT_EQ(rgb(200, 202), Core::COLOR_BACKGROUND);
    // A short press afterwards triggers as usual.
    canvas.tick(50);
    canvas.keyPressed(Core::KEY_SOFTKEY_RIGHT);
    canvas.keyReleased(Core::KEY_SOFTKEY_RIGHT);
    EXPECT_EQ(canvas.log.take(), (std::vector<std::string>{"keyRepeated -7", "keyReleased -7", "command Go",
                                                           "item Go", "keyReleased -7"}));
}

TEST_F(CoreCanvasTest, NoKeyIsIgnoredByEveryKeyHandler) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    canvas.keyPressed(Core::NO_KEY);
    canvas.keyRepeated(Core::NO_KEY);
    canvas.keyReleased(Core::NO_KEY);
    EXPECT_EQ(canvas.m_heldKey, Core::NO_KEY);
    EXPECT_TRUE(canvas.log.take().empty());
}

// ---- The keyboard toggle ----

TEST_F(CoreCanvasTest, KeyboardToggleShowsAndHidesTheKeyboardUnlessAnOverlayIsUp) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    const auto tapToggle = [&] {
        canvas.repaint();
        canvas.pointerPressed(119, 207);
        canvas.pointerReleased(119, 207);
    };
    tapToggle();
    EXPECT_TRUE(OnScreenKeyboard::isShown());
    EXPECT_EQ(canvas.area(), (std::vector<int>{0, 0, 240, 85}));
    canvas.repaint();
    EXPECT_EQ(rgb(10, 150), Core::COLOR_BACKGROUND) << "the keyboard's band";
    // The band takes touches; the content does not see them.
    canvas.pointerPressed(10, 150);
    EXPECT_TRUE(canvas.log.take().empty());
    tapToggle();
    EXPECT_FALSE(OnScreenKeyboard::isShown());
    EXPECT_EQ(canvas.area(), (std::vector<int>{0, 0, 240, 200}));
    // An item overlay's areas keep the keyboard away.
    JavaPtr<javax::microedition::lcdui::TouchScreenAreaListener> overlay =
        jnew<javax::microedition::lcdui::TouchScreenAreaListener>(nullptr, nullptr);
    Manager::registerArea(0, 0, 10, 10, jstr("Overlay0_cell"), overlay, Manager::ITEM_OVERLAYS);
    tapToggle();
    EXPECT_FALSE(OnScreenKeyboard::isShown());
}

// ---- Input during a tick ----

TEST_F(CoreCanvasTest, EveryEventOfATickIsReplayedInArrivalOrder) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    std::vector<std::string> expected;
    int bufferedDuringTick = -1;
    std::vector<std::string> seenDuringTick;
    screen->duringRelayout = [&] {
        // The platform main thread's input while the ticker thread is inside the tick.
        std::thread input([&] {
            for (int i = 0; i < 30; ++i) {
                if (i % 3 == 0) {
                    canvas.pointerPressed(i, 50);
                    expected.push_back("pressed " + std::to_string(i) + ",50");
                } else if (i % 3 == 1) {
                    canvas.keyPressed('0' + i % 10);
                    expected.push_back("keyPressed " + std::to_string('0' + i % 10));
                } else {
                    canvas.pointerReleased(i, 51);
                    expected.push_back("released " + std::to_string(i) + ",51");
                }
            }
        });
        input.join();
        bufferedDuringTick = canvas.numBufferedEvents();
        seenDuringTick = canvas.log.take();
    };
    screen->setNeedsRelayout(true);
    Display::tickLCDUI(50);
    EXPECT_EQ(bufferedDuringTick, 30);
    EXPECT_TRUE(seenDuringTick.empty());
    EXPECT_EQ(canvas.log.take(), expected);
    EXPECT_EQ(canvas.numBufferedEvents(), 0);
}

TEST_F(CoreCanvasTest, ForwardSoftKeyDuringATickTriggersOnTheTickerThread) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    JavaPtr<CommandLog> listener = jnew<CommandLog>(&canvas.log);
    screen->setCommandListener(listener);
    screen->addCommand(command("Go", Command::OK, 1));
    std::thread::id inputThread;
    screen->duringRelayout = [&] {
        std::thread input([&] {
            canvas.keyPressed(Core::KEY_SOFTKEY_RIGHT);
            canvas.keyReleased(Core::KEY_SOFTKEY_RIGHT);
        });
        inputThread = input.get_id();
        input.join();
        EXPECT_TRUE(canvas.log.take().empty()) << "nothing is handled inside the tick";
    };
    screen->setNeedsRelayout(true);
    Display::tickLCDUI(50);
    // A release that triggered a command still reaches the content.
    EXPECT_EQ(canvas.log.take(), (std::vector<std::string>{"command Go", "item Go", "keyReleased -7"}));
    EXPECT_EQ(listener->threads(), std::vector<std::thread::id>{std::this_thread::get_id()});
    EXPECT_NE(inputThread, std::this_thread::get_id());
}

TEST_F(CoreCanvasTest, HeldKeyRepeatsThroughTheDisplaysTick) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    canvas.keyPressed('7');
    clock->advance(1001);
    Display::tickLCDUI(50);
    EXPECT_EQ(canvas.log.take(), (std::vector<std::string>{"keyPressed 55", "keyRepeated 55"}));
}

TEST_F(CoreCanvasTest, TickRepaintsTheCanvasThatAsksForIt) {
    JavaPtr<TestScreen> screen = showScreen();
    TestCoreCanvas& canvas = *screen->canvas;
    Display::tickLCDUI(50);
    EXPECT_EQ(canvas.paints, 1);
    EXPECT_FALSE(canvas.needsRepaint());
    Display::tickLCDUI(50);
    EXPECT_EQ(canvas.paints, 1);
    screen->setTitle(jstr("Changed"));
    Display::tickLCDUI(50);
    EXPECT_EQ(canvas.paints, 2);
}

}  // namespace
}  // namespace screenstest
