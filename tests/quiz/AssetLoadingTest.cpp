// What the loading thread loads on each entry to a screen, through the whole application over the
// test bundle: the first load on the way into the main menu, each screen's pictures once, and the
// per-entry set-ups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/quiz/FlowFixtures.h"

using namespace quiztest;

namespace {

using H = HookCanvas;
using Ids = std::vector<int32_t>;

class AssetLoading : public FlowFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(boot());
        canvas().takeImageLoads();
        canvas().takeMenus();
        canvas().takeSoundLoads();
    }
};

TEST_F(AssetLoading, FirstLoadThenOnlyTheMenuOnLaterEntries) {
    // The boot in SetUp did the first load; it is checked from what it left.
    FlowCanvas& c = canvas();
    EXPECT_FALSE(c.first_load_pending);
    ASSERT_TRUE(H::levelThresholds);
    EXPECT_EQ(H::levelThresholds->length, 30);
    EXPECT_TRUE(H::shuffle_db_preloaded);
    EXPECT_GE(c.font_main, 0);
    EXPECT_GE(c.font_numbers, 0);
    EXPECT_NE(c.font_main, c.font_numbers);
    for (const auto* mask : {&c.about_bg_trans, &c.stats_bg_trans, &c.confirm_bg_trans, &c.game_bg_trans})
        EXPECT_TRUE(*mask);
    ASSERT_TRUE(H::twinkle_ids);
    ASSERT_EQ(H::twinkle_ids->length, 5);
    for (const auto& row : *H::twinkle_ids) {
        ASSERT_EQ(row->length, 4);
        for (int32_t id : *row) EXPECT_TRUE(c.imageIdLoaded(id));
    }
    EXPECT_EQ(c.answer_button_width,
              c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_WIDTH));
    EXPECT_GT(c.answer_button_height, 0);
    EXPECT_GT(H::little_starwidth, 0);
    for (const auto* set :
         {&c.img_game_bg, &c.img_three_boxes, &c.img_stats_star, &c.img_big_star, &c.img_game_buttons,
          &c.img_icon_number, &c.img_generic, &H::practice_menu_extra_borders}) {
        ASSERT_TRUE(*set);
        for (int32_t id : **set) EXPECT_TRUE(c.imageIdLoaded(id));
    }
    // Thirty ranks, twenty-nine badges: the last element is never loaded and holds -1, which draws
    // nothing (0 would name the picture in slot 0).
    ASSERT_EQ(c.img_ranking->length, 30);
    for (int i = 0; i < 29; ++i) EXPECT_TRUE(c.imageIdLoaded(c.img_ranking->data[i])) << i;
    EXPECT_EQ(c.img_ranking->data[29], -1);
    EXPECT_EQ(c.next_question_delay, 0);
    ASSERT_TRUE(c.menu_button_labels);
    EXPECT_EQ(c.menu_button_labels->length, 4);

    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_STATS));
    c.takeImageLoads();
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_MAIN_MENU));
    EXPECT_EQ(c.takeImageLoads(), Ids{});
    EXPECT_EQ(c.takeMenus(), Ids{1});
    EXPECT_EQ(c.takeSoundLoads(), 0);
}

TEST_F(AssetLoading, EachScreenLoadsItsPicturesOnItsFirstEntryOnly) {
    FlowCanvas& c = canvas();
    struct Case {
        int32_t state;
        Ids first;
        Ids menus;
    };
    const Case cases[] = {
        {H::GAMESTATE_ABOUT,
         {c.res_about_bg_0, c.res_about_bg_1, c.res_about_bg_2, c.res_about_bg_3, c.res_about_bg_4,
          c.res_about_bg_5},
         {}},
        {H::GAMESTATE_STATS,
         {c.res_stats_bg_0, c.res_stats_bg_1, c.res_stats_bg_2, c.res_stats_bg_3, c.res_stats_bg_4,
          c.res_stats_bg_5, c.res_stats_box_overlay},
         {}},
        {H::GAMESTATE_CONFIRM,
         {c.res_confirm_bg_0, c.res_confirm_bg_1, c.res_confirm_bg_2, c.res_confirm_bg_3, c.res_confirm_bg_4},
         {5}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.state);
        ASSERT_NO_FATAL_FAILURE(enter(k.state));
        EXPECT_EQ(c.takeImageLoads(), k.first);
        EXPECT_EQ(c.takeMenus(), k.menus);
        ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_MAIN_MENU));
        c.takeMenus();
        ASSERT_NO_FATAL_FAILURE(enter(k.state));
        EXPECT_EQ(c.takeImageLoads(), Ids{});
        EXPECT_EQ(c.takeMenus(), k.menus);
    }
}

TEST_F(AssetLoading, PromotedAndDemotedShareTheirButtonsAndResetTheirTimer) {
    FlowCanvas& c = canvas();
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_PROMOTED));
    EXPECT_EQ(c.takeImageLoads(),
              (Ids{c.res_promoted_bg, c.res_ranking_button_normal, c.res_ranking_button_click}));
    EXPECT_EQ(c.ranking_screen_timer, 50);
    driver->runPasses(7);
    EXPECT_EQ(c.ranking_screen_timer, 43);
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_DEMOTED));
    EXPECT_EQ(c.takeImageLoads(), Ids{c.res_demoted_bg});
    EXPECT_EQ(c.ranking_screen_timer, 50);
    driver->runPasses(60);
    EXPECT_EQ(c.ranking_screen_timer, 0);
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_PROMOTED));
    EXPECT_EQ(c.takeImageLoads(), Ids{});
    EXPECT_EQ(c.ranking_screen_timer, 50);
}

