// What the loading thread prepares on each entry to a screen: the one-time first load on the way into
// the main menu, each screen's pictures on its first entry (kept for the rest of the run), and the
// per-entry set-ups (button menus, result-screen timer, explanation lines, list sizes).
#include <string>

#include "engine/AppMidlet.h"
#include "engine/HookCanvas.h"
#include "library/PrintStream.h"
#include "library/System.h"
#include "runtime/LockObject.h"

using java::lang::String;

int32_t HookCanvas::loadPicture(int32_t res, bool splitCells) {
    const int32_t id = loadImageID(res, -1, LOADIMAGETRANSFORM_NONE, splitCells);
    // A picture that does not load keeps the id -1, which draws nothing; the screen goes on without it.
    // Under a tear-down, the bundle closing is why: nothing is missing.
    if (id < 0 && java::lang::System::err && !AppMidlet::app_terminating.load())
        java::lang::System::err->println(String("Picture resource ") + res + " is missing or unreadable");
    return id;
}

JavaPtr<JArray<int32_t>> HookCanvas::loadPictures(std::initializer_list<int32_t> res, bool splitCells) {
    JavaPtr<JArray<int32_t>> ids = jnewArray<int32_t>(static_cast<int32_t>(res.size()));
    int32_t i = 0;
    for (const int32_t r : res) ids->data[i++] = loadPicture(r, splitCells);
    return ids;
}

bool HookCanvas::imageIdLoaded(int32_t imageId) {
    return image_cache && imageId >= 0 && imageId < image_cache->length && image_cache->data[imageId];
}

void HookCanvas::startLoading() {
    const int32_t state = game_state.load() & ~GAMESTATEFLAG_LOADING;
    switch (state) {
        case GAMESTATE_MAIN_MENU:
            if (first_load_pending) loadFirstMainMenu();
            setupMenu(1);
            break;
        case GAMESTATE_GAME_RUNNING:
            // Only the wipe is set up: the switch it asks for is refused while the bit is still set.
            startFade(FADE_OUT, GAMESTATE_GAME_RUNNING);
            break;
        case GAMESTATE_ABOUT:
            if (!img_about_bg) {
                img_about_bg = loadPictures({res_about_bg_0, res_about_bg_1, res_about_bg_2, res_about_bg_3,
                                             res_about_bg_4, res_about_bg_5},
                                            false);
            }
            break;
        case GAMESTATE_STATS:
            if (!img_stats_bg) {
                img_stats_bg = loadPictures({res_stats_bg_0, res_stats_bg_1, res_stats_bg_2, res_stats_bg_3,
                                             res_stats_bg_4, res_stats_bg_5},
                                            false);
                img_stats_box_overlay = loadPicture(res_stats_box_overlay, false);
            }
            break;
        case GAMESTATE_CONFIRM:
            if (!img_confirm_bg) {
                img_confirm_bg = loadPictures({res_confirm_bg_0, res_confirm_bg_1, res_confirm_bg_2,
                                               res_confirm_bg_3, res_confirm_bg_4},
                                              false);
            }
            setupMenu(5);
            break;
        case GAMESTATE_PROMOTED:
        case GAMESTATE_DEMOTED:
            if (state == GAMESTATE_PROMOTED && img_promoted_bg == 0)
                img_promoted_bg = loadPicture(res_promoted_bg, false);
            if (state == GAMESTATE_DEMOTED && img_demoted_bg == 0)
                img_demoted_bg = loadPicture(res_demoted_bg, false);
            if (img_ranking_button_normal == 0) {
                img_ranking_button_normal = loadPicture(res_ranking_button_normal, false);
                img_ranking_button_click = loadPicture(res_ranking_button_click, false);
            }
            ranking_screen_timer = RANKING_SCREEN_STEPS;
            break;
        case GAMESTATE_COMPLETE:
            if (img_complete_bg == 0 && !current_mode_practice)
                img_complete_bg = loadPicture(res_complete_bg, false);
            if (img_complete_bg_practice == 0 && current_mode_practice)
                img_complete_bg_practice = loadPicture(res_complete_bg_practice, false);
            if (img_ranking_button_menu_click == 0)
                img_ranking_button_menu_click = loadPicture(res_ranking_button_menu_click, false);
            if (img_units_button_normal == 0) {
                img_units_button_normal = loadPicture(res_units_button_normal, false);
                img_units_button_click = loadPicture(res_units_button_click, false);
            }
            break;
        case GAMESTATE_SETTINGS:
            // Turning the sound back on asks for the cues the sound-off option had left unloaded.
            if (sounds_reload_requested) {
                loadSounds();
                sounds_reload_requested = false;
            }
            break;
        case GAMESTATE_INFOLINK: {
            JavaPtr<String> explanation = question && question->length > 4 ? question->data[4] : nullptr;
            info_lines =
                explanation
                    ? splitString(explanation, font_main,
                                  getParam(PARAM_INFOBOX_WIDTH) - 2 * getParam(PARAM_QUESTION_BOX_BORDER))
                    : jnewArray<JavaPtr<String>>(0);
            overlay_text_shown = false;
            break;
        }
        case GAMESTATE_CHOOSE_CATEGORY:
            if (boxesToShow) {
                for (int32_t i = 0; i < CATEGORY_COUNT && i < boxesToShow->length; ++i)
                    boxesToShow->data[i] = howManyBoxes(i);
            }
            loadListScreen();
            break;
        case GAMESTATE_CHOOSE_SUBSECTION:
            loadListScreen();
            break;
        default:
            break;
    }
}

