#include "library/LCDUIStrings.h"

namespace {

const char* const kMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                 "July",    "August",   "September", "October", "November", "December"};
const char* const kDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kLabels[7] = {"Date", "Time", "Menu", "Cancel", "Select", "Save", "Dismiss"};

}  // namespace

JavaPtr<java::lang::String> LCDUI_stringsGet(int id) {
    using java::lang::String;
    if (id < 0 || id > _LCDUI_STRINGS_SOFTKEY_DISMISS) return nullptr;
    if (id <= _LCDUI_STRINGS_MONTH_DECEMBER) return jnew<String>(kMonths[id]);
    // The short forms are cut from the full ones at each call.
    if (id <= _LCDUI_STRINGS_MONTH_DECEMBER_ABR)
        return LCDUI_stringsGet(id - _LCDUI_STRINGS_MONTH_JANUARY_ABR)->substring(0, 3);
    if (id <= _LCDUI_STRINGS_WEEK_SATURDAY) return jnew<String>(kDays[id - _LCDUI_STRINGS_WEEK_SUNDAY]);
    if (id <= _LCDUI_STRINGS_WEEK_SATURDAY_ABR)
        return LCDUI_stringsGet(id - _LCDUI_STRINGS_WEEK_SUNDAY_ABR + _LCDUI_STRINGS_WEEK_SUNDAY)
            ->substring(0, 3);
    return jnew<String>(kLabels[id - _LCDUI_STRINGS_DATE]);
}
