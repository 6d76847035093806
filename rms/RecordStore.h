// javax.microedition.rms.RecordStore: named stores of numbered byte records, one file per store in the
// data directory. A file ("rs_" + number) holds a checksummed header with the store's name, then the
// records in the order they were added; every change rewrites the whole file into a new one that
// replaces the old in one rename. Every operation runs under one process-wide lock, never held while
// application code (listeners, filters) runs, and the data directory is locked against a second
// process at the first open. The file work lives in RecordStoreFile.cpp, the registry of open stores
// in RecordStoreRegistry.cpp.
#pragma once

#include <mutex>
#include <vector>

#include "rms/StoreFileHeader.h"
#include "runtime/JArray.h"
#include "runtime/Object.h"
#include "runtime/String.h"

namespace java::io {
class DataInputStream;
class FileInputStream;
}  // namespace java::io

namespace javax::microedition::rms {

class RecordComparator;
class RecordEnumeration;
class RecordFilter;
class RecordListener;
class RecordStore;

// The record checksum: recordID + d[0] 31 + d[1] 31^2 + ... over the signed bytes, wrapping in 32 bits.
int getRecordChunkCRC(int recordID, const JavaPtr<JArray<signed char>>& data);
int getRecordChunkCRC(int recordID, const signed char* bytes, int count);
// The offset in the file of the first chunk with that id whose checksum holds, with its bytes in data;
// -1 when there is none. Chunks with other ids are passed over whatever their checksums.
int getRecordInternal(const JavaPtr<::java::io::FileInputStream>& file, int recordID,
                      JavaPtr<JArray<signed char>>& data, RecordStore& store);

class RecordStore : public ::java::lang::Object {
    TESL_CLASS(RecordStore, "javax.microedition.rms.RecordStore", ::java::lang::Object)
public:
    using StringArray = JArray<JavaPtr<::java::lang::String>>;

    static constexpr int RSMAGIC = 0x74737366;  // "tssf"
    static constexpr int RS_FORMAT_VERSION = 1;
    static constexpr int AUTHMODE_PRIVATE = 0;
    static constexpr int AUTHMODE_ANY = 1;
    static constexpr int MAX_NAME_LENGTH = 32;

    RecordStore() noexcept {}
    // Creates the file of a new store (exists false) or loads the header of fileName; isValid says
    // whether that worked.
    RecordStore(const JavaPtr<::java::lang::String>& name, bool exists,
                const JavaPtr<::java::lang::String>& fileName);
    ~RecordStore() override = default;

    RecordStore* TESLinvokeconstructor() {
        Object::TESLinvokeconstructor();
        return this;
    }

    // How a rewrite of the store file went: Failed leaves the old file as it was; NotDurable means the
    // new file is in place but the directory could not be synced, so a power loss may bring back the old.
    enum class Rewrite { Failed, NotDurable, Done };

    // A slice outside data throws ArrayIndexOutOfBoundsException (null data is an empty record when
    // numBytes is 0, NullPointerException otherwise). RecordStoreFullException when the ids are used up
    // or the file cannot be rewritten; then nothing has changed, unless the new file is in place but
    // could not be made durable, which the listeners hear of.
    virtual int addRecord(const JavaPtr<JArray<signed char>>& data, int offset, int numBytes);
    virtual void addRecordListener(const JavaPtr<RecordListener>& listener);
    virtual void closeRecordStore();
    // A record whose checksum fails is deleted (or replaced, by setRecord) all the same.
    virtual void deleteRecord(int recordId);
    virtual JavaPtr<RecordEnumeration> enumerateRecords(const JavaPtr<RecordFilter>& filter,
                                                        const JavaPtr<RecordComparator>& comparator,
                                                        bool keepUpdated);
    virtual long long getLastModified();
    virtual JavaPtr<::java::lang::String> getName();
    virtual int getNextRecordID();
    virtual int getNumRecords();
    // InvalidRecordIDException also for a record whose checksum fails; RecordStoreException when the
    // store file cannot be read.
    virtual JavaPtr<JArray<signed char>> getRecord(int recordId);
    virtual int getRecord(int recordId, const JavaPtr<JArray<signed char>>& buffer, int offset);
    virtual int getRecordSize(int recordId);
    virtual int getSize();
    virtual int getSizeAvailable();
    virtual int getVersion();
    virtual void removeRecordListener(const JavaPtr<RecordListener>& listener);
    virtual void setMode(int authmode, bool writable);
    virtual void setRecord(int recordId, const JavaPtr<JArray<signed char>>& newData, int offset,
                           int numBytes);

