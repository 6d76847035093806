// javax.microedition.rms.RecordListener: told by a store after each record it added, changed or deleted.
#pragma once

#include "runtime/Object.h"

namespace javax::microedition::rms {

class RecordStore;

class RecordListener : public virtual ::java::lang::Smart {
    TESL_INTERFACE(RecordListener, "javax.microedition.rms.RecordListener", ::java::lang::Smart)
public:
    virtual void recordAdded(const JavaPtr<RecordStore>& recordStore, int recordId) = 0;
    virtual void recordChanged(const JavaPtr<RecordStore>& recordStore, int recordId) = 0;
    virtual void recordDeleted(const JavaPtr<RecordStore>& recordStore, int recordId) = 0;
    ~RecordListener() override = default;
};

}  // namespace javax::microedition::rms
