// The quiz played through the driver on the test clock with the test bundle: the loading screen while
// the first load runs (held open by a gate), later loads that keep the old frame, the main menu, and
// the two practice lists under a finger, each probed in the frames the host shows.
#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>

#include "graphics/Image.h"
#include "tests/support/QuizDriver.h"

namespace {

using H = HookCanvas;
using javax::microedition::lcdui::Image;
// Only catches a hang: the gate may stay closed for many passes on a loaded machine.
constexpr auto kLimit = testsupport::QuizDriver::kHangGuard;

// Holds the loading thread before a load while closed.
struct Gate {
    std::mutex mutex;  // guards open
    std::condition_variable changed;
    bool open = true;

    void set(bool value) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            open = value;
        }
        changed.notify_all();
    }
    void pass() {
        std::unique_lock<std::mutex> lock(mutex);
        changed.wait_for(lock, kLimit, [this] { return open; });
    }
};

Gate& gate() {
    static Gate g;
    return g;
}

class GatedCanvas : public HookCanvas {
    TESL_CLASS(GatedCanvas, "quiztest.GatedCanvas", HookCanvas)
public:
    GatedCanvas() noexcept {}
    GatedCanvas* TESLinvokeconstructor() {
        HookCanvas::TESLinvokeconstructor();
        return this;
    }
    void startLoading() override {
        gate().pass();
        HookCanvas::startLoading();
    }
};

class GatedMidlet : public AppMidlet {
    TESL_CLASS(GatedMidlet, "quiztest.GatedMidlet", AppMidlet)
public:
    GatedMidlet() noexcept {}
    GatedMidlet* TESLinvokeconstructor() {
        AppMidlet::TESLinvokeconstructor();
        return this;
    }
    void setAppCanvas() override {
        JavaPtr<HookCanvas> c = jnew<GatedCanvas>();
        setCanvas(c);
        c->midlet = JavaPtr<AppMidlet>(this);
    }
    static JavaPtr<javax::microedition::midlet::MIDlet> create() { return jnew<GatedMidlet>(); }
};

uint32_t rgbOf(const JavaPtr<Image>& image) {
    JavaPtr<JArray<int>> pixel = jnewArray<int>(1);
    image->getRGB(pixel, 0, 1, image->getWidth() / 2, image->getHeight() / 2, 1, 1);
    return static_cast<uint32_t>(pixel->data[0]) & 0xFFFFFFu;
}

class QuizScreensDriven : public testing::Test {
protected:
    void SetUp() override {
        H::game_state.store(0);
        gate().set(true);
        driver = std::make_unique<testsupport::QuizDriver>(QUILL_TEST_BUNDLE_DIR, &GatedMidlet::create);
        canvas = driver->canvas();
    }
    void TearDown() override {
        gate().set(true);
        canvas = nullptr;
        driver.reset();
        H::game_state.store(0);
    }
    // One pass of the loop that paints, and the frame it showed.
    void paintedPass() {
        const uint64_t before = driver->host.handedOverFrames();
        driver->runPasses(1);
        const uint64_t painted = driver->host.handedOverFrames();
        ASSERT_GT(painted, before);
        ASSERT_TRUE(driver->host.waitForFrames(painted, kLimit));
    }
    // One pass, and whatever it painted on show: a settled screen paints nothing.
    void shownPass() {
        driver->runPasses(1);
        ASSERT_TRUE(driver->waitUntilShown());
    }
    void passes(int n) {
        for (int i = 0; i < n; ++i) shownPass();
    }
    // Loads finished and the new screen's wipe run through.
    void settle() {
        ASSERT_TRUE(driver->waitForLoading());
        passes(40);
    }
    uint32_t at(int x, int y) { return driver->pixel(x, y).value_or(0xDEADBEEF); }
    uint32_t colourOf(int imageId) { return rgbOf(canvas->image_cache->data[imageId]->data[0]); }
    void press(int x, int y, int steps) {
        driver->host.touchDown(x, y);
        passes(steps);
    }
    void release(int x, int y) {
        driver->host.touchUp(x, y);
        shownPass();
    }
    int state() { return H::game_state.load(); }

