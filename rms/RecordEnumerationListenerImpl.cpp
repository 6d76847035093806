#include "rms/RecordEnumerationListenerImpl.h"

#include "rms/RecordEnumerationImpl.h"

namespace javax::microedition::rms {

void RecordEnumerationListenerImpl::rebuildEnumeration() {
    // The pointer is read afresh under the store lock at every step: the enumeration cannot leave the
    // store (and be freed) while the lock is held, and may have left it by the next step.
    RecordEnumerationImpl::rebuildFound([this] { return enumeration; });
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
