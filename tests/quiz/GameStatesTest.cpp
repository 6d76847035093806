// The update step driven by taps through the whole application: the start-up step, the screen
// changes with their cues, the answer timer, the pause and slide after an answer, the settings, the
// information screen's areas, the touch sparkle with its twinkle cues, and a failed start-up.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "graphics/Image.h"
#include "tests/quiz/FlowFixtures.h"
#include "tests/quiz/ProgressRecords.h"

using namespace quiztest;

namespace {

using H = HookCanvas;
using Point = std::pair<int32_t, int32_t>;

Point menuItem(FlowCanvas& c, int i) {
    return {c.menu_button_x->data[i] + 5, c.menu_button_y->data[i] + 5};
}
Point gameButton(FlowCanvas& c, int j) {
    return {c.getParam(H::PARAM_MENU_BUTTONS_LEFT) +
                j * (c.getParam(H::PARAM_MENU_BUTTON_WIDTH) + c.getParam(H::PARAM_MENU_BUTTON_SPACING)) + 5,
            c.getParam(H::PARAM_MENU_BUTTONS_TOP) + 5};
}
Point answerButton(FlowCanvas& c, int k) {
    return {c.getParam(H::PARAM_ANSWER_BUTTONS_LEFT) + 5,
            c.getParam(H::PARAM_ANSWER_BUTTONS_TOP) +
                k * (c.answer_button_height + c.getParam(H::PARAM_ANSWER_BUTTONS_SPACING)) + 5};
}
Point rightAnswer(FlowCanvas& c) {
    return answerButton(c, c.correct_position - 1);
}
Point wrongAnswer(FlowCanvas& c) {
    return answerButton(c, c.correct_position == 1 ? 1 : 0);
}
Point layout(FlowCanvas& c, int x, int y) {
    return {c.getParam(x), c.getParam(y)};
}
Point listItem(FlowCanvas&, int i) {
    const int x0 = (H::PARAM_TS_BASE_SCREEN_WIDTH.load() - H::scroller_buttonClickWidth) >> 1;
    return {x0 + 5, 10 + i * (H::scroller_buttonClickHeight + H::scroller_buttonSpacing) + 5};
}
void testQuestion(FlowCanvas& c) {
    H::want_category_to_be = H::TEST_CATEGORY;
    H::want_practice_mode = false;
    ASSERT_TRUE(c.getQuestion(true));
}
void practiceQuestion(FlowCanvas& c) {
    H::want_category_to_be = 0;
    H::want_subsection_to_be = 0;
    H::want_practice_mode = true;
    ASSERT_TRUE(c.getQuestion(true));
}

// What every row starts from, whatever the rows before it left.
void resetRow(FlowCanvas& c) {
    c.finger_down = false;
    c.next_question_delay = 0;
    c.question_slide_pending = false;
    c.level = 0;
    c.level_points = 0;
    c.answers_in_level = 0;
    c.answered_this_round = 0;
    c.no_test_running = true;
    c.scroller_chosen_item = c.scroller_pressed_item = -1;
    c.scroller_choice_pending = c.scroller_back_shown = c.scroller_back_hover = false;
    c.scroller_pointer_down = c.scroller_press_long = false;
    H::current_mode_practice = false;
    H::want_practice_mode = false;
    H::want_category_to_be = 0;
    H::scrolly_menu_yoffset = 0;
    H::msfy = 0;
    H::weight_decay = 0;
    H::was_dragging = false;
}

struct Transition {
    const char* name;
    int32_t from;
    void (*before)(FlowCanvas&);
    Point (*where)(FlowCanvas&);
    int32_t to;
    int32_t cue;  // -1: none checked
    void (*after)(FlowCanvas&);
    int passesAfter = 0;
    // A list choice waits for the frame that draws it pressed before it is carried out.
    bool drawnPressed = false;
};

void nothing(FlowCanvas&) {}

class GameStates : public FlowFixture {};

TEST_F(GameStates, TransitionTableDrivenByTaps) {
    ASSERT_NO_FATAL_FAILURE(boot());
    const Transition rows[] = {
        {"about icon", 1, nothing, [](FlowCanvas& c) { return layout(c, 10, 420); }, 3, 312, nothing},
        {"continue a running test", 1,
         [](FlowCanvas& c) {
             testQuestion(c);
             c.no_test_running = false;
             c.level = 1;
         },
         [](FlowCanvas& c) { return menuItem(c, H::BUTTON_CONTINUE); }, 2, 312,
         [](FlowCanvas& c) {
             EXPECT_EQ(H::want_category_to_be, H::TEST_CATEGORY);
             EXPECT_FALSE(H::current_mode_practice);
             EXPECT_EQ(c.question, c.saved_question);
         }},
        {"continue without a test is ignored", 1,
         [](FlowCanvas& c) {
             c.no_test_running = true;
             c.level = 3;
         },
         [](FlowCanvas& c) { return menuItem(c, H::BUTTON_CONTINUE); }, 1, 312, nothing},
        {"continue at level 0 is ignored", 1, [](FlowCanvas& c) { c.no_test_running = false; },
         [](FlowCanvas& c) { return menuItem(c, H::BUTTON_CONTINUE); }, 1, 312, nothing},
        {"new test without a test running", 1, [](FlowCanvas& c) { c.level = 4; },
         [](FlowCanvas& c) { return menuItem(c, H::BUTTON_NEW_GAME); }, 2, 312,
         [](FlowCanvas& c) {
             EXPECT_FALSE(c.no_test_running);
             EXPECT_EQ(c.level, 0);
             EXPECT_TRUE(c.question);
         }},
        {"new test over a running test asks first", 1,
         [](FlowCanvas& c) {
             c.no_test_running = false;
             c.level = 2;
         },
         [](FlowCanvas& c) { return menuItem(c, H::BUTTON_NEW_GAME); }, 5, 293,
         [](FlowCanvas& c) { EXPECT_EQ(c.level, 2); }},
        {"practice", 1, [](FlowCanvas&) { H::scrolly_menu_yoffset = -40; },
         [](FlowCanvas& c) { return menuItem(c, H::BUTTON_PRACTICE_GAME); }, 12, 312,
         [](FlowCanvas&) { EXPECT_EQ(H::scrolly_menu_yoffset, 0); }},
        {"statistics", 1, nothing, [](FlowCanvas& c) { return menuItem(c, H::BUTTON_STATS); }, 4, 312,
         nothing},
        {"about's menu button", 3, nothing, [](FlowCanvas& c) { return layout(c, 256, 408); }, 1, 312,
         nothing},
        {"statistics' menu button", 4, nothing, [](FlowCanvas& c) { return layout(c, 256, 408); }, 1, 312,
         nothing},
        {"confirm yes", 5,
         [](FlowCanvas& c) {
             c.no_test_running = false;
             c.level = 2;
             H::want_category_to_be = H::TEST_CATEGORY;
         },
         [](FlowCanvas& c) { return menuItem(c, 0); }, 2, 312,
         [](FlowCanvas& c) {
             EXPECT_EQ(c.level, 0);
             EXPECT_TRUE(c.question);
         }},
        {"confirm no", 5, nothing, [](FlowCanvas& c) { return menuItem(c, 1); }, 1, 312, nothing},
        {"promoted's continue", 6, [](FlowCanvas&) { H::want_category_to_be = H::TEST_CATEGORY; },
         [](FlowCanvas& c) { return layout(c, 246, 400); }, 2, 312, nothing},
        {"demoted's continue", 7, [](FlowCanvas&) { H::want_category_to_be = H::TEST_CATEGORY; },
         [](FlowCanvas& c) { return layout(c, 246, 400); }, 2, 312, nothing},
        {"a finished test's menu button", 9, [](FlowCanvas& c) { c.no_test_running = false; },
         [](FlowCanvas& c) { return layout(c, 256, 408); }, 1, 312,
         [](FlowCanvas& c) { EXPECT_TRUE(c.no_test_running); }},
        {"a finished section's units button", 9,
         [](FlowCanvas&) {
             H::current_mode_practice = true;
             H::current_category = 3;
         },
         [](FlowCanvas& c) { return layout(c, 165, 400); }, 13, 312,
         [](FlowCanvas&) {
             EXPECT_EQ(H::want_category_to_be, 3);
             EXPECT_TRUE(H::want_practice_mode);
         }},
        {"settings' menu button", 10, nothing, [](FlowCanvas& c) { return layout(c, 256, 408); }, 1, 312,
         nothing},
        {"information's back area", 11, nothing, [](FlowCanvas& c) { return layout(c, 260, 420); }, 2, 312,
         nothing},
        {"information button", 2, testQuestion, [](FlowCanvas& c) { return gameButton(c, H::BUTTON_INFO); },
         11, -1, nothing},
        {"game's menu button", 2, testQuestion, [](FlowCanvas& c) { return gameButton(c, H::BUTTON_MENU); },
         1, 311, nothing},
        {"rank rises after the delay", 2,
         [](FlowCanvas& c) {
             testQuestion(c);
             c.level_points = H::levelThresholds->data[0];
         },
         rightAnswer, 6, 302, [](FlowCanvas& c) { EXPECT_EQ(c.level, 1); }, 100},
        {"rank falls after the delay", 2,
         [](FlowCanvas& c) {
             testQuestion(c);
             c.level = 2;
             c.answers_in_level = 6;
         },
         wrongAnswer, 7, 296, [](FlowCanvas& c) { EXPECT_EQ(c.level, 1); }, 100},
        {"rank beyond the last threshold", 2,
         [](FlowCanvas& c) {
             testQuestion(c);
             c.level = H::levelThresholds->length - 1;
             c.level_points = H::levelThresholds->data[c.level];
         },
         rightAnswer, 9, 297, nothing, 100},
        {"every question of the section answered", 2,
         [](FlowCanvas& c) {
             practiceQuestion(c);
             c.answered_this_round = c.question_count - 1;
         },
         rightAnswer, 9, 297, nothing, 100},
        {"a category", 12, nothing, [](FlowCanvas& c) { return listItem(c, 2); }, 13, -1,
         [](FlowCanvas&) { EXPECT_EQ(H::want_category_to_be, 2); }, 0, true},
        {"category list's back", 12, [](FlowCanvas& c) { c.scroller_back_shown = true; },
         [](FlowCanvas& c) { return layout(c, 260, 420); }, 1, -1, nothing},
        {"a subsection", 13, nothing, [](FlowCanvas& c) { return listItem(c, 0); }, 2, -1,
         [](FlowCanvas& c) {
             EXPECT_TRUE(H::current_mode_practice);
             EXPECT_EQ(H::current_category, 0);
             EXPECT_TRUE(c.question);
         },
         0, true},
        {"subsection list's back", 13, [](FlowCanvas& c) { c.scroller_back_shown = true; },
         [](FlowCanvas& c) { return layout(c, 260, 420); }, 12, -1, nothing},
    };
    for (const Transition& row : rows) {
        SCOPED_TRACE(row.name);
        FlowCanvas& c = canvas();
        resetRow(c);
        ASSERT_NO_FATAL_FAILURE(enter(row.from));
        row.before(c);
        c.takeCues();
        const Point p = row.where(c);
        tapAt(p.first, p.second);
        if (row.drawnPressed) {
            EXPECT_NE(c.scroller_chosen_item, -1);
            c.scroller_choice_pending = true;
            driver->runPasses(1);
        }
        driver->runPasses(row.passesAfter);
        ASSERT_TRUE(driver->waitForLoading());
        EXPECT_EQ(state(), row.to);
        const std::vector<int32_t> cues = c.takeCues();
        if (row.cue >= 0) {
            EXPECT_TRUE(contains(cues, row.cue)) << "cue " << row.cue;
        }
        row.after(c);
    }
}

TEST_F(GameStates, StartUpStepAtBothResolutions) {
    struct Case {
        int scale;
        bool high;
        const char* suffix;
        int splashWidth;
    };
    for (const Case& k : {Case{1, false, "_LOW", 320}, Case{2, true, "_HIGH", 640}}) {
        SCOPED_TRACE(k.suffix);
        platform::HostScreen screen = testsupport::QuizDriver::defaultScreen();
        screen.scale = k.scale;
        ASSERT_NO_FATAL_FAILURE(launch(screen));
        FlowCanvas& c = canvas();
        EXPECT_EQ(testsupport::narrow(c.record_store_prefix), "TSRS");
        driver->runPasses(1);
        EXPECT_EQ(testsupport::narrow(c.record_store_prefix), "QUILL");
        EXPECT_EQ(c.high_resolution, k.high);
        EXPECT_EQ(testsupport::narrow(c.resolution_suffix), k.suffix);
        EXPECT_EQ(c.res_main_font, k.high ? H::RESID_MAIN_FONT_HIGH : H::RESID_MAIN_FONT_LOW);
        ASSERT_TRUE(c.offscreen_image);
        EXPECT_EQ(c.offscreen_image->getWidth(), 320 * k.scale);
        ASSERT_TRUE(c.splash_image);
        EXPECT_EQ(c.splash_image->getWidth(), k.splashWidth);
        ASSERT_TRUE(c.loading_anim_frames);
        for (const auto& frame : *c.loading_anim_frames) EXPECT_TRUE(frame);
        ASSERT_TRUE(H::categoryStrings);
        for (int i = 0; i < 16; ++i) {
            EXPECT_TRUE(H::categoryStrings->data[i]);
            ASSERT_TRUE(H::practicedDBs->data[i]);
            EXPECT_EQ(H::practicedDBs->data[i]->length, H::subsectionStrings->data[i]->length);
            EXPECT_EQ(H::category_questions_asked->data[i], 48);
        }
        ASSERT_TRUE(c.img_main_menu_bg);
        for (int32_t id : *c.img_main_menu_bg) EXPECT_TRUE(c.imageIdLoaded(id));
        EXPECT_TRUE(c.menu_bg_trans);
        // The start-up step leaves for the main menu through its wipe, with the loading bit.
        EXPECT_EQ(H::game_state.load() & ~H::GAMESTATEFLAG_LOADING, H::GAMESTATE_MAIN_MENU);
        ASSERT_TRUE(driver->waitForLoading());
        EXPECT_FALSE(c.first_load_pending);
        EXPECT_EQ(driver->finish(), xyzApp::kExitClean);
        driver.reset();
    }
}

// The player's line goes to System.err (standard output), to the program's own stderr and to the
// host, which shows it in a message box where there is a window.
TEST_F(GameStates, MissingOrDamagedStartUpFileIsSaidAndEndsTheProgramWithTheFailureStatus) {
    struct Case {
        const char* file;
        bool cut;  // cut to half its length, or else removed
        const char* said;
    };
    for (const Case& k :
         {Case{"Default_png", false, "The quiz cannot start: /Default.png is missing or unreadable"},
          Case{"qv_loading_anim_05_LOW_png", false,
               "The quiz cannot start: /qv_loading_anim_05_LOW.png is missing or unreadable"},
          Case{"topics.dat", false, "The quiz cannot start: \"topics.dat\" is missing or unreadable"},
          Case{"topics.dat", true, "The quiz cannot start: \"topics.dat\" is missing or unreadable"},
          Case{"pk0", true, "The quiz cannot start: pk0 is damaged: "}}) {
        SCOPED_TRACE(std::string(k.file) + (k.cut ? " cut short" : " missing"));
        testsupport::TemporaryDirectory bundle;
        resbuild::BundleBuilder::writeFiles(toolstest::testBundle(), bundle.path());
        if (k.cut) {
            const auto& bytes = toolstest::testBundle().at(k.file);
            testsupport::writeTextFile(
                bundle.path() / k.file,
                std::string(bytes.begin(), bytes.begin() + static_cast<long>(bytes.size() / 2)));
        } else {
            std::filesystem::remove(bundle.path() / k.file);
        }
        ASSERT_NO_FATAL_FAILURE(launch(testsupport::QuizDriver::defaultScreen(), bundle.path()));
        testing::internal::CaptureStdout();
        testing::internal::CaptureStderr();
        driver->runPasses(1);
        const std::string err = testing::internal::GetCapturedStderr();
        const std::string out = testing::internal::GetCapturedStdout();
        EXPECT_NE(out.find(k.said), std::string::npos) << out;
        // One line of the program's own, and the same text asked of the host.
        EXPECT_EQ(err.rfind(std::string("quill: ") + k.said, 0), 0u) << err;
        EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
        const std::vector<std::string> shown = driver->host.failuresShown();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ("quill: " + shown[0] + "\n", err);
        EXPECT_EQ(driver->waitForExit(), AppMidlet::kExitApplicationFailed);
        driver.reset();
    }
}

TEST_F(GameStates, MissingThresholdsEndTheFirstLoadWithTheFailureStatus) {
    FlowCanvas::lostResource = H::RESID_LEVEL_THRESHOLDS;
    ASSERT_NO_FATAL_FAILURE(launch());
    driver->runPasses(1);
    EXPECT_EQ(driver->waitForExit(), AppMidlet::kExitApplicationFailed);
}

class AnswerTimer : public GameStates {
protected:
    void SetUp() override {
        // A player who turned the answer timer on (option 4) in an earlier run.
        Progress record;
        record.options = {0, 0, 1, 0, 1, 0};
        record.noTest = 1;
        FlowCanvas::servedRecord = toArray(encode(record));
        ASSERT_NO_FATAL_FAILURE(boot());
        ASSERT_TRUE(canvas().options->data[4]);
        ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_GAME_RUNNING));
        testQuestion(canvas());
        canvas().takeCues();
    }
};