    std::unique_ptr<testsupport::QuizDriver> driver;
    JavaPtr<HookCanvas> canvas;
};

TEST_F(QuizScreensDriven, SplashAnimatesDuringTheFirstLoadAndALaterLoadKeepsTheOldFrame) {
    gate().set(false);
    passes(1);  // the start-up step; the first load waits at the gate
    ASSERT_EQ(state(), H::GAMESTATE_MAIN_MENU | H::GAMESTATEFLAG_LOADING);
    ASSERT_TRUE(canvas->loading_anim_frames);
    const int first = canvas->loading_anim_frame - 1;
    for (int paint = 1; paint <= 9; ++paint) {
        paintedPass();
        EXPECT_EQ(at(139, 349), rgbOf(canvas->loading_anim_frames->data[(first + paint) % 8]))
            << "paint " << paint;
        EXPECT_EQ(at(5, 5), rgbOf(canvas->splash_image));
    }
    gate().set(true);
    settle();
    ASSERT_EQ(state(), H::GAMESTATE_MAIN_MENU);

    // Continue Test is greyed with no test running; New Test is not.
    EXPECT_EQ(at(55, 100), colourOf(canvas->img_answer_button_ghosted));
    const uint32_t menu = colourOf(canvas->img_main_menu_bg->data[2]);
    EXPECT_EQ(at(55, 170), menu);

    // Statistics: while its load is held the main menu stays on the screen.
    gate().set(false);
    press(160, 330, 1);
    release(160, 330);
    ASSERT_EQ(state(), H::GAMESTATE_STATS | H::GAMESTATEFLAG_LOADING);
    passes(3);
    EXPECT_EQ(at(55, 170), menu);
    gate().set(true);
    settle();
    ASSERT_EQ(state(), H::GAMESTATE_STATS);
    EXPECT_EQ(at(12, 101), colourOf(canvas->img_stats_box_overlay));
}

// The program's own loop paints while the loading thread runs the first load, which hands the paints
// its flag and the particles' pictures: each hand-over is ordered, so ThreadSanitizer has nothing to
// report.
TEST_F(QuizScreensDriven, PaintsRunWhileTheFirstLoadRuns) {
    passes(1);  // the start-up step: the first load begins
    int paints = 0;
    while ((state() & H::GAMESTATEFLAG_LOADING) != 0 && !H::thread_failed.load()) {
        paintedPass();
        ++paints;
    }
    EXPECT_GT(paints, 0);
    ASSERT_EQ(state(), H::GAMESTATE_MAIN_MENU);
    EXPECT_FALSE(canvas->first_load_pending);
    EXPECT_TRUE(H::twinkle_ids);
}

