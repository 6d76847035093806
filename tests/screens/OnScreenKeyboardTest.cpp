// The on-screen keyboard: its layout, the codes its keys send to the current canvas, shift and caps, and
// how a press ends.
#include "screens/OnScreenKeyboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/EntryFunctions.h"
#include "shell/ShellGlobals.h"
#include "tests/screens/CoreCanvasFixtures.h"

namespace screenstest {
namespace {

using javax::microedition::lcdui::KeyInternal;
using javax::microedition::lcdui::OnScreenKeyboard;
using Core = DisplayableCoreCanvas;

std::string pressed(int code) {
    return "keyPressed " + std::to_string(code);
}
std::string released(int code) {
    return "keyReleased " + std::to_string(code);
}

class OnScreenKeyboardTest : public CoreCanvasFixture {
protected:
    void SetUp() override {
        CoreCanvasFixture::SetUp();
        Core::init();
        screen = showScreen();
        // The keyboard's own geometry: a 320-pixel screen with the band's bottom at 400.
        Display::screenWidth = 320;
        OnScreenKeyboard::setBottomY(400);
        OnScreenKeyboard::show();
        screen->canvas->log.take();
    }
    void TearDown() override {
        screen = nullptr;
        CoreCanvasFixture::TearDown();
    }

    JavaPtr<KeyInternal> key(int index) { return OnScreenKeyboard::getKeys()->data[index]; }
    // The centre of a key.
    int cx(int index) { return key(index)->x + key(index)->width / 2; }
    int cy(int index) { return key(index)->y + key(index)->height / 2; }
    void tap(int index) {
        screen->canvas->pointerPressed(cx(index), cy(index));
        screen->canvas->pointerReleased(cx(index), cy(index));
    }
    std::vector<std::string> take() { return screen->canvas->log.take(); }

    JavaPtr<TestScreen> screen;
};

TEST_F(OnScreenKeyboardTest, LayoutOfA320PixelScreenWithTheBottomAt400) {
    struct Case {
        const char* name;
        int index, x, y, width, height;
    };
    const Case cases[] = {
        {"backtick, first of row 0", 0, 0, 285, 22, 23},
        {"1, shares the border", 1, 21, 285, 23, 23},
        {"Delete", 13, 285, 285, 35, 23},
        {"Tab", 14, 0, 307, 55, 24},
        {"Space", 51, 21, 376, 210, 24},
    };
    ASSERT_EQ(OnScreenKeyboard::getKeys()->length, 56);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(key(c.index)->x, c.x);
        EXPECT_EQ(key(c.index)->y, c.y);
        EXPECT_EQ(key(c.index)->width, c.width);
        EXPECT_EQ(key(c.index)->height, c.height);
    }
    EXPECT_EQ(key(38)->x + key(38)->width, 297) << "row 2 ends short";
    EXPECT_EQ(key(49)->x + key(49)->width, 275) << "row 3 ends short";
    EXPECT_EQ(key(55)->x + key(55)->width, 320) << "row 4 fills the width";
}

TEST_F(OnScreenKeyboardTest, SetBottomYMovesTheSameKeys) {
    JavaPtr<OnScreenKeyboard::KeyArray> before = OnScreenKeyboard::getKeys();
    JavaPtr<KeyInternal> tab = key(14);
    OnScreenKeyboard::setBottomY(350);
    EXPECT_EQ(OnScreenKeyboard::getKeys().get(), before.get()) << "no rebuild";
    EXPECT_EQ(tab->y, 257);
    EXPECT_EQ(key(0)->y, 235);
    EXPECT_EQ(key(51)->y, 326);
    // A later mode change builds at the new edge.
    tap(39);
    EXPECT_EQ(key(14)->y, 257);
}

TEST_F(OnScreenKeyboardTest, KeysSendTheirCodesOnPressAndRelease) {
    struct Case {
        const char* name;
        int index, code;
    };
    const Case cases[] = {
        {"q", 15, Core::KEY_a + 16},
        {"1", 1, Core::KEY_KEYBOARD_NUM0 + 1},
        {"backtick", 0, Core::KEY_BACKTICK},
        {"apostrophe", 38, Core::KEY_APOSTROPHE},
        {"backslash", 50, Core::KEY_BACKSLASH},
        {"Delete", 13, Core::KEY_DELETE},
        {"Space", 51, Core::KEY_SPACEBAR},
        {"Left", 52, Core::KEY_LEFT},
        {"Down", 55, Core::KEY_DOWN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        screen->canvas->pointerPressed(cx(c.index), cy(c.index));
        EXPECT_EQ(take(), std::vector<std::string>{pressed(c.code)}) << "sent at once on the press";
        screen->canvas->pointerReleased(cx(c.index), cy(c.index));
        EXPECT_EQ(take(),
                  (std::vector<std::string>{released(c.code), "released " + std::to_string(cx(c.index)) +
                                                                  "," + std::to_string(cy(c.index))}))
            << "the keyboard passes the release on";
    }
}

TEST_F(OnScreenKeyboardTest, SlidingToANeighbourReleasesThePressedKey) {
    const int q = Core::KEY_a + 16;
    screen->canvas->pointerPressed(cx(15), cy(15));
    EXPECT_TRUE(OnScreenKeyboard::pointerDragged(cx(16), cy(16)));
    screen->canvas->pointerReleased(cx(16), cy(16));
    const std::vector<std::string> log = take();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0], pressed(q));
    EXPECT_EQ(log[1], released(q)) << "the key pressed, not the one under the finger";
}

