#include "rms/RecordEnumerationImpl.h"

#include <mutex>

#include "rms/InvalidRecordIDException.h"
#include "rms/RecordComparator.h"
#include "rms/RecordEnumerationListenerImpl.h"
#include "rms/RecordFilter.h"
#include "rms/RecordStore.h"
#include "runtime/IllegalStateException.h"

namespace javax::microedition::rms {

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

}  // namespace

RecordEnumerationImpl::RecordEnumerationImpl(const JavaPtr<RecordStore>& store,
                                             const JavaPtr<RecordFilter>& filter,
                                             const JavaPtr<RecordComparator>& comparator)
    : recordStore(store), filter(filter), comparator(comparator) {
    Guard guard(RecordStore::storeLock());
    recordIds = jnew<JArray<int>>();
    listener = jnew<RecordEnumerationListenerImpl>(static_cast<RecordEnumeration*>(this));
    if (recordStore) recordStore->addRecordListener(JavaPtr<RecordListener>(listener));
    try {
        rebuild();
    } catch (...) {
        // No destructor runs for a constructor that throws: the store must not keep the listener.
        destroy();
        throw;
    }
    reset();
}

RecordEnumerationImpl::~RecordEnumerationImpl() {
    RecordEnumerationImpl::destroy();
}

void RecordEnumerationImpl::destroy() {
    Guard guard(RecordStore::storeLock());
    if (listener) listener->enumeration = nullptr;
    if (recordStore) recordStore->removeRecordListener(JavaPtr<RecordListener>(listener));
    recordStore = nullptr;
    filter = nullptr;
    comparator = nullptr;
    listener = nullptr;
}

bool RecordEnumerationImpl::hasNextElement() {
    Guard guard(RecordStore::storeLock());
    return currentIndex != -1 && currentIndex < recordIds->length;
}

bool RecordEnumerationImpl::hasPreviousElement() {
    Guard guard(RecordStore::storeLock());
    return currentIndex >= 0;
}

bool RecordEnumerationImpl::isKeptUpdated() {
    Guard guard(RecordStore::storeLock());
    return keptUpdated;
}

void RecordEnumerationImpl::keepUpdated(bool keep) {
    Guard guard(RecordStore::storeLock());
    keptUpdated = keep;
}

int RecordEnumerationImpl::nextRecordId() {
    Guard guard(RecordStore::storeLock());
    if (!hasNextElement()) throw InvalidRecordIDException();
    return recordIds->data[currentIndex++];
}

JavaPtr<JArray<signed char>> RecordEnumerationImpl::nextRecord() {
    Guard guard(RecordStore::storeLock());
    if (!recordStore) throw ::java::lang::IllegalStateException();
    return recordStore->getRecord(nextRecordId());
}

int RecordEnumerationImpl::previousRecordId() {
    Guard guard(RecordStore::storeLock());
    // Past the last id nothing stands under the cursor.
    if (!hasPreviousElement() || currentIndex >= recordIds->length) throw InvalidRecordIDException();
    return recordIds->data[currentIndex--];
}

JavaPtr<JArray<signed char>> RecordEnumerationImpl::previousRecord() {
    Guard guard(RecordStore::storeLock());
    if (!recordStore) throw ::java::lang::IllegalStateException();
    return recordStore->getRecord(previousRecordId());
}

int RecordEnumerationImpl::numRecords() {
    Guard guard(RecordStore::storeLock());
    return recordIds->length;
}

void RecordEnumerationImpl::rebuild() {
    Guard guard(RecordStore::storeLock());
    if (!recordStore) throw ::java::lang::IllegalStateException();
    const int remembered = hasNextElement() ? recordIds->data[currentIndex] : -1;
    // The new list is built aside, so that a failure leaves the old one and its cursor.
    JavaPtr<JArray<int>> all = recordStore->getRecordIDs();
    JavaPtr<JArray<int>> chosen = jnew<JArray<int>>();
    for (int id : *all) {
        if (filter) {
            JavaPtr<JArray<signed char>> bytes;
            try {
                bytes = recordStore->getRecord(id);
            } catch (InvalidRecordIDException&) {
                // A damaged record matches no filter.
                continue;
            }
            if (!filter->matches(bytes)) continue;
        }
        chosen->append(id);
    }
    recordIds = chosen;
    if (remembered != -1) {
        for (int i = 0; i < recordIds->length; ++i) {
            if (recordIds->data[i] == remembered) {
                currentIndex = i;
                return;
            }
        }
    }
    reset();
}

void RecordEnumerationImpl::reset() {
    Guard guard(RecordStore::storeLock());
    currentIndex = numRecords() > 0 ? 0 : -1;
}

}  // namespace javax::microedition::rms