TEST_F(AnswerTimer, WarnsOnceBelow3200AndTimesOutAfter304Steps) {
    FlowCanvas& c = canvas();
    const int wrongBefore = c.test_wrong;
    const int meterBefore = c.score_meter;
    const int answeredBefore = c.answered_this_round;
    // 10000 - 33 x 206 = 3202 is not yet below 3200; the 207th step is.
    driver->runPasses(206);
    EXPECT_FALSE(contains(c.takeCues(), H::RESID_SOUND_ALMOST_OUT_OF_TIME));
    driver->runPasses(1);
    EXPECT_EQ(c.takeCues(), std::vector<int32_t>{H::RESID_SOUND_ALMOST_OUT_OF_TIME});
    driver->runPasses(96);
    EXPECT_EQ(c.timer_remaining_ms, 10000 - 303 * 33);
    EXPECT_EQ(c.next_question_delay, 0);
    EXPECT_TRUE(c.takeCues().empty());
    driver->runPasses(1);
    EXPECT_EQ(c.timer_remaining_ms, 0);
    // The countdown starts in the step of the time-out.
    EXPECT_EQ(c.next_question_delay, 99);
    EXPECT_EQ(c.chosen_answer, -1);
    EXPECT_EQ(c.test_wrong, wrongBefore + 1);
    EXPECT_EQ(c.score_meter, meterBefore - 2);
    EXPECT_EQ(c.answered_this_round, answeredBefore);
    EXPECT_EQ(c.streak, 0);
    EXPECT_EQ(c.takeCues(), std::vector<int32_t>{H::RESID_INCORRECT});
}