    // Names are 1 to 32 units without U+0000: IllegalArgumentException otherwise (NullPointerException
    // for null). RecordStoreException when the data directory cannot be listed or is locked by another
    // process.
    static JavaPtr<RecordStore> openRecordStore(const JavaPtr<::java::lang::String>& recordStoreName,
                                                bool createIfNecessary);
    static JavaPtr<RecordStore> openRecordStore(const JavaPtr<::java::lang::String>& recordStoreName,
                                                bool createIfNecessary, int authmode, bool writable);
    static JavaPtr<RecordStore> openRecordStore(const JavaPtr<::java::lang::String>& recordStoreName,
                                                const JavaPtr<::java::lang::String>& vendorName,
                                                const JavaPtr<::java::lang::String>& suiteName);
    // Removes every file carrying the name; RecordStoreException when one cannot be removed (the store
    // then stays as it was found).
    static void deleteRecordStore(const JavaPtr<::java::lang::String>& recordStoreName);
    // Empty when there are none or the directory cannot be listed; without the files that cannot be read.
    static JavaPtr<StringArray> listRecordStores();
    static int recordStoreIsReferenced(const JavaPtr<::java::lang::String>& recordStoreName);
    // Whether the last open call of this thread threw RecordStoreFullException because the store's
    // header was read whole and found damaged (checksum or format version), rather than because the
    // file could not be read or memory ran out: only such a store is beyond reading again.
    static bool lastOpenFoundDamagedHeader();
    // Moves the file of a store whose header is damaged to a name of its own that says so (the file
    // name and ".damaged", then a number when that is taken), where no scan looks: the bytes are kept
    // for whoever wants them. Answers that name; null, touching nothing, when the header reads whole
    // and sound or there is no such file. RecordStoreException when the file cannot be read or moved.
    static JavaPtr<::java::lang::String> setAsideDamagedStore(
        const JavaPtr<::java::lang::String>& recordStoreName);
    // Grows the registry's pointer array: std::realloc, or a test's that fails.
    static void* (*registryAllocator)(void* block, size_t bytes);
    // Drops every store object and lets go of the directory lock. Tear-down only.
    static void tidyUp();

    // The store name in the header of that file, or "" when it is not a readable store.
    static JavaPtr<::java::lang::String> getRecordStoreName(const JavaPtr<::java::lang::String>& fileName);
    // Every store file and the name in its header, regular files first, then temporary files of names
    // not seen yet. False when the lists may be short: the directory could not be listed, or a file
    // that could be a store could not be read.
    static bool getFilenamesAndRecordStoreNames(JavaPtr<StringArray>& fileNames,
                                                JavaPtr<StringArray>& storeNames);
    // The file the store of that name lives in, or null. Throws RecordStoreException when the scan is
    // short, since the store could be in what it missed.
    static JavaPtr<::java::lang::String> getExistingRecordFilename(
        const JavaPtr<::java::lang::String>& storeName);

    // Where a record's chunk stands in the file and what it holds.
    struct FoundRecord {
        int offset = -1;
        JavaPtr<JArray<signed char>> data;
        bool checksumHolds = false;
    };
    // The first record with that id, in file order, whose chunk lies whole in the open file; its bytes
    // are read and its checksum compared. Other chunks are passed over without reading their bytes.
    bool findRecord(const JavaPtr<::java::io::FileInputStream>& file, int recordID, FoundRecord& found);
    void seekToFirstRecord(const JavaPtr<::java::io::DataInputStream>& in);
    // The next chunk: its id and (when data is given) its bytes; false at the end of the records, at a
    // chunk that does not lie whole in the file, and for read bytes whose checksum fails.
    bool getNextRecord(const JavaPtr<::java::io::DataInputStream>& in, JavaPtr<JArray<signed char>>* data,
                       int* recordID);
    // The ids of all records in file order; no open check. RecordStoreException when the store file
    // cannot be read.
    JavaPtr<JArray<int>> getRecordIDs();
    // Tells the listeners, 0 added, 1 changed, 2 deleted, without holding the store lock; the list is
    // read again at every step, so a listener removed meanwhile is not called.
    void recordChanged(int kind, int recordID);
    // Writes a new file holding this store's file with length bytes at offset replaced by chunk (offset
    // -1 appends after the last whole record; anything unreadable after that is dropped), its header
    // carrying the next version, the time and nextRecordID, and renames it over the store file. The
    // new file is claimed exclusively and synced before the rename, the directory after it; the old
    // file is never removed first. version and lastModified change once the new file is in place.
    static Rewrite replaceRSFileChunk(const JavaPtr<RecordStore>& store, int offset, int length,
                                      const JavaPtr<JArray<signed char>>& chunk);
    void destroy();

    // The lock every public operation of the store and its enumerations takes, once: it guards the
    // registry, every store's fields and files, and the enumerations' fields. Not recursive: what runs
    // under it calls the ...Locked helpers, and it is let go before any application code is called.
    static std::mutex& storeLock();

