#include "library/Calendar.h"

#include <gtest/gtest.h>

#include <climits>
#include <ctime>
#include <random>

#include "library/CalendarImpl.h"
#include "library/Date.h"
#include "library/TimeZone.h"
#include "library/TimeZoneImpl.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/String.h"
#include "tests/support/ClassRegistry.h"
#include "tests/support/StringText.h"

using java::lang::ArrayIndexOutOfBoundsException;
using java::util::Calendar;
using java::util::CalendarImpl;
using java::util::Date;
using java::util::TimeZone;
using testsupport::jstr;
using testsupport::narrow;

QUILL_REGISTER_CLASSES(java::util::Calendar, java::util::CalendarImpl, java::util::Date, java::util::TimeZone,
                       java::util::TimeZoneImpl);

namespace {

constexpr long long kDay = 86400000;

long long floorDiv(long long a, long long b) {
    return a / b - ((a % b != 0 && (a < 0) != (b < 0)) ? 1 : 0);
}

// The fields of t by the C library's UTC conversion.
void expectFieldsOf(long long t) {
    JavaPtr<Calendar> c = Calendar::getInstance();
    c->setTimeInMillis(t);
    const time_t seconds = static_cast<time_t>(floorDiv(t, 1000));
    tm reference{};
    ASSERT_NE(gmtime_r(&seconds, &reference), nullptr) << t;
    EXPECT_EQ(c->get(Calendar::YEAR), reference.tm_year + 1900) << t;
    EXPECT_EQ(c->get(Calendar::MONTH), reference.tm_mon) << t;
    EXPECT_EQ(c->get(Calendar::DAY_OF_MONTH), reference.tm_mday) << t;
    EXPECT_EQ(c->get(Calendar::DAY_OF_WEEK), reference.tm_wday + 1) << t;
    EXPECT_EQ(c->get(Calendar::HOUR_OF_DAY), reference.tm_hour) << t;
    EXPECT_EQ(c->get(Calendar::HOUR), reference.tm_hour % 12) << t;
    EXPECT_EQ(c->get(Calendar::AM_PM), reference.tm_hour > 11 ? Calendar::PM : Calendar::AM) << t;
    EXPECT_EQ(c->get(Calendar::MINUTE), reference.tm_min) << t;
    EXPECT_EQ(c->get(Calendar::SECOND), reference.tm_sec) << t;
    EXPECT_EQ(c->get(Calendar::MILLISECOND), (t % 1000 + 1000) % 1000) << t;
    EXPECT_EQ(c->getTimeInMillis(), t);
}

JavaPtr<Calendar> calendarAt(int year, int month, int day, int hour, int minute, int second) {
    JavaPtr<Calendar> c = Calendar::getInstance();
    c->setTimeInMillis(0);
    c->set(Calendar::YEAR, year);
    c->set(Calendar::MONTH, month);
    c->set(Calendar::DAY_OF_MONTH, day);
    c->set(Calendar::HOUR_OF_DAY, hour);
    c->set(Calendar::MINUTE, minute);
    c->set(Calendar::SECOND, second);
    return c;
}

long long timegmOf(long long year, int month, int day, int hour, int minute, int second) {
    tm fields{};
    fields.tm_year = static_cast<int>(year - 1900);
    fields.tm_mon = month;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    return static_cast<long long>(timegm(&fields)) * 1000;
}

TEST(Calendar, FieldsAgreeWithTheCLibraryOverASweepOfTimes) {
    for (long long t : {0LL, -1LL, 999LL, -1000LL, -kDay, 951827415250LL, 4102444799999LL, 253402300799000LL,
                        -2208988800000LL, -62135596800000LL, LLONG_MAX, LLONG_MIN})
        expectFieldsOf(t);
    // Every day boundary of a stretch that crosses leap days and centuries, and random instants.
    for (long long t = -2300LL * 365 * kDay / 10; t < 1300LL * 365 * kDay / 10; t += 37 * kDay - 1)
        expectFieldsOf(t);
    std::mt19937_64 random(1970);
    for (int i = 0; i < 3000; ++i)
        expectFieldsOf(static_cast<long long>(random() % (1LL << 46)) - (1LL << 45));
}

TEST(Calendar, SetFieldsGiveTheTimeOfTheCLibrary) {
    std::mt19937 random(2026);
    for (int i = 0; i < 2000; ++i) {
        const int year = 1 + static_cast<int>(random() % 4000);
        const int month = static_cast<int>(random() % 12);
        const int day = 1 + static_cast<int>(random() % 28);
        const int hour = static_cast<int>(random() % 24);
        const int minute = static_cast<int>(random() % 60);
        const int second = static_cast<int>(random() % 60);
        EXPECT_EQ(calendarAt(year, month, day, hour, minute, second)->getTimeInMillis(),
                  timegmOf(year, month, day, hour, minute, second))
            << year << "-" << month << "-" << day;
    }
}

TEST(Calendar, KnownDatesAndFieldNormalisation) {
    JavaPtr<Calendar> c = Calendar::getInstance();
    c->setTimeInMillis(951827415250LL);  // 29 February 2000 12:30:15.250
    EXPECT_EQ(c->get(Calendar::MONTH), Calendar::FEBRUARY);
    EXPECT_EQ(c->get(Calendar::DAY_OF_MONTH), 29);
    EXPECT_EQ(c->get(Calendar::HOUR), 0);
    EXPECT_EQ(c->get(Calendar::AM_PM), Calendar::PM);
    EXPECT_EQ(c->get(Calendar::MILLISECOND), 250);

    JavaPtr<Calendar> leap1900 = calendarAt(1900, Calendar::FEBRUARY, 29, 0, 0, 0);
    EXPECT_EQ(leap1900->get(Calendar::MONTH), Calendar::MARCH);
    EXPECT_EQ(leap1900->get(Calendar::DAY_OF_MONTH), 1);

    JavaPtr<Calendar> january32 = calendarAt(2024, Calendar::JANUARY, 32, 0, 0, 0);
    EXPECT_EQ(january32->get(Calendar::MONTH), Calendar::FEBRUARY);
    EXPECT_EQ(january32->get(Calendar::DAY_OF_MONTH), 1);

    // Milliseconds never enter the computed time.
    c->set(Calendar::MILLISECOND, 500);
    EXPECT_EQ(c->get(Calendar::MILLISECOND), 0);
    EXPECT_EQ(c->getTimeInMillis() % 1000, 0);

    JavaPtr<Calendar> epoch = Calendar::getInstance();
    epoch->setTimeInMillis(0);
    for (auto [field, value] : {std::pair{Calendar::YEAR, 1970},
                                {Calendar::MONTH, 0},
                                {Calendar::DAY_OF_MONTH, 1},
                                {Calendar::DAY_OF_WEEK, Calendar::THURSDAY},
                                {Calendar::HOUR_OF_DAY, 0},
                                {Calendar::AM_PM, Calendar::AM}})
        EXPECT_EQ(epoch->get(field), value) << field;
    epoch->setTimeInMillis(3723000);  // 01:02:03
    epoch->set(Calendar::YEAR, 1969);
    EXPECT_EQ(epoch->getTimeInMillis(), -365 * kDay + 3723000);
}

TEST(Calendar, MonthsOutsideTheYearFoldIntoIt) {
    const struct {
        int year, month;
        int expectedYear, expectedMonth;
    } cases[] = {
        {2023, 12, 2024, Calendar::JANUARY},   {2024, -1, 2023, Calendar::DECEMBER}, {2000, 1000, 2083, 4},
        {1960, -25, 1957, Calendar::DECEMBER}, {1970, 24, 1972, Calendar::JANUARY},
    };
    for (const auto& c : cases) {
        JavaPtr<Calendar> calendar = calendarAt(c.year, c.month, 15, 6, 0, 0);
        EXPECT_EQ(calendar->getTimeInMillis(), timegmOf(c.expectedYear, c.expectedMonth, 15, 6, 0, 0))
            << c.month;
        EXPECT_EQ(calendar->get(Calendar::YEAR), c.expectedYear);
        EXPECT_EQ(calendar->get(Calendar::MONTH), c.expectedMonth);
    }
}

TEST(Calendar, FarOffYearsEndQuickly) {
    JavaPtr<Calendar> c = calendarAt(200000000, Calendar::JUNE, 1, 0, 0, 0);
    EXPECT_EQ(c->get(Calendar::YEAR), 200000000);
    EXPECT_EQ(c->get(Calendar::MONTH), Calendar::JUNE);
    // Beyond the 64-bit range the time wraps; the fields then follow the wrapped time.
    JavaPtr<Calendar> wrapped = calendarAt(INT_MAX, Calendar::JANUARY, 1, 0, 0, 0);
    const long long t = wrapped->getTimeInMillis();
    expectFieldsOf(t);
    EXPECT_NE(wrapped->get(Calendar::YEAR), INT_MAX);
}

TEST(Calendar, DayOfWeekAndAmPmCannotBeSet) {
    JavaPtr<Calendar> c = Calendar::getInstance();
    c->setTimeInMillis(951827415250LL);
    c->set(Calendar::DAY_OF_WEEK, 3);
    c->set(Calendar::AM_PM, Calendar::AM);
    EXPECT_EQ(c->getTimeInMillis(), 951827415250LL);
    EXPECT_EQ(c->get(Calendar::DAY_OF_WEEK), Calendar::TUESDAY);
    EXPECT_EQ(c->get(Calendar::AM_PM), Calendar::PM);
}

TEST(Calendar, TwelveOClockFlipsTheHalfOfTheDay) {
    const struct {
        int hourOfDay, setHour, expected;
    } cases[] = {{10, 12, 12}, {15, 12, 0}, {15, 3, 15}, {9, 4, 4}, {23, 0, 12}};
    for (const auto& c : cases) {
        JavaPtr<Calendar> calendar = calendarAt(2020, Calendar::MAY, 5, c.hourOfDay, 0, 0);
        calendar->set(Calendar::HOUR, c.setHour);
        EXPECT_EQ(calendar->get(Calendar::HOUR_OF_DAY), c.expected) << c.hourOfDay << " " << c.setHour;
        EXPECT_EQ(calendar->get(Calendar::DAY_OF_MONTH), 5);
    }
}

TEST(Calendar, BadFieldNumbersThrow) {
    JavaPtr<Calendar> c = Calendar::getInstance();
    c->setTimeInMillis(0);
    for (int field : {-1, 15, INT_MIN}) {
        EXPECT_THROW(c->get(field), ArrayIndexOutOfBoundsException) << field;
        EXPECT_THROW(c->set(field, 1), ArrayIndexOutOfBoundsException) << field;
    }
    // The nameless field numbers store and return their values.
    c->set(3, 42);
    EXPECT_EQ(c->get(3), 42);
    EXPECT_EQ(c->getTimeInMillis(), 0);
    EXPECT_THROW(CalendarImpl::daysInMonth(12, 2000), ArrayIndexOutOfBoundsException);
    EXPECT_THROW(CalendarImpl::daysInMonth(-1, 2000), ArrayIndexOutOfBoundsException);
}

TEST(Calendar, DaysInMonthFollowsTheGregorianLeapRule) {
    EXPECT_EQ(CalendarImpl::daysInMonth(Calendar::FEBRUARY, 2000), 29);
    EXPECT_EQ(CalendarImpl::daysInMonth(Calendar::FEBRUARY, 1900), 28);
    EXPECT_EQ(CalendarImpl::daysInMonth(Calendar::FEBRUARY, 2024), 29);
    EXPECT_EQ(CalendarImpl::daysInMonth(Calendar::FEBRUARY, -4), 29);
    EXPECT_EQ(CalendarImpl::daysInMonth(Calendar::FEBRUARY, -100), 28);
    for (int year : {1, 1999, 2024}) EXPECT_EQ(CalendarImpl::daysInMonth(Calendar::APRIL, year), 30);
}

TEST(Calendar, ComparisonsAcceptOnlyCalendars) {
    JavaPtr<Calendar> early = Calendar::getInstance();
    JavaPtr<Calendar> late = Calendar::getInstance();
    JavaPtr<Calendar> same = Calendar::getInstance();
    early->setTimeInMillis(1000);
    late->setTimeInMillis(2000);
    same->setTimeInMillis(1000);
    EXPECT_TRUE(early->before(late));
    EXPECT_TRUE(late->after(early));
    EXPECT_FALSE(early->after(late));
    EXPECT_TRUE(early->equals(same));
    EXPECT_FALSE(early->equals(late));
    JavaPtr<Date> date = jnew<Date>(1000LL);
    for (const JavaPtr<java::lang::Object>& other :
         {JavaPtr<java::lang::Object>(date), JavaPtr<java::lang::Object>()}) {
        EXPECT_FALSE(early->before(other));
        EXPECT_FALSE(early->after(other));
        EXPECT_FALSE(early->equals(other));
    }
}

TEST(Calendar, InstancesStartNowInTheOneZone) {
    const long long before = static_cast<long long>(time(nullptr)) * 1000;
    JavaPtr<Calendar> c = Calendar::getInstance();
    JavaPtr<Date> now = jnew<Date>();
    const long long after = static_cast<long long>(time(nullptr) + 1) * 1000;
    EXPECT_GE(c->getTimeInMillis(), before);
    EXPECT_LE(c->getTimeInMillis(), after);
    EXPECT_GE(now->getTime(), before);
    EXPECT_LE(now->getTime(), after);
    EXPECT_EQ(narrow(c->getTimeZone()->getID()), "GMT");
    EXPECT_EQ(c->getTime()->getTime(), c->getTimeInMillis());
    c->setTime(jnew<Date>(86400000LL));
    EXPECT_EQ(c->get(Calendar::DAY_OF_MONTH), 2);

    JavaPtr<TimeZone> zone = TimeZone::getTimeZone(jstr("Europe/Paris"));
    EXPECT_EQ(narrow(zone->getID()), "GMT");
    EXPECT_EQ(zone->getRawOffset(), 0);
    EXPECT_EQ(zone->getOffset(1, 2020, 6, 1, 2, 0), 0);
    EXPECT_FALSE(zone->useDaylightTime());
    EXPECT_NE(TimeZone::getDefault(), TimeZone::getDefault());
    auto ids = TimeZone::getAvailableIDs();
    ASSERT_EQ(ids->length, 1);
    EXPECT_EQ(narrow(ids->data[0]), "GMT");
    JavaPtr<Calendar> zoned = Calendar::getInstance(zone);
    EXPECT_EQ(zoned->getTimeZone(), zone);
}

TEST(Date, TextFormHasFixedWidthFields) {
    const struct {
        long long time;
        const char* text;
    } cases[] = {
        {0, "Thu Jan 01 00:00:00 GMT 1970"},
        {951827415250LL, "Tue Feb 29 12:30:15 GMT 2000"},
        {1728561600000LL, "Thu Oct 10 12:00:00 GMT 2024"},
        {1725872400000LL, "Mon Sep 09 09:00:00 GMT 2024"},
        {-1, "Wed Dec 31 23:59:59 GMT 1969"},
        {253402300799000LL, "Fri Dec 31 23:59:59 GMT 9999"},
    };
    for (const auto& c : cases) EXPECT_EQ(narrow(jnew<Date>(c.time)->toString()), c.text) << c.time;
}

TEST(Date, EqualityAndHashFollowTheTime) {
    JavaPtr<Date> date = jnew<Date>((1LL << 32) + 5);
    EXPECT_EQ(date->hashCode(), 5);
    EXPECT_TRUE(date->equals(jnew<Date>((1LL << 32) + 5)));
    EXPECT_FALSE(date->equals(jnew<Date>(5LL)));
    EXPECT_FALSE(date->equals(nullptr));
    EXPECT_FALSE(date->equals(Calendar::getInstance()));
    date->setTime(7);
    EXPECT_EQ(date->getTime(), 7);
}

}  // namespace