TEST_F(AnswerTimer, AnswerStartsTheCountdownInItsOwnStep) {
    FlowCanvas& c = canvas();
    const Point p = rightAnswer(c);
    tapAt(p.first, p.second);
    EXPECT_EQ(c.next_question_delay, H::PARAM_NEXT_QUESTION_DELAY - 1);
}

TEST_F(GameStates, DelaySlideAndRotatingQuestionCues) {
    ASSERT_NO_FATAL_FAILURE(boot());
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_GAME_RUNNING));
    FlowCanvas& c = canvas();
    for (int round = 0; round < 5; ++round) {
        SCOPED_TRACE(round);
        testQuestion(c);
        c.takeCues();
        const JavaPtr<JArray<JavaPtr<java::lang::String>>> asked = c.question;
        const Point p = wrongAnswer(c);
        tapAt(p.first, p.second);
        EXPECT_EQ(c.next_question_delay, H::PARAM_NEXT_QUESTION_DELAY);
        c.takeCues();
        // Timer off: the countdown starts at the step after the answer.
        driver->runPasses(99);
        EXPECT_TRUE(c.takeCues().empty());
        EXPECT_EQ(c.question, asked);
        driver->runPasses(1);
        EXPECT_EQ(c.takeCues(), std::vector<int32_t>{H::RESID_QUESTION_BOX_SLIDE});
        EXPECT_NE(c.question, asked);
        EXPECT_TRUE(c.question_slide_pending);
        driver->runPasses(19);
        EXPECT_TRUE(c.takeCues().empty());
        driver->runPasses(1);
        EXPECT_EQ(c.takeCues(), std::vector<int32_t>{H::RESID_QUESTION1 + round % 4});
        EXPECT_FALSE(c.question_slide_pending);
    }
}

