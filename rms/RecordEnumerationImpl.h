// javax.microedition.rms.RecordEnumerationImpl: the enumeration RecordStore::enumerateRecords makes. It
// walks the store's record ids in file order (narrowed by its filter; the comparator is kept but never
// consulted) and rebuilds itself through a listener of its own after every change of the store.
#pragma once

#include "rms/RecordEnumeration.h"
#include "runtime/JArray.h"
#include "runtime/Object.h"

namespace javax::microedition::rms {

class RecordComparator;
class RecordEnumerationListenerImpl;
class RecordFilter;
class RecordStore;

class RecordEnumerationImpl : public ::java::lang::Object, public virtual RecordEnumeration {
    TESL_CLASS_WITH_ID(RecordEnumerationImpl, "javax.microedition.rms.RecordEnumerationImpl", 237009160,
                       ::java::lang::Object, RecordEnumeration)
public:
    // Registers its listener with the store and reads the store's ids; a failure of that reading
    // unregisters it again and passes on.
    RecordEnumerationImpl(const JavaPtr<RecordStore>& store, const JavaPtr<RecordFilter>& filter,
                          const JavaPtr<RecordComparator>& comparator);
    ~RecordEnumerationImpl() override;

    // Leaves the store, which then no longer rebuilds it; the list stays as it last stood.
    void destroy() override;
    bool hasNextElement() override;
    bool hasPreviousElement() override;
    bool isKeptUpdated() override;
    // Only noted: the enumeration follows every change whatever the flag says.
    void keepUpdated(bool keepUpdated) override;
    // IllegalStateException after destroy.
    JavaPtr<JArray<signed char>> nextRecord() override;
    int nextRecordId() override;
    int numRecords() override;
    JavaPtr<JArray<signed char>> previousRecord() override;
    // InvalidRecordIDException also past the last id, where hasPreviousElement answers true but no id
    // stands under the cursor.
    int previousRecordId() override;
    // A record that cannot be read is left out when there is a filter. IllegalStateException after
    // destroy.
    void rebuild() override;
    void reset() override;

    JavaPtr<RecordEnumerationListenerImpl> listener;
    JavaPtr<RecordStore> recordStore;
    JavaPtr<RecordFilter> filter;
    JavaPtr<RecordComparator> comparator;
    JavaPtr<JArray<int>> recordIds;
    // The position of the id the next forward step answers: -1 to the length of recordIds.
    int currentIndex = -1;
    bool keptUpdated = false;
};

}  // namespace javax::microedition::rms
