// The button menus of the main menu and the confirmation: where their buttons sit at both
// resolutions, what is drawn pressed or greyed, and a press that leaves its button before release.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/quiz/FlowFixtures.h"

using namespace quiztest;

namespace {

using H = HookCanvas;

class ButtonMenus : public FlowFixture {
protected:
    std::vector<std::string> labels() {
        std::vector<std::string> out;
        for (const auto& s : *canvas().menu_button_labels) out.push_back(testsupport::narrow(s));
        return out;
    }
    // Draws the current menu and answers what was drawn.
    std::vector<Drawn> draw() {
        FlowCanvas& c = canvas();
        c.drawn.clear();
        c.setFont(c.offscreen_graphics, c.font_main);
        c.drawMenu(c.offscreen_graphics);
        return c.drawn;
    }
    static int count(const std::vector<Drawn>& drawn, int32_t image, int32_t x, int32_t y) {
        int n = 0;
        for (const Drawn& d : drawn) n += d.image == image && d.x == x && d.y == y ? 1 : 0;
        return n;
    }
    void pointAt(int item) {
        H::pointer_x.store(canvas().menu_button_x->data[item] + 5);
        H::pointer_y.store(canvas().menu_button_y->data[item] + 5);
    }
};

TEST_F(ButtonMenus, PositionsAndLabelsAtBothResolutions) {
    for (const int scale : {1, 2}) {
        SCOPED_TRACE(scale);
        platform::HostScreen screen = testsupport::QuizDriver::defaultScreen();
        screen.scale = scale;
        ASSERT_NO_FATAL_FAILURE(boot(screen));
        FlowCanvas& c = canvas();
        const int32_t w = c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_WIDTH);
        ASSERT_GT(w, 0);
        ASSERT_EQ(c.menu_button_x->length, 4);
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(c.menu_button_images->data[i], c.img_answer_button_click);
            EXPECT_EQ(c.menu_button_x->data[i], 160 * scale - (w >> 1) - 1) << i;
            EXPECT_EQ(c.menu_button_y->data[i], (97 + 70 * i) * scale) << i;
        }
        EXPECT_EQ(labels(),
                  (std::vector<std::string>{"Continue Test", "New Test", "Practice", "Scores & Statistics"}));

        ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_CONFIRM));
        ASSERT_EQ(c.menu_button_y->length, 2);
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(c.menu_button_x->data[i], 160 * scale - (w >> 1) - 1) << i;
            EXPECT_EQ(c.menu_button_y->data[i], (237 + 70 * i) * scale) << i;
        }
        EXPECT_EQ(labels(), (std::vector<std::string>{"Yes", "No"}));
        EXPECT_EQ(driver->finish(), xyzApp::kExitClean);
        driver.reset();
    }
}

TEST_F(ButtonMenus, ContinueGreyedAndPressedImageOnlyUnderTheFinger) {
    ASSERT_NO_FATAL_FAILURE(boot());
    FlowCanvas& c = canvas();
    const int32_t click = c.img_answer_button_click;
    const int32_t ghosted = c.img_answer_button_ghosted;
    const auto x = [&](int i) { return c.menu_button_x->data[i]; };
    const auto y = [&](int i) { return c.menu_button_y->data[i]; };
    struct Case {
        const char* name;
        bool testRunning;
        int level;
        bool fingerDown;
        int under;
        int pressedItem;  // -1 none
        bool greyed;
    };
    for (const Case& k : {
             Case{"no test, finger on Continue", false, 3, true, 0, -1, true},
             Case{"level 0, finger on Continue", true, 0, true, 0, -1, true},
             Case{"no test, finger on New Test", false, 0, true, 1, 1, true},
             Case{"test running, finger on Continue", true, 2, true, 0, 0, false},
             Case{"test running, finger on Statistics", true, 2, true, 3, 3, false},
             Case{"finger up over Practice", true, 2, false, 2, -1, false},
         }) {
        SCOPED_TRACE(k.name);
        c.no_test_running = !k.testRunning;
        c.level = k.level;
        c.finger_down = k.fingerDown;
        pointAt(k.under);
        const std::vector<Drawn> drawn = draw();
        int pressed = 0;
        for (const Drawn& d : drawn) pressed += d.image == click ? 1 : 0;
        EXPECT_EQ(pressed, k.pressedItem >= 0 ? 1 : 0);
        if (k.pressedItem >= 0) {
            EXPECT_EQ(count(drawn, click, x(k.pressedItem), y(k.pressedItem)), 1);
        }
        EXPECT_EQ(count(drawn, ghosted, x(0), y(0)), k.greyed ? 1 : 0);
        for (int i = 1; i < 4; ++i) EXPECT_EQ(count(drawn, ghosted, x(i), y(i)), 0);
    }
    c.finger_down = false;
}

TEST_F(ButtonMenus, PressThatSlidesOffItsButtonOnlyClicks) {
    ASSERT_NO_FATAL_FAILURE(boot());
    FlowCanvas& c = canvas();
    c.takeCues();
    const int32_t x = c.menu_button_x->data[H::BUTTON_STATS] + 5;
    const int32_t y = c.menu_button_y->data[H::BUTTON_STATS] + 5;
    driver->host.touchDown(x, y);
    driver->runPasses(2);
    EXPECT_EQ(c.answer_feedback, H::TWINKLE_YELLOW);
    driver->host.touchDrag(5, 5);
    driver->runPasses(1);
    driver->host.touchUp(5, 5);
    driver->runPasses(2);
    ASSERT_TRUE(driver->waitForLoading());
    EXPECT_EQ(H::game_state.load(), H::GAMESTATE_MAIN_MENU);
    EXPECT_EQ(c.takeCues(), std::vector<int32_t>{H::RESID_CLICK_ON_BUTTON});
}

}  // namespace