TEST_F(QuizScreensDriven, ListsChooseOnlyAfterAHeldTapIsShownAndGoBackFromBoth) {
    passes(1);  // the start-up step
    settle();
    press(160, 260, 1);  // Practice
    release(160, 260);
    settle();
    ASSERT_EQ(state(), H::GAMESTATE_CHOOSE_CATEGORY);
    const uint32_t normal = colourOf(canvas->img_wide_button_normal);
    const uint32_t click = colourOf(canvas->img_wide_button_click);
    // Row 2 spans 152 to 218.
    const int row2 = 185;

    // Held for one step (33 ms, not over 40): nothing is chosen.
    press(160, row2, 1);
    release(160, row2);
    passes(2);
    EXPECT_EQ(canvas->scroller_chosen_item, -1);
    EXPECT_EQ(state(), H::GAMESTATE_CHOOSE_CATEGORY);

    // Held for two steps: the release chooses the row, the frame shows it pressed, the next step acts.
    press(160, row2, 2);
    EXPECT_EQ(at(15, 155), click);
    release(160, row2);
    EXPECT_EQ(canvas->scroller_chosen_item, 2);
    EXPECT_TRUE(canvas->scroller_choice_pending);
    EXPECT_EQ(at(15, 155), click);
    EXPECT_EQ(at(15, 84), normal);
    paintedPass();
    EXPECT_EQ(state() & ~H::GAMESTATEFLAG_LOADING, H::GAMESTATE_CHOOSE_SUBSECTION);
    EXPECT_EQ(H::want_category_to_be, 2);
    settle();
    ASSERT_EQ(state(), H::GAMESTATE_CHOOSE_SUBSECTION);

    // A finger that presses back and slides onto a row no longer goes back: the release there is a tap
    // on the row.
    press(270, 430, 2);
    EXPECT_EQ(at(300, 470), colourOf(H::practice_menu_back_click));
    driver->host.touchDrag(160, 110);
    passes(2);
    EXPECT_EQ(at(300, 470), colourOf(H::practice_menu_back_normal));
    release(160, 110);
    EXPECT_EQ(state(), H::GAMESTATE_CHOOSE_SUBSECTION);
    EXPECT_EQ(canvas->scroller_chosen_item, 1);

    // Back from the subsection list, then from the category list.
    canvas->scroller_chosen_item = -1;
    canvas->scroller_choice_pending = false;
    press(270, 430, 1);
    release(270, 430);
    EXPECT_EQ(state() & ~H::GAMESTATEFLAG_LOADING, H::GAMESTATE_CHOOSE_CATEGORY);
    settle();
    EXPECT_EQ(H::scrolly_menu_yoffset, 0);

    // A move of more than 6 pixels between two steps is a drag: nothing is chosen, no back is taken
    // and the list glides on upwards after the release.
    press(160, 300, 2);
    driver->host.touchDrag(160, 280);
    passes(1);
    EXPECT_EQ(H::scrolly_menu_yoffset, -20);
    release(160, 280);
    passes(30);
    EXPECT_EQ(canvas->scroller_chosen_item, -1);
    EXPECT_EQ(state(), H::GAMESTATE_CHOOSE_CATEGORY);
    EXPECT_LT(H::scrolly_menu_yoffset, -20);
    EXPECT_EQ(at(15, 155 + H::scrolly_menu_yoffset), normal);

    press(270, 430, 1);
    release(270, 430);
    EXPECT_EQ(state() & ~H::GAMESTATEFLAG_LOADING, H::GAMESTATE_MAIN_MENU);
    settle();
}

TEST_F(QuizScreensDriven, APracticeQuestionFromTheListsIsAnsweredOnTheGameScreen) {
    passes(1);
    settle();
    press(160, 260, 1);  // Practice
    release(160, 260);
    settle();
    press(160, 185, 2);  // the third category
    release(160, 185);
    paintedPass();
    settle();
    ASSERT_EQ(state(), H::GAMESTATE_CHOOSE_SUBSECTION);
    press(160, 110, 2);  // its second subsection
    release(160, 110);
    paintedPass();
    settle();
    ASSERT_EQ(state(), H::GAMESTATE_GAME_RUNNING);

    const uint32_t normal = colourOf(canvas->img_answer_button_normal);
    for (int b = 0; b < 3; ++b) EXPECT_EQ(at(305, 135 + 90 * b), normal) << "button " << b;
    // The practice title reads 0/3 and the question box holds text.
    EXPECT_NE(at(40, 54), colourOf(canvas->img_generic->data[0]));
    const int right = canvas->correct_position - 1;
    const int wrong = (right + 1) % 3;
    press(200, 165 + 90 * wrong, 1);
    release(200, 165 + 90 * wrong);
    EXPECT_EQ(at(305, 135 + 90 * wrong), colourOf(canvas->img_answer_button_wrong));
    EXPECT_EQ(at(305, 135 + 90 * right), colourOf(canvas->img_answer_button_correct));
}

}  // namespace
