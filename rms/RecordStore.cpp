#include "rms/RecordStore.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "library/DataInputStream.h"
#include "library/DataOutputStream.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "library/FileOutputStream.h"
#include "library/FileSystem.h"
#include "library/System.h"
#include "platform/DirectoryLock.h"
#include "platform/FileSystemPaths.h"
#include "rms/InvalidRecordIDException.h"
#include "rms/RecordEnumerationImpl.h"
#include "rms/RecordListener.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "rms/RecordStoreNotOpenException.h"
#include "runtime/ArrayIndexOutOfBoundsException.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::rms {

using ::java::io::DataInputStream;
using ::java::io::DataOutputStream;
using ::java::io::File;
using ::java::io::FileInputStream;
using ::java::io::FileOutputStream;
using ::java::io::FileSystem;
using ::java::lang::String;

JavaPtr<RecordStore>** RecordStore::referencedRecordStores = nullptr;
int RecordStore::numReferencedRecordStores = 0;

namespace {

// The data directory's lock against a second process; guarded by the store lock.
platform::DirectoryLock& directoryLock() {
    static platform::DirectoryLock lock;
    return lock;
}

JavaPtr<String> numberedName(const char* prefix, int number) {
    return *jnew<String>(prefix) + number;
}

// Whether name is prefix followed by nothing but ASCII digits.
bool isNumberedName(const JavaPtr<String>& name, const char* prefix) {
    int length = 0;
    while (prefix[length] != 0) ++length;
    if (name->length() < length) return false;
    for (int i = 0; i < length; ++i) {
        if (name->charAt(i) != static_cast<unsigned char>(prefix[i])) return false;
    }
    for (int i = length; i < name->length(); ++i) {
        if (name->charAt(i) < '0' || name->charAt(i) > '9') return false;
    }
    return true;
}

bool containsName(const JavaPtr<RecordStore::StringArray>& names, const JavaPtr<String>& name) {
    for (const JavaPtr<String>& each : *names) {
        if (each->equals(name)) return true;
    }
    return false;
}

JavaPtr<DataInputStream> dataInputOver(const JavaPtr<FileInputStream>& file) {
    return jnew<DataInputStream>(JavaPtr<::java::io::InputStream>(file));
}

void putInt(signed char* at, int value) {
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<signed char>(static_cast<uint32_t>(value) >> (24 - 8 * i));
}

// A new file under the first free name of prefix + number from first on, claimed by creating it
// exclusively; null (and no file) when none could be made.
JavaPtr<FileOutputStream> claimNumberedFile(const char* prefix, int first, JavaPtr<String>& claimed) {
    FileSystem* files = FileSystem::getFileSystem();
    for (int number = first; number < INT_MAX; ++number) {
        JavaPtr<String> candidate = numberedName(prefix, number);
        if (files->fileExists(candidate)) continue;
        JavaPtr<FileOutputStream> file = jnew<FileOutputStream>(candidate);
        const int refused = file->createExclusively();
        if (refused == EEXIST) continue;
        if (refused != 0) return nullptr;
        claimed = candidate;
        return file;
    }
    return nullptr;
}

}  // namespace

int getHeaderChunkCRC(int version, long long lastModified, int nextRecordID, const JavaPtr<String>& name) {
    const uint32_t lo = static_cast<uint32_t>(static_cast<uint64_t>(lastModified));
    const uint32_t hi = static_cast<uint32_t>(static_cast<uint64_t>(lastModified) >> 32);
    const uint32_t h = static_cast<uint32_t>(name ? name->hashCode() : 0);
    const uint32_t crc = static_cast<uint32_t>(version) + 31u * lo + 961u * hi +
                         29791u * static_cast<uint32_t>(nextRecordID) + 923521u * h;
    return static_cast<int>(crc);
}

