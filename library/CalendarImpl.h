// java.util.CalendarImpl: the Gregorian calendar, for every year (no Julian switch), both ways between
// milliseconds and fields.
#pragma once

#include "library/Calendar.h"

namespace java::util {

class CalendarImpl : public Calendar {
    TESL_CLASS(CalendarImpl, "java.util.CalendarImpl", Calendar)
public:
    CalendarImpl() noexcept {}
    ~CalendarImpl() override = default;

    // Now, in the default zone.
    CalendarImpl* TESLinvokeconstructor();

    // The month lengths of a common year.
    static constexpr int DAYS_IN_MONTH[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

    // The length of month 0 to 11 of the year; another month throws ArrayIndexOutOfBoundsException.
    static long long daysInMonth(int month, int year);

protected:
    void computeFields() override;
    // Milliseconds are not part of it: the computed time is a whole second.
    void computeTime() override;
};

}  // namespace java::util
