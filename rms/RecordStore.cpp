#include "rms/RecordStore.h"

#include <cerrno>
#include <chrono>
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
#include "platform/DirectoryLock.h"
#include "platform/FileSystemPaths.h"
#include "rms/RecordListener.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "rms/RecordStoreNotOpenException.h"
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

long long currentTimeMillis() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

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

bool containsName(const RecordStore::StringList& names, const JavaPtr<String>& name) {
    for (const JavaPtr<String>& each : names) {
        if (each->equals(name)) return true;
    }
    return false;
}

JavaPtr<DataInputStream> dataInputOver(const JavaPtr<FileInputStream>& file) {
    return jnew<DataInputStream>(JavaPtr<::java::io::InputStream>(file));
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
}

void RecordStore::createStoreFile() {
    FileSystem* files = FileSystem::getFileSystem();
    // Each number is claimed by creating its file exclusively, so that nothing already there (a file
    // that does not open for reading, a directory) is ever emptied or deleted.
    for (int number = 1; number < INT_MAX; ++number) {
        JavaPtr<String> candidate = numberedName("rs_", number);
        if (files->fileExists(candidate)) continue;
        JavaPtr<FileOutputStream> file = jnew<FileOutputStream>(candidate);
        const int refused = file->createExclusively();
        if (refused == EEXIST) continue;
        if (refused != 0) return;
        fileName = candidate;
        formatVersion = RS_FORMAT_VERSION;
        version = 0;
        lastModified = currentTimeMillis();
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
        return;
    }
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
    JavaPtr<String> none = jnew<String>("");
    JavaPtr<FileInputStream> file = jnew<FileInputStream>(jnew<File>(storeFile));
    if (!file->opened) return none;
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

bool RecordStore::scanStoreFiles(StringList& fileNames, StringList& storeNames, bool includeShadowed) {
    FileSystem::FilenameList names;
    const bool listed = FileSystem::getFileSystem()->listFilenames(names);
    for (const char* prefix : {"rs_", "rs_tmp"}) {
        const bool temporary = prefix[3] != 0;
        for (const JavaPtr<String>& candidate : names) {
            if (!isNumberedName(candidate, prefix)) continue;
            JavaPtr<String> storeName = getRecordStoreName(candidate);
            if (storeName->length() == 0) continue;
            // A temporary file stands for its store only when no regular file (or earlier temporary
            // file) carries the name.
            if (temporary && !includeShadowed && containsName(storeNames, storeName)) continue;
            fileNames.push_back(candidate);
            storeNames.push_back(storeName);
        }
    }
    return listed;
}

bool RecordStore::getFilenamesAndRecordStoreNames(StringList& fileNames, StringList& storeNames) {
    return scanStoreFiles(fileNames, storeNames, false);
}

JavaPtr<String> RecordStore::getExistingRecordFilename(const JavaPtr<String>& storeName) {
    StringList fileNames, storeNames;
    // An unreadable directory is not an empty one: taking it for one would create a second store of
    // the name, which could hide the first.
    if (!getFilenamesAndRecordStoreNames(fileNames, storeNames)) throw RecordStoreException();
    for (size_t i = 0; i < storeNames.size(); ++i) {
        if (storeNames[i]->equals(storeName)) return fileNames[i];
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
    StringList fileNames, storeNames;
    if (!scanStoreFiles(fileNames, storeNames, true)) throw RecordStoreException();
    std::vector<JavaPtr<String>> carrying;
    for (size_t i = 0; i < storeNames.size(); ++i) {
        if (storeNames[i]->equals(recordStoreName)) carrying.push_back(fileNames[i]);
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

RecordStore::StringList RecordStore::listRecordStores() {
    std::lock_guard<std::recursive_mutex> guard(storeLock());
    StringList fileNames, storeNames;
    if (!getFilenamesAndRecordStoreNames(fileNames, storeNames)) storeNames.clear();
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
    listeners.clear();
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

}  // namespace javax::microedition::rms