int getRecordChunkCRC(int recordID, const signed char* bytes, int count) {
    uint32_t crc = static_cast<uint32_t>(recordID);
    uint32_t multiplier = 1;
    for (int i = 0; i < count; ++i) {
        multiplier *= 31u;
        crc += static_cast<uint32_t>(static_cast<int32_t>(bytes[i])) * multiplier;
    }
    return static_cast<int>(crc);
}

int getRecordChunkCRC(int recordID, const JavaPtr<JArray<signed char>>& data) {
    if (!data) return recordID;
    return getRecordChunkCRC(recordID, data->data, data->length);
}

int getRecordInternal(const JavaPtr<FileInputStream>& file, int recordID, JavaPtr<JArray<signed char>>& data,
                      RecordStore& store) {
    RecordStore::FoundRecord found;
    if (!store.findRecord(file, recordID, found) || !found.checksumHolds) return -1;
    data = found.data;
    return found.offset;
}

std::recursive_mutex& RecordStore::storeLock() {
    static std::recursive_mutex lock;
    return lock;
}

// ---- Construction and the header -------------------------------------------------------------

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

void RecordStore::createStoreFile() {
    FileSystem* files = FileSystem::getFileSystem();
    // The number is claimed by creating its file exclusively, so that nothing already there (a file
    // that does not open for reading, a directory) is ever emptied or deleted.
    JavaPtr<String> candidate;
    JavaPtr<FileOutputStream> file = claimNumberedFile("rs_", 1, candidate);
    if (!file) return;
    fileName = candidate;
    formatVersion = RS_FORMAT_VERSION;
    version = 0;
    lastModified = ::java::lang::System::currentTimeMillis();
    nextRecordID = 1;
    JavaPtr<DataOutputStream> out = jnew<DataOutputStream>(JavaPtr<::java::io::OutputStream>(file));
    out->writeInt(RSMAGIC);
    out->writeShort(formatVersion);
    out->writeInt(version);
    out->writeLong(lastModified);
    out->writeInt(nextRecordID);
    out->writeInt(getHeaderChunkCRC(version, lastModified, nextRecordID, name));
    for (int i = 0; i < name->length(); ++i) out->writeChar(name->charAt(i));
    out->writeChar(0);
    out->close();
    // The new name must survive a power loss as well as the bytes.
    if (file->writeErrorOccurred() || !files->syncDirectory()) {
        files->deleteFile(candidate);
        return;
    }
    isValid = true;
}

void RecordStore::loadHeader() {
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
    JavaPtr<DataInputStream> in = dataInputOver(file);
    in->readInt();  // the magic, compared by the scan that found the file
    formatVersion = in->readShort();
    if (!formatIsWritable()) {
        file->close();
        return;
    }
    version = in->readInt();
    lastModified = in->readLong();
    nextRecordID = in->readInt();
    bool valid = file->opened;
    if (formatVersion >= 1)
        valid = valid && in->readInt() == getHeaderChunkCRC(version, lastModified, nextRecordID, name);
    file->close();
    isValid = valid;
}

JavaPtr<String> RecordStore::getRecordStoreName(const JavaPtr<String>& storeFile) {
    bool unreadable = false;
    return readStoreName(storeFile, unreadable);
}

JavaPtr<String> RecordStore::readStoreName(const JavaPtr<String>& storeFile, bool& unreadable) {
    JavaPtr<String> none = jnew<String>("");
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(storeFile));
    if (!file->opened) {
        unreadable = FileSystem::getFileSystem()->isRegularFile(storeFile);
        return none;
    }
    JavaPtr<DataInputStream> in = dataInputOver(file);
    if (in->readInt() != RSMAGIC) return none;
    const int format = in->readShort();
    if (static_cast<unsigned>(format) > 1) return none;
    in->readInt();
    in->readLong();
    in->readInt();
    if (format == 1) in->readInt();
    std::u16string units;
    bool terminated = false;
    // Reading stops one unit past the longest name, which is then refused, however long the file.
    while (in->available() >= 1 && units.size() <= MAX_NAME_LENGTH) {
        const unsigned short unit = in->readChar();
        if (unit == 0) {
            terminated = true;
            break;
        }
        units.push_back(unit);
    }
    file->close();
    if (!terminated || units.empty() || units.size() > MAX_NAME_LENGTH) return none;
    return jnew<String>(reinterpret_cast<const unsigned short*>(units.data()),
                        static_cast<int>(units.size()));
}

