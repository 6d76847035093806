#include "library/LCDUIStrings.h"

#include <gtest/gtest.h>

#include "tests/support/StringText.h"

using testsupport::narrow;

namespace {

TEST(LCDUIStrings, EveryIdHasItsTextAndOthersAreNull) {
    const char* const expected[45] = {
        "January",   "February", "March",    "April",    "May",  "June",   "July",   "August", "September",
        "October",   "November", "December", "Jan",      "Feb",  "Mar",    "Apr",    "May",    "Jun",
        "Jul",       "Aug",      "Sep",      "Oct",      "Nov",  "Dec",    "Sunday", "Monday", "Tuesday",
        "Wednesday", "Thursday", "Friday",   "Saturday", "Sun",  "Mon",    "Tue",    "Wed",    "Thu",
        "Fri",       "Sat",      "Date",     "Time",     "Menu", "Cancel", "Select", "Save",   "Dismiss"};
    for (int id = 0; id < 45; ++id) EXPECT_EQ(narrow(LCDUI_stringsGet(id)), expected[id]) << id;
    for (int id : {-1, 45, INT32_MIN, INT32_MAX}) EXPECT_FALSE(LCDUI_stringsGet(id)) << id;
    EXPECT_EQ(narrow(LCDUI_stringsGet(_LCDUI_STRINGS_MONTH_JANUARY_ABR + 1)), "Feb");
    EXPECT_EQ(narrow(LCDUI_stringsGet(_LCDUI_STRINGS_WEEK_SUNDAY_ABR + 6)), "Sat");
}

TEST(LCDUIStrings, EachCallMakesANewString) {
    JavaPtr<java::lang::String> first = LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_MENU);
    JavaPtr<java::lang::String> second = LCDUI_stringsGet(_LCDUI_STRINGS_SOFTKEY_MENU);
    EXPECT_NE(first, second);
    EXPECT_TRUE(first->equals(second));
}

}  // namespace
