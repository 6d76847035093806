// Frames of the menu, confirmation, about, statistics, result and completion screens, probed at the
// points the layout fixes, at both resolutions: the loading screen, the wipe's segments, the texts,
// the statistics table, the badges and stars and the buttons that appear under the finger.
#include <gtest/gtest.h>

#include "tests/quiz/ScreenFixtures.h"

namespace quiztest {
namespace {

constexpr uint32_t kMarker = 0xFF010203u;

using ScreenRendering = BothResolutions;

TEST_P(ScreenRendering, FirstLoadCyclesTheAnimationOneFramePerPaintLaterLoadsKeepTheFrame) {
    // The start-up step read the splash and the eight frames for the resolution in use.
    canvas->first_load_pending = true;
    ASSERT_TRUE(canvas->splash_image);
    ASSERT_EQ(canvas->splash_image->getWidth(), width);
    auto frameColour = [&](int f) {
        JavaPtr<JArray<int>> pixel = jnewArray<int>(1);
        canvas->loading_anim_frames->data[f]->getRGB(pixel, 0, 1, 2, 2, 1, 1);
        return static_cast<uint32_t>(pixel->data[0]) | 0xFF000000u;
    };
    JavaPtr<JArray<int>> splashPixel = jnewArray<int>(1);
    canvas->splash_image->getRGB(splashPixel, 0, 1, 5, 5, 1, 1);
    for (int paint = 0; paint < 10; ++paint) {
        renderState(H::GAMESTATE_MAIN_MENU | H::GAMESTATEFLAG_LOADING);
        EXPECT_EQ(atBase(139, 349), frameColour(paint % 8)) << "paint " << paint;
        EXPECT_EQ(at(5, 5), static_cast<uint32_t>(splashPixel->data[0]) | 0xFF000000u);
    }
    EXPECT_EQ(canvas->loading_anim_frame, 10);
    // Every frame of the animation differs from the next, so the probe saw it move.
    EXPECT_NE(frameColour(0), frameColour(1));

    canvas->first_load_pending = false;
    paintOffscreen(kMarker);
    renderState(H::GAMESTATE_STATS | H::GAMESTATEFLAG_LOADING);
    EXPECT_EQ(atBase(139, 349), kMarker);
    EXPECT_EQ(atBase(5, 5), kMarker);
    EXPECT_EQ(canvas->loading_anim_frame, 10);
}

TEST_P(ScreenRendering, StatesWithoutAScreenKeepThePreviousFrame) {
    for (int state : {8, 10, 14}) {
        paintOffscreen(kMarker);
        renderState(state);
        EXPECT_FALSE(anyPixelDiffers(0, 0, 320, 480, kMarker)) << "state " << state;
    }
}

TEST_P(ScreenRendering, SettledScreensCoverTheWholeFrame) {
    // Nothing is ever cleared: a screen whose pictures left a gap would show the previous one there.
    for (int state : {1, 2, 3, 4, 5, 6, 7, 9, 12, 13}) {
        paintOffscreen(kMarker);
        renderSettled(state);
        EXPECT_FALSE(anyPixelEquals(0, 0, 320, 480, kMarker)) << "state " << state;
    }
    // The information screen opens over the game screen without a wipe; its strip starts a row below
    // the game screen's bar, whose top row stays.
    paintOffscreen(kMarker);
    renderSettled(H::GAMESTATE_INFOLINK);
    EXPECT_FALSE(anyPixelEquals(0, 0, 320, 395, kMarker));
    EXPECT_FALSE(anyPixelEquals(0, 396, 320, 84, kMarker));
}

// A segment of a screen and where it lies (base layout).
struct SegmentPlace {
    int segment, x, y, w, h;
};

TEST_P(ScreenRendering, SegmentsAppearOnlyUnderTheMaskAndWipeInLeftToRight) {
    struct Screen {
        int state;
        JavaPtr<JArray<int32_t>> HookCanvas::*segments;
        JavaPtr<JArray<signed char>> HookCanvas::*mask;
        std::vector<SegmentPlace> places;
    };
    const Screen screens[] = {
        {H::GAMESTATE_MAIN_MENU,
         &H::img_main_menu_bg,
         &H::menu_bg_trans,
         {{0, 0, 0, 320, 17}, {1, 0, 17, 320, 63}, {2, 0, 80, 320, 315}}},
        {H::GAMESTATE_ABOUT,
         &H::img_about_bg,
         &H::about_bg_trans,
         {{0, 0, 0, 240, 17}, {1, 0, 17, 240, 63}, {3, 240, 0, 80, 80}, {4, 240, 80, 80, 315}}},
        {H::GAMESTATE_STATS,
         &H::img_stats_bg,
         &H::stats_bg_trans,
         {{0, 0, 0, 240, 17}, {1, 0, 17, 240, 63}, {3, 240, 0, 80, 80}, {4, 240, 80, 80, 315}}},
        {H::GAMESTATE_CONFIRM,
         &H::img_confirm_bg,
         &H::confirm_bg_trans,
         {{0, 0, 0, 320, 79}, {1, 0, 79, 41, 317}, {3, 279, 79, 41, 317}, {4, 0, 396, 320, 84}}},
    };
    for (const Screen& screen : screens) {
        SCOPED_TRACE(screen.state);
        ScreenCanvas& c = *canvas;
        const JavaPtr<JArray<signed char>> mask = c.*screen.mask;
        ASSERT_TRUE(mask && mask->length > 1);
        paintOffscreen(kMarker);
        c.fade_active = true;
        c.fade_mask = mask;
        c.fade_step = 0;
        for (int i = 0; i < 8; ++i) c.fade_segments->data[i] = 0;
        // Four frames at step 0: the allowed segments are revealed to 3/8 of their width.
        for (int frame = 0; frame < 4; ++frame) renderState(screen.state);
        for (const SegmentPlace& p : screen.places) {
            const uint32_t colour = colourOf((c.*screen.segments)->data[p.segment]);
            const bool allowed = ((mask->data[0] >> p.segment) & 1) != 0;
            EXPECT_EQ(atBase(p.x + 1, p.y + p.h / 2), allowed ? colour : kMarker) << "segment " << p.segment;
            EXPECT_EQ(atBase(p.x + p.w - 2, p.y + p.h / 2), kMarker) << "segment " << p.segment;
        }
        // Through the whole mask every segment comes in full.
        c.fade_step = mask->length - 1;
        for (int frame = 0; frame < 9; ++frame) renderState(screen.state);
        for (const SegmentPlace& p : screen.places) {
            const uint32_t colour = colourOf((c.*screen.segments)->data[p.segment]);
            EXPECT_EQ(atBase(p.x + p.w - 2, p.y + p.h / 2), colour) << "segment " << p.segment;
        }
        c.fade_active = false;
    }
}

TEST_P(ScreenRendering, AboutShowsTheVersionTextAtTheBottomLeftAndThePressedMenuButton) {
    renderSettled(H::GAMESTATE_ABOUT);
    const ScreenCanvas::DrawnText* version = canvas->drawn("v1.3");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->x, s(15));
    EXPECT_EQ(version->y, s(480) - s(2));
    EXPECT_EQ(version->anchor, Graphics::BOTTOM | Graphics::LEFT);
    const uint32_t background = colourOf(canvas->img_about_bg->data[2]);
    EXPECT_TRUE(anyPixelDiffers(15, 462, 30, 16, background)) << "no glyph drawn";
    EXPECT_EQ(atBase(253, 405), colourOf(canvas->img_about_bg->data[5]));