// ---- Finding stores ------------------------------------------------------------------------------

bool RecordStore::scanStoreFiles(JavaPtr<StringArray>& fileNames, JavaPtr<StringArray>& storeNames,
                                 bool includeShadowed) {
    if (!fileNames) fileNames = jnew<StringArray>(0);
    if (!storeNames) storeNames = jnew<StringArray>(0);
    JavaPtr<StringArray> names;
    bool complete = FileSystem::getFileSystem()->listFilenames(names);
    for (const char* prefix : {"rs_", "rs_tmp"}) {
        const bool temporary = prefix[3] != 0;
        for (const JavaPtr<String>& candidate : *names) {
            if (!isNumberedName(candidate, prefix)) continue;
            bool unreadable = false;
            JavaPtr<String> storeName = readStoreName(candidate, unreadable);
            // A file that is there but could not be read may be any store: the scan is short.
            if (unreadable) complete = false;
            if (storeName->length() == 0) continue;
            // A temporary file stands for its store only when no regular file (or earlier temporary
            // file) carries the name.
            if (temporary && !includeShadowed && containsName(storeNames, storeName)) continue;
            fileNames->append(candidate);
            storeNames->append(storeName);
        }
    }
    return complete;
}

bool RecordStore::getFilenamesAndRecordStoreNames(JavaPtr<StringArray>& fileNames,
                                                  JavaPtr<StringArray>& storeNames) {
    return scanStoreFiles(fileNames, storeNames, false);
}

JavaPtr<String> RecordStore::getExistingRecordFilename(const JavaPtr<String>& storeName) {
    JavaPtr<StringArray> fileNames, storeNames;
    // What the scan could not read is not missing: taking it for missing would make a second store of
    // the name, which could hide the first, or delete a store only in part.
    if (!getFilenamesAndRecordStoreNames(fileNames, storeNames)) throw RecordStoreException();
    for (int i = 0; i < storeNames->length; ++i) {
        if (storeNames->data[i]->equals(storeName)) return fileNames->data[i];
    }
    return nullptr;
}

// ---- Reading records -----------------------------------------------------------------------------

void RecordStore::seekToFirstRecord(const JavaPtr<DataInputStream>& in) {
    in->reset();
    in->skip(4);
    in->skip(2);
    if (!formatIsWritable()) return;
    in->skip(4 + 8 + 4);
    if (formatVersion >= 1) in->skip(4);
    while (true) {
        const int high = in->read();
        const int low = in->read();
        if (high <= 0 && low <= 0) break;
    }
}

bool RecordStore::readChunkHead(DataInputStream& in, int& recordID, int& length) {
    if (in.available() < 8) return false;
    recordID = in.readInt();
    length = in.readInt();
    // Ids come from nextRecordID, which the checksummed header guards: one outside 1 to nextRecordID - 1
    // means the walk has lost the chunk boundaries (a damaged length before it), and what follows is
    // not records, even where an empty chunk's checksum happens to match.
    if (formatVersion >= 1 && (recordID < 1 || recordID >= nextRecordID)) return false;
    // A damaged length never sizes an allocation or a skip beyond what the file holds.
    return length >= 0 && static_cast<long long>(length) + checksumSize() <= in.available();
}

bool RecordStore::getNextRecord(const JavaPtr<DataInputStream>& in, JavaPtr<JArray<signed char>>* data,
                                int* recordID) {
    if (in->available() <= 0 || !formatIsWritable()) return false;
    int id = 0, length = 0;
    const bool whole = readChunkHead(*in, id, length);
    if (recordID != nullptr) *recordID = id;
    if (!whole) return false;
    if (data != nullptr) {
        *data = jnew<JArray<signed char>>(length);
        if ((*data)->length != length) return false;
        if (length > 0 && in->read(*data) != length) return false;
    } else if (in->skip(length) < length) {
        return false;
    }
    if (formatVersion < 1) return true;
    const int stored = in->readInt();
    return data == nullptr || getRecordChunkCRC(id, *data) == stored;
}

