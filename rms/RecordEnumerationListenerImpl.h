// javax.microedition.rms.RecordEnumerationListenerImpl: the listener through which a store rebuilds an
// enumeration after each change. It points back at the enumeration without counting it; the
// enumeration clears that pointer when it leaves the store, so a call already under way finds nothing.
#pragma once

#include "rms/RecordListener.h"
#include "runtime/Object.h"

namespace javax::microedition::rms {

class RecordEnumerationImpl;

class RecordEnumerationListenerImpl : public ::java::lang::Object, public virtual RecordListener {
    TESL_CLASS_WITH_ID(RecordEnumerationListenerImpl, "javax.microedition.rms.RecordEnumerationListenerImpl",
                       1020402140, ::java::lang::Object, RecordListener)
public:
    RecordEnumerationListenerImpl() noexcept {}
    explicit RecordEnumerationListenerImpl(RecordEnumerationImpl* enumeration) noexcept
        : enumeration(enumeration) {}
    ~RecordEnumerationListenerImpl() override = default;

    void recordAdded(const JavaPtr<RecordStore>& recordStore, int recordId) override;
    void recordChanged(const JavaPtr<RecordStore>& recordStore, int recordId) override;
    void recordDeleted(const JavaPtr<RecordStore>& recordStore, int recordId) override;

    // Guarded by the store lock.
    RecordEnumerationImpl* enumeration = nullptr;

private:
    void rebuildEnumeration();
};

}  // namespace javax::microedition::rms