void HookCanvas::loadFirstMainMenu() {
    loadLanguage(0);
    loadSavedData();
    loadSounds();
    shuffle_db_preloaded = loadFileFromJar(jnew<String>("shuffle_db.dat"), -1);
    // Closed meanwhile: the rest of the load would only hold up the tear-down, which waits for this
    // thread.
    if (AppMidlet::app_terminating.load()) return;
    levelThresholds = getResourceIntArray(RESID_LEVEL_THRESHOLDS);
    // Without thresholds no level can be ranked; without fonts no screen can be drawn.
    if (!levelThresholds || levelThresholds->length == 0)
        failMissingStartUpFile(jnew<String>("the level thresholds (resource 0)"));
    validateProgress();

    JavaPtr<JArray<JavaPtr<JArray<int32_t>>>> twinkles = jnewArray<JavaPtr<JArray<int32_t>>>(5);
    twinkles->data[TWINKLE_WHITE] =
        loadPictures({res_twinkle0_white, res_twinkle1_white, res_twinkle2_white, res_twinkle3_white}, true);
    twinkles->data[TWINKLE_GREEN] =
        loadPictures({res_twinkle0_green, res_twinkle1_green, res_twinkle2_green, res_twinkle3_green}, true);
    twinkles->data[TWINKLE_RED] =
        loadPictures({res_twinkle0_red, res_twinkle1_red, res_twinkle2_red, res_twinkle3_red}, true);
    twinkles->data[TWINKLE_YELLOW] = loadPictures(
        {res_twinkle0_yellow, res_twinkle1_yellow, res_twinkle2_yellow, res_twinkle3_yellow}, true);
    twinkles->data[TWINKLE_BLUE] =
        loadPictures({res_twinkle0_blue, res_twinkle1_blue, res_twinkle2_blue, res_twinkle3_blue}, true);
    {
        // The paints draw the particles with these while this load runs.
        JavaPtr<LockObject> lock(startSync());
        twinkle_ids = twinkles;
    }

    font_main = loadBitmapFont(res_main_font, -1);
    if (font_main < 0)
        failMissingStartUpFile(
            jnew<String>(("the main font (resource " + std::to_string(res_main_font) + ")").c_str()));
    font_numbers = loadBitmapFont(res_numbers_font, -1);
    if (font_numbers < 0) {
        failMissingStartUpFile(
            jnew<String>(("the numbers font (resource " + std::to_string(res_numbers_font) + ")").c_str()));
    }

    if (AppMidlet::app_terminating.load()) return;
    about_bg_trans = getResourceByteArray(RESID_ABOUT_BG_TRANS);
    stats_bg_trans = getResourceByteArray(RESID_STATS_BG_TRANS);
    confirm_bg_trans = getResourceByteArray(RESID_CONFIRM_BG_TRANS);
    game_bg_trans = getResourceByteArray(RESID_GAME_BG_TRANS);

    img_game_bg =
        loadPictures({res_game_bg_0, res_game_bg_1, res_game_bg_2, res_game_bg_3, res_game_bg_4}, false);
    img_game_infobox = loadPicture(res_game_infobox, false);
    img_answer_button_click = loadPicture(res_answer_button_click, false);
    img_answer_button_correct = loadPicture(res_answer_button_correct, false);
    img_answer_button_wrong = loadPicture(res_answer_button_wrong, false);
    img_answer_button_ghosted = loadPicture(res_answer_button_ghosted, false);
    img_answer_button_normal = loadPicture(res_answer_button_normal, false);
    img_wide_button_normal = loadPicture(res_wide_button_normal, false);
    img_wide_button_click = loadPicture(res_wide_button_click, false);
    answer_button_width = getImageDimension(img_answer_button_click, 0, 0, IMAGEDIMENSION_WIDTH);
    answer_button_height = getImageDimension(img_answer_button_click, 0, 0, IMAGEDIMENSION_HEIGHT);
    wide_button_width = getImageDimension(img_wide_button_normal, 0, 0, IMAGEDIMENSION_WIDTH);

    img_three_boxes =
        loadPictures({res_three_boxes_0, res_three_boxes_1, res_three_boxes_2, res_three_boxes_3}, false);
    img_one_box_on = loadPicture(res_one_box_on, false);
    img_one_box_off = loadPicture(res_one_box_off, false);
    img_stats_star = loadPictures({res_stats_star_bronze, res_stats_star_silver, res_stats_star_gold}, false);
    img_big_star = loadPictures({res_big_star_bronze, res_big_star_silver, res_big_star_gold}, false);
    little_starwidth = getImageDimension(img_stats_star->data[0], 0, 0, IMAGEDIMENSION_WIDTH);
    img_timer_dot = loadPicture(res_timer_dot, false);
    img_game_buttons = loadPictures(
        {res_button_hint, res_button_skip, res_button_info, res_button_menu, res_button_menu_alt}, false);
    img_icon_number = loadPictures(
        {res_icon_number_0, res_icon_number_1, res_icon_number_2, res_icon_number_3, res_icon_number_4,
         res_icon_number_5, res_icon_number_6, res_icon_number_7, res_icon_number_8, res_icon_number_9},
        false);
    img_icon_number_flash = loadPicture(res_icon_number_flash, false);
    img_icon_about = loadPicture(res_icon_about, false);
    img_icon_click_about = loadPicture(res_icon_click_about, false);
    img_web_base_strip = loadPicture(res_web_base_strip, false);
    img_web_base_back_icon_click = loadPicture(res_web_base_back_icon_click, false);

    practice_menu_extra_borders = loadPictures({res_practice_menu_header, res_practice_menu_footer}, false);
    practice_menu_back_normal = loadPicture(res_practice_menu_back_off, false);
    practice_menu_back_click = loadPicture(res_practice_menu_back_on, false);

    // Thirty ranks but twenty-nine badges: the last element holds -1, the id that draws nothing (0
    // would name whatever picture sits in slot 0).
    JavaPtr<JArray<int32_t>> ranking = jnewArray<int32_t>(30);
    for (int32_t i = 0; i < ranking->length; ++i) ranking->data[i] = -1;
    for (int32_t i = 0; i < 29 && res_ranking && i < res_ranking->length; ++i)
        ranking->data[i] = loadPicture(res_ranking->data[i], true);
    img_ranking = ranking;
    JavaPtr<JArray<int32_t>> generic = jnewArray<int32_t>(2);
    generic->data[0] = generic->data[1] = -1;
    for (int32_t i = 0; i < generic->length && res_generic && i < res_generic->length; ++i)
        generic->data[i] = loadPicture(res_generic->data[i], true);
    img_generic = generic;

    first_load_pending = false;
    startGame();
}