bool RecordStore::findRecord(const JavaPtr<FileInputStream>& file, int recordID, FoundRecord& found) {
    if (!file || !file->opened || !formatIsWritable()) return false;
    JavaPtr<DataInputStream> in = dataInputOver(file);
    seekToFirstRecord(in);
    while (true) {
        const long long position = file->getReadPos();
        int id = 0, length = 0;
        if (!readChunkHead(*in, id, length)) return false;
        if (id != recordID) {
            if (in->skip(length + checksumSize()) < length + checksumSize()) return false;
            continue;
        }
        JavaPtr<JArray<signed char>> bytes = jnew<JArray<signed char>>(length);
        if (bytes->length != length || (length > 0 && in->read(bytes) != length)) return false;
        found.offset = static_cast<int>(position);
        found.data = bytes;
        found.checksumHolds = formatVersion < 1 || in->readInt() == getRecordChunkCRC(id, bytes);
        return true;
    }
}

// ---- Opening, closing, deleting, listing -------------------------------------------------------------

void RecordStore::checkStoreName(const JavaPtr<String>& recordStoreName) {
    if (!recordStoreName) throw ::java::lang::NullPointerException();
    // Longer, empty and U+0000-bearing names could be written but never found again by the header scan.
    const int length = recordStoreName->length();
    if (length < 1 || length > MAX_NAME_LENGTH) throw ::java::lang::IllegalArgumentException();
    for (int i = 0; i < length; ++i) {
        if (recordStoreName->charAt(i) == 0) throw ::java::lang::IllegalArgumentException();
    }
}

void RecordStore::lockDataDirectory() {
    if (!directoryLock().acquire(_savePathIs)) throw RecordStoreException();
}

int RecordStore::recordStoreIsReferenced(const JavaPtr<String>& recordStoreName) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    for (int slot = 0; slot < numReferencedRecordStores; ++slot) {
        JavaPtr<RecordStore>* held = referencedRecordStores[slot];
        if (held != nullptr && (*held)->name->equals(recordStoreName)) return slot;
    }
    return -1;
}

JavaPtr<RecordStore> RecordStore::openRecordStore(const JavaPtr<String>& recordStoreName,
                                                  bool createIfNecessary) {
    checkStoreName(recordStoreName);
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    lockDataDirectory();
    const int slot = recordStoreIsReferenced(recordStoreName);
    if (slot >= 0) {
        JavaPtr<RecordStore> store = *referencedRecordStores[slot];
        store->isOpen = true;
        return store;
    }
    JavaPtr<String> existing = getExistingRecordFilename(recordStoreName);
    if (!existing && !createIfNecessary) throw RecordStoreNotFoundException();
    JavaPtr<RecordStore> store = jnew<RecordStore>(recordStoreName, static_cast<bool>(existing), existing);
    if (!store->isValid) throw RecordStoreFullException();
    auto** grown = static_cast<JavaPtr<RecordStore>**>(
        std::realloc(referencedRecordStores,
                     sizeof(JavaPtr<RecordStore>*) * static_cast<size_t>(numReferencedRecordStores + 1)));
    if (grown == nullptr) throw RecordStoreFullException();
    referencedRecordStores = grown;
    referencedRecordStores[numReferencedRecordStores++] = new JavaPtr<RecordStore>(store);
    return store;
}

JavaPtr<RecordStore> RecordStore::openRecordStore(const JavaPtr<String>& recordStoreName,
                                                  bool createIfNecessary, int authmode, bool writable) {
    checkStoreName(recordStoreName);
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    lockDataDirectory();
    const bool existed = static_cast<bool>(getExistingRecordFilename(recordStoreName));
    JavaPtr<RecordStore> store = openRecordStore(recordStoreName, createIfNecessary);
    if (store && !existed) store->setMode(authmode, writable);
    return store;
}

