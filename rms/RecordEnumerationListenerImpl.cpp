#include "rms/RecordEnumerationListenerImpl.h"

#include <mutex>

#include "rms/RecordEnumeration.h"
#include "rms/RecordStore.h"

namespace javax::microedition::rms {

void RecordEnumerationListenerImpl::rebuildEnumeration() {
    // The enumeration cannot leave the store (and be freed) while the lock is held.
    std::lock_guard<std::recursive_mutex> guard(RecordStore::storeLock());
    if (enumeration != nullptr) enumeration->rebuild();
}

void RecordEnumerationListenerImpl::recordAdded(const JavaPtr<RecordStore>&, int) {
    rebuildEnumeration();
}

void RecordEnumerationListenerImpl::recordChanged(const JavaPtr<RecordStore>&, int) {
    rebuildEnumeration();
}

void RecordEnumerationListenerImpl::recordDeleted(const JavaPtr<RecordStore>&, int) {
    rebuildEnumeration();
}

}  // namespace javax::microedition::rms
