// javax.microedition.rms.RecordEnumerationImpl: the enumeration RecordStore::enumerateRecords makes. It
// walks the store's record ids in file order (narrowed by its filter; the comparator is kept but never
// consulted) and rebuilds itself through a listener of its own after every change of the store.
#pragma once

#include <functional>
#include <vector>

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
    // destroy. The filter runs without the store lock, on what the store held when the rebuild began;
    // should the store change meanwhile, the rebuild starts again.
    void rebuild() override;
    // The rebuild of whichever enumeration find answers under the store lock, each time it is asked;
    // nothing when it answers null.
    static void rebuildFound(const std::function<RecordEnumerationImpl*()>& find);
    void reset() override;

    JavaPtr<RecordEnumerationListenerImpl> listener;
    JavaPtr<RecordStore> recordStore;
    JavaPtr<RecordFilter> filter;
    JavaPtr<RecordComparator> comparator;
    JavaPtr<JArray<int>> recordIds;
    // The position of the id the next forward step answers: -1 to the length of recordIds.
    int currentIndex = -1;
    bool keptUpdated = false;

private:
    // What a rebuild reads under the lock and filters without it.
    struct Candidates {
        JavaPtr<RecordStore> store;
        JavaPtr<RecordFilter> filter;
        int storeVersion = 0;
        JavaPtr<JArray<int>> ids;
        // With a filter: each id's bytes, null for a record that cannot be read.
        std::vector<JavaPtr<JArray<signed char>>> records;
    };
    void collectLocked(Candidates& candidates);
    static JavaPtr<JArray<int>> choose(const Candidates& candidates);
    // False when the store or the enumeration changed since the candidates were collected.
    bool installLocked(const Candidates& candidates, const JavaPtr<JArray<int>>& chosen);
    bool hasNextElementLocked() const;
    int nextRecordIdLocked();
    int previousRecordIdLocked();
    void resetLocked();
};

}  // namespace javax::microedition::rms