TEST_F(OnScreenKeyboardTest, TheEnterZoneTabAndPointsOutsideTheBand) {
    screen->canvas->pointerPressed(310, 340);
    screen->canvas->pointerReleased(310, 340);
    EXPECT_EQ(take(), (std::vector<std::string>{pressed(Core::KEY_ENTER), released(Core::KEY_ENTER),
                                                "released 310,340"}));
    tap(14);
    EXPECT_EQ(take(),
              std::vector<std::string>{"released " + std::to_string(cx(14)) + "," + std::to_string(cy(14))})
        << "Tab sends no key";
    EXPECT_FALSE(OnScreenKeyboard::pointerPressed(100, 401)) << "below the bottom edge";
    EXPECT_FALSE(OnScreenKeyboard::pointerPressed(100, 284)) << "above the band";
    EXPECT_TRUE(OnScreenKeyboard::pointerPressed(320, 285)) << "edges are in the band";
    OnScreenKeyboard::pointerReleased(320, 285);
}

TEST_F(OnScreenKeyboardTest, ShiftLastsOneKeyAndCapsCombinesWithIt) {
    const int q = 15, w = 16, one = 1, shift = 39, caps = 27;
    const auto typed = [&](int index) {
        take();
        tap(index);
        return take().at(0);
    };
    tap(shift);
    EXPECT_TRUE(OnScreenKeyboard::isShiftDepressed());
    EXPECT_EQ(typed(q), pressed(Core::KEY_A + 16));
    EXPECT_FALSE(OnScreenKeyboard::isShiftDepressed());
    EXPECT_EQ(typed(w), pressed(Core::KEY_a + 22));
    tap(caps);
    EXPECT_EQ(typed(one), pressed(Core::KEY_EXCLAMATION));
    EXPECT_EQ(typed(one), pressed(Core::KEY_EXCLAMATION)) << "caps stays on";
    tap(shift);
    EXPECT_EQ(typed(one), pressed(Core::KEY_KEYBOARD_NUM0 + 1)) << "caps and shift cancel out";
    EXPECT_EQ(typed(one), pressed(Core::KEY_EXCLAMATION));
    OnScreenKeyboard::hide();
    OnScreenKeyboard::show();
    EXPECT_TRUE(OnScreenKeyboard::isCapsDepressed()) << "caps survives a hide";
}