JavaPtr<RecordStore> RecordStore::openRecordStore(const JavaPtr<String>& recordStoreName,
                                                  const JavaPtr<String>&, const JavaPtr<String>&) {
    return openRecordStore(recordStoreName, false);
}

void RecordStore::closeRecordStore() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    if (!isOpen) throw RecordStoreNotOpenException();
    if (isDeleted) throw RecordStoreException();
    isOpen = false;
}

void RecordStore::deleteRecordStore(const JavaPtr<String>& recordStoreName) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    lockDataDirectory();
    const int slot = recordStoreIsReferenced(recordStoreName);
    if (slot >= 0) {
        JavaPtr<RecordStore>* held = referencedRecordStores[slot];
        if ((*held)->isOpen) throw RecordStoreException();
        (*held)->isDeleted = true;
        referencedRecordStores[slot] = nullptr;
        delete held;
    }
    JavaPtr<StringArray> fileNames, storeNames;
    if (!scanStoreFiles(fileNames, storeNames, true)) throw RecordStoreException();
    std::vector<JavaPtr<String>> carrying;
    for (int i = 0; i < storeNames->length; ++i) {
        if (storeNames->data[i]->equals(recordStoreName)) carrying.push_back(fileNames->data[i]);
    }
    if (carrying.empty()) throw RecordStoreNotFoundException();
    // Every file carrying the name goes, or a leftover one would bring the store back. The scan
    // lists the file that opens first at the front, so going from the back keeps it to the last: a
    // removal that fails (or a crash) leaves the store as it was found, never an older copy of it.
    FileSystem* files = FileSystem::getFileSystem();
    for (auto file = carrying.rbegin(); file != carrying.rend(); ++file) {
        if (files->deleteFileDurably(*file) != FileSystem::Change::Done) throw RecordStoreException();
    }
}

JavaPtr<RecordStore::StringArray> RecordStore::listRecordStores() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    JavaPtr<StringArray> fileNames, storeNames;
    // A short scan still lists what it read.
    getFilenamesAndRecordStoreNames(fileNames, storeNames);
    return storeNames;
}

void RecordStore::tidyUp() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    for (int slot = 0; slot < numReferencedRecordStores; ++slot) {
        JavaPtr<RecordStore>* held = referencedRecordStores[slot];
        if (held == nullptr) continue;
        (*held)->destroy();
        delete held;
    }
    std::free(referencedRecordStores);
    referencedRecordStores = nullptr;
    numReferencedRecordStores = 0;
    directoryLock().release();
}

void RecordStore::destroy() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    listeners = nullptr;
}

// ---- Accessors -----------------------------------------------------------------------------------

void RecordStore::checkOpen() const {
    if (!isOpen) throw RecordStoreNotOpenException();
    if (isDeleted) throw RecordStoreException();
}

long long RecordStore::getLastModified() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    return lastModified;
}

JavaPtr<String> RecordStore::getName() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    return name;
}

int RecordStore::getNextRecordID() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    checkOpen();
    return nextRecordID;
}

int RecordStore::getSize() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    const long long length = jnew<File>(fileName)->length();
    return length > INT_MAX ? INT_MAX : static_cast<int>(length);
}

int RecordStore::getSizeAvailable() {
    return 0;
}

int RecordStore::getVersion() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    return version;
}

void RecordStore::setMode(int, bool) {}

// ---- Records ---------------------------------------------------------------------------------------

RecordStore::FoundRecord RecordStore::locateRecord(int recordID) {
    FoundRecord found;
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
    // A store file that cannot be read says nothing about the record.
    if (!file->opened) throw RecordStoreException();
    const bool present = findRecord(file, recordID, found);
    file->close();
    if (!present) throw InvalidRecordIDException();
    return found;
}

