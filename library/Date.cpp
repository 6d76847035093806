#include "library/Date.h"

#include "library/Calendar.h"
#include "library/LCDUIStrings.h"
#include "library/System.h"
#include "library/TimeZone.h"
#include "runtime/String.h"

namespace java::util {

using ::java::lang::String;

namespace {

JavaPtr<String> twoDigits(int value) {
    JavaPtr<String> digits = jnew<String>(value);
    return value <= 9 ? jnew<String>("0") + digits : digits;
}

}  // namespace

Date* Date::TESLinvokeconstructor() {
    return TESLinvokeconstructor(java::lang::System::currentTimeMillis());
}

Date* Date::TESLinvokeconstructor(long long ms) {
    Object::TESLinvokeconstructor();
    time = ms;
    return this;
}

bool Date::equals(JavaPtr<::java::lang::Object> obj) {
    JavaPtr<Date> other = jcast<Date>(obj);
    return other && other->getTime() == getTime();
}

int32_t Date::hashCode() {
    return static_cast<int32_t>(static_cast<uint64_t>(time));
}

JavaPtr<String> Date::toString() {
    JavaPtr<Calendar> c = Calendar::getInstance();
    c->setTimeInMillis(time);
    JavaPtr<String> text =
        LCDUI_stringsGet(_LCDUI_STRINGS_WEEK_SUNDAY_ABR + c->get(Calendar::DAY_OF_WEEK) - 1) + " " +
        LCDUI_stringsGet(_LCDUI_STRINGS_MONTH_JANUARY_ABR + c->get(Calendar::MONTH)) + " " +
        twoDigits(c->get(Calendar::DAY_OF_MONTH)) + " " + twoDigits(c->get(Calendar::HOUR_OF_DAY)) + ":" +
        twoDigits(c->get(Calendar::MINUTE)) + ":" + twoDigits(c->get(Calendar::SECOND)) + " ";
    JavaPtr<TimeZone> zone = c->getTimeZone();
    if (zone) text = text + zone->getID();
    return text + " " + jnew<String>(c->get(Calendar::YEAR));
}

long long Date::getTime() {
    return time;
}

void Date::setTime(long long ms) {
    time = ms;
}

}  // namespace java::util
