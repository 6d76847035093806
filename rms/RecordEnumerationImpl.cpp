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

using Guard = std::lock_guard<std::mutex>;

}  // namespace

RecordEnumerationImpl::RecordEnumerationImpl(const JavaPtr<RecordStore>& store,
                                             const JavaPtr<RecordFilter>& filter,
                                             const JavaPtr<RecordComparator>& comparator)
    : recordStore(store), filter(filter), comparator(comparator) {
    {
        Guard guard(RecordStore::storeLock());
        recordIds = jnew<JArray<int>>();
        listener = jnew<RecordEnumerationListenerImpl>(this);
        if (recordStore) recordStore->addRecordListenerLocked(JavaPtr<RecordListener>(listener));
    }
    try {
        rebuild();
    } catch (...) {
        // No destructor runs for a constructor that throws: the store must not keep the listener.
        destroy();
        throw;
    }
    Guard guard(RecordStore::storeLock());
    resetLocked();
}

RecordEnumerationImpl::~RecordEnumerationImpl() {
    RecordEnumerationImpl::destroy();
}

void RecordEnumerationImpl::destroy() {
    // What the enumeration let go of is dropped after the lock: the filter, the comparator and perhaps
    // the store with its listeners are the application's.
    JavaPtr<RecordStore> store;
    JavaPtr<RecordFilter> oldFilter;
    JavaPtr<RecordComparator> oldComparator;
    JavaPtr<RecordEnumerationListenerImpl> oldListener;
    JavaPtr<JArray<JavaPtr<RecordListener>>> oldListeners;
    Guard guard(RecordStore::storeLock());
    if (listener) listener->enumeration = nullptr;
    if (recordStore)
        oldListeners = recordStore->removeRecordListenerLocked(JavaPtr<RecordListener>(listener));
    store = recordStore;
    oldFilter = filter;
    oldComparator = comparator;
    oldListener = listener;
    recordStore = nullptr;
    filter = nullptr;
    comparator = nullptr;
    listener = nullptr;
}

bool RecordEnumerationImpl::hasNextElement() {
    Guard guard(RecordStore::storeLock());
    return hasNextElementLocked();
}

bool RecordEnumerationImpl::hasNextElementLocked() const {
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
    return nextRecordIdLocked();
}

int RecordEnumerationImpl::nextRecordIdLocked() {
    if (!hasNextElementLocked()) throw InvalidRecordIDException();
    return recordIds->data[currentIndex++];
}

JavaPtr<JArray<signed char>> RecordEnumerationImpl::nextRecord() {
    Guard guard(RecordStore::storeLock());
    if (!recordStore) throw ::java::lang::IllegalStateException();
    return recordStore->getRecordLocked(nextRecordIdLocked());
}

int RecordEnumerationImpl::previousRecordId() {
    Guard guard(RecordStore::storeLock());
    return previousRecordIdLocked();
}

int RecordEnumerationImpl::previousRecordIdLocked() {
    // Past the last id nothing stands under the cursor.
    if (currentIndex < 0 || currentIndex >= recordIds->length) throw InvalidRecordIDException();
    return recordIds->data[currentIndex--];
}

JavaPtr<JArray<signed char>> RecordEnumerationImpl::previousRecord() {
    Guard guard(RecordStore::storeLock());
    if (!recordStore) throw ::java::lang::IllegalStateException();
    return recordStore->getRecordLocked(previousRecordIdLocked());
}

int RecordEnumerationImpl::numRecords() {
    Guard guard(RecordStore::storeLock());
    return recordIds->length;
}

void RecordEnumerationImpl::collectLocked(Candidates& candidates) {
    if (!recordStore) throw ::java::lang::IllegalStateException();
    candidates.store = recordStore;
    candidates.filter = filter;
    candidates.storeVersion = recordStore->version;
    candidates.ids = recordStore->getRecordIDsLocked();
    candidates.records.clear();
    if (!filter) return;
    for (int id : *candidates.ids) {
        try {
            candidates.records.push_back(recordStore->getRecordLocked(id));
        } catch (InvalidRecordIDException&) {
            // A damaged record matches no filter.
            candidates.records.push_back(nullptr);
        }
    }
}

JavaPtr<JArray<int>> RecordEnumerationImpl::choose(const Candidates& candidates) {
    // Without a filter every id is chosen, and the list read for this rebuild is nobody else's.
    if (!candidates.filter) return candidates.ids;
    JavaPtr<JArray<int>> chosen = jnew<JArray<int>>();
    for (int i = 0; i < candidates.ids->length; ++i) {
        if (candidates.filter) {
            const JavaPtr<JArray<signed char>>& bytes = candidates.records[static_cast<size_t>(i)];
            if (!bytes || !candidates.filter->matches(bytes)) continue;
        }
        chosen->append(candidates.ids->data[i]);
    }
    return chosen;
}

bool RecordEnumerationImpl::installLocked(const Candidates& candidates, const JavaPtr<JArray<int>>& chosen) {
    if (!recordStore || recordStore != candidates.store || filter != candidates.filter ||
        recordStore->version != candidates.storeVersion)
        return false;
    const int remembered = hasNextElementLocked() ? recordIds->data[currentIndex] : -1;
    recordIds = chosen;
    if (remembered != -1) {
        for (int i = 0; i < recordIds->length; ++i) {
            if (recordIds->data[i] == remembered) {
                currentIndex = i;
                return true;
            }
        }
    }
    resetLocked();
    return true;
}

void RecordEnumerationImpl::rebuild() {
    rebuildFound([this] { return this; });
}

void RecordEnumerationImpl::rebuildFound(const std::function<RecordEnumerationImpl*()>& find) {
    // Every change to the store rewrites its file and moves its version on, so an unchanged version
    // means the candidates still hold.
    while (true) {
        Candidates candidates;
        {
            Guard guard(RecordStore::storeLock());
            RecordEnumerationImpl* enumeration = find();
            if (enumeration == nullptr) return;
            enumeration->collectLocked(candidates);
        }
        JavaPtr<JArray<int>> chosen = choose(candidates);
        Guard guard(RecordStore::storeLock());
        RecordEnumerationImpl* enumeration = find();
        if (enumeration == nullptr || enumeration->installLocked(candidates, chosen)) return;
    }
}

void RecordEnumerationImpl::reset() {
    Guard guard(RecordStore::storeLock());
    resetLocked();
}

void RecordEnumerationImpl::resetLocked() {
    currentIndex = recordIds->length > 0 ? 0 : -1;
}

}  // namespace javax::microedition::rms
