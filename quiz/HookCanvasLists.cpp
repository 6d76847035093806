// The update step of the category and subsection lists: dragging with momentum and a spring at both
// ends, the highlight under the finger, a tap that chooses once the chosen button has been drawn
// pressed, and the back button.
#include <algorithm>

#include "engine/HookCanvas.h"

namespace {

// Pulled past either end, the list springs back by a quarter of the overshoot per step.
void spring() {
    if (HookCanvas::scrolly_menu_yoffset > 0) {
        HookCanvas::weight_decay = -(HookCanvas::scrolly_menu_yoffset >> 2);
    } else if (HookCanvas::scrolly_menu_yoffset < -HookCanvas::scroller_menu_drag_distance) {
        HookCanvas::weight_decay =
            (-(HookCanvas::scroller_menu_drag_distance + HookCanvas::scrolly_menu_yoffset)) >> 2;
    }
}

}  // namespace

// A list is always entered at its top, with nothing touched, pressed or chosen.
void HookCanvas::openList(int32_t listState) {
    pointer_x.store(0);
    pointer_y.store(0);
    scrolly_menu_yoffset = 0;
    scroller_chosen_item = -1;
    scroller_pressed_item = -1;
    scroller_choice_pending = false;
    scroller_back_shown = false;
    scroller_back_hover = false;
    startFade(FADE_IN, listState);
}

void HookCanvas::listStep(int32_t state) {
    const int32_t x0 = (PARAM_TS_BASE_SCREEN_WIDTH.load() - scroller_buttonClickWidth) >> 1;
    const auto itemUnderPointer = [&]() {
        for (int32_t i = 0; i < scroller_items_in_menu; ++i) {
            if (pointerOverArea(x0,
                                getParam(10) + scrolly_menu_yoffset +
                                    (scroller_buttonClickHeight + scroller_buttonSpacing) * i,
                                scroller_buttonClickWidth, scroller_buttonClickHeight))
                return i;
        }
        return -1;
    };
    const bool inList = pointerOverArea(x0, 0, scroller_buttonClickWidth, getParam(395));

    if (pointer_pressed.load() || pointer_repeated.load()) {
        scroller_pointer_down = true;
        if (pointer_held_ms > PARAM_FINGERDOWN_TIME) scroller_press_long = true;
        scroller_back_hover = pointerOverArea(getParam(251), getParam(403), getParam(59), getParam(61));
        if (!scroller_static_menus) {
            const int32_t y = pointer_y.load();
            if (msfy == 0) {
                msfy = y;
            } else {
                const int32_t d = y - msfy;
                if (d > 6 || d < -6) was_dragging = true;
                scrolly_menu_yoffset += d;
                const int32_t m = (4 * d + weight_decay) >> 2;
                weight_decay = d > 0 ? std::min(m, scrolly_menu_yoffset + scroller_menu_drag_distance)
                                     : std::min(m, -scrolly_menu_yoffset);
                msfy = y;
                spring();
            }
        }
        if (inList) {
            const int32_t item = itemUnderPointer();
            if (item >= 0) scroller_pressed_item = item;
        } else {
            scroller_pressed_item = -1;
        }
        return;
    }

    if (scroller_back_shown && !was_dragging) {
        if (state == GAMESTATE_CHOOSE_CATEGORY) {
            startFade(FADE_IN, GAMESTATE_MAIN_MENU);
        } else {
            want_practice_mode = true;
            openList(GAMESTATE_CHOOSE_CATEGORY);
        }
        return;
    }
    scroller_pressed_item = -1;
    scroller_back_hover = false;
    msfy = 0;
    if (scroller_static_menus) {
        scrolly_menu_yoffset = 0;
        weight_decay = 0;
    } else {
        const int32_t a = weight_decay < 0 ? -weight_decay : weight_decay;
        if (a > 10) {
            scrolly_menu_yoffset += weight_decay;
            weight_decay >>= 1;
        } else if (a >= 2) {
            scrolly_menu_yoffset += weight_decay;
            weight_decay += weight_decay > 0 ? -1 : 1;
        } else {
            spring();
        }
    }

    if (scroller_choice_pending && scroller_chosen_item != -1) {
        if (state == GAMESTATE_CHOOSE_CATEGORY) {
            want_practice_mode = true;
            want_category_to_be = scroller_chosen_item;
            openList(GAMESTATE_CHOOSE_SUBSECTION);
        } else {
            want_subsection_to_be = scroller_chosen_item;
            want_practice_mode = true;
            resetGame(false);
            if (getQuestion(true)) {
                startFade(FADE_IN, GAMESTATE_GAME_RUNNING);
            } else {
                // The bank could not be used and the list is shown again: the choice must not repeat.
                scroller_chosen_item = -1;
                scroller_choice_pending = false;
            }
        }
    } else if (!was_dragging && scroller_pointer_down && scroller_press_long && inList) {
        scroller_chosen_item = -1;
        scroller_pressed_item = -1;
        scroller_choice_pending = false;
        scroller_chosen_item = itemUnderPointer();
    }
    scroller_pointer_down = false;
    scroller_press_long = false;
    was_dragging = false;
}
