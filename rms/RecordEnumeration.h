// javax.microedition.rms.RecordEnumeration: a two-way cursor over the ids of a store's records.
#pragma once

#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace javax::microedition::rms {

class RecordEnumeration : public virtual ::java::lang::Smart {
    TESL_INTERFACE(RecordEnumeration, "javax.microedition.rms.RecordEnumeration", ::java::lang::Smart)
public:
    virtual void destroy() = 0;
    virtual bool hasNextElement() = 0;
    virtual bool hasPreviousElement() = 0;
    virtual bool isKeptUpdated() = 0;
    virtual void keepUpdated(bool keepUpdated) = 0;
    virtual JavaPtr<JArray<signed char>> nextRecord() = 0;
    virtual int nextRecordId() = 0;
    virtual int numRecords() = 0;
    virtual JavaPtr<JArray<signed char>> previousRecord() = 0;
    virtual int previousRecordId() = 0;
    virtual void rebuild() = 0;
    virtual void reset() = 0;
    ~RecordEnumeration() override = default;
};

}  // namespace javax::microedition::rms
