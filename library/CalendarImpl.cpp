#include "library/CalendarImpl.h"

#include <cstdint>

#include "library/System.h"
#include "library/TimeZone.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"

namespace java::util {

namespace {

constexpr long long kMillisPerDay = 86400000;
// The Gregorian calendar repeats every 400 years, which have exactly this many days.
constexpr long long kDaysPer400Years = 146097;

long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

long long floorMod(long long a, long long b) {
    const long long r = a % b;
    return (r != 0 && (r < 0) != (b < 0)) ? r + b : r;
}

bool isLeapYear(long long year) {
    return floorMod(year, 4) == 0 && (floorMod(year, 100) != 0 || floorMod(year, 400) == 0);
}

int monthLength(int month, long long year) {
    return month == Calendar::FEBRUARY && isLeapYear(year) ? 29 : CalendarImpl::DAYS_IN_MONTH[month];
}

}  // namespace

CalendarImpl* CalendarImpl::TESLinvokeconstructor() {
    Calendar::TESLinvokeconstructor();
    isSet = jnew<JArray<bool>>(FIELD_COUNT);
    fields = jnew<JArray<int>>(FIELD_COUNT);
    setTimeInMillis(java::lang::System::currentTimeMillis());
    setTimeZone(TimeZone::getDefault());
    return this;
}

long long CalendarImpl::daysInMonth(int month, int year) {
    if (month < JANUARY || month > DECEMBER) throw ::java::lang::ArrayIndexOutOfBoundsException();
    return monthLength(month, year);
}

// Each month is walked through from a start at most 400 years before the target: the whole cycles in
// between are counted at once, which gives the same sum as walking every month from 1970.
void CalendarImpl::computeTime() {
    const int* f = fields->data;
    const bool* marked = isSet->data;
    long long within = 0;
    if (marked[DAY_OF_MONTH]) within += (static_cast<long long>(f[DAY_OF_MONTH]) - 1) * kMillisPerDay;
    if (marked[HOUR_OF_DAY]) within += static_cast<long long>(f[HOUR_OF_DAY]) * 3600000;
    if (marked[MINUTE]) within += static_cast<long long>(f[MINUTE]) * 60000;
    if (marked[SECOND]) within += static_cast<long long>(f[SECOND]) * 1000;
    long long year = marked[YEAR] ? f[YEAR] : 1970;
    long long month = marked[MONTH] ? f[MONTH] : JANUARY;
    // A month outside 0..11 (month 12 of one year is January of the next) is folded into the year;
    // the walk would never meet it otherwise.
    year += floorDiv(month, 12);
    month = floorMod(month, 12);

    const long long cycles = floorDiv(year - 1970, 400);
    // Far-off years wrap around like any 64-bit arithmetic of the language, instead of overflowing.
    uint64_t total = static_cast<uint64_t>(within) +
                     static_cast<uint64_t>(cycles) * static_cast<uint64_t>(kDaysPer400Years * kMillisPerDay);
    long long walkYear = 1970 + 400 * cycles;
    int walkMonth = JANUARY;
    while (walkYear != year || walkMonth != month) {
        total += static_cast<uint64_t>(monthLength(walkMonth, walkYear) * kMillisPerDay);
        if (++walkMonth > DECEMBER) {
            walkMonth = JANUARY;
            ++walkYear;
        }
    }
    time = static_cast<long long>(total);
    timeStale = false;
}

// Floor division throughout, so times before 1970 get the fields of their own day rather than negative
// ones.
void CalendarImpl::computeFields() {
    if (timeStale) computeTime();
    int* f = fields->data;
    long long t = time;
    f[MILLISECOND] = static_cast<int>(floorMod(t, 1000));
    t = floorDiv(t, 1000);
    f[SECOND] = static_cast<int>(floorMod(t, 60));
    t = floorDiv(t, 60);
    f[MINUTE] = static_cast<int>(floorMod(t, 60));
    t = floorDiv(t, 60);
    f[HOUR_OF_DAY] = static_cast<int>(floorMod(t, 24));
    f[HOUR] = f[HOUR_OF_DAY] % 12;
    f[AM_PM] = f[HOUR_OF_DAY] > 11 ? PM : AM;
    long long days = floorDiv(t, 24);
    // Day 0, 1 January 1970, is a Thursday.
    f[DAY_OF_WEEK] = static_cast<int>(floorMod(days + 4, 7)) + SUNDAY;

    const long long cycles = floorDiv(days, kDaysPer400Years);
    days -= cycles * kDaysPer400Years;
    long long year = 1970 + 400 * cycles;
    int month = JANUARY;
    while (days >= monthLength(month, year)) {
        days -= monthLength(month, year);
        if (++month > DECEMBER) {
            month = JANUARY;
            ++year;
        }
    }
    f[YEAR] = static_cast<int>(year);
    f[MONTH] = month;
    f[DAY_OF_MONTH] = static_cast<int>(days) + 1;
    for (int field :
         {YEAR, MONTH, DAY_OF_MONTH, DAY_OF_WEEK, AM_PM, HOUR, HOUR_OF_DAY, MINUTE, SECOND, MILLISECOND})
        isSet->data[field] = true;
    fieldsChanged = false;
    fieldsStale = false;
}

}  // namespace java::util
