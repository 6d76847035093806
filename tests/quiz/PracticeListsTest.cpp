// The two practice lists as drawn, at both resolutions: rows with their progress boxes, the highlight
// and the pending choice it leads to, scrolling in pixels, the clip above the footer and the back button.
#include <gtest/gtest.h>

#include "tests/quiz/ScreenFixtures.h"

namespace quiztest {
namespace {

constexpr uint32_t kMarker = 0xFF010203u;

class PracticeLists : public BothResolutions {
protected:
    void SetUp() override {
        BothResolutions::SetUp();
        if (HasFatalFailure()) return;
        ScreenCanvas& c = *canvas;
        H::scroller_category_list = lines({"zero", "one", "two", "three", "four", "five"});
        H::scroller_buttonClickHeight =
            c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_CELL_HEIGHT);
        H::scroller_buttonClickWidth =
            c.getImageDimension(c.img_answer_button_click, 0, 0, H::IMAGEDIMENSION_CELL_WIDTH);
        H::scroller_items_in_menu = 6;
        H::boxesToShow = jnewArray<int32_t>(16);
        for (int i = 0; i < 16; ++i) H::boxesToShow->data[i] = i % 4;
        H::practicedDBs = jnewArray<JavaPtr<JArray<bool>>>(16);
        H::practicedDBs->data[3] = jnewArray<bool>(6);
        H::practicedDBs->data[3]->data[1] = true;
        H::want_category_to_be = 3;
        c.scroller_chosen_item = -1;
        c.scroller_pressed_item = -1;
    }
    void TearDown() override {
        H::scroller_category_list = nullptr;
        H::boxesToShow = nullptr;
        H::practicedDBs = nullptr;
        BothResolutions::TearDown();
    }
    // Row i's top in pixels: the first row 10 layout units down, then the button height and 5 pixels.
    int rowTop(int i) const {
        return s(10) + H::scrolly_menu_yoffset + i * (H::scroller_buttonClickHeight + 5);
    }
};

TEST_P(PracticeLists, RowsWithBoxesAndTheHighlightThatLeadsToTheChoice) {
    ScreenCanvas& c = *canvas;
    const uint32_t normal = colourOf(c.img_wide_button_normal);
    const uint32_t click = colourOf(c.img_wide_button_click);
    c.scroller_pressed_item = 2;
    renderSettled(H::GAMESTATE_CHOOSE_CATEGORY);
    EXPECT_FALSE(c.scroller_choice_pending);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(at(s(15), rowTop(i) + 3), i == 2 ? click : normal) << "row " << i;
        EXPECT_EQ(at(s(250), rowTop(i) + 3), colourOf(c.img_three_boxes->data[i % 4])) << "row " << i;
        const ScreenCanvas::DrawnText* label =
            c.drawn(testsupport::narrow(H::scroller_category_list->data[i]));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->x, s(18));
        EXPECT_EQ(label->y, rowTop(i) + H::scroller_buttonClickHeight / 2);
        EXPECT_EQ(label->anchor, Graphics::VCENTER | Graphics::LEFT);
    }
    // A released row is drawn highlighted first; only then may the list step act on it.
    c.scroller_pressed_item = -1;
    c.scroller_chosen_item = 1;
    renderState(H::GAMESTATE_CHOOSE_CATEGORY);
    EXPECT_EQ(at(s(15), rowTop(1) + 3), click);
    EXPECT_EQ(at(s(15), rowTop(2) + 3), normal);
    EXPECT_TRUE(c.scroller_choice_pending);

    c.scroller_chosen_item = -1;
    c.scroller_choice_pending = false;
    renderSettled(H::GAMESTATE_CHOOSE_SUBSECTION);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(at(s(290), rowTop(i) + s(5) + 3), colourOf(i == 1 ? c.img_one_box_on : c.img_one_box_off))
            << "row " << i;
    }
    EXPECT_FALSE(c.scroller_choice_pending);
}

TEST_P(PracticeLists, RowsScrollInPixelsWithAnUnscaledGapAndStopAboveTheFooter) {
    ScreenCanvas& c = *canvas;
    const uint32_t normal = colourOf(c.img_wide_button_normal);
    const uint32_t gap = colourOf(c.img_menu_bg->data[2]);
    for (int offset : {0, -7, 12}) {
        H::scrolly_menu_yoffset = offset;
        renderSettled(H::GAMESTATE_CHOOSE_CATEGORY);
        const int bottom1 = rowTop(1) + H::scroller_buttonClickHeight;
        EXPECT_EQ(at(s(15), bottom1 - 1), normal) << "offset " << offset;
        EXPECT_EQ(at(s(15), bottom1 + 2), gap) << "offset " << offset;
        EXPECT_EQ(at(s(15), rowTop(2)), normal) << "offset " << offset;
        EXPECT_EQ(at(s(15), rowTop(2) - 1), gap) << "offset " << offset;
    }
    // In the first frame of the screen's wipe the footer is not drawn yet: the rows end at 395.
    H::scrolly_menu_yoffset = 0;
    paintOffscreen(kMarker);
    for (int i = 0; i < 8; ++i) c.fade_segments->data[i] = 0;
    renderState(H::GAMESTATE_CHOOSE_CATEGORY);
    ASSERT_GT(rowTop(5) + H::scroller_buttonClickHeight, s(396));
    EXPECT_EQ(at(s(15), s(395) - 1), normal);
    EXPECT_EQ(at(s(15), s(395)), kMarker);
}