    JavaPtr<::java::lang::String> name;
    bool isOpen = false;
    bool isDeleted = false;
    bool isValid = false;
    long long lastModified = 0;
    int nextRecordID = 0;
    int version = 0;
    int formatVersion = 0;
    JavaPtr<::java::lang::String> fileName;
    // Replaced, never changed in place, when a listener comes or goes.
    JavaPtr<JArray<JavaPtr<RecordListener>>> listeners;

private:
    friend class RecordEnumerationImpl;

    JavaPtr<JArray<signed char>> getRecordLocked(int recordId);
    JavaPtr<JArray<int>> getRecordIDsLocked();
    void addRecordListenerLocked(const JavaPtr<RecordListener>& listener);
    // The list the listener left, for the caller to drop once the lock is let go.
    JavaPtr<JArray<JavaPtr<RecordListener>>> removeRecordListenerLocked(
        const JavaPtr<RecordListener>& listener);
    // image: the store file as just read, when the caller has it.
    static Rewrite replaceRSFileChunkLocked(RecordStore& store, int offset, int length,
                                            const JavaPtr<JArray<signed char>>& chunk,
                                            JavaPtr<JArray<signed char>> image = nullptr);
    static JavaPtr<RecordStore> openRecordStoreLocked(const JavaPtr<::java::lang::String>& recordStoreName,
                                                      bool createIfNecessary);
    static int recordStoreIsReferencedLocked(const JavaPtr<::java::lang::String>& recordStoreName);

    void createStoreFile();
    void loadHeader();
    // Set by loadHeader when the header was read whole and is damaged.
    bool headerDamaged = false;
    // Reads an id and a length; false unless the whole chunk they announce lies in the file and (from
    // format version 1 on) the id is one the store can have given out.
    bool readChunkHead(::java::io::DataInputStream& in, int& recordID, int& length);
    // The record of that id, checksum failing or not; InvalidRecordIDException when there is none.
    // With image, the file as read for that, so that a change reads it only once.
    FoundRecord locateRecord(int recordID, JavaPtr<JArray<signed char>>* image = nullptr);

    // A change reads the store file once, whole, with one read: the walks below answer on those bytes
    // exactly as the stream walks do on the file. Null when the file cannot be opened (opened false)
    // or is too large to hold at once (opened true: the stream walks then serve).
    JavaPtr<JArray<signed char>> readImage(bool& opened) const;
    long long firstRecordOffset(const JArray<signed char>& image) const;
    bool chunkHeadAt(const JArray<signed char>& image, long long& at, int& recordID, int& length) const;
    bool findRecordIn(const JArray<signed char>& image, int recordID, FoundRecord& found) const;
    long long readableEndOf(const JArray<signed char>& image) const;
    // The chunk for this id and slice, checksummed as the format wants.
    JavaPtr<JArray<signed char>> buildChunk(int recordID, const JavaPtr<JArray<signed char>>& data,
                                            int offset, int numBytes) const;
    // The offset just past the last record chunk that lies whole in the file; -1 when the name does
    // not end inside it.
    long long readableEnd();
    // Removes the temporary files that carry this store's name or no readable name at all (left by a
    // process killed mid-rewrite), never the file the store lives in nor its replacement, which is
    // whole on the device. False when one could not be removed.
    bool removeLeftoverTemporaries(const JavaPtr<::java::lang::String>& replacement);
    // A store living in a temporary file moves to a regular name with its next rewrite.
    static JavaPtr<::java::lang::String> rewriteTarget(RecordStore& store);
    // RecordStoreNotOpenException for a closed store, RecordStoreException for a deleted one.
    void checkOpen() const;
    int headerSize() const { return StoreFileHeader::sizeFor(formatVersion); }
    int checksumSize() const { return formatVersion >= 1 ? 4 : 0; }
    bool formatIsWritable() const { return StoreFileHeader::isKnownFormat(formatVersion); }

    // Leftovers only come from earlier processes and from removals that failed: one look per store and
    // run suffices otherwise.
    bool leftoversMayExist = true;

    static void lockDataDirectory();
    // Every store file and its name: shadowed temporary files too when includeShadowed.
    static bool scanStoreFiles(JavaPtr<StringArray>& fileNames, JavaPtr<StringArray>& storeNames,
                               bool includeShadowed);
    // getRecordStoreName, and whether the file is a regular one that could not be read.
    static JavaPtr<::java::lang::String> readStoreName(const JavaPtr<::java::lang::String>& fileName,
                                                       bool& unreadable);
    static void checkStoreName(const JavaPtr<::java::lang::String>& recordStoreName);

    // Every store object opened during the run; a deleted store leaves a null slot.
    static JavaPtr<RecordStore>** referencedRecordStores;
    static int numReferencedRecordStores;
};

}  // namespace javax::microedition::rms