TEST_F(GameStates, SettingsChoicesAndTheCuesReloadedWhenSoundComesBack) {
    // Sound off from an earlier run: the first load leaves the cues unloaded.
    Progress record;
    record.options = {0, 0, 0, 1, 0, 1};
    FlowCanvas::servedRecord = toArray(encode(record));
    ASSERT_NO_FATAL_FAILURE(boot());
    FlowCanvas& c = canvas();
    ASSERT_FALSE(c.sounds_loaded);
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_SETTINGS));
    // Nothing in the quiz places the six option buttons: the test does, in a column.
    const int32_t rowHeight =
        c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_HEIGHT) + 10;
    ASSERT_LT(20 + 6 * rowHeight, 480);
    c.settings_button_images = jnewArray<int32_t>(6);
    c.settings_button_positions = jnewArray<int32_t>(12);
    for (int i = 0; i < 6; ++i) {
        c.settings_button_images->data[i] = c.img_answer_button_click;
        c.settings_button_positions->data[2 * i] = 20;
        c.settings_button_positions->data[2 * i + 1] = 20 + rowHeight * i;
    }
    const auto option = [&](int i) { tapAt(25, 25 + rowHeight * i); };
    const auto options = [&] {
        std::vector<int> out;
        for (bool b : *c.options) out.push_back(b);
        return out;
    };
    c.takeSoundLoads();

    option(4);
    EXPECT_EQ(options(), (std::vector<int>{0, 0, 0, 1, 1, 0}));
    option(1);
    EXPECT_EQ(options(), (std::vector<int>{0, 1, 0, 0, 1, 0}));
    ASSERT_TRUE(driver->waitForLoading());
    EXPECT_EQ(state(), H::GAMESTATE_SETTINGS);
    EXPECT_EQ(c.takeSoundLoads(), 1);
    EXPECT_TRUE(c.sounds_loaded);
    EXPECT_FALSE(c.sounds_reload_requested);
    EXPECT_EQ(c.sound_volume, 70);

    c.takeCues();
    option(2);
    EXPECT_EQ(options(), (std::vector<int>{0, 0, 1, 0, 1, 0}));
    EXPECT_EQ(c.sound_volume, 100);
    EXPECT_TRUE(contains(c.takeCues(), H::RESID_CORRECT));
    option(5);
    option(3);
    EXPECT_EQ(options(), (std::vector<int>{0, 0, 0, 1, 0, 1}));
    EXPECT_EQ(c.takeSoundLoads(), 0);
    EXPECT_EQ(state(), H::GAMESTATE_SETTINGS);
}

