// java.util.Date: a time in milliseconds since 1970 (UTC), with a fixed English text form.
#pragma once

#include "runtime/Object.h"

namespace java::lang {
class String;
}

namespace java::util {

class Date : public ::java::lang::Object {
    TESL_CLASS(Date, "java.util.Date", ::java::lang::Object)
public:
    Date() noexcept {}
    ~Date() override = default;

    // Now.
    Date* TESLinvokeconstructor();
    Date* TESLinvokeconstructor(long long ms);

    bool equals(JavaPtr<::java::lang::Object> obj) override;
    // The low 32 bits of the time.
    int32_t hashCode() override;
    // For example "Thu Jan 01 00:00:00 GMT 1970".
    JavaPtr<::java::lang::String> toString() override;
    virtual long long getTime();
    virtual void setTime(long long ms);

private:
    long long time = 0;
};

}  // namespace java::util
