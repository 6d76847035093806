// RecordStore's records and listeners; the file work is in RecordStoreFile.cpp, the registry in
// RecordStoreRegistry.cpp.
#include "rms/RecordStore.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "library/DataInputStream.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "library/SlotWalk.h"
#include "rms/InvalidRecordIDException.h"
#include "rms/RecordEnumerationImpl.h"
#include "rms/RecordListener.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "rms/RecordStoreNotOpenException.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::rms {

using ::java::io::DataInputStream;
using ::java::io::File;
using ::java::io::FileInputStream;
using ::java::lang::String;

using Guard = std::lock_guard<std::mutex>;

std::mutex& RecordStore::storeLock() {
    static std::mutex lock;
    return lock;
}

RecordStore::RecordStore(const JavaPtr<String>& storeName, bool exists, const JavaPtr<String>& existingFile)
    : name(storeName) {
    if (exists) {
        fileName = existingFile;
        loadHeader();
    } else {
        createStoreFile();
    }
    isOpen = isValid;
    listeners = jnew<JArray<JavaPtr<RecordListener>>>(0);
}

void RecordStore::destroy() {
    JavaPtr<JArray<JavaPtr<RecordListener>>> dropped;
    Guard guard(storeLock());
    dropped = listeners;
    listeners = nullptr;
}

// ---- Accessors -----------------------------------------------------------------------------------

void RecordStore::checkOpen() const {
    if (!isOpen) throw RecordStoreNotOpenException();
    if (isDeleted) throw RecordStoreException();
}

long long RecordStore::getLastModified() {
    Guard guard(storeLock());
    return lastModified;
}

JavaPtr<String> RecordStore::getName() {
    Guard guard(storeLock());
    return name;
}

int RecordStore::getNextRecordID() {
    Guard guard(storeLock());
    checkOpen();
    return nextRecordID;
}