JavaPtr<JArray<signed char>> RecordStore::getRecord(int recordId) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    checkOpen();
    FoundRecord found = locateRecord(recordId);
    if (!found.checksumHolds) throw InvalidRecordIDException();
    return found.data;
}

int RecordStore::getRecord(int recordId, const JavaPtr<JArray<signed char>>& buffer, int offset) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    JavaPtr<JArray<signed char>> data = getRecord(recordId);
    if (!buffer) throw ::java::lang::NullPointerException();
    if (offset < 0 || data->length > static_cast<long long>(buffer->length) - offset)
        throw ::java::lang::ArrayIndexOutOfBoundsException();
    std::copy(data->data, data->data + data->length, buffer->data + offset);
    return data->length;
}

int RecordStore::getRecordSize(int recordId) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    checkOpen();
    FoundRecord found = locateRecord(recordId);
    if (!found.checksumHolds) throw InvalidRecordIDException();
    return found.data->length;
}

JavaPtr<JArray<int>> RecordStore::getRecordIDs() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    JavaPtr<JArray<int>> ids = jnew<JArray<int>>();
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
    // Not an empty store: a store whose file cannot be read has no answer.
    if (!file->opened) throw RecordStoreException();
    JavaPtr<DataInputStream> in = dataInputOver(file);
    seekToFirstRecord(in);
    int id = 0;
    while (getNextRecord(in, nullptr, &id)) ids->append(id);
    file->close();
    return ids;
}

int RecordStore::getNumRecords() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    checkOpen();
    return getRecordIDs()->length;
}

JavaPtr<JArray<signed char>> RecordStore::buildChunk(int recordID, const JavaPtr<JArray<signed char>>& data,
                                                     int offset, int numBytes) const {
    if (!data && numBytes != 0) throw ::java::lang::NullPointerException();
    if (numBytes < 0 || offset < 0 || (data && static_cast<long long>(offset) + numBytes > data->length))
        throw ::java::lang::ArrayIndexOutOfBoundsException();
    const long long size = 8LL + numBytes + checksumSize();
    if (size > JArray<signed char>::maxLength) throw RecordStoreFullException();
    JavaPtr<JArray<signed char>> chunk = jnew<JArray<signed char>>(static_cast<int>(size));
    if (chunk->length != size) throw RecordStoreFullException();
    const signed char* slice = numBytes > 0 ? data->data + offset : nullptr;
    putInt(chunk->data, recordID);
    putInt(chunk->data + 4, numBytes);
    if (numBytes > 0) std::copy(slice, slice + numBytes, chunk->data + 8);
    if (formatVersion >= 1) putInt(chunk->data + 8 + numBytes, getRecordChunkCRC(recordID, slice, numBytes));
    return chunk;
}

int RecordStore::addRecord(const JavaPtr<JArray<signed char>>& data, int offset, int numBytes) {
    int id = 0;
    Rewrite outcome = Rewrite::Failed;
    {
        std::lock_guard<std::recursive_mutex> guard(storeLock());
        checkOpen();
        if (!formatIsWritable()) return -1;
        // Ids are 1 or more and never given out twice: a store whose ids ran out is full.
        if (nextRecordID < 1 || nextRecordID == INT_MAX) throw RecordStoreFullException();
        id = nextRecordID;
        JavaPtr<JArray<signed char>> chunk = buildChunk(id, data, offset, numBytes);
        nextRecordID = id + 1;
        outcome = replaceRSFileChunk(this, -1, 0, chunk);
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
        std::lock_guard<std::recursive_mutex> guard(storeLock());
        checkOpen();
        // A record whose checksum fails can still be replaced: refusing would leave it in the way for good.
        FoundRecord found = locateRecord(recordId);
        if (!formatIsWritable()) return;
        JavaPtr<JArray<signed char>> chunk = buildChunk(recordId, newData, offset, numBytes);
        outcome = replaceRSFileChunk(this, found.offset, found.data->length + 8 + checksumSize(), chunk);
        if (outcome == Rewrite::Failed) throw RecordStoreFullException();
    }
    recordChanged(1, recordId);
    if (outcome != Rewrite::Done) throw RecordStoreFullException();
}