TEST_F(GameStates, InformationScreenPressAndReleaseAreas) {
    ASSERT_NO_FATAL_FAILURE(boot());
    FlowCanvas& c = canvas();
    struct Case {
        int x;
        int y;
        int32_t pressCue;
        bool leaves;
    };
    // The press area is x 253-275, the release area x 250-310, both in rows 400-460.
    for (const Case& k :
         {Case{264, 430, H::RESID_CLICK_ON_BUTTON, true}, Case{251, 430, H::RESID_CLICK_ON_BACKGROUND, true},
          Case{300, 401, H::RESID_CLICK_ON_BACKGROUND, true},
          Case{264, 395, H::RESID_CLICK_ON_BACKGROUND, false},
          Case{245, 430, H::RESID_CLICK_ON_BACKGROUND, false}}) {
        SCOPED_TRACE(std::to_string(k.x) + "," + std::to_string(k.y));
        c.finger_down = false;
        ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_INFOLINK));
        c.takeCues();
        tapAt(k.x, k.y);
        EXPECT_EQ(c.takeCues(), std::vector<int32_t>{k.pressCue});
        EXPECT_EQ(H::game_state.load(), k.leaves ? H::GAMESTATE_GAME_RUNNING : H::GAMESTATE_INFOLINK);
    }
}