TEST_P(PracticeLists, BackButtonShownOnlyWhileDrawnPressed) {
    ScreenCanvas& c = *canvas;
    // Categories: the pressed menu button; nothing drawn unpressed.
    const uint32_t footer = colourOf(H::practice_menu_extra_borders->data[1]);
    c.scroller_back_hover = true;
    renderSettled(H::GAMESTATE_CHOOSE_CATEGORY);
    EXPECT_EQ(atBase(255, 460), colourOf(c.img_game_buttons->data[4]));
    EXPECT_TRUE(c.scroller_back_shown);
    c.scroller_back_hover = false;
    renderState(H::GAMESTATE_CHOOSE_CATEGORY);
    EXPECT_EQ(atBase(255, 460), footer);
    EXPECT_FALSE(c.scroller_back_shown);

    // Subsections: the back button's own pictures; sliding off clears the flag too, so a later
    // release meant for a row does not leave the list.
    c.scroller_back_hover = true;
    renderSettled(H::GAMESTATE_CHOOSE_SUBSECTION);
    EXPECT_EQ(atBase(300, 470), colourOf(H::practice_menu_back_click));
    EXPECT_TRUE(c.scroller_back_shown);
    c.scroller_back_hover = false;
    renderState(H::GAMESTATE_CHOOSE_SUBSECTION);
    EXPECT_EQ(atBase(300, 470), colourOf(H::practice_menu_back_normal));
    EXPECT_FALSE(c.scroller_back_shown);
}

TEST_P(PracticeLists, AnEmptyListOrBadBoxCountsDrawNoRows) {
    ScreenCanvas& c = *canvas;
    H::boxesToShow->data[0] = 7;
    renderSettled(H::GAMESTATE_CHOOSE_CATEGORY);
    EXPECT_EQ(at(s(250), rowTop(0) + 3), colourOf(c.img_wide_button_normal));
    H::scroller_category_list = jnewArray<JavaPtr<java::lang::String>>(0);
    renderSettled(H::GAMESTATE_CHOOSE_CATEGORY);
    EXPECT_EQ(at(s(15), rowTop(1) + 3), colourOf(c.img_menu_bg->data[2]));
}

// One update step of the list with the pointer down at (x, y) or up.
void listStep(ScreenCanvas& c, bool down, int x = 0, int y = 0) {
    H::pointer_pressed = down;
    H::pointer_repeated = down;
    if (down) {
        H::pointer_x.store(x);
        H::pointer_y.store(y);
    }
    c.fixedRateUpdate();
}

TEST_P(PracticeLists, GlideHalvesAboveTenThenShrinksByOneAndSpringsBackByAQuarter) {
    ScreenCanvas& c = *canvas;
    H::game_state.store(H::GAMESTATE_CHOOSE_CATEGORY);
    H::scroller_static_menus = 0;
    H::scroller_menu_drag_distance = 781;
    struct Case {
        int offset, momentum;
        std::vector<int> momenta;  // after each released step
    };
    const Case cases[] = {
        {-300, 40, {20, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 1}},
        {-300, -40, {-20, -10, -9, -8, -7, -6, -5, -4, -3, -2, -1, -1}},
        // Pulled 40 below the top: a quarter of the overshoot back, then the glide.
        {40, 0, {-10, -9, -8}},
        // Pulled 40 past the end.
        {-821, 1, {10, 9, 8}},
    };
    for (const Case& k : cases) {
        H::scrolly_menu_yoffset = k.offset;
        H::weight_decay = k.momentum;
        int offset = k.offset;
        int momentum = k.momentum;
        for (size_t i = 0; i < k.momenta.size(); ++i) {
            listStep(c, false);
            // The offset moves by the momentum it had, unless the step only set the spring.
            const int a = momentum < 0 ? -momentum : momentum;
            if (a >= 2) offset += momentum;
            EXPECT_EQ(H::weight_decay, k.momenta[i]) << "from " << k.offset << ", step " << i;
            EXPECT_EQ(H::scrolly_menu_yoffset, offset) << "from " << k.offset << ", step " << i;
            momentum = H::weight_decay;
        }
    }
}

TEST_P(PracticeLists, StaticListsStayPutAndAGapChoosesNothing) {
    ScreenCanvas& c = *canvas;
    H::game_state.store(H::GAMESTATE_CHOOSE_SUBSECTION);
    H::scroller_static_menus = 1;
    const int x = s(160);
    // A drag of 40 pixels does not move a static list.
    listStep(c, true, x, rowTop(1) + 5);
    listStep(c, true, x, rowTop(1) + 45);
    listStep(c, false);
    EXPECT_EQ(H::scrolly_menu_yoffset, 0);
    EXPECT_EQ(H::weight_decay, 0);

    // Held on row 1, then moved into the gap below it: the highlight stays; the release there chooses
    // nothing.
    const int gap = rowTop(2) - 2;
    listStep(c, true, x, rowTop(1) + 5);
    listStep(c, true, x, rowTop(1) + 5);
    EXPECT_EQ(c.scroller_pressed_item, 1);
    listStep(c, true, x, gap);
    EXPECT_EQ(c.scroller_pressed_item, 1);
    listStep(c, false);
    EXPECT_EQ(c.scroller_chosen_item, -1);
    EXPECT_EQ(c.scroller_pressed_item, -1);
    EXPECT_EQ(H::game_state.load(), H::GAMESTATE_CHOOSE_SUBSECTION);
}

INSTANTIATE_TEST_SUITE_P(Resolutions, PracticeLists, testing::Values(false, true), resolutionName);

}  // namespace
}  // namespace quiztest