TEST_F(AssetLoading, CompleteLoadsTheBackgroundOfTheModeEntered) {
    FlowCanvas& c = canvas();
    H::current_mode_practice = false;
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_COMPLETE));
    EXPECT_EQ(c.takeImageLoads(), (Ids{c.res_complete_bg, c.res_ranking_button_menu_click,
                                       c.res_units_button_normal, c.res_units_button_click}));
    EXPECT_EQ(c.img_complete_bg_practice, 0);
    H::current_mode_practice = true;
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_COMPLETE));
    EXPECT_EQ(c.takeImageLoads(), Ids{c.res_complete_bg_practice});
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_COMPLETE));
    EXPECT_EQ(c.takeImageLoads(), Ids{});
}

TEST_F(AssetLoading, InformationScreenWrapsTheExplanationOnEveryEntry) {
    FlowCanvas& c = canvas();
    H::want_category_to_be = H::TEST_CATEGORY;
    ASSERT_TRUE(c.getQuestion(true));
    const int32_t width = c.getParam(H::PARAM_INFOBOX_WIDTH) - 2 * c.getParam(H::PARAM_QUESTION_BOX_BORDER);
    for (int entry = 0; entry < 2; ++entry) {
        SCOPED_TRACE(entry);
        c.overlay_text_shown = true;
        c.info_lines = nullptr;
        ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_INFOLINK));
        EXPECT_FALSE(c.overlay_text_shown);
        ASSERT_TRUE(c.info_lines);
        ASSERT_GT(c.info_lines->length, 0);
        std::string joined;
        for (const auto& line : *c.info_lines) {
            EXPECT_LE(c.getStringWidth(c.font_main, line), width);
            joined += testsupport::narrow(line);
        }
        std::string expected = testsupport::narrow(c.question->data[4]);
        std::erase(expected, ' ');
        std::erase(joined, ' ');
        EXPECT_EQ(joined, expected);
        ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_GAME_RUNNING));
    }
}

TEST_F(AssetLoading, ListScreensSizeTheirLists) {
    FlowCanvas& c = canvas();
    // Category 4 practised in full: three boxes on the category list.
    for (bool& done : *H::practicedDBs->data[4]) done = true;
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_CHOOSE_CATEGORY));
    EXPECT_TRUE(c.img_menu_bg);
    EXPECT_EQ(H::boxesToShow->data[4], 3);
    EXPECT_EQ(H::boxesToShow->data[5], 0);
    const int32_t h = c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_CELL_HEIGHT);
    EXPECT_EQ(H::scroller_buttonClickHeight, h);
    EXPECT_EQ(H::scroller_category_list, H::categoryStrings);
    EXPECT_EQ(H::scroller_items_in_menu, 16);
    EXPECT_EQ(H::scroller_menu_drag_distance, 11 * (h + 5));
    EXPECT_FALSE(H::scroller_static_menus);
    c.takeImageLoads();

    H::want_category_to_be = 2;
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_CHOOSE_SUBSECTION));
    EXPECT_EQ(c.takeImageLoads(), Ids{});
    const int32_t n = H::subsectionStrings->data[2]->length;
    EXPECT_EQ(H::scroller_category_list, H::subsectionStrings->data[2]);
    EXPECT_EQ(H::scroller_items_in_menu, n);
    EXPECT_EQ(H::scroller_menu_drag_distance, (n - 5) * (h + 5));
    EXPECT_TRUE(H::scroller_static_menus);

    // A category outside the table gives an empty list rather than a read past it.
    H::want_category_to_be = 16;
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_CHOOSE_SUBSECTION));
    EXPECT_EQ(H::scroller_items_in_menu, 0);
}

TEST_F(AssetLoading, StatesWithoutLoadingWorkLoadNothingAndClearTheBit) {
    FlowCanvas& c = canvas();
    for (int32_t s : {8, 14}) {
        SCOPED_TRACE(s);
        ASSERT_NO_FATAL_FAILURE(enter(s));
        EXPECT_EQ(H::game_state.load(), s);
        EXPECT_EQ(c.takeImageLoads(), Ids{});
        EXPECT_EQ(c.takeMenus(), Ids{});
    }
}

TEST_F(AssetLoading, GameScreenEntryOnlyStartsItsWipe) {
    FlowCanvas& c = canvas();
    c.fade_active = false;
    ASSERT_NO_FATAL_FAILURE(enter(H::GAMESTATE_GAME_RUNNING));
    EXPECT_EQ(H::game_state.load(), H::GAMESTATE_GAME_RUNNING);
    EXPECT_TRUE(c.fade_active);
    EXPECT_EQ(c.fade_mask, c.game_bg_trans);
    EXPECT_EQ(c.takeImageLoads(), Ids{});
}

}  // namespace
