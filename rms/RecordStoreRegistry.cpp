// RecordStore's registry: the store objects opened during the run, the scan of the data directory for
// store files and their names, the directory lock, and opening, deleting and listing stores.
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "library/DataInputStream.h"
#include "library/File.h"
#include "library/FileInputStream.h"
#include "library/FileSystem.h"
#include "platform/files/DirectoryLock.h"
#include "platform/files/FileOperations.h"
#include "platform/files/FileSystemPaths.h"
#include "rms/RecordListener.h"
#include "rms/RecordStore.h"
#include "rms/RecordStoreException.h"
#include "rms/RecordStoreFullException.h"
#include "rms/RecordStoreNotFoundException.h"
#include "rms/RecordStoreNotOpenException.h"
#include "rms/StoreFileNames.h"
#include "runtime/IllegalArgumentException.h"
#include "runtime/NullPointerException.h"

namespace javax::microedition::rms {

using ::java::io::DataInputStream;
using ::java::io::File;
using ::java::io::FileInputStream;
using ::java::io::FileSystem;
using ::java::lang::String;

JavaPtr<RecordStore>** RecordStore::referencedRecordStores = nullptr;
int RecordStore::numReferencedRecordStores = 0;
void* (*RecordStore::registryAllocator)(void*, size_t) = std::realloc;

namespace {

thread_local bool openFoundDamagedHeader = false;

// The data directory's lock against a second process; guarded by the store lock.
platform::DirectoryLock& directoryLock() {
    static platform::DirectoryLock lock;
    return lock;
}

bool containsName(const JavaPtr<RecordStore::StringArray>& names, const JavaPtr<String>& name) {
    for (const JavaPtr<String>& each : *names) {
        if (each->equals(name)) return true;
    }
    return false;
}

}  // namespace

// ---- Finding stores ------------------------------------------------------------------------------

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
    JavaPtr<DataInputStream> in = jnew<DataInputStream>(JavaPtr<::java::io::InputStream>(file));
    StoreFileHeader header;
    if (!header.read(*in)) return none;
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

bool RecordStore::scanStoreFiles(JavaPtr<StringArray>& fileNames, JavaPtr<StringArray>& storeNames,
                                 bool includeShadowed) {
    if (!fileNames) fileNames = jnew<StringArray>(0);
    if (!storeNames) storeNames = jnew<StringArray>(0);
    JavaPtr<StringArray> names;
    bool complete = FileSystem::getFileSystem()->listFilenames(names);
    for (const char* prefix : {kStoreFilePrefix, kTemporaryFilePrefix}) {
        const bool temporary = prefix == kTemporaryFilePrefix;
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
    std::lock_guard<std::mutex> guard(storeLock());
    return recordStoreIsReferencedLocked(recordStoreName);
}

int RecordStore::recordStoreIsReferencedLocked(const JavaPtr<String>& recordStoreName) {
    for (int slot = 0; slot < numReferencedRecordStores; ++slot) {
        JavaPtr<RecordStore>* held = referencedRecordStores[slot];
        if (held != nullptr && (*held)->name->equals(recordStoreName)) return slot;
    }
    return -1;
}

JavaPtr<RecordStore> RecordStore::openRecordStore(const JavaPtr<String>& recordStoreName,
                                                  bool createIfNecessary) {
    checkStoreName(recordStoreName);
    std::lock_guard<std::mutex> guard(storeLock());
    return openRecordStoreLocked(recordStoreName, createIfNecessary);
}

bool RecordStore::lastOpenFoundDamagedHeader() {
    return openFoundDamagedHeader;
}

JavaPtr<RecordStore> RecordStore::openRecordStoreLocked(const JavaPtr<String>& recordStoreName,
                                                        bool createIfNecessary) {
    openFoundDamagedHeader = false;
    lockDataDirectory();
    const int slot = recordStoreIsReferencedLocked(recordStoreName);
    if (slot >= 0) {
        JavaPtr<RecordStore> store = *referencedRecordStores[slot];
        store->isOpen = true;
        return store;
    }
    JavaPtr<String> existing = getExistingRecordFilename(recordStoreName);
    if (!existing && !createIfNecessary) throw RecordStoreNotFoundException();
    JavaPtr<RecordStore> store = jnew<RecordStore>(recordStoreName, static_cast<bool>(existing), existing);
    if (!store->isValid) {
        openFoundDamagedHeader = store->headerDamaged;
        throw RecordStoreFullException();
    }
    auto** grown = static_cast<JavaPtr<RecordStore>**>(registryAllocator(
        referencedRecordStores,
        sizeof(JavaPtr<RecordStore>*) * static_cast<size_t>(numReferencedRecordStores + 1)));
    if (grown == nullptr) {
        // Why the progress could not be read, for whoever reports it.
        platform::noteFileFailure(ENOMEM);
        throw RecordStoreFullException();
    }
    referencedRecordStores = grown;
    referencedRecordStores[numReferencedRecordStores++] = new JavaPtr<RecordStore>(store);
    return store;
}

JavaPtr<String> RecordStore::setAsideDamagedStore(const JavaPtr<String>& recordStoreName) {
    checkStoreName(recordStoreName);
    std::lock_guard<std::mutex> guard(storeLock());
    lockDataDirectory();
    // A store open in this run was read sound.
    if (recordStoreIsReferencedLocked(recordStoreName) >= 0) return nullptr;
    JavaPtr<String> file = getExistingRecordFilename(recordStoreName);
    if (!file) return nullptr;
    // The header is read again here: whatever the caller saw, only a header read whole and found
    // damaged moves.
    const JavaPtr<RecordStore> probe = jnew<RecordStore>(recordStoreName, true, file);
    if (probe->isValid) return nullptr;
    if (!probe->headerDamaged) throw RecordStoreException();
    FileSystem* files = FileSystem::getFileSystem();
    JavaPtr<String> aside = file + ".damaged";
    for (int n = 2; files->fileExists(aside); ++n) {
        if (n == INT_MAX) throw RecordStoreException();
        aside = (file + ".damaged") + n;
    }
    // A rename whose directory sync failed has happened all the same: the store is gone from its name.
    if (files->renameFileDurably(file, aside) == FileSystem::Change::Failed) throw RecordStoreException();
    return aside;
}

JavaPtr<RecordStore> RecordStore::openRecordStore(const JavaPtr<String>& recordStoreName,
                                                  bool createIfNecessary, int authmode, bool writable) {
    checkStoreName(recordStoreName);
    std::lock_guard<std::mutex> guard(storeLock());
    lockDataDirectory();
    const bool existed = static_cast<bool>(getExistingRecordFilename(recordStoreName));
    JavaPtr<RecordStore> store = openRecordStoreLocked(recordStoreName, createIfNecessary);
    if (store && !existed) store->setMode(authmode, writable);
    return store;
}

JavaPtr<RecordStore> RecordStore::openRecordStore(const JavaPtr<String>& recordStoreName,
                                                  const JavaPtr<String>&, const JavaPtr<String>&) {
    return openRecordStore(recordStoreName, false);
}

void RecordStore::closeRecordStore() {
    std::lock_guard<std::mutex> guard(storeLock());
    if (!isOpen) throw RecordStoreNotOpenException();
    if (isDeleted) throw RecordStoreException();
    isOpen = false;
}

void RecordStore::deleteRecordStore(const JavaPtr<String>& recordStoreName) {
    // The store object leaves the registry under the lock but is dropped after it, since its
    // listeners may be the application's.
    JavaPtr<RecordStore> dropped;
    std::lock_guard<std::mutex> guard(storeLock());
    lockDataDirectory();
    const int slot = recordStoreIsReferencedLocked(recordStoreName);
    if (slot >= 0) {
        JavaPtr<RecordStore>* held = referencedRecordStores[slot];
        if ((*held)->isOpen) throw RecordStoreException();
        (*held)->isDeleted = true;
        dropped = *held;
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
    std::lock_guard<std::mutex> guard(storeLock());
    JavaPtr<StringArray> fileNames, storeNames;
    // A short scan still lists what it read.
    getFilenamesAndRecordStoreNames(fileNames, storeNames);
    return storeNames;
}

void RecordStore::tidyUp() {
    // The stores and their listeners are dropped once the lock is let go: a listener's destructor is
    // the application's code.
    std::vector<JavaPtr<RecordStore>> dropped;
    std::vector<JavaPtr<JArray<JavaPtr<RecordListener>>>> droppedListeners;
    std::lock_guard<std::mutex> guard(storeLock());
    for (int slot = 0; slot < numReferencedRecordStores; ++slot) {
        JavaPtr<RecordStore>* held = referencedRecordStores[slot];
        if (held == nullptr) continue;
        droppedListeners.push_back((*held)->listeners);
        (*held)->listeners = nullptr;
        dropped.push_back(*held);
        delete held;
    }
    std::free(referencedRecordStores);
    referencedRecordStores = nullptr;
    numReferencedRecordStores = 0;
    directoryLock().release();
}

}  // namespace javax::microedition::rms