TEST_F(GameStates, HeldFingerSparklesEveryFourthStepAndRingsTwinkles) {
    ASSERT_NO_FATAL_FAILURE(boot());
    FlowCanvas& c = canvas();
    driver->host.touchDown(5, 5);
    c.showers.clear();
    c.takeCues();
    std::vector<int> showerSteps;
    std::vector<long long> stars1;
    std::vector<long long> stars2;
    for (int step = 0; step < 400; ++step) {
        const size_t before = c.showers.size();
        driver->runPasses(1);
        if (c.showers.size() != before) showerSteps.push_back(step);
        for (int32_t cue : c.takeCues()) {
            // Each pass moves the canvas clock one step on.
            if (cue == H::RESID_STARS1) stars1.push_back(step * H::MS_PER_UPDATE);
            if (cue == H::RESID_STARS2) stars2.push_back(step * H::MS_PER_UPDATE);
        }
    }
    driver->host.touchUp(5, 5);
    ASSERT_GT(showerSteps.size(), 90u);
    for (size_t i = 1; i < showerSteps.size(); ++i) EXPECT_EQ(showerSteps[i] - showerSteps[i - 1], 4);
    EXPECT_EQ(c.showers.front(), H::TWINKLE_WHITE);
    // Each cue waits 2.0-2.5 s, then rings at the next sparkle step (every 132 ms).
    ASSERT_GE(stars1.size(), 4u);
    ASSERT_GE(stars2.size(), 4u);
    for (const auto* times : {&stars1, &stars2}) {
        for (size_t i = 1; i < times->size(); ++i) {
            const long long gap = (*times)[i] - (*times)[i - 1];
            EXPECT_GT(gap, 2000);
            EXPECT_LE(gap, 2500 + 132);
        }
    }
    EXPECT_GT(stars2.front() - stars1.front(), 0);
}

