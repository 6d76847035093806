// Record-store slots: slot s holds a list of records that writing puts, whole, into the store named
// record_store_prefix + s. A one-record list replaces the store's record in place, one rewrite of the
// file; a longer list is added before the old records go, so a failure part-way leaves one complete
// list in the store.
#include <algorithm>
#include <cerrno>
#include <new>
#include <vector>

#include "engine/HookCanvas.h"
#include "platform/files/FileOperations.h"
#include "rms/InvalidRecordIDException.h"
#include "rms/RecordEnumeration.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "runtime/Exception.h"

using java::lang::String;
using javax::microedition::rms::RecordEnumeration;
using javax::microedition::rms::RecordStore;

namespace {

// Every record id of the store, in enumeration order.
std::vector<int> recordIds(RecordStore& store) {
    std::vector<int> ids;
    JavaPtr<RecordEnumeration> all = store.enumerateRecords(nullptr, nullptr, false);
    while (all->hasNextElement()) ids.push_back(all->nextRecordId());
    all->destroy();
    return ids;
}

// Deletes the old records (ids below firstNewId) when keepNew, else the new ones.
void deleteRecordsOutside(RecordStore& store, int firstNewId, bool keepNew) {
    if (store.getNumRecords() < 1) return;
    for (int id : recordIds(store)) {
        if ((id < firstNewId) == keepNew) store.deleteRecord(id);
    }
}

void closeQuietly(const JavaPtr<RecordStore>& store) {
    if (!store) return;
    try {
        store->closeRecordStore();
    } catch (java::lang::Exception&) {
        // The store's contents are settled; a failed close changes nothing the caller can act on.
    }
}

}  // namespace

bool HookCanvas::setRecordStoreData(const JavaPtr<ByteArray>& data, int32_t index) {
    JavaPtr<RecordList> records = jnew<RecordList>(1);
    records->data[0] = data;
    return setRecordStoreDataMult(records, index);
}

bool HookCanvas::setRecordStoreDataMult(const JavaPtr<RecordList>& records, int32_t index) {
    const int32_t slot = index + 1;
    if (!record_store_cache || slot < 0 || slot >= record_store_cache->length) return false;
    record_store_cache->data[slot] = records;
    return accessRecordStoreWrite(slot);
}

JavaPtr<HookCanvas::ByteArray> HookCanvas::getRecordStoreData(int32_t index) {
    JavaPtr<RecordList> records = accessRecordStoreRead(index + 1);
    if (!records || records->length == 0) return nullptr;
    return records->data[0];
}

JavaPtr<HookCanvas::RecordList> HookCanvas::getRecordStoreDataMult(int32_t index) {
    return accessRecordStoreRead(index + 1);
}

void HookCanvas::accessAllRecordStoresWrite() {
    accessRecordStoreWrite(0);
    if (record_store_cache && record_store_cache->length > 0) record_store_cache->data[0] = nullptr;
    accessRecordStoreWrite(1);
    if (record_store_cache && record_store_cache->length > 1) record_store_cache->data[1] = nullptr;
}

