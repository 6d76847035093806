#include "library/Calendar.h"

#include "library/CalendarImpl.h"
#include "library/Date.h"
#include "library/TimeZone.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"

namespace java::util {

namespace {

void checkField(int field) {
    if (field < 0 || field > Calendar::MILLISECOND) throw ::java::lang::ArrayIndexOutOfBoundsException();
}

}  // namespace

bool Calendar::equals(JavaPtr<::java::lang::Object> obj) {
    JavaPtr<Calendar> other = jcast<Calendar>(obj);
    return other && other->getTimeInMillis() == getTimeInMillis();
}

bool Calendar::after(const JavaPtr<::java::lang::Object>& when) {
    JavaPtr<Calendar> other = jcast<Calendar>(when);
    return other && getTimeInMillis() > other->getTimeInMillis();
}

bool Calendar::before(const JavaPtr<::java::lang::Object>& when) {
    JavaPtr<Calendar> other = jcast<Calendar>(when);
    return other && getTimeInMillis() < other->getTimeInMillis();
}

long long Calendar::getTimeInMillis() {
    if (timeStale) computeTime();
    return zone ? time - zone->getRawOffset() : time;
}

JavaPtr<TimeZone> Calendar::getTimeZone() {
    return zone;
}

void Calendar::setTimeInMillis(long long ms) {
    time = zone ? ms + zone->getRawOffset() : ms;
    fieldsStale = true;
    timeStale = false;
}

void Calendar::setTimeZone(const JavaPtr<TimeZone>& value) {
    zone = value;
}

int Calendar::get(int field) {
    checkField(field);
    if (fieldsChanged || fieldsStale) computeFields();
    return fields->data[field];
}

void Calendar::set(int field, int value) {
    checkField(field);
    if (fieldsStale) computeFields();
    int* f = fields->data;
    bool* marked = isSet->data;
    switch (field) {
        case DAY_OF_WEEK:
        case AM_PM:
            return;
        case HOUR: {
            f[HOUR] = value % 12;
            // 12 o'clock flips the half of the day: set(HOUR, 12) at 10:00 gives 12:00, at 15:00 00:00.
            bool afternoon = f[HOUR_OF_DAY] > 11;
            if (value == 12) afternoon = !afternoon;
            f[HOUR_OF_DAY] = f[HOUR] + (afternoon ? 12 : 0);
            marked[HOUR] = marked[HOUR_OF_DAY] = true;
            break;
        }
        case HOUR_OF_DAY:
            f[HOUR_OF_DAY] = value;
            f[AM_PM] = value > 11 ? PM : AM;
            f[HOUR] = value % 12;
            marked[HOUR_OF_DAY] = marked[AM_PM] = marked[HOUR] = true;
            break;
        default:
            f[field] = value;
            marked[field] = true;
            break;
    }
    fieldsChanged = true;
    timeStale = true;
}

JavaPtr<Date> Calendar::getTime() {
    return jnew<Date>(getTimeInMillis());
}

void Calendar::setTime(const JavaPtr<Date>& date) {
    setTimeInMillis(date->getTime());
}

JavaPtr<Calendar> Calendar::getInstance() {
    return jnew<CalendarImpl>();
}

JavaPtr<Calendar> Calendar::getInstance(const JavaPtr<TimeZone>& zone) {
    JavaPtr<Calendar> calendar = jnew<CalendarImpl>();
    calendar->setTimeZone(zone);
    calendar->computeFields();
    return calendar;
}

}  // namespace java::util
