// The built-in user-interface texts by number: month and day names, their three-letter forms, and the
// labels of the screens' commands. The shell's screens and the library's dates both read them, so the
// table lives below both.
#pragma once

#include "runtime/String.h"

// clang-format off
inline constexpr int _LCDUI_STRINGS_MONTH_JANUARY = 0;
inline constexpr int _LCDUI_STRINGS_MONTH_FEBRUARY = 1;
inline constexpr int _LCDUI_STRINGS_MONTH_MARCH = 2;
inline constexpr int _LCDUI_STRINGS_MONTH_APRIL = 3;
inline constexpr int _LCDUI_STRINGS_MONTH_MAY = 4;
inline constexpr int _LCDUI_STRINGS_MONTH_JUNE = 5;
inline constexpr int _LCDUI_STRINGS_MONTH_JULY = 6;
inline constexpr int _LCDUI_STRINGS_MONTH_AUGUST = 7;
inline constexpr int _LCDUI_STRINGS_MONTH_SEPTEMBER = 8;
inline constexpr int _LCDUI_STRINGS_MONTH_OCTOBER = 9;
inline constexpr int _LCDUI_STRINGS_MONTH_NOVEMBER = 10;
inline constexpr int _LCDUI_STRINGS_MONTH_DECEMBER = 11;
inline constexpr int _LCDUI_STRINGS_MONTH_JANUARY_ABR = 12;
inline constexpr int _LCDUI_STRINGS_MONTH_FEBRUARY_ABR = 13;
inline constexpr int _LCDUI_STRINGS_MONTH_MARCH_ABR = 14;
inline constexpr int _LCDUI_STRINGS_MONTH_APRIL_ABR = 15;
inline constexpr int _LCDUI_STRINGS_MONTH_MAY_ABR = 16;
inline constexpr int _LCDUI_STRINGS_MONTH_JUNE_ABR = 17;
inline constexpr int _LCDUI_STRINGS_MONTH_JULY_ABR = 18;
inline constexpr int _LCDUI_STRINGS_MONTH_AUGUST_ABR = 19;
inline constexpr int _LCDUI_STRINGS_MONTH_SEPTEMBER_ABR = 20;
inline constexpr int _LCDUI_STRINGS_MONTH_OCTOBER_ABR = 21;
inline constexpr int _LCDUI_STRINGS_MONTH_NOVEMBER_ABR = 22;
inline constexpr int _LCDUI_STRINGS_MONTH_DECEMBER_ABR = 23;
inline constexpr int _LCDUI_STRINGS_WEEK_SUNDAY = 24;
inline constexpr int _LCDUI_STRINGS_WEEK_MONDAY = 25;
inline constexpr int _LCDUI_STRINGS_WEEK_TUESDAY = 26;
inline constexpr int _LCDUI_STRINGS_WEEK_WEDNESDAY = 27;
inline constexpr int _LCDUI_STRINGS_WEEK_THURSDAY = 28;
inline constexpr int _LCDUI_STRINGS_WEEK_FRIDAY = 29;
inline constexpr int _LCDUI_STRINGS_WEEK_SATURDAY = 30;
inline constexpr int _LCDUI_STRINGS_WEEK_SUNDAY_ABR = 31;
inline constexpr int _LCDUI_STRINGS_WEEK_MONDAY_ABR = 32;
inline constexpr int _LCDUI_STRINGS_WEEK_TUESDAY_ABR = 33;
inline constexpr int _LCDUI_STRINGS_WEEK_WEDNESDAY_ABR = 34;
inline constexpr int _LCDUI_STRINGS_WEEK_THURSDAY_ABR = 35;
inline constexpr int _LCDUI_STRINGS_WEEK_FRIDAY_ABR = 36;
inline constexpr int _LCDUI_STRINGS_WEEK_SATURDAY_ABR = 37;
inline constexpr int _LCDUI_STRINGS_DATE = 38;
inline constexpr int _LCDUI_STRINGS_TIME = 39;
inline constexpr int _LCDUI_STRINGS_SOFTKEY_MENU = 40;
inline constexpr int _LCDUI_STRINGS_SOFTKEY_CANCEL = 41;
inline constexpr int _LCDUI_STRINGS_SOFTKEY_SELECT = 42;
inline constexpr int _LCDUI_STRINGS_SOFTKEY_SAVE = 43;
inline constexpr int _LCDUI_STRINGS_SOFTKEY_DISMISS = 44;
// clang-format on

// A new String with the text of id, or null for an id outside 0 to 44.
JavaPtr<java::lang::String> LCDUI_stringsGet(int id);