TEST_F(GameStates, StateTimerWrapsWithoutLosingTheSparkleBeat) {
    ASSERT_NO_FATAL_FAILURE(boot());
    FlowCanvas& c = canvas();
    c.state_timer_ms = (INT32_MAX / 33 - 8) * 33;
    driver->host.touchDown(5, 5);
    c.showers.clear();
    std::vector<int> showerSteps;
    for (int step = 0; step < 40; ++step) {
        const size_t before = c.showers.size();
        driver->runPasses(1);
        EXPECT_GE(c.state_timer_ms, 0);
        if (c.showers.size() != before) showerSteps.push_back(step);
    }
    driver->host.touchUp(5, 5);
    ASSERT_GE(showerSteps.size(), 9u);
    for (size_t i = 1; i < showerSteps.size(); ++i) EXPECT_EQ(showerSteps[i] - showerSteps[i - 1], 4);
    EXPECT_LT(c.state_timer_ms, 40 * 33 + 132);
}

TEST_F(GameStates, ListDragGlidesAfterReleaseAndChoosesNothing) {
    ASSERT_NO_FATAL_FAILURE(boot());
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_CHOOSE_CATEGORY));
    FlowCanvas& c = canvas();
    ASSERT_FALSE(H::scroller_static_menus);
    const Point p = listItem(c, 6);
    driver->host.touchDown(p.first, p.second);
    driver->runPasses(1);
    for (int i = 1; i <= 5; ++i) {
        driver->host.touchDrag(p.first, p.second - 20 * i);
        driver->runPasses(1);
    }
    EXPECT_TRUE(H::was_dragging);
    // The momentum follows the finger: m = (4d + m) >> 2 at each step of -20.
    EXPECT_EQ(H::scrolly_menu_yoffset, -100);
    EXPECT_EQ(H::weight_decay, -27);
    driver->host.touchUp(p.first, p.second - 100);
    driver->runPasses(1);
    // Above 10 pixels a step the momentum halves; below it shrinks by one a step.
    EXPECT_EQ(H::scrolly_menu_yoffset, -127);
    EXPECT_EQ(H::weight_decay, -14);
    EXPECT_EQ(c.scroller_chosen_item, -1);
    EXPECT_FALSE(H::was_dragging);
    driver->runPasses(1);
    EXPECT_EQ(H::scrolly_menu_yoffset, -141);
    EXPECT_EQ(H::weight_decay, -7);
    driver->runPasses(20);
    EXPECT_EQ(H::scrolly_menu_yoffset, -141 - (7 + 6 + 5 + 4 + 3 + 2));
    EXPECT_EQ(state(), H::GAMESTATE_CHOOSE_CATEGORY);
}