bool HookCanvas::accessRecordStoreWrite(int32_t slot) {
    const JavaPtr<String> name = record_store_prefix + slot;
    if (!record_store_cache || slot < 0 || slot >= record_store_cache->length) return false;
    const JavaPtr<RecordList> list = record_store_cache->data[slot];
    if (!list) return false;

    JavaPtr<RecordStore> store;
    int32_t position = 0;
    int32_t only = -1;
    for (int32_t i = 0; i < list->length; ++i) {
        if (!list->data[i]) continue;
        only = only == -1 ? i : -2;
    }
    // Ids only grow, so every record at or above the store's next id when adding starts is new. Taking
    // the boundary before the first add also covers an add that reached the file and then threw.
    int firstNewId = -1;
    bool allAdded = false;
    try {
        store = RecordStore::openRecordStore(name, true);
        if (!store) return false;
        if (only >= 0) {
            const std::vector<int> ids = recordIds(*store);
            if (!ids.empty()) {
                // The newest record is the one a read answers: it takes the new bytes in one rewrite,
                // which leaves the store as it was or as it becomes.
                position = only;
                const int newest = *std::max_element(ids.begin(), ids.end());
                const JavaPtr<ByteArray>& element = list->data[only];
                store->setRecord(newest, element, 0, element->length);
                // Older records are left only by an interrupted save of an earlier version; the new
                // record already shadows them, so one that cannot go now goes with a later save.
                try {
                    for (int id : ids) {
                        if (id != newest) store->deleteRecord(id);
                    }
                } catch (java::lang::Exception&) {
                }
                closeQuietly(store);
                return true;
            }
        }
        firstNewId = store->getNextRecordID();
        for (position = 0; position < list->length; ++position) {
            const JavaPtr<ByteArray>& element = list->data[position];
            if (!element) continue;
            if (store->addRecord(element, 0, element->length) < 0) {
                throw javax::microedition::rms::RecordStoreException();
            }
        }
        allAdded = true;
        deleteRecordsOutside(*store, firstNewId, true);
        closeQuietly(store);
        return true;
    } catch (java::lang::Exception&) {
        const JavaPtr<ByteArray> failing =
            position < list->length ? list->data[position] : JavaPtr<ByteArray>();
        const int32_t length = failing ? failing->length : 0;
        debug(String("ERROR: Problem saving out data ") + slot + " (index " + position + ", length " +
                  length + ") to recordstore",
              PARAM_TS_DEBUGFLAG_RECORDSTORE);
    }

    bool newListOnly = false;
    try {
        // A record replaced in place is whole, old or new (firstNewId is not taken then): nothing to
        // take back.
        if (store && firstNewId != -1 && !allAdded) {
            // Take back what was added: the old list is still whole.
            deleteRecordsOutside(*store, firstNewId, false);
        } else if (store && firstNewId != -1) {
            // The new list is whole and some old records may already be gone: taking the new ones back
            // would leave neither list, so they stay and what is left of the old gets one more try.
            deleteRecordsOutside(*store, firstNewId, true);
            newListOnly = true;
        }
    } catch (java::lang::Exception&) {
        // The store keeps a whole list: the old one, or the new one after what is left of the old.
    }
    closeQuietly(store);
    return newListOnly;
}

JavaPtr<HookCanvas::RecordList> HookCanvas::accessRecordStoreRead(int32_t store) {
    const JavaPtr<String> name = record_store_prefix + store;
    JavaPtr<RecordStore> opened;
    JavaPtr<RecordList> records;
    platform::takeLastFileFailure();
    last_store_read = StoreRead::Read;
    last_store_read_error = 0;
    try {
        opened = RecordStore::openRecordStore(name, false);
        JavaPtr<RecordEnumeration> all = opened->enumerateRecords(nullptr, nullptr, false);
        records = jnew<RecordList>(all->numRecords());
        for (int32_t i = 0; i < records->length && all->hasNextElement(); ++i)
            records->data[i] = all->nextRecord();
        all->destroy();
    } catch (javax::microedition::rms::RecordStoreNotFoundException&) {
        last_store_read = StoreRead::Missing;
    } catch (javax::microedition::rms::InvalidRecordIDException&) {
        // A record whose checksum fails was read and found damaged; the records before it stand.
    } catch (javax::microedition::rms::RecordStoreFullException&) {
        last_store_read =
            RecordStore::lastOpenFoundDamagedHeader() ? StoreRead::DamagedHeader : StoreRead::Unreadable;
    } catch (java::lang::Exception&) {
        // The directory or the file could not be read: what was read so far is the answer.
        last_store_read = StoreRead::Unreadable;
    } catch (std::bad_alloc&) {
        last_store_read = StoreRead::Unreadable;
        platform::noteFileFailure(ENOMEM);
    }
    if (last_store_read == StoreRead::Unreadable) last_store_read_error = platform::takeLastFileFailure();
    closeQuietly(opened);
    return records;
}
