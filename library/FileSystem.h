// java.io.FileSystem: the one object over the data directory that lists, tests, deletes and renames
// its files. A plain class, not a runtime object. Every name is taken below the data directory (a
// leading "/" is not special here).
#pragma once

#include <atomic>
#include <mutex>
#include <vector>

#include "runtime/JArray.h"
#include "runtime/JavaPtr.h"

namespace java::lang {
class String;
}

namespace java::io {

class FileSystem {
public:
    // The names of the listing; an array of strings once arrays hold references.

    // Made by the first call.
    static FileSystem* getFileSystem();
    // Deletes the object, if there is one; a later getFileSystem makes a new one.
    static void destroyFileSystem();
    // True once an object was made, also after it was destroyed.
    static bool isValid();

    // How a removal or rename went: Done once it happened and the directory is on the device;
    // NotDurable when it happened but the directory could not be synced, so a power loss may undo it.
    enum class Change { Failed, NotDurable, Done };

    // Every entry below the data directory (subdirectories' entries as relative paths), sorted by
    // name; never null, empty when there is nothing.
    JavaPtr<JArray<JavaPtr<::java::lang::String>>> listFilenames();
    // The same into names; false when the data directory could not be read, so that a failed
    // listing is not taken for an empty directory.
    bool listFilenames(JavaPtr<JArray<JavaPtr<::java::lang::String>>>& names);
    // True when the file was removed.
    bool deleteFile(const JavaPtr<::java::lang::String>& name);
    Change deleteFileDurably(const JavaPtr<::java::lang::String>& name);
    // True when the name is a regular file that opens for reading.
    bool fileExists(const JavaPtr<::java::lang::String>& name);
    // True when the name is a regular file, whether or not it opens: a file that is there but cannot
    // be read is told apart from one that is not.
    bool isRegularFile(const JavaPtr<::java::lang::String>& name);
    // Replaces an existing `to` in one step; true on success.
    bool renameFile(const JavaPtr<::java::lang::String>& from, const JavaPtr<::java::lang::String>& to);
    Change renameFileDurably(const JavaPtr<::java::lang::String>& from,
                             const JavaPtr<::java::lang::String>& to);
    // Puts the data directory's entries on the device (after creating a file); false on failure.
    bool syncDirectory();

private:
    FileSystem();
    ~FileSystem() = default;

    static std::mutex s_instanceMutex;  // guards the making and deleting of fileSystem
    static std::atomic<FileSystem*> fileSystem;
    static std::atomic<bool> valid;
    // The platform keeps a single listing for the process: two listings must not interleave.
    static std::mutex s_listingMutex;
};

}  // namespace java::io
