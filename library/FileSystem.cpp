#include "library/FileSystem.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "library/FileNames.h"
#include "platform/files/DirectoryListing.h"
#include "platform/files/FileOperations.h"
#include "platform/files/FileSystemPaths.h"
#include "platform/files/RegularFiles.h"
#include "runtime/String.h"

namespace java::io {

using ::java::lang::String;

std::mutex FileSystem::s_instanceMutex;
std::atomic<FileSystem*> FileSystem::fileSystem{nullptr};
std::atomic<bool> FileSystem::valid{false};
std::mutex FileSystem::s_listingMutex;

namespace {

// The path of an accepted name in the data directory, or null.
JavaPtr<String> dataPath(const JavaPtr<String>& name) {
    if (_savePathIs == nullptr || !tesl::isAcceptableFileName(name)) return nullptr;
    return tesl::pathBelow(_savePathIs, name);
}

// The path up to its last "/".
std::string parentOf(const JavaPtr<String>& path) {
    const std::string bytes(path->val());
    return bytes.substr(0, bytes.find_last_of('/'));
}

}  // namespace

FileSystem::FileSystem() {
    valid.store(true, std::memory_order_release);
}

FileSystem* FileSystem::getFileSystem() {
    if (FileSystem* existing = fileSystem.load(std::memory_order_acquire)) return existing;
    std::lock_guard<std::mutex> lock(s_instanceMutex);
    if (FileSystem* existing = fileSystem.load(std::memory_order_acquire)) return existing;
    auto* made = new FileSystem();
    fileSystem.store(made, std::memory_order_release);
    return made;
}

void FileSystem::destroyFileSystem() {
    std::lock_guard<std::mutex> lock(s_instanceMutex);
    delete fileSystem.exchange(nullptr, std::memory_order_acq_rel);
}

bool FileSystem::isValid() {
    return valid.load(std::memory_order_acquire);
}

JavaPtr<JArray<JavaPtr<String>>> FileSystem::listFilenames() {
    JavaPtr<JArray<JavaPtr<String>>> names;
    listFilenames(names);
    return names;
}

bool FileSystem::listFilenames(JavaPtr<JArray<JavaPtr<String>>>& names) {
    names = jnew<JArray<JavaPtr<String>>>(0);
    if (_savePathIs == nullptr) return false;
    std::lock_guard<std::mutex> lock(s_listingMutex);
    _directoryFileListStart(_savePathIs);
    const bool listed = !_directoryFileListFailed();
    // The names come as bytes; the escape decoding of the C-string constructor would alter them.
    while (const char* name = _directoryFileListNext()) names->append(tesl::bytesToString(name));
    return listed;
}

bool FileSystem::deleteFile(const JavaPtr<String>& name) {
    return deleteFileDurably(name) != Change::Failed;
}

FileSystem::Change FileSystem::deleteFileDurably(const JavaPtr<String>& name) {
    JavaPtr<String> path = dataPath(name);
    if (!path) return Change::Failed;
    const char* bytes = path->val();
    // As remove() does, an empty directory goes too.
    if (platform::fileOperations().unlink(bytes) != 0 && (errno != EISDIR || rmdir(bytes) != 0))
        return Change::Failed;
    return platform::syncParentDirectory(bytes) ? Change::Done : Change::NotDurable;
}

bool FileSystem::fileExists(const JavaPtr<String>& name) {
    JavaPtr<String> path = dataPath(name);
    if (!path) return false;
    FILE* file = platform::openRegularFileForReading(path->val());
    if (file == nullptr) return false;
    std::fclose(file);
    return true;
}

bool FileSystem::isRegularFile(const JavaPtr<String>& name) {
    JavaPtr<String> path = dataPath(name);
    return path && platform::isRegularFile(path->val());
}

bool FileSystem::renameFile(const JavaPtr<String>& from, const JavaPtr<String>& to) {
    // The rename has happened even when the directory sync fails: it cannot be undone, so it counts.
    return renameFileDurably(from, to) != Change::Failed;
}

FileSystem::Change FileSystem::renameFileDurably(const JavaPtr<String>& from, const JavaPtr<String>& to) {
    JavaPtr<String> source = dataPath(from);
    JavaPtr<String> target = dataPath(to);
    if (!source || !target) return Change::Failed;
    // Each string keeps its own 8-bit copy, so both stay valid together.
    if (platform::fileOperations().rename(source->val(), target->val()) != 0) return Change::Failed;
    // Both directories, when they differ, so that the file is not found under both names after a crash.
    bool synced = platform::syncParentDirectory(target->val());
    if (parentOf(source) != parentOf(target)) synced = platform::syncParentDirectory(source->val()) && synced;
    return synced ? Change::Done : Change::NotDurable;
}

bool FileSystem::syncDirectory() {
    if (_savePathIs == nullptr) return false;
    // The parent of a path inside the directory is the directory itself.
    return platform::syncParentDirectory((std::string(_savePathIs) + "/.").c_str());
}

}  // namespace java::io
