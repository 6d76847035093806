// java.util.TimeZone: the zone of a calendar. There is one zone, "GMT", without offset or daylight
// saving time, and every request for a zone yields a new one of it.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "runtime/String.h"

namespace java::util {

class TimeZone : public ::java::lang::Object {
    TESL_CLASS(TimeZone, "java.util.TimeZone", ::java::lang::Object)
public:
    TimeZone() noexcept {}
    ~TimeZone() override = default;

    TimeZone* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    virtual JavaPtr<::java::lang::String> getID();
    virtual int getOffset(int era, int year, int month, int day, int dayOfWeek, int millis) = 0;
    virtual int getRawOffset() = 0;
    virtual bool useDaylightTime() = 0;

    // A new "GMT" zone at every call.
    static JavaPtr<TimeZone> getDefault();
    // The id is not looked at: every id gives "GMT".
    static JavaPtr<TimeZone> getTimeZone(const JavaPtr<::java::lang::String>& id);
    static JavaPtr<JArray<JavaPtr<::java::lang::String>>> getAvailableIDs();

protected:
    JavaPtr<::java::lang::String> ID;
};

}  // namespace java::util