    canvas->finger_down = true;
    H::pointer_x.store(s(260));
    H::pointer_y.store(s(420));
    renderState(H::GAMESTATE_ABOUT);
    EXPECT_EQ(atBase(253, 405), colourOf(canvas->img_game_buttons->data[4]));
}

TEST_P(ScreenRendering, StatisticsTable) {
    struct Case {
        int practiceRight, practiceWrong, testRight, testWrong, level;
        std::vector<std::string> values;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0, {"0", "0", "0%", "0", "0", "0%", "Level 1/30", ""}},
        {7, 3, 2, 1, 6, {"7", "10", "70%", "2", "3", "66%", "Level 7/30", ""}},
        {1, 2, 0, 5, 29, {"1", "3", "33%", "0", "5", "0%", "Level 30/30", ""}},
        // Past the last threshold the level equals the number of levels: the last one is shown.
        {0, 0, 9, 0, 30, {"0", "0", "0%", "9", "9", "100%", "Level 30/30", ""}},
    };
    const char* labels[8] = {"Total correct (Practice)",
                             "Total attempted (Practice)",
                             "Percentage correct (Practice)",
                             "Total correct (Test)",
                             "Total attempted (Test)",
                             "Percentage correct (Test)",
                             "Level",
                             "Stars"};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.values[6]);
        canvas->practice_right_total = k.practiceRight;
        canvas->practice_wrong = k.practiceWrong;
        canvas->test_right = k.testRight;
        canvas->test_wrong = k.testWrong;
        canvas->level = k.level;
        renderSettled(H::GAMESTATE_STATS);
        // The drawn texts in order: label, value, for rows 0 to 7.
        std::vector<ScreenCanvas::DrawnText> texts = canvas->texts;
        ASSERT_EQ(texts.size(), 16u);
        for (int row = 0; row < 8; ++row) {
            EXPECT_EQ(texts[2 * row].text, labels[row]);
            EXPECT_EQ(texts[2 * row].x, s(14));
            EXPECT_EQ(texts[2 * row].y, s(102) + row * s(48));
            EXPECT_EQ(texts[2 * row + 1].text, k.values[row]) << "row " << row;
            EXPECT_EQ(texts[2 * row + 1].x, s(219));
            EXPECT_EQ(texts[2 * row + 1].y, s(136) + row * s(48));
            EXPECT_EQ(texts[2 * row + 1].anchor, Graphics::BOTTOM | Graphics::RIGHT);
        }
    }
    EXPECT_EQ(atBase(12, 101), colourOf(canvas->img_stats_box_overlay));
    EXPECT_EQ(atBase(12, 101 + 7 * 48), colourOf(canvas->img_stats_box_overlay));
}