TEST_F(OnScreenKeyboardTest, AReleaseOutsideTheBandEndsThePress) {
    TestCoreCanvas& canvas = *screen->canvas;
    const int q = Core::KEY_a + 16;
    canvas.pointerPressed(cx(15), cy(15));
    EXPECT_EQ(canvas.m_heldKey, q);
    canvas.pointerReleased(100, 100);
    EXPECT_EQ(take(), (std::vector<std::string>{pressed(q), released(q), "released 100,100"}));
    EXPECT_EQ(canvas.m_heldKey, Core::NO_KEY) << "the canvas no longer holds the key";
    // The key repeat has nothing left to repeat.
    clock->advance(5000);
    canvas.tick(0);
    EXPECT_TRUE(take().empty());
    // A release outside with no press of the keyboard's is the content's alone.
    canvas.pointerReleased(100, 100);
    EXPECT_EQ(take(), std::vector<std::string>{"released 100,100"});
}

TEST_F(OnScreenKeyboardTest, HideDuringAPressSendsTheReleaseFirst) {
    TestCoreCanvas& canvas = *screen->canvas;
    const int q = Core::KEY_a + 16;
    canvas.pointerPressed(cx(15), cy(15));
    OnScreenKeyboard::hide();
    EXPECT_EQ(take(), (std::vector<std::string>{pressed(q), released(q)}));
    EXPECT_EQ(canvas.m_heldKey, Core::NO_KEY);
    EXPECT_FALSE(OnScreenKeyboard::isShown());
    canvas.pointerReleased(cx(15), cy(15));
    EXPECT_EQ(take(),
              std::vector<std::string>{"released " + std::to_string(cx(15)) + "," + std::to_string(cy(15))})
        << "no second release of the key";
}

TEST_F(OnScreenKeyboardTest, PaintHighlightsThePressedKeyAndShift) {
    Display::screenWidth = kWidth;
    OnScreenKeyboard::OnScreenKeyboard_staticDestroy();
    OnScreenKeyboard::show();
    OnScreenKeyboard::setBottomY(kHeight - 14);
    TestCoreCanvas& canvas = *screen->canvas;
    canvas.reLayout();
    tap(39);  // Shift
    canvas.pointerPressed(cx(15), cy(15));
    canvas.repaint();
    const auto inside = [&](int index) { return rgb(key(index)->x + 2, key(index)->y + 2); };
    EXPECT_EQ(inside(15), Core::COLOR_HIGHLIGHTED_BACKGROUND) << "the pressed key";
    EXPECT_EQ(inside(39), Core::COLOR_HIGHLIGHTED_BACKGROUND) << "Shift, on";
    EXPECT_EQ(inside(16), Core::COLOR_BACKGROUND);
    EXPECT_EQ(rgb(key(16)->x, key(16)->y + 5), Core::COLOR_FOREGROUND) << "a key's outline";
    EXPECT_EQ(rgb(kWidth - 2, key(38)->y + 5), Core::COLOR_BACKGROUND) << "the Enter zone is bare";
    canvas.pointerReleased(cx(15), cy(15));
    canvas.repaint();
    EXPECT_EQ(inside(15), Core::COLOR_BACKGROUND);
    EXPECT_EQ(inside(39), Core::COLOR_BACKGROUND) << "shift went with the key";
}

TEST_F(OnScreenKeyboardTest, AfterATurnTheKeysSpanTheNewWidth) {
    const int savedWidth = _outputWidth.load();
    const int savedHeight = _outputHeight.load();
    changeOutputSize(480, 320);
    EXPECT_EQ(key(13)->x + key(13)->width, 480) << "Delete ends row 0 at the new edge";
    EXPECT_EQ(key(55)->x + key(55)->width, 480) << "row 4 fills the new width";
    // Right of where the keys ended before the turn: Delete, not the bare strip that answers as Enter.
    screen->canvas->pointerPressed(470, cy(13));
    screen->canvas->pointerReleased(470, cy(13));
    EXPECT_EQ(take(), (std::vector<std::string>{pressed(Core::KEY_DELETE), released(Core::KEY_DELETE),
                                                "released 470," + std::to_string(cy(13))}));
    changeOutputSize(savedWidth, savedHeight);
}

}  // namespace
}  // namespace screenstest