int RecordStore::getSize() {
    Guard guard(storeLock());
    const long long length = jnew<File>(fileName)->length();
    return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

int RecordStore::getSizeAvailable() {
    return 0;
}

int RecordStore::getVersion() {
    Guard guard(storeLock());
    return version;
}

void RecordStore::setMode(int, bool) {}

// ---- Records ---------------------------------------------------------------------------------------

RecordStore::FoundRecord RecordStore::locateRecord(int recordID, JavaPtr<JArray<signed char>>* image) {
    FoundRecord found;
    bool opened = false;
    JavaPtr<JArray<signed char>> bytes = readImage(opened);
    // A store file that cannot be read says nothing about the record.
    if (!opened) throw RecordStoreException();
    bool present = false;
    if (bytes) {
        present = findRecordIn(*bytes, recordID, found);
    } else {
        JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
        if (!file->opened) throw RecordStoreException();
        present = findRecord(file, recordID, found);
        file->close();
    }
    if (!present) throw InvalidRecordIDException();
    if (image != nullptr) *image = bytes;
    return found;
}

JavaPtr<JArray<signed char>> RecordStore::getRecord(int recordId) {
    Guard guard(storeLock());
    return getRecordLocked(recordId);
}

JavaPtr<JArray<signed char>> RecordStore::getRecordLocked(int recordId) {
    checkOpen();
    FoundRecord found = locateRecord(recordId);
    if (!found.checksumHolds) throw InvalidRecordIDException();
    return found.data;
}

int RecordStore::getRecord(int recordId, const JavaPtr<JArray<signed char>>& buffer, int offset) {
    Guard guard(storeLock());
    JavaPtr<JArray<signed char>> data = getRecordLocked(recordId);
    if (!buffer) throw ::java::lang::NullPointerException();
    if (offset < 0 || data->length > static_cast<long long>(buffer->length) - offset)
        throw ::java::lang::ArrayIndexOutOfBoundsException();
    std::copy(data->data, data->data + data->length, buffer->data + offset);
    return data->length;
}

int RecordStore::getRecordSize(int recordId) {
    Guard guard(storeLock());
    checkOpen();
    FoundRecord found = locateRecord(recordId);
    if (!found.checksumHolds) throw InvalidRecordIDException();
    return found.data->length;
}

JavaPtr<JArray<int>> RecordStore::getRecordIDs() {
    Guard guard(storeLock());
    return getRecordIDsLocked();
}

JavaPtr<JArray<int>> RecordStore::getRecordIDsLocked() {
    JavaPtr<JArray<int>> ids = jnew<JArray<int>>();
    bool opened = false;
    JavaPtr<JArray<signed char>> image = readImage(opened);
    // Not an empty store: a store whose file cannot be read has no answer.
    if (!opened) throw RecordStoreException();
    if (image) {
        if (!formatIsWritable()) return ids;
        // Counted first, so that the list is made in one block rather than grown one id at a time.
        const long long first = firstRecordOffset(*image);
        int count = 0, id = 0, length = 0;
        for (long long at = first; chunkHeadAt(*image, at, id, length); at += length + checksumSize())
            ++count;
        ids = jnewArray<int>(count);
        int i = 0;
        for (long long at = first; chunkHeadAt(*image, at, id, length); at += length + checksumSize())
            ids->data[i++] = id;
        return ids;
    }
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
    // Not an empty store: a store whose file cannot be read has no answer.
    if (!file->opened) throw RecordStoreException();
    JavaPtr<DataInputStream> in = jnew<DataInputStream>(JavaPtr<::java::io::InputStream>(file));
    seekToFirstRecord(in);
    int id = 0;
    while (getNextRecord(in, nullptr, &id)) ids->append(id);
    file->close();
    return ids;
}

int RecordStore::getNumRecords() {
    Guard guard(storeLock());
    checkOpen();
    return getRecordIDsLocked()->length;
}

int RecordStore::addRecord(const JavaPtr<JArray<signed char>>& data, int offset, int numBytes) {
    int id = 0;
    Rewrite outcome = Rewrite::Failed;
    {
        Guard guard(storeLock());
        checkOpen();
        if (!formatIsWritable()) return -1;
        // Ids are 1 or more and never given out twice: a store whose ids ran out is full.
        if (nextRecordID < 1 || nextRecordID == INT_MAX) throw RecordStoreFullException();
        id = nextRecordID;
        JavaPtr<JArray<signed char>> chunk = buildChunk(id, data, offset, numBytes);
        nextRecordID = id + 1;
        outcome = replaceRSFileChunkLocked(*this, -1, 0, chunk);
        if (outcome == Rewrite::Failed) {
            nextRecordID = id;
            throw RecordStoreFullException();
        }
    }
    recordChanged(0, id);
    if (outcome != Rewrite::Done) throw RecordStoreFullException();
    return id;
}

void RecordStore::setRecord(int recordId, const JavaPtr<JArray<signed char>>& newData, int offset,
                            int numBytes) {
    Rewrite outcome = Rewrite::Failed;
    {
        Guard guard(storeLock());
        checkOpen();
        // A record whose checksum fails can still be replaced: refusing would leave it in the way for good.
        JavaPtr<JArray<signed char>> image;
        FoundRecord found = locateRecord(recordId, &image);
        if (!formatIsWritable()) return;
        JavaPtr<JArray<signed char>> chunk = buildChunk(recordId, newData, offset, numBytes);
        outcome = replaceRSFileChunkLocked(*this, found.offset, found.data->length + 8 + checksumSize(),
                                           chunk, image);
        if (outcome == Rewrite::Failed) throw RecordStoreFullException();
    }
    recordChanged(1, recordId);
    if (outcome != Rewrite::Done) throw RecordStoreFullException();
}

void RecordStore::deleteRecord(int recordId) {
    Rewrite outcome = Rewrite::Failed;
    {
        Guard guard(storeLock());
        checkOpen();
        JavaPtr<JArray<signed char>> image;
        FoundRecord found = locateRecord(recordId, &image);
        if (!formatIsWritable()) return;
        outcome = replaceRSFileChunkLocked(*this, found.offset, found.data->length + 8 + checksumSize(),
                                           jnew<JArray<signed char>>(), image);
        if (outcome == Rewrite::Failed) throw RecordStoreException();
    }
    recordChanged(2, recordId);
    if (outcome != Rewrite::Done) throw RecordStoreException();
}

// ---- Listeners and enumerations ----------------------------------------------------------------------

void RecordStore::addRecordListener(const JavaPtr<RecordListener>& listener) {
    Guard guard(storeLock());
    addRecordListenerLocked(listener);
}

void RecordStore::addRecordListenerLocked(const JavaPtr<RecordListener>& listener) {
    const int32_t count = listeners ? listeners->length : 0;
    for (int32_t i = 0; i < count; ++i) {
        if (listeners->data[i] == listener) return;
    }
    JavaPtr<JArray<JavaPtr<RecordListener>>> grown = jnewArray<JavaPtr<RecordListener>>(count + 1);
    for (int32_t i = 0; i < count; ++i) grown->data[i] = listeners->data[i];
    grown->data[count] = listener;
    listeners = grown;
}

void RecordStore::removeRecordListener(const JavaPtr<RecordListener>& listener) {
    // The old list may hold the last reference to the listener, whose destructor is not ours to run
    // under the lock.
    JavaPtr<JArray<JavaPtr<RecordListener>>> dropped;
    Guard guard(storeLock());
    dropped = removeRecordListenerLocked(listener);
}

JavaPtr<JArray<JavaPtr<RecordListener>>> RecordStore::removeRecordListenerLocked(
    const JavaPtr<RecordListener>& listener) {
    if (!listeners) return nullptr;
    JavaPtr<JArray<JavaPtr<RecordListener>>> kept = jnew<JArray<JavaPtr<RecordListener>>>(0);
    for (const JavaPtr<RecordListener>& each : *listeners) {
        if (!(each == listener)) kept->append(each);
    }
    JavaPtr<JArray<JavaPtr<RecordListener>>> old = listeners;
    listeners = kept;
    return old;
}

void RecordStore::recordChanged(int kind, int recordID) {
    JavaPtr<RecordStore> self(this);
    tesl::forEachSlotUnlocked(
        storeLock(),
        [this](int32_t slot) -> std::optional<JavaPtr<RecordListener>> {
            if (!listeners || slot >= listeners->length) return std::nullopt;
            return listeners->data[slot];
        },
        [&](int32_t, const JavaPtr<RecordListener>& listener) {
            if (!listener) return;
            if (kind == 0) {
                listener->recordAdded(self, recordID);
            } else if (kind == 1) {
                listener->recordChanged(self, recordID);
            } else if (kind == 2) {
                listener->recordDeleted(self, recordID);
            }
        });
}

JavaPtr<RecordEnumeration> RecordStore::enumerateRecords(const JavaPtr<RecordFilter>& filter,
                                                         const JavaPtr<RecordComparator>& comparator,
                                                         bool keepUpdated) {
    // Not under the lock: building the enumeration runs the filter.
    JavaPtr<RecordEnumerationImpl> enumeration =
        jnew<RecordEnumerationImpl>(JavaPtr<RecordStore>(this), filter, comparator);
    enumeration->keepUpdated(keepUpdated);
    return enumeration;
}

}  // namespace javax::microedition::rms