TEST_P(ScreenRendering, StatisticsStarsFromLevelsSevenFifteenAndTwentyThree) {
    // The last row's box lies under the stars.
    const uint32_t background = colourOf(canvas->img_stats_box_overlay);
    const uint32_t stars[3] = {colourOf(canvas->img_stats_star->data[0]),
                               colourOf(canvas->img_stats_star->data[1]),
                               colourOf(canvas->img_stats_star->data[2])};
    struct Case {
        int level, shown;
    };
    for (const Case k : {Case{6, 0}, Case{7, 1}, Case{14, 1}, Case{15, 2}, Case{22, 2}, Case{23, 3}}) {
        canvas->level = k.level;
        renderSettled(H::GAMESTATE_STATS);
        for (int i = 0; i < 3; ++i) {
            // Stars are spaced by the star picture's own width (24 base pixels).
            EXPECT_EQ(atBase(139 + 24 * i, 454), i < k.shown ? stars[i] : background)
                << "level " << k.level << " star " << i;
        }
    }
}

TEST_P(ScreenRendering, ConfirmShowsItsThreeLinesCentred) {
    renderSettled(H::GAMESTATE_CONFIRM);
    const int h = canvas->getFontHeight(canvas->font_main);
    const char* lines[3] = {"Your current progress will be lost.", "Are you sure that you want to",
                            "start a new test?"};
    for (int i = 0; i < 3; ++i) {
        const ScreenCanvas::DrawnText* t = canvas->drawn(lines[i]);
        ASSERT_NE(t, nullptr) << lines[i];
        EXPECT_EQ(t->x, s(160));
        EXPECT_EQ(t->y, s(136) + i * h);
        EXPECT_EQ(t->anchor, Graphics::HCENTER | Graphics::TOP);
    }
    EXPECT_TRUE(anyPixelDiffers(60, 136, 200, 16, colourOf(canvas->img_confirm_bg->data[2])));
}

TEST_P(ScreenRendering, MainMenuAboutIconPressedOverAnAreaEightyFiveHigh) {
    renderSettled(H::GAMESTATE_MAIN_MENU);
    EXPECT_EQ(atBase(40, 430), colourOf(canvas->img_icon_about));
    canvas->finger_down = true;
    // The lowest strip of the screen is outside the update step's about area but shows the press.
    H::pointer_x.store(s(40));
    H::pointer_y.store(s(478));
    renderState(H::GAMESTATE_MAIN_MENU);
    EXPECT_EQ(atBase(40, 430), colourOf(canvas->img_icon_click_about));
    H::pointer_x.store(s(100));
    renderState(H::GAMESTATE_MAIN_MENU);
    EXPECT_EQ(atBase(40, 430), colourOf(canvas->img_icon_about));
}

