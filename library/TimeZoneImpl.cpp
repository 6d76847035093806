#include "library/TimeZoneImpl.h"

namespace java::util {

TimeZoneImpl* TimeZoneImpl::TESLinvokeconstructor(const JavaPtr<::java::lang::String>& id) {
    TimeZone::TESLinvokeconstructor();
    ID = id;
    return this;
}

int TimeZoneImpl::getOffset(int, int, int, int, int, int) {
    return 0;
}

int TimeZoneImpl::getRawOffset() {
    return 0;
}

bool TimeZoneImpl::useDaylightTime() {
    return false;
}

}  // namespace java::util