void HookCanvas::loadListScreen() {
    if (!img_menu_bg)
        img_menu_bg = loadPictures({res_menu_bg_0, res_menu_bg_1, res_chooser_bg_2, res_menu_bg_3}, false);
    JavaPtr<JArray<JavaPtr<String>>> list;
    if ((game_state.load() & ~GAMESTATEFLAG_LOADING) == GAMESTATE_CHOOSE_CATEGORY) {
        list = categoryStrings;
    } else if (subsectionStrings && want_category_to_be >= 0 &&
               want_category_to_be < subsectionStrings->length) {
        list = subsectionStrings->data[want_category_to_be];
    }
    // A list that cannot be found shows no items rather than reading past the category table.
    if (!list) list = jnewArray<JavaPtr<String>>(0);
    scroller_category_list = list;
    scroller_buttonClickHeight = getImageDimension(img_answer_button_click, 0, 0, IMAGEDIMENSION_CELL_HEIGHT);
    scroller_buttonClickWidth = getImageDimension(img_answer_button_click, 0, 0, IMAGEDIMENSION_CELL_WIDTH);
    const int32_t n = list->length;
    scroller_items_in_menu = n;
    scroller_menu_drag_distance = (n - 5) * (scroller_buttonClickHeight + scroller_buttonSpacing);
    scroller_static_menus = n <= 5;
}
