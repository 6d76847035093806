// java.util.TimeZoneImpl: the one concrete zone, with offset 0 and no daylight saving time.
#pragma once

#include "library/TimeZone.h"

namespace java::util {

class TimeZoneImpl : public TimeZone {
    TESL_CLASS(TimeZoneImpl, "java.util.TimeZoneImpl", TimeZone)
public:
    TimeZoneImpl() noexcept {}
    ~TimeZoneImpl() override = default;

    TimeZoneImpl* TESLinvokeconstructor(const JavaPtr<::java::lang::String>& id);

    int getOffset(int era, int year, int month, int day, int dayOfWeek, int millis) override;
    int getRawOffset() override;
    bool useDaylightTime() override;
};

}  // namespace java::util