TEST_P(ScreenRendering, ResultScreensBadgesStarsAndTheContinueButtonAfterTheTimer) {
    struct Case {
        int state, level, star;  // star: -1 none, else the big star's entry
    };
    const Case cases[] = {
        {6, 1, -1}, {6, 7, 0}, {6, 15, 1}, {6, 23, 2}, {6, 8, -1}, {7, 7, -1}, {7, 15, -1}, {7, 0, -1},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "state " << k.state << " level " << k.level);
        const bool promoted = k.state == 6;
        const uint32_t background = colourOf(promoted ? canvas->img_promoted_bg : canvas->img_demoted_bg);
        canvas->level = k.level;
        canvas->ranking_screen_timer = 3;
        canvas->finger_down = false;
        renderState(k.state);
        EXPECT_EQ(atBase(120, promoted ? 170 : 425), colourOf(canvas->img_ranking->data[k.level]));
        // On DEMOTED the badge itself lies under the star's place.
        const uint32_t noStar = promoted ? background : colourOf(canvas->img_ranking->data[k.level]);
        EXPECT_EQ(atBase(116, 389), k.star >= 0 ? colourOf(canvas->img_big_star->data[k.star]) : noStar);
        EXPECT_EQ(atBase(300, 470), background) << "continue button before the timer ran out";
        canvas->ranking_screen_timer = 0;
        renderState(k.state);
        EXPECT_EQ(atBase(300, 470), colourOf(canvas->img_ranking_button_normal));
        canvas->finger_down = true;
        H::pointer_x.store(s(280));
        H::pointer_y.store(s(440));
        renderState(k.state);
        EXPECT_EQ(atBase(300, 470), colourOf(canvas->img_ranking_button_click));
    }
}

TEST_P(ScreenRendering, TheLastLevelWithoutABadgeShowsItsNumberInTheBadgesPlace) {
    // Only the first 29 badges are ever loaded; level 29 is reached with 30 thresholds.
    canvas->level = 29;
    for (int state : {6, 7}) {
        SCOPED_TRACE(testing::Message() << "state " << state);
        paintOffscreen(kMarker);
        canvas->texts.clear();
        renderState(state);
        const ScreenCanvas::DrawnText* number = canvas->drawn("30");
        ASSERT_NE(number, nullptr);
        EXPECT_EQ(number->x, s(120));
        EXPECT_EQ(number->y, s(state == 6 ? 170 : 425));
        EXPECT_EQ(number->anchor, Graphics::HCENTER | Graphics::VCENTER);
    }
}

TEST_P(ScreenRendering, CompleteShowsThePracticeScoreAndTheButtonsUnderTheFinger) {
    H::current_mode_practice = false;
    renderState(9);
    EXPECT_EQ(atBase(5, 5), colourOf(canvas->img_complete_bg));
    EXPECT_EQ(canvas->drawn("2/3"), nullptr);

    H::current_mode_practice = true;
    canvas->practice_right_this_game = 2;
    canvas->question_count = 3;
    renderState(9);
    EXPECT_EQ(atBase(5, 5), colourOf(canvas->img_complete_bg_practice));
    const ScreenCanvas::DrawnText* score = canvas->drawn("2/3");
    ASSERT_NE(score, nullptr);
    EXPECT_EQ(score->x, width / 2);
    EXPECT_EQ(score->y, s(225));
    EXPECT_EQ(score->anchor, Graphics::HCENTER | Graphics::VCENTER);
    EXPECT_TRUE(anyPixelDiffers(140, 210, 40, 30, colourOf(canvas->img_complete_bg_practice)));
    EXPECT_EQ(atBase(165, 470), colourOf(canvas->img_units_button_normal));

    canvas->finger_down = true;
    H::pointer_x.store(s(170));
    H::pointer_y.store(s(440));
    renderState(9);
    EXPECT_EQ(atBase(165, 470), colourOf(canvas->img_units_button_click));
    H::pointer_x.store(s(290));
    renderState(9);
    EXPECT_EQ(atBase(300, 470), colourOf(canvas->img_ranking_button_menu_click));
}

INSTANTIATE_TEST_SUITE_P(Resolutions, ScreenRendering, testing::Values(false, true), resolutionName);

}  // namespace
}  // namespace quiztest
