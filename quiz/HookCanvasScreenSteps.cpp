// The update step of the menu screens: the main menu, the new-test confirmation, the screens left by
// one button (about, statistics, promotion, demotion, completion, settings) and the information
// screen. All act on the release, over the button under the release point.
#include <algorithm>

#include "engine/HookCanvas.h"

namespace {

bool pointerDown() {
    return HookCanvas::pointer_pressed.load() || HookCanvas::pointer_repeated.load();
}

}  // namespace

void HookCanvas::mainMenuStep() {
    const bool about = pointerOverArea(0, getParam(395), getParam(80), getParam(75));
    int32_t hit = -1;
    if (menu_button_images && menu_button_x && menu_button_y) {
        const int32_t n = std::min({menu_button_images->length, menu_button_x->length, menu_button_y->length,
                                    PARAM_ITEMS_IN_MAIN_MENU});
        for (int32_t i = 0; i < n && hit < 0; ++i) {
            if (pointerOverImage(menu_button_images->data[i], menu_button_x->data[i], menu_button_y->data[i]))
                hit = i;
        }
    }
    if (!menuTapReleased(about || hit >= 0)) return;
    if (about) {
        startFade(FADE_IN, GAMESTATE_ABOUT);
        return;
    }
    switch (hit) {
        case BUTTON_CONTINUE:
            // Nothing to continue: the tap is ignored.
            if (no_test_running || level <= 0) return;
            question = saved_question;
            question_lines = saved_question_lines;
            correct_position = saved_correct_position;
            answer_lines = saved_answer_lines;
            ghosted = saved_ghosted;
            film_id = saved_film_id;
            want_category_to_be = TEST_CATEGORY;
            current_mode_practice = false;
            want_practice_mode = false;
            if (getQuestion(false)) startFade(FADE_IN, GAMESTATE_GAME_RUNNING);
            return;
        case BUTTON_NEW_GAME:
            want_category_to_be = TEST_CATEGORY;
            want_practice_mode = false;
            if (no_test_running || level <= 0) {
                resetGame(false);
                if (getQuestion(true)) startFade(FADE_IN, GAMESTATE_GAME_RUNNING);
            } else {
                playSound(RESID_CONFIRM_SCREEN, 0, 1);
                startFade(FADE_IN, GAMESTATE_CONFIRM);
            }
            return;
        case BUTTON_PRACTICE_GAME:
            openList(GAMESTATE_CHOOSE_CATEGORY);
            return;
        case BUTTON_STATS:
            startFade(FADE_IN, GAMESTATE_STATS);
            return;
        default:
            return;
    }
}

void HookCanvas::confirmStep() {
    bool hit[2] = {false, false};
    if (menu_button_x && menu_button_y) {
        for (int32_t i = 0; i < 2 && i < menu_button_x->length && i < menu_button_y->length; ++i)
            hit[i] =
                pointerOverImage(img_answer_button_click, menu_button_x->data[i], menu_button_y->data[i]);
    }
    if (!menuTapReleased(hit[0] || hit[1])) return;
    if (hit[0]) {
        resetGame(false);
        if (getQuestion(true)) startFade(FADE_IN, GAMESTATE_GAME_RUNNING);
    }
    if (hit[1]) startFade(FADE_IN, GAMESTATE_MAIN_MENU);
}

void HookCanvas::resultScreenStep(int32_t state) {
    if (ranking_screen_timer > 0) --ranking_screen_timer;
    const bool ranking = state == GAMESTATE_PROMOTED || state == GAMESTATE_DEMOTED;
    const bool practiceComplete = state == GAMESTATE_COMPLETE && current_mode_practice;
    bool continueHit = false;
    bool menuHit = false;
    bool unitsHit = false;
    bool settingsHit[6] = {};
    if (ranking) {
        continueHit = pointerOverImage(img_ranking_button_normal, getParam(241), getParam(395));
    } else {
        const int32_t menuImage = img_game_buttons && img_game_buttons->length > BUTTON_MENU
                                      ? img_game_buttons->data[BUTTON_MENU]
                                      : 0;
        menuHit = pointerOverImage(menuImage, getParam(251), getParam(403));
    }
    if (practiceComplete) unitsHit = pointerOverImage(img_units_button_normal, getParam(160), getParam(395));
    // Nothing in the quiz fills the settings buttons; a screen without them has only its menu button.
    if (state == GAMESTATE_SETTINGS && settings_button_images && settings_button_positions) {
        for (int32_t i = 0;
             i < 6 && i < settings_button_images->length && 2 * i + 1 < settings_button_positions->length;
             ++i) {
            settingsHit[i] =
                pointerOverImage(settings_button_images->data[i], settings_button_positions->data[2 * i],
                                 settings_button_positions->data[2 * i + 1]);
        }
    }
    const bool anySettings =
        std::find(std::begin(settingsHit), std::end(settingsHit), true) != std::end(settingsHit);
    if (!menuTapReleased(continueHit || menuHit || unitsHit || anySettings)) return;

    if (ranking) {
        if (continueHit && getQuestion(true)) {
            // The record keeps the question the player sees next.
            saveData();
            startFade(FADE_IN, GAMESTATE_GAME_RUNNING);
        }
        return;
    }
    if (menuHit) {
        // A finished test cannot be continued, and the record says so before the menu shows.
        if (state == GAMESTATE_COMPLETE && !current_mode_practice) {
            no_test_running = true;
            saveData();
        }
        startFade(FADE_IN, GAMESTATE_MAIN_MENU);
    }
    if (unitsHit) {
        want_category_to_be = current_category;
        want_practice_mode = true;
        openList(GAMESTATE_CHOOSE_SUBSECTION);
    }
    if (state != GAMESTATE_SETTINGS || !options || options->length < 6) return;
    for (int32_t i = 0; i < 6; ++i) {
        if (!settingsHit[i]) continue;
        answer_feedback = TWINKLE_YELLOW;
        if (i >= 4) {
            options->data[4] = false;
            options->data[5] = false;
            options->data[i] = true;
            continue;
        }
        const bool wasOff = options->data[3];
        for (int32_t k = 0; k <= 3; ++k) options->data[k] = false;
        options->data[i] = true;
        if (i == 3) continue;
        static constexpr int32_t kVolumes[] = {30, 70, 100};
        if (wasOff && !sounds_loaded) {
            // The loader brings the cues back for this state; the volume chosen applies to them.
            sounds_reload_requested = true;
            setVolume(kVolumes[i]);
            changeGameStateTo(GAMESTATE_SETTINGS | GAMESTATEFLAG_LOADING);
        } else {
            setVolume(kVolumes[i]);
            playSound(RESID_CORRECT, 0, 1);
        }
    }
}

void HookCanvas::infoLinkStep() {
    const bool down = pointerDown();
    const int32_t x = pointer_x.load();
    const int32_t y = pointer_y.load();
    const bool inRows = getPos(400) <= y && y <= getPos(460);
    if (!finger_down) {
        if (down) {
            finger_down = true;
            // The press area is narrower than the release area.
            const bool onBack = inRows && getPos(253) <= x && x <= getPos(275);
            playSound(onBack ? RESID_CLICK_ON_BUTTON : RESID_CLICK_ON_BACKGROUND, 0, 1);
        }
        return;
    }
    if (down) return;
    finger_down = false;
    if (inRows && getPos(250) <= x && x <= getPos(310)) changeGameStateTo(GAMESTATE_GAME_RUNNING);
}
