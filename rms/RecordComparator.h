// javax.microedition.rms.RecordComparator: an order of records that an application may hand to an
// enumeration. Enumerations keep it but walk the store's file order; nothing here calls it.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace javax::microedition::rms {

class RecordComparator : public virtual ::java::lang::Smart {
    TESL_INTERFACE(RecordComparator, "javax.microedition.rms.RecordComparator", ::java::lang::Smart)
public:
    static constexpr int EQUIVALENT = 0;
    static constexpr int FOLLOWS = 1;
    static constexpr int PRECEDES = -1;

    virtual int compare(const JavaPtr<JArray<signed char>>& rec1,
                        const JavaPtr<JArray<signed char>>& rec2) = 0;
    ~RecordComparator() override = default;
};

}  // namespace javax::microedition::rms
