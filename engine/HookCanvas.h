// HookCanvas: the application's one canvas, the game engine and the quiz in a single class. The engine's
// sources live in engine/ and the quiz's in quiz/, split by area; this header declares the whole class.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <initializer_list>
#include <mutex>
#include <string>
#include <utility>

#include "library/Thread.h"
#include "media/PlayerListener.h"
#include "runtime/JArray.h"
#include "runtime/Runnable.h"
#include "runtime/String.h"
#include "sensor/DataListener.h"
#include "shell/GameCanvas.h"

namespace java::io {
class DataInputStream;
}
namespace java::lang {
class Class;
}
namespace javax::microedition::lcdui {
class Font;
class Graphics;
class Image;
}  // namespace javax::microedition::lcdui
namespace javax::microedition::media {
class Player;
}
namespace javax::microedition::sensor {
class SensorConnection;
}

namespace java::io {
class DataOutputStream;
}

class AppMidlet;
class TSHttpConnectionThread;

class HookCanvas : public javax::microedition::lcdui::game::GameCanvas,
                   public java::lang::Runnable,
                   public javax::microedition::media::PlayerListener,
                   public javax::microedition::sensor::DataListener {
    TESL_CLASS(HookCanvas, "HookCanvas", javax::microedition::lcdui::game::GameCanvas, java::lang::Runnable,
               javax::microedition::media::PlayerListener, javax::microedition::sensor::DataListener)
public:
    using String = java::lang::String;
    using Graphics = javax::microedition::lcdui::Graphics;
    using Image = javax::microedition::lcdui::Image;
    using Font = javax::microedition::lcdui::Font;
    using Player = javax::microedition::media::Player;
    using SensorConnection = javax::microedition::sensor::SensorConnection;

    // Build configuration of the loop.
    static constexpr int32_t PARAM_TS_CORE_FRAMERATE = 30;
    static constexpr int32_t PARAM_TS_CORE_MAX_UPDATES_PER_RENDER = 2;
    static constexpr int32_t PARAM_TS_CORE_UPDATE_FIXEDRATE = 1;
    static constexpr int32_t PARAM_TS_CORE_UPDATE_VARIABLERATE = 0;
    static constexpr int32_t PARAM_TS_CORE_WHILE_LOOP_IN_RUN_METHOD = 1;
    static constexpr int32_t PARAM_TS_CORE_MAIN_THREAD_PRIORITY = 1;
    static constexpr int32_t PARAM_TS_CORE_LOADING_THREAD_PRIORITY = 5;
    static constexpr int32_t PARAM_TS_CORE_SLEEP_PER_RENDER = 0;
    static constexpr int32_t PARAM_TS_BASE_CALL_SERVICEPAINTS = 1;
    static constexpr int32_t UPDATE_SCREEN_DIMENSIONS = 1;
    static constexpr int32_t PARAM_TS_WAP_BROWSER_FORCE_EXIT = 0;
    static constexpr int32_t PARAM_TS_MATHS_FP_SHIFT = 10;
    static constexpr int32_t PARAM_TS_MATHS_FP_PRECISION = 0;
    static constexpr int32_t PARAM_TS_MATHS_RANDOM_USING_LONGS = 1;
    static constexpr int32_t MS_PER_UPDATE = 1000 / PARAM_TS_CORE_FRAMERATE;

    static constexpr int32_t GAMESTATE_INIT_TESSEL = 0;
    static constexpr int32_t GAMESTATEFLAG_LOADING = 0x10000000;
    static constexpr int32_t APPSTATUSFLAG_PAUSED = 1;
    static constexpr int32_t APPSTATUSFLAG_INTERRUPTED_BY_UNKNOWN = 16;
    static constexpr int32_t MAX_PARTICLES = 16;
    static constexpr int32_t DEVICE_IPOD_TOUCH = 0;
    static constexpr int32_t DEVICE_IPHONE = 1;
    static constexpr int32_t DEVICE_IPAD = 2;
    static constexpr int32_t REPEAT_FILM_ARRAY_LENGTH = 435;
    static constexpr int32_t VERSION_NUMBER = 10;

    // Fixed-point angle constants (radians and degrees, 10 fraction bits).
    static constexpr int32_t FPI = 3217;

    // Entries of the resource map the quiz uses.
    static constexpr int32_t RESID_LEVEL_THRESHOLDS = 0;
    static constexpr int32_t RESID_MAIN_FONT_LOW = 1;
    static constexpr int32_t RESID_MAIN_FONT_LOW_METRICS = 2;
    static constexpr int32_t RESID_MAIN_FONT_LOW_IMAGE = 3;
    static constexpr int32_t RESID_MAIN_FONT_LOW_IMAGE_PALETTE = 4;
    static constexpr int32_t RESID_NUMBERS_FONT_LOW = 5;
    static constexpr int32_t RESID_NUMBERS_FONT_LOW_METRICS = 6;
    static constexpr int32_t RESID_NUMBERS_FONT_LOW_IMAGE = 7;
    static constexpr int32_t RESID_NUMBERS_FONT_LOW_IMAGE_PALETTE = 8;
    static constexpr int32_t RESID_TWINKLE0_WHITE_LOW = 9;
    static constexpr int32_t RESID_TWINKLE0_GREEN_LOW = 10;
    static constexpr int32_t RESID_TWINKLE0_RED_LOW = 11;
    static constexpr int32_t RESID_TWINKLE0_YELLOW_LOW = 12;
    static constexpr int32_t RESID_TWINKLE0_BLUE_LOW = 13;
    static constexpr int32_t RESID_TWINKLE1_WHITE_LOW = 14;
    static constexpr int32_t RESID_TWINKLE1_GREEN_LOW = 15;
    static constexpr int32_t RESID_TWINKLE1_RED_LOW = 16;
    static constexpr int32_t RESID_TWINKLE1_YELLOW_LOW = 17;
    static constexpr int32_t RESID_TWINKLE1_BLUE_LOW = 18;
    static constexpr int32_t RESID_TWINKLE2_WHITE_LOW = 19;
    static constexpr int32_t RESID_TWINKLE2_GREEN_LOW = 20;
    static constexpr int32_t RESID_TWINKLE2_RED_LOW = 21;
    static constexpr int32_t RESID_TWINKLE2_YELLOW_LOW = 22;
    static constexpr int32_t RESID_TWINKLE2_BLUE_LOW = 23;
    static constexpr int32_t RESID_TWINKLE3_WHITE_LOW = 24;
    static constexpr int32_t RESID_TWINKLE3_GREEN_LOW = 25;
    static constexpr int32_t RESID_TWINKLE3_RED_LOW = 26;
    static constexpr int32_t RESID_TWINKLE3_YELLOW_LOW = 27;
    static constexpr int32_t RESID_TWINKLE3_BLUE_LOW = 28;
    static constexpr int32_t RESID_MENU_BG_0_LOW = 29;
    static constexpr int32_t RESID_MENU_BG_1_LOW = 30;
    static constexpr int32_t RESID_MENU_BG_2_LOW = 31;
    static constexpr int32_t RESID_MENU_BG_3_LOW = 32;
    static constexpr int32_t RESID_THREE_BOXES_0_LOW = 33;
    static constexpr int32_t RESID_THREE_BOXES_1_LOW = 34;
    static constexpr int32_t RESID_THREE_BOXES_2_LOW = 35;
    static constexpr int32_t RESID_THREE_BOXES_3_LOW = 36;
    static constexpr int32_t RESID_ONE_BOX_ON_LOW = 37;
    static constexpr int32_t RESID_ONE_BOX_OFF_LOW = 38;
    static constexpr int32_t RESID_PRACTICE_MENU_HEADER_LOW = 39;
    static constexpr int32_t RESID_PRACTICE_MENU_FOOTER_LOW = 40;
    static constexpr int32_t RESID_PRACTICE_MENU_BACK_OFF_LOW = 41;
    static constexpr int32_t RESID_PRACTICE_MENU_BACK_ON_LOW = 42;
    static constexpr int32_t RESID_MENU_BG_TRANS = 43;
    static constexpr int32_t RESID_CHOOSER_BG_2_LOW = 44;
    static constexpr int32_t RESID_ABOUT_BG_0_LOW = 45;
    static constexpr int32_t RESID_ABOUT_BG_1_LOW = 46;
    static constexpr int32_t RESID_ABOUT_BG_2_LOW = 47;
    static constexpr int32_t RESID_ABOUT_BG_3_LOW = 48;
    static constexpr int32_t RESID_ABOUT_BG_4_LOW = 49;
    static constexpr int32_t RESID_ABOUT_BG_5_LOW = 50;
    static constexpr int32_t RESID_ABOUT_BG_TRANS = 51;
    static constexpr int32_t RESID_STATS_BG_0_LOW = 52;
    static constexpr int32_t RESID_STATS_BG_1_LOW = 53;
    static constexpr int32_t RESID_STATS_BG_2_LOW = 54;
    static constexpr int32_t RESID_STATS_BG_3_LOW = 55;
    static constexpr int32_t RESID_STATS_BG_4_LOW = 56;
    static constexpr int32_t RESID_STATS_BG_5_LOW = 57;
    static constexpr int32_t RESID_STATS_BOX_OVERLAY_LOW = 58;
    static constexpr int32_t RESID_STATS_BG_TRANS = 59;
    static constexpr int32_t RESID_STATS_STAR_BRONZE_LOW = 60;
    static constexpr int32_t RESID_STATS_STAR_SILVER_LOW = 61;
    static constexpr int32_t RESID_STATS_STAR_GOLD_LOW = 62;
    static constexpr int32_t RESID_CONFIRM_BG_0_LOW = 63;
    static constexpr int32_t RESID_CONFIRM_BG_1_LOW = 64;
    static constexpr int32_t RESID_CONFIRM_BG_2_LOW = 65;
    static constexpr int32_t RESID_CONFIRM_BG_3_LOW = 66;
    static constexpr int32_t RESID_CONFIRM_BG_4_LOW = 67;
    static constexpr int32_t RESID_CONFIRM_BG_TRANS = 68;
    static constexpr int32_t RESID_ICON_ABOUT_LOW = 69;
    static constexpr int32_t RESID_ICON_CLICK_ABOUT_LOW = 70;
    static constexpr int32_t RESID_GAME_BG_0_LOW = 71;
    static constexpr int32_t RESID_GAME_BG_1_LOW = 72;
    static constexpr int32_t RESID_GAME_BG_2_LOW = 73;
    static constexpr int32_t RESID_GAME_BG_3_LOW = 74;
    static constexpr int32_t RESID_GAME_BG_4_LOW = 75;
    static constexpr int32_t RESID_GAME_BG_TRANS = 76;
    static constexpr int32_t RESID_GAME_INFOBOX_LOW = 77;
    static constexpr int32_t RESID_ANSWER_BUTTON_NORMAL_LOW = 78;
    static constexpr int32_t RESID_ANSWER_BUTTON_CLICK_LOW = 79;
    static constexpr int32_t RESID_ANSWER_BUTTON_CORRECT_LOW = 80;
    static constexpr int32_t RESID_ANSWER_BUTTON_WRONG_LOW = 81;
    static constexpr int32_t RESID_ANSWER_BUTTON_GHOSTED_LOW = 82;
    static constexpr int32_t RESID_WIDE_BUTTON_NORMAL_LOW = 83;
    static constexpr int32_t RESID_WIDE_BUTTON_CLICK_LOW = 84;
    static constexpr int32_t RESID_BUTTON_HINT_LOW = 85;
    static constexpr int32_t RESID_BUTTON_SKIP_LOW = 86;
    static constexpr int32_t RESID_BUTTON_INFO_LOW = 87;
    static constexpr int32_t RESID_BUTTON_MENU_LOW = 88;
    static constexpr int32_t RESID_BUTTON_MENU_ALT_LOW = 89;
    static constexpr int32_t RESID_TIMER_DOT_LOW = 90;
    static constexpr int32_t RESID_GENERIC_0_LOW = 91;
    static constexpr int32_t RESID_GENERIC_0_LEVEL_LOW = 92;
    static constexpr int32_t RESID_ANSWER_RIGHT_LOW = 93;
    static constexpr int32_t RESID_ANSWER_WRONG_LOW = 94;
    static constexpr int32_t RESID_ICON_NUMBER_0_LOW = 95;
    static constexpr int32_t RESID_ICON_NUMBER_1_LOW = 96;
    static constexpr int32_t RESID_ICON_NUMBER_2_LOW = 97;
    static constexpr int32_t RESID_ICON_NUMBER_3_LOW = 98;
    static constexpr int32_t RESID_ICON_NUMBER_4_LOW = 99;
    static constexpr int32_t RESID_ICON_NUMBER_5_LOW = 100;
    static constexpr int32_t RESID_ICON_NUMBER_6_LOW = 101;
    static constexpr int32_t RESID_ICON_NUMBER_7_LOW = 102;
    static constexpr int32_t RESID_ICON_NUMBER_8_LOW = 103;
    static constexpr int32_t RESID_ICON_NUMBER_9_LOW = 104;
    static constexpr int32_t RESID_ICON_NUMBER_FLASH_LOW = 105;
    static constexpr int32_t RESID_WEB_BASE_BACK_ICON_CLICK_LOW = 106;
    static constexpr int32_t RESID_WEB_BASE_STRIP_LOW = 107;
    static constexpr int32_t RESID_COMPLETE_BG_LOW = 108;
    static constexpr int32_t RESID_COMPLETE_BG_PRACTICE_LOW = 109;
    static constexpr int32_t RESID_DEMOTED_BG_LOW = 110;
    static constexpr int32_t RESID_PROMOTED_BG_LOW = 111;
    static constexpr int32_t RESID_RANKING_BUTTON_NORMAL_LOW = 112;
    static constexpr int32_t RESID_RANKING_BUTTON_CLICK_LOW = 113;
    static constexpr int32_t RESID_RANKING_BUTTON_MENU_CLICK_LOW = 114;
    static constexpr int32_t RESID_UNITS_BUTTON_NORMAL_LOW = 115;
    static constexpr int32_t RESID_UNITS_BUTTON_CLICK_LOW = 116;
    static constexpr int32_t RESID_BIG_STAR_BRONZE_LOW = 117;
    static constexpr int32_t RESID_BIG_STAR_SILVER_LOW = 118;
    static constexpr int32_t RESID_BIG_STAR_GOLD_LOW = 119;
    static constexpr int32_t RESID_RANKING_1_LOW = 120;
    static constexpr int32_t RESID_RANKING_2_LOW = 121;
    static constexpr int32_t RESID_RANKING_3_LOW = 122;
    static constexpr int32_t RESID_RANKING_4_LOW = 123;
    static constexpr int32_t RESID_RANKING_5_LOW = 124;
    static constexpr int32_t RESID_RANKING_6_LOW = 125;
    static constexpr int32_t RESID_RANKING_7_LOW = 126;
    static constexpr int32_t RESID_RANKING_8_LOW = 127;
    static constexpr int32_t RESID_RANKING_9_LOW = 128;
    static constexpr int32_t RESID_RANKING_10_LOW = 129;
    static constexpr int32_t RESID_RANKING_11_LOW = 130;
    static constexpr int32_t RESID_RANKING_12_LOW = 131;
    static constexpr int32_t RESID_RANKING_13_LOW = 132;
    static constexpr int32_t RESID_RANKING_14_LOW = 133;
    static constexpr int32_t RESID_RANKING_15_LOW = 134;
    static constexpr int32_t RESID_RANKING_16_LOW = 135;
    static constexpr int32_t RESID_RANKING_17_LOW = 136;
    static constexpr int32_t RESID_RANKING_18_LOW = 137;
    static constexpr int32_t RESID_RANKING_19_LOW = 138;
    static constexpr int32_t RESID_RANKING_20_LOW = 139;
    static constexpr int32_t RESID_RANKING_21_LOW = 140;
    static constexpr int32_t RESID_RANKING_22_LOW = 141;
    static constexpr int32_t RESID_RANKING_23_LOW = 142;
    static constexpr int32_t RESID_RANKING_24_LOW = 143;
    static constexpr int32_t RESID_RANKING_25_LOW = 144;
    static constexpr int32_t RESID_RANKING_26_LOW = 145;
    static constexpr int32_t RESID_RANKING_27_LOW = 146;
    static constexpr int32_t RESID_RANKING_28_LOW = 147;
    static constexpr int32_t RESID_RANKING_29_LOW = 148;
    static constexpr int32_t RESID_MAIN_FONT_HIGH = 149;
    static constexpr int32_t RESID_MAIN_FONT_HIGH_METRICS = 150;
    static constexpr int32_t RESID_MAIN_FONT_HIGH_IMAGE = 151;
    static constexpr int32_t RESID_MAIN_FONT_HIGH_IMAGE_PALETTE = 152;
    static constexpr int32_t RESID_NUMBERS_FONT_HIGH = 153;
    static constexpr int32_t RESID_NUMBERS_FONT_HIGH_METRICS = 154;
    static constexpr int32_t RESID_NUMBERS_FONT_HIGH_IMAGE = 155;
    static constexpr int32_t RESID_NUMBERS_FONT_HIGH_IMAGE_PALETTE = 156;
    static constexpr int32_t RESID_TWINKLE0_WHITE_HIGH = 157;
    static constexpr int32_t RESID_TWINKLE0_GREEN_HIGH = 158;
    static constexpr int32_t RESID_TWINKLE0_RED_HIGH = 159;
    static constexpr int32_t RESID_TWINKLE0_YELLOW_HIGH = 160;
    static constexpr int32_t RESID_TWINKLE0_BLUE_HIGH = 161;
    static constexpr int32_t RESID_TWINKLE1_WHITE_HIGH = 162;
    static constexpr int32_t RESID_TWINKLE1_GREEN_HIGH = 163;
    static constexpr int32_t RESID_TWINKLE1_RED_HIGH = 164;
    static constexpr int32_t RESID_TWINKLE1_YELLOW_HIGH = 165;
    static constexpr int32_t RESID_TWINKLE1_BLUE_HIGH = 166;
    static constexpr int32_t RESID_TWINKLE2_WHITE_HIGH = 167;
    static constexpr int32_t RESID_TWINKLE2_GREEN_HIGH = 168;
    static constexpr int32_t RESID_TWINKLE2_RED_HIGH = 169;
    static constexpr int32_t RESID_TWINKLE2_YELLOW_HIGH = 170;
    static constexpr int32_t RESID_TWINKLE2_BLUE_HIGH = 171;
    static constexpr int32_t RESID_TWINKLE3_WHITE_HIGH = 172;
    static constexpr int32_t RESID_TWINKLE3_GREEN_HIGH = 173;
    static constexpr int32_t RESID_TWINKLE3_RED_HIGH = 174;
    static constexpr int32_t RESID_TWINKLE3_YELLOW_HIGH = 175;
    static constexpr int32_t RESID_TWINKLE3_BLUE_HIGH = 176;
    static constexpr int32_t RESID_MENU_BG_0_HIGH = 177;
    static constexpr int32_t RESID_MENU_BG_1_HIGH = 178;
    static constexpr int32_t RESID_MENU_BG_2_HIGH = 179;
    static constexpr int32_t RESID_MENU_BG_3_HIGH = 180;
    static constexpr int32_t RESID_THREE_BOXES_0_HIGH = 181;
    static constexpr int32_t RESID_THREE_BOXES_1_HIGH = 182;
    static constexpr int32_t RESID_THREE_BOXES_2_HIGH = 183;
    static constexpr int32_t RESID_THREE_BOXES_3_HIGH = 184;
    static constexpr int32_t RESID_ONE_BOX_ON_HIGH = 185;
    static constexpr int32_t RESID_ONE_BOX_OFF_HIGH = 186;
    static constexpr int32_t RESID_PRACTICE_MENU_HEADER_HIGH = 187;
    static constexpr int32_t RESID_PRACTICE_MENU_FOOTER_HIGH = 188;
    static constexpr int32_t RESID_PRACTICE_MENU_BACK_OFF_HIGH = 189;
    static constexpr int32_t RESID_PRACTICE_MENU_BACK_ON_HIGH = 190;
    static constexpr int32_t RESID_CHOOSER_BG_2_HIGH = 191;
    static constexpr int32_t RESID_ABOUT_BG_0_HIGH = 192;
    static constexpr int32_t RESID_ABOUT_BG_1_HIGH = 193;
    static constexpr int32_t RESID_ABOUT_BG_2_HIGH = 194;
    static constexpr int32_t RESID_ABOUT_BG_3_HIGH = 195;
    static constexpr int32_t RESID_ABOUT_BG_4_HIGH = 196;
    static constexpr int32_t RESID_ABOUT_BG_5_HIGH = 197;
    static constexpr int32_t RESID_STATS_BG_0_HIGH = 198;
    static constexpr int32_t RESID_STATS_BG_1_HIGH = 199;
    static constexpr int32_t RESID_STATS_BG_2_HIGH = 200;
    static constexpr int32_t RESID_STATS_BG_3_HIGH = 201;
    static constexpr int32_t RESID_STATS_BG_4_HIGH = 202;
    static constexpr int32_t RESID_STATS_BG_5_HIGH = 203;
    static constexpr int32_t RESID_STATS_BOX_OVERLAY_HIGH = 204;
    static constexpr int32_t RESID_STATS_STAR_BRONZE_HIGH = 205;
    static constexpr int32_t RESID_STATS_STAR_SILVER_HIGH = 206;
    static constexpr int32_t RESID_STATS_STAR_GOLD_HIGH = 207;
    static constexpr int32_t RESID_CONFIRM_BG_0_HIGH = 208;
    static constexpr int32_t RESID_CONFIRM_BG_1_HIGH = 209;
    static constexpr int32_t RESID_CONFIRM_BG_2_HIGH = 210;
    static constexpr int32_t RESID_CONFIRM_BG_3_HIGH = 211;
    static constexpr int32_t RESID_CONFIRM_BG_4_HIGH = 212;
    static constexpr int32_t RESID_ICON_ABOUT_HIGH = 213;
    static constexpr int32_t RESID_ICON_CLICK_ABOUT_HIGH = 214;
    static constexpr int32_t RESID_GAME_BG_0_HIGH = 215;
    static constexpr int32_t RESID_GAME_BG_1_HIGH = 216;
    static constexpr int32_t RESID_GAME_BG_2_HIGH = 217;
    static constexpr int32_t RESID_GAME_BG_3_HIGH = 218;
    static constexpr int32_t RESID_GAME_BG_4_HIGH = 219;
    static constexpr int32_t RESID_GAME_INFOBOX_HIGH = 220;
    static constexpr int32_t RESID_ANSWER_BUTTON_NORMAL_HIGH = 221;
    static constexpr int32_t RESID_ANSWER_BUTTON_CLICK_HIGH = 222;
    static constexpr int32_t RESID_ANSWER_BUTTON_CORRECT_HIGH = 223;
    static constexpr int32_t RESID_ANSWER_BUTTON_WRONG_HIGH = 224;
    static constexpr int32_t RESID_ANSWER_BUTTON_GHOSTED_HIGH = 225;
    static constexpr int32_t RESID_WIDE_BUTTON_NORMAL_HIGH = 226;
    static constexpr int32_t RESID_WIDE_BUTTON_CLICK_HIGH = 227;
    static constexpr int32_t RESID_BUTTON_HINT_HIGH = 228;
    static constexpr int32_t RESID_BUTTON_SKIP_HIGH = 229;
    static constexpr int32_t RESID_BUTTON_INFO_HIGH = 230;
    static constexpr int32_t RESID_BUTTON_MENU_HIGH = 231;
    static constexpr int32_t RESID_BUTTON_MENU_ALT_HIGH = 232;
    static constexpr int32_t RESID_TIMER_DOT_HIGH = 233;
    static constexpr int32_t RESID_GENERIC_0_HIGH = 234;
    static constexpr int32_t RESID_GENERIC_0_LEVEL_HIGH = 235;
    static constexpr int32_t RESID_ANSWER_RIGHT_HIGH = 236;
    static constexpr int32_t RESID_ANSWER_WRONG_HIGH = 237;
    static constexpr int32_t RESID_ICON_NUMBER_0_HIGH = 238;
    static constexpr int32_t RESID_ICON_NUMBER_1_HIGH = 239;
    static constexpr int32_t RESID_ICON_NUMBER_2_HIGH = 240;
    static constexpr int32_t RESID_ICON_NUMBER_3_HIGH = 241;
    static constexpr int32_t RESID_ICON_NUMBER_4_HIGH = 242;
    static constexpr int32_t RESID_ICON_NUMBER_5_HIGH = 243;
    static constexpr int32_t RESID_ICON_NUMBER_6_HIGH = 244;
    static constexpr int32_t RESID_ICON_NUMBER_7_HIGH = 245;
    static constexpr int32_t RESID_ICON_NUMBER_8_HIGH = 246;
    static constexpr int32_t RESID_ICON_NUMBER_9_HIGH = 247;
    static constexpr int32_t RESID_ICON_NUMBER_FLASH_HIGH = 248;
    static constexpr int32_t RESID_WEB_BASE_BACK_ICON_CLICK_HIGH = 249;
    static constexpr int32_t RESID_WEB_BASE_STRIP_HIGH = 250;
    static constexpr int32_t RESID_COMPLETE_BG_HIGH = 251;
    static constexpr int32_t RESID_COMPLETE_BG_PRACTICE_HIGH = 252;
    static constexpr int32_t RESID_DEMOTED_BG_HIGH = 253;
    static constexpr int32_t RESID_PROMOTED_BG_HIGH = 254;
    static constexpr int32_t RESID_RANKING_BUTTON_NORMAL_HIGH = 255;
    static constexpr int32_t RESID_RANKING_BUTTON_CLICK_HIGH = 256;
    static constexpr int32_t RESID_RANKING_BUTTON_MENU_CLICK_HIGH = 257;
    static constexpr int32_t RESID_UNITS_BUTTON_NORMAL_HIGH = 258;
    static constexpr int32_t RESID_UNITS_BUTTON_CLICK_HIGH = 259;
    static constexpr int32_t RESID_BIG_STAR_BRONZE_HIGH = 260;
    static constexpr int32_t RESID_BIG_STAR_SILVER_HIGH = 261;
    static constexpr int32_t RESID_BIG_STAR_GOLD_HIGH = 262;
    static constexpr int32_t RESID_RANKING_1_HIGH = 263;
    static constexpr int32_t RESID_RANKING_2_HIGH = 264;
    static constexpr int32_t RESID_RANKING_3_HIGH = 265;
    static constexpr int32_t RESID_RANKING_4_HIGH = 266;
    static constexpr int32_t RESID_RANKING_5_HIGH = 267;
    static constexpr int32_t RESID_RANKING_6_HIGH = 268;
    static constexpr int32_t RESID_RANKING_7_HIGH = 269;
    static constexpr int32_t RESID_RANKING_8_HIGH = 270;
    static constexpr int32_t RESID_RANKING_9_HIGH = 271;
    static constexpr int32_t RESID_RANKING_10_HIGH = 272;
    static constexpr int32_t RESID_RANKING_11_HIGH = 273;
    static constexpr int32_t RESID_RANKING_12_HIGH = 274;
    static constexpr int32_t RESID_RANKING_13_HIGH = 275;
    static constexpr int32_t RESID_RANKING_14_HIGH = 276;
    static constexpr int32_t RESID_RANKING_15_HIGH = 277;
    static constexpr int32_t RESID_RANKING_16_HIGH = 278;
    static constexpr int32_t RESID_RANKING_17_HIGH = 279;
    static constexpr int32_t RESID_RANKING_18_HIGH = 280;
    static constexpr int32_t RESID_RANKING_19_HIGH = 281;
    static constexpr int32_t RESID_RANKING_20_HIGH = 282;
    static constexpr int32_t RESID_RANKING_21_HIGH = 283;
    static constexpr int32_t RESID_RANKING_22_HIGH = 284;
    static constexpr int32_t RESID_RANKING_23_HIGH = 285;
    static constexpr int32_t RESID_RANKING_24_HIGH = 286;
    static constexpr int32_t RESID_RANKING_25_HIGH = 287;
    static constexpr int32_t RESID_RANKING_26_HIGH = 288;
    static constexpr int32_t RESID_RANKING_27_HIGH = 289;
    static constexpr int32_t RESID_RANKING_28_HIGH = 290;
    static constexpr int32_t RESID_RANKING_29_HIGH = 291;
    static constexpr int32_t RESID_SOUND_ALMOST_OUT_OF_TIME = 292;
    static constexpr int32_t RESID_CONFIRM_SCREEN = 293;
    static constexpr int32_t RESID_CORRECT = 294;
    static constexpr int32_t RESID_CORRECT_PLUS_HINT_OR_SKIP = 295;
    static constexpr int32_t RESID_DEMOTED = 296;
    static constexpr int32_t RESID_GAME_OVER_WIN = 297;
    static constexpr int32_t RESID_GAME_OVER_LOSE = 298;
    static constexpr int32_t RESID_INCORRECT = 299;
    static constexpr int32_t RESID_PLAY_A_HINT = 300;
    static constexpr int32_t RESID_PLAY_A_SKIP = 301;
    static constexpr int32_t RESID_PROMOTED = 302;
    static constexpr int32_t RESID_QUESTION1 = 303;
    static constexpr int32_t RESID_QUESTION2 = 304;
    static constexpr int32_t RESID_QUESTION3 = 305;
    static constexpr int32_t RESID_QUESTION4 = 306;
    static constexpr int32_t RESID_QUESTION_BOX_SLIDE = 307;
    static constexpr int32_t RESID_TRANSITION_SHOOSH = 308;
    static constexpr int32_t RESID_STARS1 = 309;
    static constexpr int32_t RESID_STARS2 = 310;
    static constexpr int32_t RESID_CLICK_ON_BACKGROUND = 311;
    static constexpr int32_t RESID_CLICK_ON_BUTTON = 312;

    // Resources, images and drawing by id: the resource map and packs, the in-memory PNG writer, the
    // image cache and its formats.
    static constexpr int32_t RESBLOCKID_RESOURCES = 0;
    static constexpr int32_t BLOCKPACKPMAPPING_PACKID = 0;
    static constexpr int32_t BLOCKPACKPMAPPING_INDEX = 1;
    static constexpr int32_t BLOCKPACKPMAPPING_LENGTH = 5;
    static constexpr int32_t SIZE_BLOCKPACKPMAPPINGS = 9;
    static constexpr int32_t RESBLOCKMAPPING_BLOCKID = 0;
    static constexpr int32_t RESBLOCKMAPPING_INDEX = 1;
    static constexpr int32_t RESBLOCKMAPPING_LENGTH = 5;
    static constexpr int32_t SIZE_RESBLOCKMAPPINGS = 9;
    static constexpr int32_t PARAM_TS_RESHANDLER_CACHE_ENTIRE_PACKS = 1;
    static constexpr int32_t PARAM_TS_RESHANDLER_CALC_FILE_LENGTH_USING_BUFFER = 1;
    static constexpr int32_t PARAM_TS_DEBUG_REMEMBER_RESOURCE_NAMES = 0;

    static constexpr int32_t IMAGEFORMAT_RAWPNG = 0;
    static constexpr int32_t IMAGEFORMAT_RAWPNG_NOPALETTE = 1;
    static constexpr int32_t IMAGEFORMAT_ENCODEDPIXELDATA_NOPALETTE = 2;
    static constexpr int32_t IMAGEFORMAT_FULLCOLOUR = 64;
    static constexpr int32_t IMAGEFORMAT_CONTAINSCELLINFO = 128;
    static constexpr int32_t IMAGEFORMAT_RLE_ENCODED = 0;
    static constexpr int32_t IMAGEFORMAT_NONRLE_ENCODED = 1;
    static constexpr int32_t PARAM_TS_IMAGEBASE_SIZE_OF_IMAGE_CACHE = 256;
    static constexpr int32_t PARAM_TS_IMAGEBASE_USE_IMAGE_ENCODING = 1;
    static constexpr int32_t PARAM_TS_IMAGEBASE_USE_RLE_COMPRESSION = 1;
    static constexpr int32_t PARAM_TS_IMAGEBASE_USE_FULLCOLOUR_IMAGE_ENCODING = 1;
    static constexpr int32_t PARAM_TS_IMAGEBASE_USE_FULLCOLOUR_RLE_COMPRESSION = 1;
    static constexpr int32_t PARAM_TS_IMAGEBASE_REFERENCES_PNGHANDLER = 1;
    static constexpr int32_t PARAM_TS_IMAGEBASE_REFERENCES_FULLCOLOUR_PNGHANDLER = 1;
    static constexpr int32_t PARAM_TS_PNGHANDLER_USE_CREATERGBIMAGE = 0;
    static constexpr int32_t PARAM_TS_IMAGEBASE_USE_TRANSFORMS = 0;
    static constexpr int32_t PARAM_TS_PNGHANDLER_NO_RAW_PNG = 0;
    static constexpr int32_t PARAM_TS_IMAGEBASE_RETAIN_IMAGE_CACHE = 0;
    static constexpr int32_t PARAM_TS_PNGHANDLER_FAST_MUTABLE_IMAGE = 0;
    static constexpr int32_t PARAM_TS_PNGHANDLER_EVEN_WIDTH_TRANSPARENT_SPRITES = 0;
    static constexpr int32_t PARAM_TS_PNGHANDLER_USE_FAKE_SEMI_TRANSPARENCY = 0;

    static constexpr int32_t DRAWIMAGETRANSFORM_NONE = 0;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW90 = 1;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW270 = 1;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW180 = 2;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW180 = 2;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW270 = 3;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW90 = 3;
    static constexpr int32_t DRAWIMAGETRANSFORM_HMIRROR = 4;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW180_VFLIP = 4;
    static constexpr int32_t DRAWIMAGETRANSFORM_VFLIP_ROTCW180 = 4;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW180_VFLIP = 4;
    static constexpr int32_t DRAWIMAGETRANSFORM_VFLIP_ROTCCW180 = 4;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW90_HMIRROR = 5;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW270_VFLIP = 5;
    static constexpr int32_t DRAWIMAGETRANSFORM_HMIRROR_ROTCW270 = 5;
    static constexpr int32_t DRAWIMAGETRANSFORM_VFLIP_ROTCW90 = 5;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW270_HMIRROR = 5;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW90_VFLIP = 5;
    static constexpr int32_t DRAWIMAGETRANSFORM_HMIRROR_ROTCCW90 = 5;
    static constexpr int32_t DRAWIMAGETRANSFORM_VFLIP_ROTCCW270 = 5;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW180_HMIRROR = 6;
    static constexpr int32_t DRAWIMAGETRANSFORM_VFLIP = 6;
    static constexpr int32_t DRAWIMAGETRANSFORM_HMIRROR_ROTCW180 = 6;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW180_HMIRROR = 6;
    static constexpr int32_t DRAWIMAGETRANSFORM_HMIRROR_ROTCCW180 = 6;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW270_HMIRROR = 7;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCW90_VFLIP = 7;
    static constexpr int32_t DRAWIMAGETRANSFORM_HMIRROR_ROTCW90 = 7;
    static constexpr int32_t DRAWIMAGETRANSFORM_VFLIP_ROTCW270 = 7;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW90_HMIRROR = 7;
    static constexpr int32_t DRAWIMAGETRANSFORM_ROTCCW270_VFLIP = 7;
    static constexpr int32_t DRAWIMAGETRANSFORM_HMIRROR_ROTCCW270 = 7;
    static constexpr int32_t DRAWIMAGETRANSFORM_VFLIP_ROTCCW90 = 7;
    static constexpr int32_t LOADIMAGETRANSFORM_NONE = 1 << DRAWIMAGETRANSFORM_NONE;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW90 = 1 << DRAWIMAGETRANSFORM_ROTCW90;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW270 = 1 << DRAWIMAGETRANSFORM_ROTCCW270;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW180 = 1 << DRAWIMAGETRANSFORM_ROTCW180;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW180 = 1 << DRAWIMAGETRANSFORM_ROTCCW180;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW270 = 1 << DRAWIMAGETRANSFORM_ROTCW270;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW90 = 1 << DRAWIMAGETRANSFORM_ROTCCW90;
    static constexpr int32_t LOADIMAGETRANSFORM_HMIRROR = 1 << DRAWIMAGETRANSFORM_HMIRROR;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW180_VFLIP = 1 << DRAWIMAGETRANSFORM_ROTCW180_VFLIP;
    static constexpr int32_t LOADIMAGETRANSFORM_VFLIP_ROTCW180 = 1 << DRAWIMAGETRANSFORM_VFLIP_ROTCW180;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW180_VFLIP = 1 << DRAWIMAGETRANSFORM_ROTCCW180_VFLIP;
    static constexpr int32_t LOADIMAGETRANSFORM_VFLIP_ROTCCW180 = 1 << DRAWIMAGETRANSFORM_VFLIP_ROTCCW180;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW90_HMIRROR = 1 << DRAWIMAGETRANSFORM_ROTCW90_HMIRROR;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW270_VFLIP = 1 << DRAWIMAGETRANSFORM_ROTCW270_VFLIP;
    static constexpr int32_t LOADIMAGETRANSFORM_HMIRROR_ROTCW270 = 1 << DRAWIMAGETRANSFORM_HMIRROR_ROTCW270;
    static constexpr int32_t LOADIMAGETRANSFORM_VFLIP_ROTCW90 = 1 << DRAWIMAGETRANSFORM_VFLIP_ROTCW90;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW270_HMIRROR = 1 << DRAWIMAGETRANSFORM_ROTCCW270_HMIRROR;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW90_VFLIP = 1 << DRAWIMAGETRANSFORM_ROTCCW90_VFLIP;
    static constexpr int32_t LOADIMAGETRANSFORM_HMIRROR_ROTCCW90 = 1 << DRAWIMAGETRANSFORM_HMIRROR_ROTCCW90;
    static constexpr int32_t LOADIMAGETRANSFORM_VFLIP_ROTCCW270 = 1 << DRAWIMAGETRANSFORM_VFLIP_ROTCCW270;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW180_HMIRROR = 1 << DRAWIMAGETRANSFORM_ROTCW180_HMIRROR;
    static constexpr int32_t LOADIMAGETRANSFORM_VFLIP = 1 << DRAWIMAGETRANSFORM_VFLIP;
    static constexpr int32_t LOADIMAGETRANSFORM_HMIRROR_ROTCW180 = 1 << DRAWIMAGETRANSFORM_HMIRROR_ROTCW180;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW180_HMIRROR = 1 << DRAWIMAGETRANSFORM_ROTCCW180_HMIRROR;
    static constexpr int32_t LOADIMAGETRANSFORM_HMIRROR_ROTCCW180 = 1 << DRAWIMAGETRANSFORM_HMIRROR_ROTCCW180;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW270_HMIRROR = 1 << DRAWIMAGETRANSFORM_ROTCW270_HMIRROR;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCW90_VFLIP = 1 << DRAWIMAGETRANSFORM_ROTCW90_VFLIP;
    static constexpr int32_t LOADIMAGETRANSFORM_HMIRROR_ROTCW90 = 1 << DRAWIMAGETRANSFORM_HMIRROR_ROTCW90;
    static constexpr int32_t LOADIMAGETRANSFORM_VFLIP_ROTCW270 = 1 << DRAWIMAGETRANSFORM_VFLIP_ROTCW270;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW90_HMIRROR = 1 << DRAWIMAGETRANSFORM_ROTCCW90_HMIRROR;
    static constexpr int32_t LOADIMAGETRANSFORM_ROTCCW270_VFLIP = 1 << DRAWIMAGETRANSFORM_ROTCCW270_VFLIP;
    static constexpr int32_t LOADIMAGETRANSFORM_HMIRROR_ROTCCW270 = 1 << DRAWIMAGETRANSFORM_HMIRROR_ROTCCW270;
    static constexpr int32_t LOADIMAGETRANSFORM_VFLIP_ROTCCW90 = 1 << DRAWIMAGETRANSFORM_VFLIP_ROTCCW90;
    static constexpr int32_t IMAGEDIMENSION_WIDTH = 0;
    static constexpr int32_t IMAGEDIMENSION_HEIGHT = 1;
    static constexpr int32_t IMAGEDIMENSION_NUM_CELLS_WIDE = 2;
    static constexpr int32_t IMAGEDIMENSION_NUM_CELLS_HIGH = 3;
    static constexpr int32_t IMAGEDIMENSION_CELL_WIDTH = 4;
    static constexpr int32_t IMAGEDIMENSION_CELL_HEIGHT = 5;
    static constexpr int32_t IMAGEDIMENSION_CELL_CROPPED_WIDTH = 6;
    static constexpr int32_t IMAGEDIMENSION_CELL_CROPPED_HEIGHT = 7;
    static constexpr int32_t IMAGEDIMENSION_CELL_CROPPED_TL_X = 8;
    static constexpr int32_t IMAGEDIMENSION_CELL_CROPPED_TL_Y = 9;

    virtual void initTessel();
    virtual JavaPtr<java::io::DataInputStream> getFileFromJarAsDataInputStream(const JavaPtr<String>& name);
    virtual JavaPtr<JArray<signed char>> loadFileFromJar(const JavaPtr<String>& name, int32_t length);
    virtual void loadResourceBlock(int32_t block);
    virtual void unloadResourceBlock(int32_t block);
    virtual void unloadUnusedResourcePacks();
    virtual int32_t getBlockOfResource(int32_t id);
    virtual int32_t getResID(const JavaPtr<String>& name);
    virtual JavaPtr<String> getResString(int32_t id);
    virtual JavaPtr<JArray<signed char>> getResourceByteArray(int32_t id);
    virtual JavaPtr<JArray<unsigned short>> getResourceCharArray(int32_t id);
    virtual JavaPtr<JArray<short>> getResourceShortArray(int32_t id);
    virtual JavaPtr<JArray<int32_t>> getResourceIntArray(int32_t id);
    virtual JavaPtr<JArray<long long>> getResourceLongArray(int32_t id);
    virtual JavaPtr<JArray<float>> getResourceFloatArray(int32_t id);
    virtual JavaPtr<JArray<double>> getResourceDoubleArray(int32_t id);
    static short readShortFromByteArray(const JavaPtr<JArray<signed char>>& data, int32_t offset);
    static int32_t readIntFromByteArray(const JavaPtr<JArray<signed char>>& data, int32_t offset);
    static long long readLongFromByteArray(const JavaPtr<JArray<signed char>>& data, int32_t offset);
    static int32_t writeIntToByteArray(const JavaPtr<JArray<signed char>>& data, int32_t offset,
                                       int32_t value);

    virtual JavaPtr<JArray<signed char>> pngCreateByteArray(int32_t width, int32_t height,
                                                            const JavaPtr<JArray<signed char>>& pixels);
    virtual JavaPtr<JArray<signed char>> pngCreateByteArray(int32_t width, int32_t height, int32_t depth,
                                                            const JavaPtr<JArray<signed char>>& palette,
                                                            const JavaPtr<JArray<signed char>>& data,
                                                            bool dataIsIdat);
    virtual JavaPtr<Image> pngCreateImage(int32_t width, int32_t height,
                                          const JavaPtr<JArray<signed char>>& pixels);
    virtual JavaPtr<Image> pngCreateImage(int32_t width, int32_t height, int32_t depth,
                                          const JavaPtr<JArray<signed char>>& palette,
                                          const JavaPtr<JArray<signed char>>& data, bool dataIsIdat);
    static void pngCalcCrcTable();
    static int32_t pngCalcCrc(const JavaPtr<JArray<signed char>>& data, int32_t end, int32_t length);
    static int32_t pngCalcAdler(const JavaPtr<JArray<signed char>>& data, int32_t end, int32_t length,
                                int32_t blockLength);

    virtual JavaPtr<JArray<signed char>> decodeImage(const JavaPtr<JArray<signed char>>& resource,
                                                     int32_t offset, int32_t width, int32_t height);
    virtual JavaPtr<JArray<signed char>> decodeImage(const JavaPtr<JArray<signed char>>& resource,
                                                     int32_t offset, int32_t width, int32_t height,
                                                     int32_t colourCount);
    virtual JavaPtr<Image> getImage(int32_t id, int32_t palette, int32_t transform);
    virtual JavaPtr<Image> getImage(int32_t id, int32_t firstPalette, int32_t secondPalette,
                                    int32_t transform);
    virtual JavaPtr<Image> getImage(int32_t id);
    virtual int32_t loadImageID(int32_t id, int32_t palette, int32_t transforms, bool splitCells);
    virtual int32_t loadImageID(int32_t id, int32_t firstPalette, int32_t secondPalette, int32_t transforms,
                                bool splitCells);
    virtual void drawImageID(const JavaPtr<Graphics>& g, int32_t imageId, int32_t cell, int32_t transform,
                             int32_t x, int32_t y, int32_t anchor);
    virtual void drawImageIDNoTransform(const JavaPtr<Graphics>& g, int32_t imageId, int32_t cell, int32_t x,
                                        int32_t y, int32_t anchor);
    virtual void unloadImageID(int32_t imageId);
    virtual int32_t getImageDimension(int32_t imageId, int32_t cell, int32_t transform, int32_t selector);
    virtual void loadImage(int32_t imageId, const JavaPtr<JArray<signed char>>& pixels, int32_t width,
                           int32_t height, int32_t transforms, bool splitCells);
    virtual void loadImage(int32_t imageId, const JavaPtr<JArray<signed char>>& indices,
                           const JavaPtr<JArray<signed char>>& palette, int32_t width, int32_t height,
                           int32_t transforms, bool splitCells);
    virtual void drawImageCell(const JavaPtr<Graphics>& g, int32_t imageId, int32_t cell, int32_t transform,
                               int32_t x, int32_t y);
    virtual JavaPtr<Image> createRGBImage(const JavaPtr<JArray<int32_t>>& argb, int32_t width, int32_t height,
                                          bool processAlpha);
    virtual int32_t currentImageTransforms(int32_t imageId);
    static JavaPtr<Image> pngMakeMutable(const JavaPtr<Image>& image);

    HookCanvas() noexcept {}
    ~HookCanvas() override;

    HookCanvas* TESLinvokeconstructor();
    void TESLinitconstructor();

    static void HookCanvas_globalStaticCreate();
    static void HookCanvas_globalStaticDestroy();

    // Inherited operations the class overrides.
    void hideNotify() override;
    void showNotify() override;
    void paint(const JavaPtr<Graphics>& g) override;

    // Frame loop and game-state switch.
    virtual void syncPaint();
    virtual void updateScreenDimensions();
    virtual void initInterrupts();
    virtual void initKeysAndTouch();
    virtual void _FuSeD_mThD_1_startLoading();
    virtual void startMainThread();
    virtual void stopMainThread();
    void run() override;
    virtual void variableRateUpdate(long long elapsedMs);
    virtual void _FuSeD_mThD_1_fixedRateUpdate();
    virtual void changeGameStateTo(int32_t state);
    virtual void sleep(int32_t ms);
    virtual void _FuSeD_mThD_1_hideNotify();
    virtual void _FuSeD_mThD_1_showNotify();
    virtual void releaseAllKeys();
    virtual void quit();
    virtual void runOnce();
    virtual void debug(const JavaPtr<String>& message, int32_t flags);
    virtual bool launchWapBrowser(const JavaPtr<String>& url);

    // HTTP worker: one background request at a time in conn_class, started and stopped on the caller's
    // thread (nothing in the quiz calls these).
    virtual void openHttpConnectionByteArrayData(const JavaPtr<String>& url, int32_t encoding,
                                                 const JavaPtr<JArray<signed char>>& data);
    virtual void openHttpConnectionStringData(const JavaPtr<String>& url, int32_t encoding,
                                              const JavaPtr<String>& text);
    virtual void closeHttpConnection();
    virtual JavaPtr<String> urlEncode(const JavaPtr<String>& text);

    // Sound channels, vibration and the beep.
    static constexpr int32_t PARAM_TS_SOUND_AUDIO_MAX_PIECES = 21;
    static constexpr int32_t PARAM_TS_SOUND_AUDIO_MAX_CONCURRENT_CHANNELS = 8;
    static constexpr int32_t PARAM_TS_SOUND_AUDIO_DEFAULT_VOLUME = 100;
    static constexpr int32_t PARAM_TS_SOUND_JSR135_MAX_PREFETCHED_PLAYERS = 8;
    static constexpr bool PARAM_TS_SOUND_JSR135_LOADSOUND_CREATES_PLAYER = true;
    static constexpr bool PARAM_TS_SOUND_JSR135_RESET_MEDIA_TIME_WHEN_START = true;
    static constexpr bool PARAM_TS_SOUND_BACKLIGHT_ACCESSIBLE = false;
    virtual void keepTheLightOn(int64_t value);
    virtual void vibrate(int32_t ms);
    virtual int32_t loadSound(int32_t resourceId);
    virtual void unloadSound(int32_t resourceId);
    virtual void setVolume(int32_t level);
    virtual void _FuSeD_mThD_1_playSound(int32_t resourceId, int32_t priority, int32_t loops);
    virtual void stopSound(int32_t resourceId);
    virtual void stopAllSounds();
    virtual bool resumeSound(int32_t resourceId);
    virtual void pauseSound(int32_t resourceId);
    virtual void beep();
    virtual int32_t alreadyLoadedChannel(int32_t resourceId);
    virtual bool playResumeSound(int32_t resourceId, int32_t priority, int32_t loops, bool resume);
    virtual void stopSoundChannel(int32_t channel);
    virtual void cleanUpPlayerFromChannel(int32_t channel);
    void playerUpdate(const JavaPtr<Player>& player, const JavaPtr<String>& event,
                      const JavaPtr<java::lang::Object>& eventData) override;
    virtual void createPlayerAndPrefetch(int32_t channel);
    static bool isPrefetchedOrStarted(int32_t state);
    // The content type of a sound by its first bytes: an index into sound_mime_types.
    int32_t soundTypeIndex(const JavaPtr<JArray<signed char>>& bytes);

    // Input: key flags, the pause key, cheat codes, pointer hit tests and touch regions.
    static constexpr int32_t KEYFLAG_0 = 0x1;
    static constexpr int32_t KEYFLAG_1 = 0x2;
    static constexpr int32_t KEYFLAG_2 = 0x4;
    static constexpr int32_t KEYFLAG_3 = 0x8;
    static constexpr int32_t KEYFLAG_4 = 0x10;
    static constexpr int32_t KEYFLAG_5 = 0x20;
    static constexpr int32_t KEYFLAG_6 = 0x40;
    static constexpr int32_t KEYFLAG_7 = 0x80;
    static constexpr int32_t KEYFLAG_8 = 0x100;
    static constexpr int32_t KEYFLAG_9 = 0x200;
    static constexpr int32_t KEYFLAG_HASH = 0x400;
    static constexpr int32_t KEYFLAG_STAR = 0x800;
    static constexpr int32_t KEYFLAG_DELETE = 0x1000;
    static constexpr int32_t KEYFLAG_SELECT = 0x4000;
    static constexpr int32_t KEYFLAG_START = 0x8000;
    static constexpr int32_t KEYFLAG_LEFT = 0x10000;
    static constexpr int32_t KEYFLAG_RIGHT = 0x20000;
    static constexpr int32_t KEYFLAG_UP = 0x40000;
    static constexpr int32_t KEYFLAG_DOWN = 0x80000;
    static constexpr int32_t KEYFLAG_FIRE = 0x100000;
    static constexpr int32_t KEYFLAG_SOFTKEYFWRD = 0x1000000;
    static constexpr int32_t KEYFLAG_SOFTKEYBACK = 0x2000000;
    static constexpr int32_t KEYFLAG_VOLUMEUP = 0x4000000;
    static constexpr int32_t KEYFLAG_VOLUMEDOWN = 0x8000000;
    static constexpr int32_t KEYFLAG_RIGHT_MOUSE_CLICK = 0x10000000;
    // The flag word of the pause key, which has no name of its own.
    static constexpr int32_t KEYFLAG_PAUSE_KEY = 0x2000;
    static constexpr int32_t TOUCHSCREEN_REGION_INFO_TLX = 0;
    static constexpr int32_t TOUCHSCREEN_REGION_INFO_TLY = 1;
    static constexpr int32_t TOUCHSCREEN_REGION_INFO_BRX = 2;
    static constexpr int32_t TOUCHSCREEN_REGION_INFO_BRY = 3;
    static constexpr int32_t TOUCHSCREEN_REGION_INFO_KEYFLAGS = 4;
    static constexpr int32_t SIZE_TOUCHSCREEN_REGION_INFO = 5;
    static constexpr int32_t PARAM_TS_CORE_MAX_TOUCHSCREEN_REGIONS = 0;
    static constexpr int32_t PARAM_TS_CORE_TOUCHSCREEN_ENABLED = 1;
    static constexpr int32_t PARAM_TS_SOFTKEYS_IGNORE_NULL_SOFTKEY_PRESSES = 1;
    static constexpr int32_t PARAM_TS_CORE_RESET_SK_PRESSES_ON_SHOWNOTIFY = 0;
    static constexpr int32_t CHEATS_ENABLED = 1;
    // Keypad digits read as hexadecimal, first key typed highest: 7, 3, 5, 1, 9 and 2, 4, 6, 8, 0.
    static constexpr int32_t PARAM_TS_CORE_CHEAT0 = 0x73519;
    static constexpr int32_t PARAM_TS_CORE_CHEAT1 = 0x24680;
    static constexpr int32_t PARAM_TS_CORE_CHEAT2 = -1;
    static constexpr int32_t PARAM_TS_CORE_CHEAT3 = -1;
    static constexpr int32_t PARAM_TS_CORE_CHEAT4 = -1;
    static constexpr int32_t PARAM_TS_CORE_CHEAT5 = -1;
    static constexpr int32_t PARAM_TS_CORE_CHEAT6 = -1;
    static constexpr int32_t PARAM_TS_CORE_CHEAT7 = -1;
    static constexpr int32_t PARAM_TS_CORE_CHEAT8 = -1;
    static constexpr int32_t PARAM_TS_CORE_CHEAT9 = -1;
    void keyPressed(int keyCode) override;
    void keyReleased(int keyCode) override;
    void pointerDragged(int x, int y) override;
    void pointerPressed(int x, int y) override;
    void pointerReleased(int x, int y) override;
    virtual int32_t findKeyBitflag(int32_t keyCode);
    virtual void keyAction(int32_t flags, bool pressed);
    virtual void pointerAction(int32_t x, int32_t y, bool pressed);
    virtual int32_t setTouchscreenRegion(int32_t tlx, int32_t tly, int32_t brx, int32_t bry,
                                         int32_t keyFlags);
    virtual void clearTouchscreenRegion(int32_t region);
    virtual bool pointerOverImage(int32_t imageId, int32_t x, int32_t y);
    virtual bool pointerOverArea(int32_t x, int32_t y, int32_t w, int32_t h);
    // The soft-key labels, read by the key handler on the platform thread: counted copies under
    // softkey_mutex.
    static JavaPtr<String> backSoftkeyString();
    static JavaPtr<String> fwrdSoftkeyString();

    // Menu engine and soft keys.
    static constexpr int32_t MENU_DEFINITION_NUMITEMS = 0;
    static constexpr int32_t MENU_DEFINITION_PREVIOUS_MENU_ITEM = 1;
    static constexpr int32_t MENU_DEFINITION_TYPE = 2;
    static constexpr int32_t NUM_MENU_DEFINITION_FIELDS = 3;
    static constexpr int32_t MENU_ITEM_TYPE_SIZE_FLAGS = 0;
    static constexpr int32_t MENU_ITEM_TFS_TYPE_MASK = static_cast<int32_t>(0xFF000000u);
    static constexpr int32_t MENU_ITEM_TFS_FLAGS_MASK = 0xFFFF00;
    static constexpr int32_t MENU_ITEM_TFS_SIZE_MASK = 0xFF;
    static constexpr int32_t MENU_ITEMTYPE_SOFTKEY = 0;
    static constexpr int32_t MENU_ITEMTYPE_HEADER = 0x1000000;
    static constexpr int32_t MENU_ITEMTYPE_TEXT = 0x2000000;
    static constexpr int32_t MENU_ITEMTYPE_BUTTON = 0x3000000;
    static constexpr int32_t MENU_SOFTKEY_TEXTID = 1;
    static constexpr int32_t MENU_SOFTKEY_FWRD = 2;
    static constexpr int32_t MENU_SOFTKEY_ACTION = 3;
    static constexpr int32_t MENU_SOFTKEY_FWRD_VALUE_BACK = 0;
    static constexpr int32_t MENU_SOFTKEY_FWRD_VALUE_FWRD = 1;
    static constexpr int32_t NUM_MENU_SOFTKEY_FIELDS = 4;
    static constexpr int32_t MENU_HEADER_TEXTID = 1;
    static constexpr int32_t MENU_HEADER_SPLITCACHEID = 2;
    static constexpr int32_t NUM_MENU_HEADER_FIELDS = 3;
    static constexpr int32_t MENU_TEXT_TEXTID = 1;
    static constexpr int32_t MENU_TEXT_SPLITCACHEID = 2;
    static constexpr int32_t NUM_MENU_TEXT_FIELDS = 3;
    static constexpr int32_t MENU_BUTTON_TEXTID = 1;
    static constexpr int32_t MENU_BUTTON_SPLITCACHEID = 2;
    static constexpr int32_t MENU_BUTTON_ACTION = 3;
    static constexpr int32_t NUM_MENU_BUTTON_FIELDS = 4;
    static constexpr int32_t PARAM_TS_SOFTKEYS_RENDER_AT_SCREEN_BOTTOM = 1;
    static constexpr int32_t PARAM_TS_SOFTKEYS_RENDER_BACK_ON_LEFT = 1;
    static constexpr int32_t PARAM_TS_SOFTKEYS_LCDUI_CREATE_BACK_FIRST = 1;
    static constexpr int32_t PARAM_TS_SOFTKEYS_LCDUI_NO_BLANK_LABELS = 0;
    static constexpr int32_t PARAM_TS_SOFTKEYS_LCDUI_COMMANDTYPE_BACK = 2;
    static constexpr int32_t PARAM_TS_SOFTKEYS_LCDUI_COMMANDTYPE_FWRD = 4;
    static constexpr int32_t PARAM_TS_SOFTKEYS_LCDUI_PRIORITY_BACK = 1;
    static constexpr int32_t PARAM_TS_SOFTKEYS_LCDUI_PRIORITY_FWRD = 1;
    static constexpr int32_t PARAM_NEED_TO_RENDER_SOFTKEYS = 0;
    static constexpr int32_t NEED_TO_RENDER_SOFTKEYS = 1;
    virtual void setSoftkeys(const JavaPtr<String>& back, const JavaPtr<String>& forward);
    virtual JavaPtr<String> adjustGraphicalSoftkeyLabel(const JavaPtr<String>& label, bool back);
    virtual void menuLoad(int32_t menu, int32_t mask, bool setLabels);
    virtual void menuLoad(int32_t menu, int32_t mask);
    virtual void menuBack();
    virtual int32_t menuItemIndex(int32_t menu, int32_t item);
    virtual int32_t menuItemIndex(int32_t item);
    virtual void menuAdjustCurrentSelectedItem(int32_t delta, int32_t mask, bool wrap);
    virtual int32_t menuGetSoftkeyIndex(bool forward);
    virtual void menuInjectItem(int32_t menu, int32_t position, const JavaPtr<JArray<int32_t>>& item);
    virtual void menuRemoveItem(int32_t menu, int32_t item);
    virtual JavaPtr<JArray<int32_t>> menuItemHeader(int32_t textId);
    virtual JavaPtr<JArray<int32_t>> menuItemText(int32_t textId);
    virtual JavaPtr<JArray<int32_t>> menuItemButton(int32_t textId, int32_t flags, int32_t action);
    virtual JavaPtr<JArray<int32_t>> menuItemSoftkey(int32_t textId, bool forward, int32_t action);
    // The definition of a menu id, or null when there is none.
    JavaPtr<JArray<int32_t>> menuDefinition(int32_t menu);

    // The quiz's hooks.
    virtual void loadSounds();
    virtual void unloadSounds();
    virtual void startLoading();
    virtual void fixedRateUpdate();
    virtual void render(const JavaPtr<Graphics>& g);
    void dataReceived(const JavaPtr<SensorConnection>& connection,
                      const JavaPtr<JArray<JavaPtr<javax::microedition::sensor::Data>>>& data,
                      bool isDataLost) override;

    // Text: ENC strings and language tables, insertion, word wrap, bitmap-font text.
    static constexpr int32_t TEXTFLAG_CONTAINS_HYPHENATION_GUIDELINES = 4;
    static constexpr int32_t PARAM_TS_TEXT_NUM_LANGUAGES = 5;
    static constexpr int32_t PARAM_TS_TEXT_MAX_LANGUAGE_NAME_LENGTH = 2;
    static constexpr int32_t PARAM_USE_BITMAP_FONT = 1;
    static constexpr int32_t PARAM_TS_TEXT_USE_BITMAP_FONTS = 1;
    static constexpr int32_t PARAM_TS_TEXT_STORE_BITMAP_FONT_CHARS_SEPARATELY = 1;
    static constexpr int32_t PARAM_TS_TEXT_SIZE_OF_FONT_CACHE = 2;
    static constexpr int32_t PARAM_TS_TEXT_DEFAULT_SYSTEM_FONT_FACE = 64;
    static constexpr int32_t PARAM_TS_TEXT_DEFAULT_SYSTEM_FONT_SIZE = 8;
    static constexpr int32_t PARAM_TS_TEXT_DEFAULT_SYSTEM_FONT_STYLE = 0;
    static constexpr int32_t PARAM_TS_TEXT_DEFAULT_SYSTEM_FONT_STYLE_DX = 0;
    static constexpr int32_t PARAM_TS_TEXT_DEFAULT_SYSTEM_FONT_STYLE_DY = 0;
    static constexpr int32_t PARAM_TS_TEXT_DEFAULT_SYSTEM_FONT_STYLE_DHEIGHT = 0;
    static int32_t numLanguagesIncluded();
    static JavaPtr<String> getLanguageIDString(int32_t language);
    // The entries of a language table file, or null when the file does not hold S whole entries.
    static JavaPtr<JArray<JavaPtr<JArray<signed char>>>> parseLanguageTable(
        const JavaPtr<JArray<signed char>>& file);
    virtual void loadLanguage(int32_t language);
    virtual JavaPtr<JArray<signed char>> getENCString(int32_t id);
    virtual JavaPtr<String> getString(int32_t id);
    virtual JavaPtr<String> getStringFromENCString(const JavaPtr<JArray<signed char>>& enc);
    // IllegalArgumentException for a text of more than 65535 characters, which no count can carry.
    virtual JavaPtr<JArray<signed char>> getENCStringFromString(const JavaPtr<String>& s);
    static JavaPtr<String> insertStringIntoString(const JavaPtr<String>& text, const JavaPtr<String>& marker,
                                                  const JavaPtr<String>& insert);
    static JavaPtr<String> insertString(const JavaPtr<String>& text, const JavaPtr<String>& marker,
                                        const JavaPtr<String>& insert);
    static JavaPtr<String> replaceHardSpaces(const JavaPtr<String>& s);
    virtual JavaPtr<String> insertENCStringIntoString(const JavaPtr<String>& text,
                                                      const JavaPtr<String>& marker,
                                                      const JavaPtr<JArray<signed char>>& insert);
    virtual JavaPtr<JArray<signed char>> insertStringIntoENCString(const JavaPtr<JArray<signed char>>& text,
                                                                   const JavaPtr<String>& marker,
                                                                   const JavaPtr<String>& insert);
    // IllegalArgumentException when the result would hold more than 65535 characters or guidelines.
    virtual JavaPtr<JArray<signed char>> insertENCStringIntoENCString(
        const JavaPtr<JArray<signed char>>& text, const JavaPtr<String>& marker,
        const JavaPtr<JArray<signed char>>& insert);
    virtual JavaPtr<JArray<JavaPtr<String>>> splitENCString(const JavaPtr<JArray<signed char>>& enc,
                                                            int32_t font, int32_t width);
    virtual JavaPtr<JArray<JavaPtr<String>>> splitString(const JavaPtr<String>& text, int32_t font,
                                                         int32_t width);
    virtual int32_t loadBitmapFont(int32_t res, int32_t palette);
    virtual int32_t _FuSeD_mThD_1_loadBitmapFont(int32_t res, int32_t palette);
    virtual int32_t loadSystemFont(int32_t face, int32_t style, int32_t size, int32_t colour);
    virtual void unloadFont(int32_t slot);
    virtual int32_t getBitmapFontCharacterIndex(int32_t slot, unsigned short c);
    virtual int32_t getCharWidth(int32_t slot, unsigned short c);
    virtual int32_t _FuSeD_mThD_1_getCharWidth(int32_t slot, unsigned short c);
    virtual int32_t getCharsWidth(int32_t slot, const JavaPtr<JArray<unsigned short>>& chars);
    virtual int32_t getStringWidth(int32_t slot, const JavaPtr<String>& s);
    virtual int32_t getMaxStringWidths(int32_t slot, const JavaPtr<JArray<JavaPtr<String>>>& lines);
    virtual int32_t getFontHeight(int32_t slot);
    virtual void setFont(const JavaPtr<Graphics>& g, int32_t slot);
    virtual void drawCharsOrString(const JavaPtr<Graphics>& g, const JavaPtr<String>& s,
                                   const JavaPtr<JArray<unsigned short>>& chars, int32_t offset,
                                   int32_t length, int32_t x, int32_t y, int32_t anchor, int32_t spacing);
    virtual void drawString(const JavaPtr<Graphics>& g, const JavaPtr<String>& s, int32_t x, int32_t y,
                            int32_t anchor, int32_t spacing);
    virtual void drawCharsExtended(const JavaPtr<Graphics>& g, const JavaPtr<JArray<unsigned short>>& chars,
                                   int32_t offset, int32_t length, int32_t x, int32_t y, int32_t anchor,
                                   int32_t spacing);
    virtual void drawChars(const JavaPtr<Graphics>& g, const JavaPtr<JArray<unsigned short>>& chars,
                           int32_t x, int32_t y, int32_t anchor, int32_t spacing);
    virtual void drawSplitString(const JavaPtr<Graphics>& g, const JavaPtr<JArray<JavaPtr<String>>>& lines,
                                 int32_t x, int32_t y, int32_t anchor, int32_t lineSpacing);
    // The slot choice both bitmap-font loaders share: the slot already holding the sheet, else the first
    // free one filled from the character table (and the width table unless metricsRes is -1), else -1
    // with the sheet released.
    int32_t placeBitmapFont(int32_t imageId, int32_t infoRes, int32_t metricsRes);
    // Letter spacing of a bitmap-font slot (signed high byte of character-table entry 1).
    static int32_t bitmapFontLetterSpacing(int32_t slot);

    // Fixed-point maths and the generator.
    static int32_t iToF(int32_t i);
    static int32_t FToi(int32_t f);
    static int32_t FToiNearest(int32_t f);
    static int32_t Fmul(int32_t a, int32_t b);
    static int64_t FmulToLong(int32_t a, int32_t b);
    static int32_t Fdiv(int32_t a, int32_t b);
    static int32_t max(int32_t a, int32_t b);
    static int32_t min(int32_t a, int32_t b);
    static int32_t abs(int32_t a);
    static int32_t sqrt(int32_t n);
    static int32_t cbrt(int32_t n);
    static int32_t Fsqrt(int32_t f);
    static int32_t Fcbrt(int32_t f);
    static int32_t Fsin(int32_t x);
    static int32_t Fcos(int32_t x);
    static int32_t sin(int32_t d);
    static int32_t cos(int32_t d);
    static int32_t vectorToFRad(int32_t a, int32_t b);
    static int32_t vectorToFDeg(int32_t a, int32_t b);
    static int32_t vectorToiDeg(int32_t a, int32_t b);
    static int32_t FradToFDeg(int32_t r);
    static int32_t FradToiDeg(int32_t r);
    static int32_t FdegToFRad(int32_t f);
    static int32_t idegToFRad(int32_t d);
    static int32_t FsinFromFDeg(int32_t f);
    static int32_t FcosFromFDeg(int32_t f);
    static int32_t FsinFromiDeg(int32_t d);
    static int32_t FcosFromiDeg(int32_t d);
    static void setRandomNumberSeed(int64_t s);
    static int32_t random(int32_t n);
    static void randomAddToIntSeed(int32_t v);
    // One step of the 48-bit generator on a seed; the quiz's own draws step random_seed with it.
    static int64_t nextRandomSeed(int64_t seed);

    // Test-driven passes: startMainThread sets the step times but starts no thread, and the test calls
    // runOnce itself. Loading threads still run.
    static inline std::atomic<bool> manual_passes{false};
    // Passes of the frame loop finished, stepped or not: its wake-ups.
    static inline std::atomic<uint64_t> finished_passes{0};
    // Passes that stepped, and so painted the step's picture or found it already on show: the heartbeat
    // for whoever waits until a settled screen is on show, which hands over no new frames. A pass without
    // a step paints nothing and proves nothing.
    static inline std::atomic<uint64_t> stepped_passes{0};
    // Waits until the loading bit is clear or the limit passes; true when it cleared.
    static bool waitForLoading(long long limitMs);
    // Whether the calling thread is running a screen's load.
    static bool onLoadingThread();
    // Set when an exception ended a canvas thread; the program then exits with a failure status.
    static inline std::atomic<bool> thread_failed{false};

    // Record-store slots, question banks, answering and scoring, the progress record (quiz-data).
    static constexpr int32_t PARAM_TS_RECORDSTORE_SAVE_IMMEDIATELY = 1;
    static constexpr int32_t PARAM_TS_RECORDSTORE_DELETE_BEFORE_SAVE = 0;
    static constexpr int32_t PARAM_TS_RECORDSTORE_UPDATE_WITH_SETRECORD = 0;
    static constexpr int32_t PARAM_TS_RECORDSTORE_CHECK_ENUM_ORDERINGS = 0;
    static constexpr int32_t PARAM_TS_DEBUGFLAG_RECORDSTORE = 8;
    static constexpr int32_t QUESTION_TIMER_MAX_MS = 10000;
    static constexpr int32_t POINTS_PER_CORRECT_ANSWER = 2;
    static constexpr int32_t POINTS_PER_WRONG_ANSWER = -2;
    static constexpr int32_t PARAM_NEXT_QUESTION_DELAY = 100;
    static constexpr int32_t MAX_HINTS_OR_SKIPS = 9;
    static constexpr int32_t BUTTON_HINT = 0;
    static constexpr int32_t BUTTON_SKIP = 1;
    static constexpr int32_t BUTTON_INFO = 2;
    static constexpr int32_t BUTTON_MENU = 3;
    static constexpr int32_t PARAM_QUESTION_BOX_WIDTH = 239;
    static constexpr int32_t PARAM_QUESTION_BOX_BORDER = 11;
    static constexpr int32_t PARAM_ANSWER_SPLIT_TEXT_LIMIT = 208;
    static constexpr int32_t PARAM_ANSWER_BUTTONS_LEFT = 91;
    static constexpr int32_t PARAM_ANSWER_BUTTONS_TOP = 132;
    static constexpr int32_t PARAM_ANSWER_BUTTONS_SPACING = 24;
    static constexpr int32_t PARAM_MENU_BUTTONS_LEFT = 11;
    static constexpr int32_t PARAM_MENU_BUTTON_WIDTH = 59;
    static constexpr int32_t PARAM_MENU_BUTTON_SPACING = 21;
    static constexpr int32_t PARAM_MENU_BUTTONS_TOP = 405;
    static constexpr int32_t PARAM_MENU_BUTTON_HEIGHT = 61;
    static constexpr int32_t CATEGORY_COUNT = 16;
    static constexpr int32_t TEST_CATEGORY = 16;
    static constexpr int32_t GAMESTATE_MAIN_MENU = 1;
    static constexpr int32_t GAMESTATE_GAME_RUNNING = 2;
    static constexpr int32_t GAMESTATE_INFOLINK = 11;
    static constexpr int32_t GAMESTATE_CHOOSE_SUBSECTION = 13;
    static constexpr int32_t TWINKLE_WHITE = 0;
    static constexpr int32_t TWINKLE_GREEN = 1;
    static constexpr int32_t TWINKLE_RED = 2;
    static constexpr int32_t TWINKLE_YELLOW = 3;

    using ByteArray = JArray<signed char>;
    using RecordList = JArray<JavaPtr<ByteArray>>;
    virtual bool setRecordStoreData(const JavaPtr<ByteArray>& data, int32_t index);
    virtual bool setRecordStoreDataMult(const JavaPtr<RecordList>& records, int32_t index);
    virtual JavaPtr<ByteArray> getRecordStoreData(int32_t index);
    virtual JavaPtr<RecordList> getRecordStoreDataMult(int32_t index);
    virtual void accessAllRecordStoresWrite();
    virtual bool accessRecordStoreWrite(int32_t slot);
    virtual JavaPtr<RecordList> accessRecordStoreRead(int32_t store);
    // How the last accessRecordStoreRead went: read (its records may still be damaged), no such store,
    // a store whose header was read and found damaged, or a store that could not be read at all (a
    // file that would not open, memory that ran out), which says nothing about what it holds.
    enum class StoreRead { Read, Missing, DamagedHeader, Unreadable };
    StoreRead last_store_read = StoreRead::Read;
    // With Unreadable, the errno of the first call that failed, 0 when none is known.
    int last_store_read_error = 0;

    // "topics.dat" into categoryStrings, subsectionStrings and fresh practicedDBs; the start-up step
    // calls it. Throws IOException when the file is missing or does not hold 16 whole categories.
    virtual void loadTopics();
    virtual void loadDatabase();
    virtual int32_t criticshortRead();
    virtual JavaPtr<String> criticnameReadQuestion();
    virtual JavaPtr<String> criticnameRead();
    // Null when the wanted bank cannot be used (missing, empty or cut short); the reason has gone to
    // System.err and the bank is not loaded.
    virtual JavaPtr<JArray<JavaPtr<String>>> criticQuestionPlease(int32_t unused);
    // False when no question could be made: the screen has already been sent back to the list it
    // came from (practice) or the main menu (test).
    virtual bool getQuestion(bool fresh);
    // Indexes a bank's bytes; false, with the reason on System.err, when the bank cannot be used.
    bool indexDatabase(const JavaPtr<ByteArray>& bytes, const JavaPtr<String>& name);
    // Whether index is among the last count records drawn.
    bool inRecentDraws(int32_t index, int32_t count);

    virtual void handleInput();
    virtual void onFingerDown();
    virtual void onFingerUp();
    virtual int32_t getRanking();
    virtual void resetGame(bool full);
    virtual void resetScores(int32_t category);
    virtual void startGame();
    virtual int32_t howManyBoxes(int32_t category);

    virtual void saveData();
    virtual void loadSavedData();
    using DataOutputStreamRef = JavaPtr<java::io::DataOutputStream>;
    using DataInputStreamRef = JavaPtr<java::io::DataInputStream>;
    virtual void writeArray(const DataOutputStreamRef& out, const JavaPtr<JArray<int32_t>>& array);
    virtual void writeArray(const DataOutputStreamRef& out, const JavaPtr<JArray<bool>>& array);
    virtual void writeArrayArray(const DataOutputStreamRef& out,
                                 const JavaPtr<JArray<JavaPtr<JArray<bool>>>>& array);
    virtual JavaPtr<JArray<int32_t>> readIntArray(const DataInputStreamRef& in);
    virtual JavaPtr<JArray<bool>> readBooleanArray(const DataInputStreamRef& in);
    virtual JavaPtr<JArray<JavaPtr<JArray<bool>>>> readBoolBoolArray(const DataInputStreamRef& in);
    // The stored practice flags laid onto the sections "topics.dat" gives (practicedDBs as it stands).
    JavaPtr<JArray<JavaPtr<JArray<bool>>>> restorePracticed(
        const JavaPtr<JArray<JavaPtr<JArray<bool>>>>& stored);
    // Moves a progress store whose header is damaged aside, saying where; false when it could not.
    bool setAsideDamagedProgressStore();
    // Says on stderr why a save failed, unless the last save failed the same way (kind: its errno, or
    // a negative kind without one).
    void reportSaveFailure(int32_t kind, const std::string& text);
    // Brings every saved field into the range the screens index with. loadSavedData calls it; the
    // asset loading calls it again once levelThresholds is read, which bounds the level.
    void validateProgress();
    // Hit tests of answer button k and game button j, a ghosted answer never hit.
    bool answerHit(int32_t k);
    bool gameButtonHit(int32_t j);
    int32_t answerButtonTop(int32_t k);
    // The middle of answer button k, where a tap chooses it (with the canvas's monitor held).
    std::pair<int32_t, int32_t> answerButtonCentre(int32_t k);
    void useHint();
    void markSectionPractised();

    // Presentation operations the answering calls. Their bodies here are the least the callers need
    // and are to be filled by the presentation area (cues, wipes, particles, layout scaling).
    virtual void playSound(int32_t id, int32_t priority, int32_t loops);
    virtual void startFade(int32_t direction, int32_t state);
    virtual void particle_shower(int32_t x, int32_t y, int32_t colour, int32_t count);
    virtual int32_t getParam(int32_t v);

    // Quiz presentation: layout scaling and device hooks.
    virtual int32_t getPos(int32_t v);
    // Picks the doubled layout or the base one from the device family and screen size, then the
    // picture variants to match.
    void decideResolution();
    virtual void setupImageResource();
    virtual void iPhoneGetDeviceDetails();
    virtual void iPhoneTransitionSetup();
    virtual void iPhoneTransition();
    virtual void iPhoneTextOverlayStart();
    virtual void iPhoneTextOverlayStop();
    virtual void overlayText();

    // Quiz presentation: sound cues and screen transitions.
    // Option 3 of the player's options switches every cue off.
    bool soundSwitchedOff();
    static constexpr int32_t FADE_IN = 1;
    static constexpr int32_t FADE_OUT = -1;
    static constexpr int32_t PARAM_FADE_SIZE = 32;
    static constexpr int32_t GAMESTATE_ABOUT = 3;
    static constexpr int32_t GAMESTATE_STATS = 4;
    static constexpr int32_t GAMESTATE_CONFIRM = 5;
    virtual void fadeTick();
    virtual bool drawFadingSegment(const JavaPtr<Graphics>& g, const JavaPtr<JArray<int32_t>>& ids, int32_t s,
                                   int32_t x, int32_t y, bool resetClip);

    // Quiz presentation: particles and tilt steering.
    static constexpr int32_t TWINKLE_BLUE = 4;
    static constexpr int32_t pt_flags = 0;
    static constexpr int32_t pt_frame_colour = 1;
    static constexpr int32_t pt_ax = 2;
    static constexpr int32_t pt_ay = 3;
    static constexpr int32_t pt_vx = 4;
    static constexpr int32_t pt_vy = 5;
    static constexpr int32_t pt_x = 6;
    static constexpr int32_t pt_y = 7;
    static constexpr int32_t pt_alive = INT32_MIN;
    static constexpr int32_t pt_age_mask = 0xffff;
    static constexpr int32_t pt_lifespan_mask = 0xff0000;
    // Update steps a twinkle lives at most, when the tilt keeps it on the screen.
    static constexpr int32_t pt_longest_life = 1200;
    virtual void tick_particles();
    virtual void render_particles(const JavaPtr<Graphics>& g);
    virtual int32_t count_particles();
    virtual void reset_particles();
    virtual void prepForSteering();

    // Quiz flow: the update step's states, asset loading per state, the button menus, the lists.
    static constexpr int32_t GAMESTATE_PROMOTED = 6;
    static constexpr int32_t GAMESTATE_DEMOTED = 7;
    static constexpr int32_t GAMESTATE_COMPLETE = 9;
    static constexpr int32_t GAMESTATE_SETTINGS = 10;
    static constexpr int32_t GAMESTATE_CHOOSE_CATEGORY = 12;
    static constexpr int32_t GAMESTATE_COMPLETE_AND_ALL_DONE = 14;
    // Items of the button menus (main menu) and the fifth game button.
    static constexpr int32_t BUTTON_CONTINUE = 0;
    static constexpr int32_t BUTTON_NEW_GAME = 1;
    static constexpr int32_t BUTTON_PRACTICE_GAME = 2;
    static constexpr int32_t BUTTON_STATS = 3;
    static constexpr int32_t BUTTON_MENU_ALT = 4;
    static constexpr int32_t PARAM_ITEMS_IN_MAIN_MENU = 4;
    static constexpr int32_t PARAM_MAIN_MENU_TOP = 97;
    static constexpr int32_t PARAM_CONFIRM_MENU_TOP = 237;
    static constexpr int32_t PARAM_TEXT_SPACING = 70;
    static constexpr int32_t PARAM_SCREEN_XCENTRE = 160;
    static constexpr int32_t PARAM_INFOBOX_WIDTH = 230;
    static constexpr int32_t PARAM_FINGERDOWN_TIME = 40;
    static constexpr int32_t scroller_buttonSpacing = 5;
    // Steps the promotion and demotion screens animate for on each entry.
    static constexpr int32_t RANKING_SCREEN_STEPS = 50;
    static constexpr int32_t PARAM_QUESTION_SLIDE_DELAY = 20;
    // The button menu of a screen (1 main menu, 5 confirmation), built when the screen loads.
    virtual void setupMenu(int32_t menu);
    virtual void drawMenu(const JavaPtr<Graphics>& g);
    // The pieces of the update step, one per state family.
    void startUpStep();
    void mainMenuStep();
    void gameRunningStep();
    void confirmStep();
    void resultScreenStep(int32_t state);
    void infoLinkStep();
    void listStep(int32_t state);
    void openList(int32_t listState);
    void touchEpilogue(int32_t state);
    // The press-and-release latch of the menu screens: on a press the click cue (over a button or
    // not); true on the step that sees the release.
    bool menuTapReleased(bool overButton);
    // The pieces of startLoading.
    void loadFirstMainMenu();
    void loadListScreen();
    // A picture of the bundle by resource id, its default palette, no transforms; -1, named on
    // System.err, when it does not load.
    int32_t loadPicture(int32_t res, bool splitCells);
    // Whether an image id holds a picture (a failed load answers -1, which holds none).
    bool imageIdLoaded(int32_t imageId);
    // Loads the pictures of res into a new array (ids in order).
    JavaPtr<JArray<int32_t>> loadPictures(std::initializer_list<int32_t> res, bool splitCells);
    // Start-up and first-load files the quiz cannot run without: a missing one is named on System.err
    // and ends the application through the canvas thread's failure path.
    [[noreturn]] void failMissingStartUpFile(const JavaPtr<String>& what);
    // Names it on System.err; the message.
    JavaPtr<String> reportMissingStartUpFile(const JavaPtr<String>& what);

    // Quiz screens: frame composition, the game screen and the information screen.
    // The screens draw on offscreen_graphics; positions are already scaled unless named in base units.
    void resetRenderClip();
    // Segment s of ids under the wipe, at a base-layout position.
    bool drawSegment(const JavaPtr<JArray<int32_t>>& ids, int32_t s, int32_t x, int32_t y, bool resetClip);
    void drawRenderImage(int32_t imageId, int32_t x, int32_t y, int32_t anchor);
    // Entry index of an id table, or -1 (the id that draws nothing) when there is no such entry.
    static int32_t imageEntry(const JavaPtr<JArray<int32_t>>& ids, int32_t index);
    void drawRenderLines(const JavaPtr<JArray<JavaPtr<String>>>& lines, int32_t x, int32_t top,
                         int32_t anchor);
    void renderLoadingScreen();
    void renderMainMenu();
    void renderConfirm();
    void renderAbout();
    void renderStats();
    // The statistics screen's value of row 0-7.
    JavaPtr<String> statisticsValue(int32_t row);
    // Segments 3-5 and the pressed menu button of the about and statistics screens.
    void renderSideColumn(const JavaPtr<JArray<int32_t>>& segments);
    void renderList(bool categories);
    void renderListRows(bool categories);
    void renderResult(bool promoted);
    void renderComplete();
    void renderGameScreen(bool info);
    // The byte of the running wipe's mask, or 0xFF with no wipe.
    int32_t renderTransitionMask();
    void renderTitlePanel();
    void renderQuestionBox();
    void renderTimerRing();
    int32_t answerButtonImage(int32_t button, bool flipping, int32_t x, int32_t y, bool info);
    void renderAnswerButtons(bool info);
    void renderBottomBar();
    void renderInfoPanel();

    // Instance fields.
    JavaPtr<String> record_store_prefix;
    JavaPtr<JArray<JavaPtr<JArray<JavaPtr<JArray<signed char>>>>>> record_store_cache;
    JavaPtr<JArray<JavaPtr<JArray<int32_t>>>> menu_definitions;
    JavaPtr<JArray<int32_t>> image_keys;
    JavaPtr<JArray<int32_t>> image_dimensions;
    JavaPtr<JArray<JavaPtr<JArray<JavaPtr<Image>>>>> image_cache;
    JavaPtr<JArray<JavaPtr<JArray<signed char>>>> image_cell_tables;
    JavaPtr<JArray<bool>> image_cells_split;
    int32_t sound_volume = 0;
    JavaPtr<JArray<int32_t>> sound_magic_table;
    JavaPtr<JArray<JavaPtr<String>>> sound_mime_types;
    JavaPtr<JArray<JavaPtr<JArray<signed char>>>> sound_data;
    JavaPtr<JArray<int32_t>> sound_resource_ids;
    JavaPtr<JArray<JavaPtr<Player>>> sound_players;
    JavaPtr<JArray<int32_t>> sound_loop_counts;
    JavaPtr<JArray<int32_t>> sound_priorities;
    JavaPtr<AppMidlet> midlet;
    JavaPtr<JArray<int32_t>> menu_current;
    int32_t menu_current_id = 0;
    int32_t menu_selected_item = 0;
    JavaPtr<JArray<JavaPtr<String>>> info_lines;
    int32_t scroller_chosen_item = 0;
    int32_t scroller_pressed_item = 0;
    bool scroller_choice_pending = false;
    // Written by the sensor feed, read by the update step.
    std::atomic<int32_t> tilt_x{0};
    std::atomic<int32_t> tilt_y{0};
    bool overlay_text_shown = false;
    JavaPtr<Image> splash_image;
    JavaPtr<JArray<JavaPtr<Image>>> loading_anim_frames;
    int32_t loading_anim_frame = 0;
    JavaPtr<Image> offscreen_image;
    JavaPtr<Graphics> offscreen_graphics;
    // Cleared by the loading thread while paints read it.
    std::atomic<bool> first_load_pending{false};
    bool no_test_running = false;
    int32_t font_main = 0;
    int32_t font_numbers = 0;
    int32_t img_answer_button_normal = 0;
    int32_t img_answer_button_click = 0;
    int32_t img_answer_button_correct = 0;
    int32_t img_answer_button_wrong = 0;
    int32_t img_answer_button_ghosted = 0;
    int32_t img_wide_button_normal = 0;
    int32_t img_wide_button_click = 0;
    JavaPtr<JArray<int32_t>> img_three_boxes;
    int32_t img_one_box_on = 0;
    int32_t img_one_box_off = 0;
    int32_t img_timer_dot = 0;
    int32_t question_sound_index = 0;
    JavaPtr<JArray<int32_t>> timer_dot_positions;
    int32_t timer_remaining_ms = 0;
    bool timer_warning_played = false;
    int32_t answer_button_width = 0;
    int32_t answer_button_height = 0;
    int32_t wide_button_width = 0;
    int32_t fade_step = 0;
    int32_t fade_timer_ms = 0;
    JavaPtr<JArray<signed char>> fade_mask;
    JavaPtr<JArray<int32_t>> fade_segments;
    // Set by a paint that widened a segment's reveal: the next paint differs even without a step.
    bool fade_revealing = false;
    // Set by a paint whose picture a repeat paint would draw again unchanged (no wipe, no loading
    // animation): a pass without an update step then need not paint. Written by the painting thread,
    // read by the frame loop.
    std::atomic<bool> last_frame_repeats{false};
    int32_t img_web_base_strip = 0;
    int32_t img_web_base_back_icon_click = 0;
    JavaPtr<JArray<int32_t>> settings_button_images;
    JavaPtr<JArray<int32_t>> settings_button_positions;
    int32_t img_icon_about = 0;
    int32_t img_icon_click_about = 0;
    JavaPtr<JArray<bool>> options;
    JavaPtr<JArray<int32_t>> img_menu_bg;
    JavaPtr<JArray<int32_t>> img_main_menu_bg;
    JavaPtr<JArray<signed char>> menu_bg_trans;
    JavaPtr<JArray<int32_t>> img_about_bg;
    JavaPtr<JArray<signed char>> about_bg_trans;
    int32_t img_stats_box_overlay = 0;
    JavaPtr<JArray<int32_t>> img_stats_bg;
    JavaPtr<JArray<signed char>> stats_bg_trans;
    JavaPtr<JArray<int32_t>> img_stats_star;
    JavaPtr<JArray<int32_t>> img_confirm_bg;
    JavaPtr<JArray<signed char>> confirm_bg_trans;
    JavaPtr<JArray<int32_t>> img_game_bg;
    JavaPtr<JArray<signed char>> game_bg_trans;
    int32_t img_game_infobox = 0;
    int32_t img_complete_bg = 0;
    int32_t img_complete_bg_practice = 0;
    JavaPtr<JArray<int32_t>> img_icon_number;
    int32_t img_icon_number_flash = 0;
    JavaPtr<JArray<int32_t>> img_generic;
    JavaPtr<JArray<int32_t>> menu_button_images;
    JavaPtr<JArray<int32_t>> menu_button_x;
    JavaPtr<JArray<int32_t>> menu_button_y;
    JavaPtr<JArray<JavaPtr<String>>> menu_button_labels;
    int32_t img_promoted_bg = 0;
    int32_t img_demoted_bg = 0;
    JavaPtr<JArray<int32_t>> img_big_star;
    int32_t img_ranking_button_normal = 0;
    int32_t img_ranking_button_click = 0;
    int32_t img_ranking_button_menu_click = 0;
    int32_t img_units_button_normal = 0;
    int32_t img_units_button_click = 0;
    int32_t ranking_screen_timer = 0;
    int32_t next_question_delay = 0;
    int32_t state_timer_ms = 0;
    bool question_slide_pending = false;
    // The current question has been answered (or timed out) and the next one is not drawn yet: the
    // progress record then keeps no question, so that a restart cannot score it again.
    bool question_answered = false;
    // The first load found the progress store's header damaged, and it is still to be set aside.
    bool progress_store_damaged = false;
    // The first load could not read the progress store (not a damage: a file that would not open,
    // memory that ran out): no save of this run writes over it.
    bool progress_store_held = false;
    // The kind of the last failed save that was reported; 0 once a save succeeds.
    int32_t save_failure_reported = 0;
    int64_t stars_sound_time_a = 0;
    int64_t stars_sound_time_b = 0;
    // Set by loadSounds, which the threads that show the canvas and the loading thread all reach.
    std::atomic<bool> sounds_loaded{false};
    bool sounds_reload_requested = false;
    bool fade_active = false;
    int32_t fade_target_state = 0;
    bool finger_down = false;
    bool scroller_pointer_down = false;
    bool scroller_press_long = false;
    bool scroller_back_hover = false;
    bool scroller_back_shown = false;
    int64_t pointer_held_ms = 0;
    bool database_loaded = false;
    JavaPtr<JArray<signed char>> database;
    int32_t database_pos = 0;
    int32_t database_start = 0;
    int32_t question_count = 0;
    int32_t repeat_ring_pos = 0;
    JavaPtr<JArray<int16_t>> repeat_ring_b;
    JavaPtr<JArray<int32_t>> question_offsets;
    JavaPtr<JArray<JavaPtr<String>>> question;
    JavaPtr<JArray<JavaPtr<String>>> question_lines;
    int32_t correct_position = 0;
    int32_t chosen_answer = 0;
    bool answered_correctly = false;
    JavaPtr<JArray<bool>> ghosted;
    JavaPtr<JArray<JavaPtr<JArray<JavaPtr<String>>>>> answer_lines;
    int32_t hints = 0;
    int32_t skips = 0;
    bool hint_earned = false;
    bool skip_earned = false;
    bool hint_used = false;
    int32_t streak = 0;
    int32_t answered_this_round = 0;
    JavaPtr<JArray<JavaPtr<String>>> saved_question;
    JavaPtr<JArray<JavaPtr<String>>> previous_question;
    JavaPtr<JArray<JavaPtr<String>>> saved_question_lines;
    JavaPtr<JArray<JavaPtr<String>>> previous_question_lines;
    int32_t saved_correct_position = 0;
    int32_t previous_correct_position = 0;
    JavaPtr<JArray<JavaPtr<JArray<JavaPtr<String>>>>> saved_answer_lines;
    JavaPtr<JArray<JavaPtr<JArray<JavaPtr<String>>>>> previous_answer_lines;
    JavaPtr<JArray<bool>> saved_ghosted;
    JavaPtr<JArray<bool>> previous_ghosted;
    int32_t saved_film_id = 0;
    int32_t previous_film_id = 0;
    JavaPtr<JArray<int32_t>> img_game_buttons;
    JavaPtr<JArray<int32_t>> img_ranking;
    int32_t test_right = 0;
    int32_t test_wrong = 0;
    int32_t practice_right_this_game = 0;
    int32_t practice_right_total = 0;
    int32_t practice_wrong = 0;
    int32_t level = 0;
    int32_t best_level = 0;
    int32_t score_meter = 0;
    int32_t level_points = 0;
    int32_t answers_in_level = 0;
    int32_t answer_feedback = 0;
    bool high_resolution = false;
    JavaPtr<String> resolution_suffix;
    JavaPtr<SensorConnection> tilt_sensor;
    int32_t res_twinkle0_white = 0;
    int32_t res_twinkle1_white = 0;
    int32_t res_twinkle2_white = 0;
    int32_t res_twinkle3_white = 0;
    int32_t res_twinkle0_green = 0;
    int32_t res_twinkle1_green = 0;
    int32_t res_twinkle2_green = 0;
    int32_t res_twinkle3_green = 0;
    int32_t res_twinkle0_red = 0;
    int32_t res_twinkle1_red = 0;
    int32_t res_twinkle2_red = 0;
    int32_t res_twinkle3_red = 0;
    int32_t res_twinkle0_yellow = 0;
    int32_t res_twinkle1_yellow = 0;
    int32_t res_twinkle2_yellow = 0;
    int32_t res_twinkle3_yellow = 0;
    int32_t res_twinkle0_blue = 0;
    int32_t res_twinkle1_blue = 0;
    int32_t res_twinkle2_blue = 0;
    int32_t res_twinkle3_blue = 0;
    int32_t res_main_font = 0;
    int32_t res_numbers_font = 0;
    int32_t res_game_bg_0 = 0;
    int32_t res_game_bg_1 = 0;
    int32_t res_game_bg_2 = 0;
    int32_t res_game_bg_3 = 0;
    int32_t res_game_bg_4 = 0;
    int32_t res_game_infobox = 0;
    int32_t res_answer_button_click = 0;
    int32_t res_answer_button_correct = 0;
    int32_t res_answer_button_wrong = 0;
    int32_t res_answer_button_ghosted = 0;
    int32_t res_answer_button_normal = 0;
    int32_t res_wide_button_normal = 0;
    int32_t res_wide_button_click = 0;
    int32_t res_three_boxes_0 = 0;
    int32_t res_three_boxes_1 = 0;
    int32_t res_three_boxes_2 = 0;
    int32_t res_three_boxes_3 = 0;
    int32_t res_one_box_on = 0;
    int32_t res_one_box_off = 0;
    int32_t res_stats_star_bronze = 0;
    int32_t res_stats_star_silver = 0;
    int32_t res_stats_star_gold = 0;
    int32_t res_big_star_bronze = 0;
    int32_t res_big_star_silver = 0;
    int32_t res_big_star_gold = 0;
    int32_t res_timer_dot = 0;
    int32_t res_button_hint = 0;
    int32_t res_button_skip = 0;
    int32_t res_button_info = 0;
    int32_t res_button_menu = 0;
    int32_t res_button_menu_alt = 0;
    int32_t res_icon_number_0 = 0;
    int32_t res_icon_number_1 = 0;
    int32_t res_icon_number_2 = 0;
    int32_t res_icon_number_3 = 0;
    int32_t res_icon_number_4 = 0;
    int32_t res_icon_number_5 = 0;
    int32_t res_icon_number_6 = 0;
    int32_t res_icon_number_7 = 0;
    int32_t res_icon_number_8 = 0;
    int32_t res_icon_number_9 = 0;
    int32_t res_icon_number_flash = 0;
    int32_t res_icon_about = 0;
    int32_t res_icon_click_about = 0;
    int32_t res_web_base_strip = 0;
    int32_t res_web_base_back_icon_click = 0;
    int32_t res_practice_menu_header = 0;
    int32_t res_practice_menu_footer = 0;
    int32_t res_practice_menu_back_off = 0;
    int32_t res_practice_menu_back_on = 0;
    JavaPtr<JArray<int32_t>> res_ranking;
    JavaPtr<JArray<int32_t>> res_generic;
    int32_t res_about_bg_0 = 0;
    int32_t res_about_bg_1 = 0;
    int32_t res_about_bg_2 = 0;
    int32_t res_about_bg_3 = 0;
    int32_t res_about_bg_4 = 0;
    int32_t res_about_bg_5 = 0;
    int32_t res_promoted_bg = 0;
    int32_t res_ranking_button_normal = 0;
    int32_t res_ranking_button_click = 0;
    int32_t res_demoted_bg = 0;
    int32_t res_stats_bg_0 = 0;
    int32_t res_stats_bg_1 = 0;
    int32_t res_stats_bg_2 = 0;
    int32_t res_stats_bg_3 = 0;
    int32_t res_stats_bg_4 = 0;
    int32_t res_stats_bg_5 = 0;
    int32_t res_stats_box_overlay = 0;
    int32_t res_confirm_bg_0 = 0;
    int32_t res_confirm_bg_1 = 0;
    int32_t res_confirm_bg_2 = 0;
    int32_t res_confirm_bg_3 = 0;
    int32_t res_confirm_bg_4 = 0;
    int32_t res_complete_bg = 0;
    int32_t res_complete_bg_practice = 0;
    int32_t res_ranking_button_menu_click = 0;
    int32_t res_units_button_normal = 0;
    int32_t res_units_button_click = 0;
    int32_t res_menu_bg_0 = 0;
    int32_t res_menu_bg_1 = 0;
    int32_t res_menu_bg_2 = 0;
    int32_t res_chooser_bg_2 = 0;
    int32_t res_menu_bg_3 = 0;

    // Class statics shared by the platform main thread (input), the canvas and loading threads and
    // the ticker: atomic, bit changes as fetch-or / fetch-and.
    static inline std::atomic<int32_t> PARAM_TS_BASE_SCREEN_WIDTH{0};
    static inline std::atomic<int32_t> PARAM_TS_BASE_SCREEN_HEIGHT{0};
    static inline std::atomic<int32_t> game_state{0};
    static inline std::atomic<int32_t> previous_game_state{0};
    static inline std::atomic<int32_t> app_status{APPSTATUSFLAG_PAUSED};
    static inline std::atomic<bool> render_after_update{false};
    static inline std::atomic<int64_t> last_fixed_update_time_ms{0};
    static inline std::atomic<int64_t> last_variable_update_time_ms{0};
    // The latched copies: the latch writes them on the canvas main thread, and releaseAllKeys clears
    // them on whichever thread shows the canvas.
    static inline std::atomic<int32_t> keys_pressed{0};
    static inline std::atomic<int32_t> keys_repeated{0};
    static inline std::atomic<bool> pointer_pressed{false};
    static inline std::atomic<bool> pointer_repeated{false};
    static inline std::atomic<int64_t> regions_pressed{0};
    static inline std::atomic<int64_t> regions_repeated{0};
    static inline std::atomic<int32_t> pointer_x{0};
    static inline std::atomic<int32_t> pointer_y{0};
    static inline std::atomic<int32_t> internal_keys_pressed{0};
    static inline std::atomic<int32_t> internal_keys_repeated{0};
    static inline std::atomic<bool> internal_pointer_pressed{false};
    static inline std::atomic<bool> internal_pointer_repeated{false};
    static inline std::atomic<int64_t> internal_regions_pressed{0};
    static inline std::atomic<int64_t> internal_regions_repeated{0};
    static inline std::atomic<int32_t> internal_keypress_buffer{0};
    static inline std::atomic<int32_t> cheats_triggered{0};
    static inline std::atomic<int64_t> random_seed{0};
    static inline int32_t random_seed_high = 0;
    static inline int32_t random_seed_low = 0;
    static inline int32_t set_font = -1;
    static inline std::atomic<int64_t> vibration_end_time{0};
    static inline int32_t loading_progress = 0;
    static inline int32_t current_category = -1;
    static inline int32_t current_subsection = -1;
    static inline bool current_mode_practice = false;
    static inline int32_t want_category_to_be = -1;
    static inline int32_t want_subsection_to_be = -1;
    static inline bool want_practice_mode = false;
    static inline int32_t currently_loaded_category = -1;
    static inline int32_t currently_loaded_subsection = -1;
    static inline int32_t film_id = 0;
    static inline int32_t scrolly_menu_yoffset = 0;
    static inline int32_t msfy = 0;
    static inline int32_t weight_decay = 0;
    static inline bool was_dragging = false;
    static inline int32_t scroller_buttonClickHeight = 0;
    static inline int32_t scroller_buttonClickWidth = 0;
    static inline int32_t scroller_items_in_menu = 0;
    static inline int32_t scroller_menu_drag_distance = 0;
    static inline int32_t scroller_static_menus = 0;
    static inline int32_t practice_menu_back_normal = 0;
    static inline int32_t practice_menu_back_click = 0;
    static inline int32_t little_starwidth = 0;
    static inline std::atomic<int32_t> DEVICE_FAMILY{0};
    static inline int32_t TS_TEXT_GUIDELINE_TYPE_MASK = 0;

    // Reference statics.
    // The resource map's tables: written by initTessel before any loading thread starts, then only
    // read. The pack entries and counts change under resource_pack_mutex.
    static inline JavaPtr<JArray<signed char>> res_block_mappings;
    static inline JavaPtr<JArray<signed char>> block_pack_mappings;
    static inline JavaPtr<JArray<JavaPtr<JArray<signed char>>>> resource_packs;
    // Counts are ints: a byte wrapped after 127 loads of one pack.
    static inline JavaPtr<JArray<int32_t>> times_resource_pack_reference;
    static inline JavaPtr<JArray<signed char>> languages;
    static inline JavaPtr<JArray<int32_t>> internal_key_mappings;
    static inline JavaPtr<java::lang::Class> rtclass;
    static inline JavaPtr<JArray<int32_t>> crc_table;
    static inline JavaPtr<JArray<JavaPtr<Font>>> system_fonts;
    static inline JavaPtr<JArray<int32_t>> system_font_colours;
    static inline JavaPtr<JArray<int32_t>> bitmap_font_image_ids;
    static inline JavaPtr<JArray<JavaPtr<JArray<int16_t>>>> bitmap_font_info;
    static inline JavaPtr<JArray<JavaPtr<JArray<signed char>>>> enc_strings;
    // Written by setSoftkeys under softkey_mutex; the key handler reads them through
    // backSoftkeyString and fwrdSoftkeyString.
    static inline JavaPtr<String> back_softkey_string;
    static inline JavaPtr<String> fwrd_softkey_string;
    static inline JavaPtr<String> softkey_add_back;
    static inline JavaPtr<String> softkey_add_fwrd;
    // Built on the first key press under cheat_mutex.
    static inline JavaPtr<JArray<int32_t>> internal_cheat_codes;
    static inline JavaPtr<TSHttpConnectionThread> conn_class;
    static inline JavaPtr<String> version_string;
    static inline JavaPtr<JArray<signed char>> shuffle_db_preloaded;
    static inline JavaPtr<JArray<int32_t>> category_scores;
    static inline JavaPtr<JArray<int32_t>> category_questions_asked;
    static inline JavaPtr<JArray<bool>> category_completed;
    static inline JavaPtr<JArray<JavaPtr<String>>> scroller_category_list;
    static inline JavaPtr<JArray<int32_t>> practice_menu_extra_borders;
    static inline JavaPtr<JArray<JavaPtr<String>>> categoryStrings;
    static inline JavaPtr<JArray<JavaPtr<JArray<JavaPtr<String>>>>> subsectionStrings;
    static inline JavaPtr<JArray<JavaPtr<JArray<bool>>>> practicedDBs;
    static inline JavaPtr<JArray<int32_t>> boxesToShow;
    static inline JavaPtr<JArray<int32_t>> levelThresholds;
    static inline JavaPtr<JArray<int32_t>> particles;
    // Handed from the loading thread to the paints under the canvas's monitor.
    static inline JavaPtr<JArray<JavaPtr<JArray<int32_t>>>> twinkle_ids;
    static inline JavaPtr<JArray<JavaPtr<JArray<int16_t>>>> bitmap_font_metrics;

    // The canvas main thread, read by every pass and by the loading threads.
    static JavaPtr<java::lang::Thread> mainThread();
    static void setMainThread(const JavaPtr<java::lang::Thread>& thread);

private:
    // Resources and images: guards for what the canvas main thread and a loading thread may both touch.
    static inline std::mutex resource_pack_mutex;  // guards the entries of resource_packs and their counts
    static inline std::mutex rtclass_mutex;        // guards rtclass
    static inline std::mutex crc_table_mutex;      // guards the making of crc_table
    std::mutex image_cache_mutex;                  // guards the choice and filling of image cache slots
    // The pack entry, or null; checked against the resource map's length for the pack.
    static JavaPtr<JArray<signed char>> residentPack(int32_t pack);
    static JavaPtr<JArray<int32_t>> crcTable();
    int32_t loadImageIDLocked(int32_t id, int32_t firstPalette, int32_t secondPalette, int32_t transforms,
                              bool splitCells);

    // Waits before the next pass: until the next update step is due (or, while a paint-by-paint
    // animation runs, about a frame after the previous paint); a fixed step's length while the canvas
    // is paused or hidden; at once on a test clock.
    void waitForNextPass(bool active);
    // Whether the frame last handed over still shows what a paint now would draw, so the paint and the
    // hand-over can be left out.
    bool lastFrameStillShown();
    // What the picture of a settled screen depends on, taken after each paint: equal signatures after a
    // step mean the paint would draw the frame already shown. 0 for "cannot tell" (the screen is not one
    // whose every input is known here, or it animates): then every step paints.
    uint64_t pictureSignature();
    // pictureSignature() of the frame last handed over (0: none, or it may not be on show any more);
    // with the count of hand-overs the shell had made right after it. Frame loop thread only.
    uint64_t painted_signature = 0;
    uint64_t painted_hand_over_count = 0;
    void failThread(const char* where, const char* what, const JavaPtr<String>& message);
    // The quiz cannot start: the player's line (message) goes where they look, and the program ends as
    // for a failed thread.
    void failStartUp(const JavaPtr<String>& message);
    // Ends the application through its tear-down, with the failure status.
    void endOnFailure();

    static inline std::mutex main_thread_mutex;  // guards main_thread
    static inline JavaPtr<java::lang::Thread> main_thread;
    // Rung when main_thread changes: a loop waiting between passes that is no longer the main thread
    // ends at once instead of after its wait, which the tear-down would otherwise wait out.
    static inline std::condition_variable main_thread_changed;
    static void signalLoadingDone();
    static inline thread_local bool on_loading_thread = false;
    static inline std::mutex loading_mutex;  // pairs with loading_signal, which waitForLoading waits on
    static inline std::condition_variable loading_signal;
    static inline std::atomic<int64_t> last_paint_time_ms{0};

    // Input, menus and sound channels.
    static inline std::mutex softkey_mutex;  // guards the four soft-key label statics
    static inline std::mutex cheat_mutex;    // guards internal_cheat_codes
    // Guards the channel tables and sound_volume: the canvas main thread, the loading thread and the
    // threads that deliver show and hide all reach the channels. Recursive, since the operations
    // call one another virtually. The players' events reach playerUpdate, which takes no lock.
    std::recursive_mutex sound_mutex;
    // The loop count a channel had when it was stopped, for resumeSound.
    int32_t sound_stopped_loop_counts[PARAM_TS_SOUND_AUDIO_MAX_PIECES] = {};
};