void RecordStore::deleteRecord(int recordId) {
    Rewrite outcome = Rewrite::Failed;
    {
        std::lock_guard<std::recursive_mutex> guard(storeLock());
        checkOpen();
        FoundRecord found = locateRecord(recordId);
        if (!formatIsWritable()) return;
        outcome = replaceRSFileChunk(this, found.offset, found.data->length + 8 + checksumSize(),
                                     jnew<JArray<signed char>>());
        if (outcome == Rewrite::Failed) throw RecordStoreException();
    }
    recordChanged(2, recordId);
    if (outcome != Rewrite::Done) throw RecordStoreException();
}

long long RecordStore::readableEnd() {
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(fileName));
    if (!file->opened) return -1;
    JavaPtr<DataInputStream> in = dataInputOver(file);
    if (in->skip(headerSize()) != headerSize()) return -1;
    bool named = false;
    while (!named && in->available() >= 2) named = in->readChar() == 0;
    if (!named) return -1;
    long long end = file->getReadPos();
    int id = 0, length = 0;
    while (formatIsWritable() && readChunkHead(*in, id, length)) {
        if (in->skip(length + checksumSize()) != length + checksumSize()) break;
        end = file->getReadPos();
    }
    file->close();
    return end;
}

JavaPtr<String> RecordStore::rewriteTarget(RecordStore& store) {
    if (!isNumberedName(store.fileName, "rs_tmp")) return store.fileName;
    // A store found only in a temporary file (left by an interrupted rewrite of an earlier version)
    // takes a regular name: temporary files are listed by name, so a later leftover could otherwise
    // stand before it. The name is claimed with an empty file that the rename then replaces.
    JavaPtr<String> regular;
    JavaPtr<FileOutputStream> claim = claimNumberedFile("rs_", 1, regular);
    if (!claim) return nullptr;
    claim->close();
    return claim->writeErrorOccurred() ? nullptr : regular;
}

RecordStore::Rewrite RecordStore::replaceRSFileChunk(const JavaPtr<RecordStore>& store, int offset,
                                                     int length, const JavaPtr<JArray<signed char>>& chunk) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    RecordStore& s = *store;
    FileSystem* files = FileSystem::getFileSystem();
    const int header = s.headerSize();
    // Only a whole store file is rewritten; what follows its last whole record cannot be read and
    // is left behind, so that an appended record is never stranded after it.
    if (jnew<File>(s.fileName)->length() < header) return Rewrite::Failed;
    const long long total = s.readableEnd();
    if (total < header) return Rewrite::Failed;
    const long long position = offset >= 0 && offset <= total ? offset : total;
    if (position < header) return Rewrite::Failed;
    const long long replaced = std::clamp<long long>(length, 0, total - position);
    const int chunkLength = chunk ? chunk->length : 0;
    const long long newLength = total + chunkLength - replaced;
    const int newVersion = static_cast<int>(static_cast<uint32_t>(s.version) + 1u);
    const long long newTime = ::java::lang::System::currentTimeMillis();

    JavaPtr<String> temporary;
    JavaPtr<FileOutputStream> out = claimNumberedFile("rs_tmp", 0, temporary);
    if (!out) return Rewrite::Failed;
    JavaPtr<FileInputStream> in = jnew<FileInputStream>(jnew<File>(s.fileName));
    JavaPtr<JArray<signed char>> buffer = jnew<JArray<signed char>>(1000);
    long long consumed = 0, written = 0;
    bool chunkWritten = false;
    bool copied = in->opened && buffer->length == 1000;
    while (copied && written < newLength) {
        int got = 0;
        if (consumed < position) {
            got = in->read(buffer, 0, static_cast<int>(std::min<long long>(position - consumed, 1000)));
        } else if (!chunkWritten) {
            if (chunkLength > 0) out->write(chunk, 0, chunkLength);
            written += chunkLength;
            chunkWritten = true;
            continue;
        } else {
            const long long resume = position + replaced;
            if (consumed < resume && in->skip(resume - consumed) != resume - consumed) break;
            consumed = std::max(consumed, resume);
            got = in->read(buffer, 0, static_cast<int>(std::min<long long>(newLength - written, 1000)));
        }
        if (got <= 0) break;
        consumed += got;
        if (written == 0) {
            // The first block carries the header, patched to the new values.
            if (got < header) break;
            putInt(buffer->data + 6, newVersion);
            putInt(buffer->data + 10, static_cast<int>(static_cast<uint64_t>(newTime) >> 32));
            putInt(buffer->data + 14, static_cast<int>(newTime));
            putInt(buffer->data + 18, s.nextRecordID);
            if (s.formatVersion >= 1)
                putInt(buffer->data + 22, getHeaderChunkCRC(newVersion, newTime, s.nextRecordID, s.name));
        }
        out->write(buffer, 0, got);
        written += got;
    }
    copied = copied && written == newLength;
    in->close();
    out->close();
    JavaPtr<String> target = copied && !out->writeErrorOccurred() ? rewriteTarget(s) : nullptr;
    const FileSystem::Change renamed =
        target ? files->renameFileDurably(temporary, target) : FileSystem::Change::Failed;
    if (renamed == FileSystem::Change::Failed) {
        files->deleteFile(temporary);
        if (target && !target->equals(s.fileName)) files->deleteFile(target);
        return Rewrite::Failed;
    }
    s.version = newVersion;
    s.lastModified = newTime;
    if (!target->equals(s.fileName)) {
        // The regular file now shadows the temporary one; a removal that fails leaves it harmless.
        files->deleteFile(s.fileName);
        s.fileName = target;
    }
    return renamed == FileSystem::Change::Done ? Rewrite::Done : Rewrite::NotDurable;
}

