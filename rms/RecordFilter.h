// javax.microedition.rms.RecordFilter: chooses the records an enumeration walks. Applications implement it.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace javax::microedition::rms {

class RecordFilter : public virtual ::java::lang::Smart {
    TESL_INTERFACE(RecordFilter, "javax.microedition.rms.RecordFilter", ::java::lang::Smart)
public:
    // Whether the record with these bytes belongs to the enumeration.
    virtual bool matches(const JavaPtr<JArray<signed char>>& candidate) = 0;
    ~RecordFilter() override = default;
};

}  // namespace javax::microedition::rms