TEST_F(GameStates, ListPulledPastTheTopSpringsBack) {
    ASSERT_NO_FATAL_FAILURE(boot());
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_CHOOSE_CATEGORY));
    FlowCanvas& c = canvas();
    const Point p = listItem(c, 1);
    driver->host.touchDown(p.first, p.second);
    driver->runPasses(1);
    driver->host.touchDrag(p.first, p.second + 80);
    driver->runPasses(1);
    EXPECT_EQ(H::scrolly_menu_yoffset, 80);
    EXPECT_EQ(H::weight_decay, -20);
    driver->host.touchUp(p.first, p.second + 80);
    driver->runPasses(60);
    // A quarter of the overshoot per step, so it settles within 8 pixels of the top.
    EXPECT_GE(H::scrolly_menu_yoffset, 0);
    EXPECT_LT(H::scrolly_menu_yoffset, 8);
}

TEST_F(GameStates, ShortTapAndStaticListsChooseOrMoveNothing) {
    ASSERT_NO_FATAL_FAILURE(boot());
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_CHOOSE_CATEGORY));
    FlowCanvas& c = canvas();
    // Held for one step (33 ms): not long enough to choose.
    const Point p = listItem(c, 2);
    driver->host.touchDown(p.first, p.second);
    driver->runPasses(1);
    EXPECT_EQ(c.scroller_pressed_item, 2);
    driver->host.touchUp(p.first, p.second);
    driver->runPasses(1);
    EXPECT_EQ(c.scroller_chosen_item, -1);
    EXPECT_EQ(c.scroller_pressed_item, -1);

    H::want_category_to_be = 2;
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_CHOOSE_SUBSECTION));
    ASSERT_TRUE(H::scroller_static_menus);
    const Point q = listItem(c, 0);
    driver->host.touchDown(q.first, q.second);
    driver->runPasses(1);
    driver->host.touchDrag(q.first, q.second + 60);
    driver->runPasses(2);
    driver->host.touchUp(q.first, q.second + 60);
    driver->runPasses(1);
    EXPECT_EQ(H::scrolly_menu_yoffset, 0);
    EXPECT_EQ(H::weight_decay, 0);
}

}  // namespace
