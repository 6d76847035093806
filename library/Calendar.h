// java.util.Calendar: a time and the Gregorian calendar fields it falls on, kept in step lazily. A set
// field is folded into the time at the next get, which then normalises every field from it.
#pragma once

#include <cstdint>

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace java::util {

class Date;
class TimeZone;

class Calendar : public ::java::lang::Object {
    TESL_CLASS(Calendar, "java.util.Calendar", ::java::lang::Object)
public:
    // Field numbers; 0, 3, 4, 6 and 8 have no name and take no part in any computation.
    static constexpr int YEAR = 1;
    static constexpr int MONTH = 2;
    static constexpr int DATE = 5;
    static constexpr int DAY_OF_MONTH = 5;
    static constexpr int DAY_OF_WEEK = 7;
    static constexpr int AM_PM = 9;
    static constexpr int HOUR = 10;
    static constexpr int HOUR_OF_DAY = 11;
    static constexpr int MINUTE = 12;
    static constexpr int SECOND = 13;
    static constexpr int MILLISECOND = 14;
    static constexpr int AM = 0;
    static constexpr int PM = 1;
    static constexpr int JANUARY = 0;
    static constexpr int FEBRUARY = 1;
    static constexpr int MARCH = 2;
    static constexpr int APRIL = 3;
    static constexpr int MAY = 4;
    static constexpr int JUNE = 5;
    static constexpr int JULY = 6;
    static constexpr int AUGUST = 7;
    static constexpr int SEPTEMBER = 8;
    static constexpr int OCTOBER = 9;
    static constexpr int NOVEMBER = 10;
    static constexpr int DECEMBER = 11;
    static constexpr int SUNDAY = 1;
    static constexpr int MONDAY = 2;
    static constexpr int TUESDAY = 3;
    static constexpr int WEDNESDAY = 4;
    static constexpr int THURSDAY = 5;
    static constexpr int FRIDAY = 6;
    static constexpr int SATURDAY = 7;

    Calendar() noexcept {}
    ~Calendar() override = default;

    Calendar* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // A Calendar at the same millisecond; anything else, null included, is not equal.
    bool equals(JavaPtr<::java::lang::Object> obj) override;
    // False for anything but a Calendar.
    virtual bool after(const JavaPtr<::java::lang::Object>& when);
    virtual bool before(const JavaPtr<::java::lang::Object>& when);
    virtual long long getTimeInMillis();
    virtual JavaPtr<TimeZone> getTimeZone();
    virtual void setTimeInMillis(long long ms);
    // Stores the zone only: the time, the fields and the flags stay.
    virtual void setTimeZone(const JavaPtr<TimeZone>& value);

    // A field number outside 0 to 14 throws ArrayIndexOutOfBoundsException.
    int get(int field);
    // No range check on the value: it is folded into the time at the next get. DAY_OF_WEEK and AM_PM
    // cannot be set; the value is dropped.
    void set(int field, int value);
    JavaPtr<Date> getTime();
    void setTime(const JavaPtr<Date>& date);

    static JavaPtr<Calendar> getInstance();
    static JavaPtr<Calendar> getInstance(const JavaPtr<TimeZone>& zone);

protected:
    static constexpr int FIELD_COUNT = 15;

    virtual void computeFields() = 0;
    virtual void computeTime() = 0;

    JavaPtr<JArray<int>> fields;
    JavaPtr<JArray<bool>> isSet;
    // Milliseconds since 1970 in the calendar's zone: UTC plus the zone's raw offset.
    long long time = 0;
    JavaPtr<TimeZone> zone;
    // The time was set and the fields do not follow it yet.
    bool fieldsStale = false;
    // A field was set and the fields are not normalised yet.
    bool fieldsChanged = false;
    // A field was set and the time does not follow it yet.
    bool timeStale = false;
};

}  // namespace java::util
