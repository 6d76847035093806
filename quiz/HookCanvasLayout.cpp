// Layout scaling, the choice of picture variants and the thin hooks into the shell's view glue.
#include "engine/HookCanvas.h"
#include "platform/device/DeviceDetection.h"
#include "shell/ViewHooks.h"

using java::lang::String;

int32_t HookCanvas::getParam(int32_t v) {
    if (!high_resolution) return v;
    // Doubled through a float as the layout was tuned with, exact for every layout value.
    const float f = static_cast<float>(v);
    return static_cast<int32_t>(f + f);
}

int32_t HookCanvas::getPos(int32_t v) {
    return getParam(v);
}

void HookCanvas::decideResolution() {
    if (DEVICE_FAMILY.load() == DEVICE_IPAD) {
        // The tablet always runs the base layout, whatever its screen.
        high_resolution = false;
    } else {
        high_resolution =
            PARAM_TS_BASE_SCREEN_WIDTH.load() == 640 || PARAM_TS_BASE_SCREEN_HEIGHT.load() == 640;
    }
    resolution_suffix = jnew<String>(high_resolution ? "_HIGH" : "_LOW");
    setupImageResource();
}

void HookCanvas::setupImageResource() {
    const bool high = high_resolution;
    res_ranking = jnew<JArray<int32_t>>(30);
    res_generic = jnew<JArray<int32_t>>(2);
    for (int32_t i = 0; i < 30; i++)
        (*res_ranking)[i] = (high ? RESID_RANKING_1_HIGH : RESID_RANKING_1_LOW) + i;
    (*res_generic)[0] = high ? RESID_GENERIC_0_HIGH : RESID_GENERIC_0_LOW;
    (*res_generic)[1] = high ? RESID_GENERIC_0_LEVEL_HIGH : RESID_GENERIC_0_LEVEL_LOW;
#define HOOK_PICK(field, name) field = high ? RESID_##name##_HIGH : RESID_##name##_LOW
    HOOK_PICK(res_twinkle0_white, TWINKLE0_WHITE);
    HOOK_PICK(res_twinkle1_white, TWINKLE1_WHITE);
    HOOK_PICK(res_twinkle2_white, TWINKLE2_WHITE);
    HOOK_PICK(res_twinkle3_white, TWINKLE3_WHITE);
    HOOK_PICK(res_twinkle0_green, TWINKLE0_GREEN);
    HOOK_PICK(res_twinkle1_green, TWINKLE1_GREEN);
    HOOK_PICK(res_twinkle2_green, TWINKLE2_GREEN);
    HOOK_PICK(res_twinkle3_green, TWINKLE3_GREEN);
    HOOK_PICK(res_twinkle0_red, TWINKLE0_RED);
    HOOK_PICK(res_twinkle1_red, TWINKLE1_RED);
    HOOK_PICK(res_twinkle2_red, TWINKLE2_RED);
    HOOK_PICK(res_twinkle3_red, TWINKLE3_RED);
    HOOK_PICK(res_twinkle0_yellow, TWINKLE0_YELLOW);
    HOOK_PICK(res_twinkle1_yellow, TWINKLE1_YELLOW);
    HOOK_PICK(res_twinkle2_yellow, TWINKLE2_YELLOW);
    HOOK_PICK(res_twinkle3_yellow, TWINKLE3_YELLOW);
    HOOK_PICK(res_twinkle0_blue, TWINKLE0_BLUE);
    HOOK_PICK(res_twinkle1_blue, TWINKLE1_BLUE);
    HOOK_PICK(res_twinkle2_blue, TWINKLE2_BLUE);
    HOOK_PICK(res_twinkle3_blue, TWINKLE3_BLUE);
    HOOK_PICK(res_main_font, MAIN_FONT);
    HOOK_PICK(res_numbers_font, NUMBERS_FONT);
    HOOK_PICK(res_game_bg_0, GAME_BG_0);
    HOOK_PICK(res_game_bg_1, GAME_BG_1);
    HOOK_PICK(res_game_bg_2, GAME_BG_2);
    HOOK_PICK(res_game_bg_3, GAME_BG_3);
    HOOK_PICK(res_game_bg_4, GAME_BG_4);
    HOOK_PICK(res_game_infobox, GAME_INFOBOX);
    HOOK_PICK(res_answer_button_click, ANSWER_BUTTON_CLICK);
    HOOK_PICK(res_answer_button_correct, ANSWER_BUTTON_CORRECT);
    HOOK_PICK(res_answer_button_wrong, ANSWER_BUTTON_WRONG);
    HOOK_PICK(res_answer_button_ghosted, ANSWER_BUTTON_GHOSTED);
    HOOK_PICK(res_answer_button_normal, ANSWER_BUTTON_NORMAL);
    HOOK_PICK(res_wide_button_normal, WIDE_BUTTON_NORMAL);
    HOOK_PICK(res_wide_button_click, WIDE_BUTTON_CLICK);
    HOOK_PICK(res_three_boxes_0, THREE_BOXES_0);
    HOOK_PICK(res_three_boxes_1, THREE_BOXES_1);
    HOOK_PICK(res_three_boxes_2, THREE_BOXES_2);
    HOOK_PICK(res_three_boxes_3, THREE_BOXES_3);
    HOOK_PICK(res_one_box_on, ONE_BOX_ON);
    HOOK_PICK(res_one_box_off, ONE_BOX_OFF);
    HOOK_PICK(res_stats_star_bronze, STATS_STAR_BRONZE);
    HOOK_PICK(res_stats_star_silver, STATS_STAR_SILVER);
    HOOK_PICK(res_stats_star_gold, STATS_STAR_GOLD);
    HOOK_PICK(res_big_star_bronze, BIG_STAR_BRONZE);
    HOOK_PICK(res_big_star_silver, BIG_STAR_SILVER);
    HOOK_PICK(res_big_star_gold, BIG_STAR_GOLD);
    HOOK_PICK(res_timer_dot, TIMER_DOT);
    HOOK_PICK(res_button_hint, BUTTON_HINT);
    HOOK_PICK(res_button_skip, BUTTON_SKIP);
    HOOK_PICK(res_button_info, BUTTON_INFO);
    HOOK_PICK(res_button_menu, BUTTON_MENU);
    HOOK_PICK(res_button_menu_alt, BUTTON_MENU_ALT);
    HOOK_PICK(res_icon_number_0, ICON_NUMBER_0);
    HOOK_PICK(res_icon_number_1, ICON_NUMBER_1);
    HOOK_PICK(res_icon_number_2, ICON_NUMBER_2);
    HOOK_PICK(res_icon_number_3, ICON_NUMBER_3);
    HOOK_PICK(res_icon_number_4, ICON_NUMBER_4);
    HOOK_PICK(res_icon_number_5, ICON_NUMBER_5);
    HOOK_PICK(res_icon_number_6, ICON_NUMBER_6);
    HOOK_PICK(res_icon_number_7, ICON_NUMBER_7);
    HOOK_PICK(res_icon_number_8, ICON_NUMBER_8);
    HOOK_PICK(res_icon_number_9, ICON_NUMBER_9);
    HOOK_PICK(res_icon_number_flash, ICON_NUMBER_FLASH);
    HOOK_PICK(res_icon_about, ICON_ABOUT);
    HOOK_PICK(res_icon_click_about, ICON_CLICK_ABOUT);
    HOOK_PICK(res_web_base_strip, WEB_BASE_STRIP);
    HOOK_PICK(res_web_base_back_icon_click, WEB_BASE_BACK_ICON_CLICK);
    HOOK_PICK(res_practice_menu_header, PRACTICE_MENU_HEADER);
    HOOK_PICK(res_practice_menu_footer, PRACTICE_MENU_FOOTER);
    HOOK_PICK(res_practice_menu_back_off, PRACTICE_MENU_BACK_OFF);
    HOOK_PICK(res_practice_menu_back_on, PRACTICE_MENU_BACK_ON);
    HOOK_PICK(res_about_bg_0, ABOUT_BG_0);
    HOOK_PICK(res_about_bg_1, ABOUT_BG_1);
    HOOK_PICK(res_about_bg_2, ABOUT_BG_2);
    HOOK_PICK(res_about_bg_3, ABOUT_BG_3);
    HOOK_PICK(res_about_bg_4, ABOUT_BG_4);
    HOOK_PICK(res_about_bg_5, ABOUT_BG_5);
    HOOK_PICK(res_promoted_bg, PROMOTED_BG);
    HOOK_PICK(res_ranking_button_normal, RANKING_BUTTON_NORMAL);
    HOOK_PICK(res_ranking_button_click, RANKING_BUTTON_CLICK);
    HOOK_PICK(res_demoted_bg, DEMOTED_BG);
    HOOK_PICK(res_stats_bg_0, STATS_BG_0);
    HOOK_PICK(res_stats_bg_1, STATS_BG_1);
    HOOK_PICK(res_stats_bg_2, STATS_BG_2);
    HOOK_PICK(res_stats_bg_3, STATS_BG_3);
    HOOK_PICK(res_stats_bg_4, STATS_BG_4);
    HOOK_PICK(res_stats_bg_5, STATS_BG_5);
    HOOK_PICK(res_stats_box_overlay, STATS_BOX_OVERLAY);
    HOOK_PICK(res_confirm_bg_0, CONFIRM_BG_0);
    HOOK_PICK(res_confirm_bg_1, CONFIRM_BG_1);
    HOOK_PICK(res_confirm_bg_2, CONFIRM_BG_2);
    HOOK_PICK(res_confirm_bg_3, CONFIRM_BG_3);
    HOOK_PICK(res_confirm_bg_4, CONFIRM_BG_4);
    HOOK_PICK(res_complete_bg, COMPLETE_BG);
    HOOK_PICK(res_complete_bg_practice, COMPLETE_BG_PRACTICE);
    HOOK_PICK(res_ranking_button_menu_click, RANKING_BUTTON_MENU_CLICK);
    HOOK_PICK(res_units_button_normal, UNITS_BUTTON_NORMAL);
    HOOK_PICK(res_units_button_click, UNITS_BUTTON_CLICK);
    HOOK_PICK(res_menu_bg_0, MENU_BG_0);
    HOOK_PICK(res_menu_bg_1, MENU_BG_1);
    HOOK_PICK(res_menu_bg_2, MENU_BG_2);
    HOOK_PICK(res_chooser_bg_2, CHOOSER_BG_2);
    HOOK_PICK(res_menu_bg_3, MENU_BG_3);
#undef HOOK_PICK
}

void HookCanvas::iPhoneGetDeviceDetails() {
    // Any other family (unknown, the simulator) leaves the family as it was.
    switch (DeviceDetection::currentModelFamily()) {
        case DeviceDetection::FAMILY_IPOD:
            DEVICE_FAMILY = DEVICE_IPOD_TOUCH;
            break;
        case DeviceDetection::FAMILY_IPHONE:
            DEVICE_FAMILY = DEVICE_IPHONE;
            break;
        case DeviceDetection::FAMILY_IPAD:
            DEVICE_FAMILY = DEVICE_IPAD;
            break;
        default:
            break;
    }
}

void HookCanvas::iPhoneTransitionSetup() {
    iPhone::viewSetup();
}

void HookCanvas::iPhoneTransition() {
    iPhone::viewReplace();
}

void HookCanvas::iPhoneTextOverlayStart() {
    iPhone::textOverlayStart();
}

void HookCanvas::iPhoneTextOverlayStop() {
    iPhone::textOverlayStop();
}

void HookCanvas::overlayText() {
    sleep(50);
    if (overlay_text_shown) {
        iPhoneTextOverlayStart();
        overlay_text_shown = false;
    }
}
