#include "library/TimeZone.h"

#include "library/TimeZoneImpl.h"

namespace java::util {

JavaPtr<::java::lang::String> TimeZone::getID() {
    return ID;
}

JavaPtr<TimeZone> TimeZone::getDefault() {
    return jnew<TimeZoneImpl>(jnew<::java::lang::String>("GMT"));
}

JavaPtr<TimeZone> TimeZone::getTimeZone(const JavaPtr<::java::lang::String>&) {
    return getDefault();
}

JavaPtr<JArray<JavaPtr<::java::lang::String>>> TimeZone::getAvailableIDs() {
    JavaPtr<JArray<JavaPtr<::java::lang::String>>> ids = jnew<JArray<JavaPtr<::java::lang::String>>>(1);
    ids->data[0] = jnew<::java::lang::String>("GMT");
    return ids;
}

}  // namespace java::util