// ---- Listeners and enumerations ----------------------------------------------------------------------

void RecordStore::addRecordListener(const JavaPtr<RecordListener>& listener) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    JavaPtr<JArray<JavaPtr<RecordListener>>> grown = jnew<JArray<JavaPtr<RecordListener>>>(0);
    if (listeners) {
        for (const JavaPtr<RecordListener>& each : *listeners) {
            if (each == listener) return;
            grown->append(each);
        }
    }
    grown->append(listener);
    listeners = grown;
}

void RecordStore::removeRecordListener(const JavaPtr<RecordListener>& listener) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    if (!listeners) return;
    JavaPtr<JArray<JavaPtr<RecordListener>>> kept = jnew<JArray<JavaPtr<RecordListener>>>(0);
    for (const JavaPtr<RecordListener>& each : *listeners) {
        if (!(each == listener)) kept->append(each);
    }
    listeners = kept;
}

void RecordStore::recordChanged(int kind, int recordID) {
    JavaPtr<RecordStore> self(this);
    for (size_t i = 0;; ++i) {
        JavaPtr<RecordListener> listener;
        {
            std::lock_guard<std::recursive_mutex> guard(storeLock());
            if (!listeners || static_cast<int>(i) >= listeners->length) return;
            listener = listeners->data[i];
        }
        if (!listener) continue;
        if (kind == 0) {
            listener->recordAdded(self, recordID);
        } else if (kind == 1) {
            listener->recordChanged(self, recordID);
        } else if (kind == 2) {
            listener->recordDeleted(self, recordID);
        }
    }
}

JavaPtr<RecordEnumeration> RecordStore::enumerateRecords(const JavaPtr<RecordFilter>& filter,
                                                         const JavaPtr<RecordComparator>& comparator,
                                                         bool keepUpdated) {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    JavaPtr<RecordEnumerationImpl> enumeration =
        jnew<RecordEnumerationImpl>(JavaPtr<RecordStore>(this), filter, comparator);
    enumeration->keepUpdated(keepUpdated);
    return enumeration;
}

}  // namespace javax::microedition::rms
